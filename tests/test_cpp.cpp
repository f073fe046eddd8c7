// The C++ interface's own logic: iteration order and end (the single-slot
// member after the cursor walk), operator semantics including single slots,
// status mapping, copies and to_string.  The C functions underneath have
// their own tests.
#include <if_index_vec/if_index_vector.hpp>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <ranges>
#include <string>
#include <vector>

#include "model.hpp"

namespace {

using ifvec::index_vector;
using ifvec::status;
using ifvec::test::capture_stdout;
using ifvec::test::name_of;
using names = std::vector<std::string>;

std::uint32_t ifx(const std::string &name) {
    std::uint32_t v = 0;
    EXPECT_EQ(if_index_parse(name.c_str(), &v), static_cast<std::uint32_t>(IF_INDEX_CODEC_OK)) << name;
    return v;
}

index_vector make(const names &members) {
    index_vector v;
    for (const auto &n : members)
        EXPECT_EQ(v.insert(ifx(n)), status::ok) << n;
    return v;
}

names walk(const index_vector &v) {
    names out;
    for (std::uint32_t m : v)
        out.push_back(name_of(m));
    return out;
}

struct IterationCase {
    const char *what;
    names inserted;
    names walked; // canonical order, single slot last
};

TEST(CppIteration, VisitsEveryMemberInCanonicalOrderThenTheSingleSlot) {
    const IterationCase cases[] = {
        {"empty", {}, {}},
        {"single slot only", {"mgmt1"}, {"mgmt1"}},
        {"one bitmap member", {"fc1/1"}, {"fc1/1"}},
        {"every type, inserted out of order",
         {"mgmt9", "fc-tunnel4095", "iscsi1/1", "port-channel0", "fc2/3", "fc1/2"},
         {"fc1/2", "fc2/3", "port-channel0", "iscsi1/1", "fc-tunnel4095", "mgmt9"}},
        {"last bitmap member at the end of the last bitmap, no single slot",
         {"fc-tunnel4095", "fc16/64"},
         {"fc16/64", "fc-tunnel4095"}},
        {"only the last bitmap and the single slot", {"mgmt2", "fc-tunnel0"}, {"fc-tunnel0", "mgmt2"}},
    };
    for (const auto &c : cases) {
        const index_vector v = make(c.inserted);
        EXPECT_EQ(walk(v), c.walked) << c.what;
        EXPECT_EQ(std::ranges::distance(v), static_cast<std::ptrdiff_t>(c.walked.size())) << c.what;
    }
}

TEST(CppIteration, FollowsTheCWalkOnRecordsWhoseCountDisagrees) {
    index_vector v = make({"fc1/1", "mgmt1"});
    v.raw().num_if = 0; // itr_begin trusts the stored count
    EXPECT_EQ(walk(v), names{});

    index_vector slot_only;
    slot_only.raw().num_if = 1;
    slot_only.raw().single_if_index = ifx("mgmt5");
    EXPECT_EQ(walk(slot_only), names{"mgmt5"});
}

TEST(CppIteration, WorksWithStandardAlgorithms) {
    const index_vector v = make({"fc1/1", "port-channel3", "iscsi2/2", "mgmt4"});
    EXPECT_EQ(std::ranges::count_if(v, [](std::uint32_t m) { return m >> 24 == IF_TYPE_SINGLE; }), 1);
    const auto found = std::ranges::find(v, ifx("iscsi2/2"));
    ASSERT_NE(found, v.end());
    EXPECT_EQ(*found, ifx("iscsi2/2"));
    EXPECT_EQ(std::ranges::find(v, ifx("fc1/2")), v.end());

    auto common = v | std::views::common;
    const std::vector<std::uint32_t> copied(common.begin(), common.end());
    EXPECT_EQ(copied.size(), 4u);
    EXPECT_EQ(copied.back(), ifx("mgmt4"));

    auto it = v.begin();
    const auto old = it++;
    EXPECT_EQ(*old, ifx("fc1/1"));
    EXPECT_EQ(*it, ifx("port-channel3"));
}

struct OperatorCase {
    const char *what;
    names a, b;
    names a_or_b, a_and_b, a_minus_b;
};

TEST(CppOperators, CombineBitmapsAndKeepTheLeftSingleSlot) {
    const OperatorCase cases[] = {
        {"disjoint bitmaps, both slots held",
         {"fc1/1", "mgmt1"}, {"fc1/2", "mgmt2"},
         {"fc1/1", "fc1/2", "mgmt1"}, {"mgmt1"}, {"fc1/1", "mgmt1"}},
        {"overlap across types, right slot only",
         {"fc1/1", "port-channel5", "fc-tunnel7"}, {"port-channel5", "fc-tunnel7", "iscsi1/1", "mgmt3"},
         {"fc1/1", "port-channel5", "iscsi1/1", "fc-tunnel7"}, {"port-channel5", "fc-tunnel7"}, {"fc1/1"}},
        {"empty right operand",
         {"iscsi3/3", "mgmt1"}, {},
         {"iscsi3/3", "mgmt1"}, {"mgmt1"}, {"iscsi3/3", "mgmt1"}},
        {"empty left operand, right holds only its slot",
         {}, {"mgmt1"},
         {}, {}, {}},
    };
    for (const auto &c : cases) {
        const index_vector a = make(c.a), b = make(c.b);
        EXPECT_EQ(walk(a | b), c.a_or_b) << c.what;
        EXPECT_EQ(walk(a & b), c.a_and_b) << c.what;
        EXPECT_EQ(walk(a - b), c.a_minus_b) << c.what;
        EXPECT_EQ((a | b).size(), c.a_or_b.size()) << c.what << ": recounted";

        index_vector acc = a; // compound forms agree with the binary ones
        EXPECT_EQ(&(acc |= b), &acc);
        EXPECT_EQ(acc, a | b) << c.what;
        acc = a;
        acc &= b;
        EXPECT_EQ(acc, a & b) << c.what;
        acc = a;
        acc -= b;
        EXPECT_EQ(acc, a - b) << c.what;

        EXPECT_EQ(walk(a), walk(make(c.a))) << c.what << ": binary operators leave operands alone";
        EXPECT_EQ(walk(b), walk(make(c.b))) << c.what;
    }
}

TEST(CppOperators, EqualityIsTheCComparisonSoUnionIsNotSymmetricInTheSlot) {
    const index_vector a = make({"fc1/1", "mgmt1"}), b = make({"fc1/1", "mgmt2"});
    EXPECT_NE(a | b, b | a);
    EXPECT_EQ(a | b, a);
    index_vector off = a;
    off.raw().num_if = 7;
    EXPECT_NE(a, off) << "same members, different stored count";
}

TEST(CppValue, DefaultIsTheInitialisedRecordAndCopiesAreIndependent) {
    if_index_vector_t c;
    if_index_vector_init(&c);
    const index_vector v;
    EXPECT_EQ(std::memcmp(v.c_ptr(), &c, sizeof c), 0);
    EXPECT_TRUE(v.empty());

    index_vector a = make({"fc1/1", "mgmt1"});
    a.raw().iscsi.num_bytes = 9; // copies carry all 824 bytes
    index_vector b = a;
    EXPECT_EQ(std::memcmp(a.c_ptr(), b.c_ptr(), sizeof c), 0);
    EXPECT_EQ(b.erase(ifx("fc1/1")), status::ok);
    EXPECT_TRUE(a.contains(ifx("fc1/1")));
    EXPECT_FALSE(b.contains(ifx("fc1/1")));

    const index_vector from_c(a.raw());
    EXPECT_EQ(std::memcmp(from_c.c_ptr(), a.c_ptr(), sizeof c), 0);
}

TEST(CppStatus, MapsTheCResults) {
    index_vector v;
    std::uint32_t unheld = 0;
    ASSERT_EQ(if_index_init(&unheld, 10, 1), static_cast<std::uint32_t>(IF_INDEX_CODEC_OK));
    EXPECT_EQ(v.insert(unheld), status::bad_type);
    EXPECT_EQ(v.erase(ifx("fc1/1")), status::ok) << "remove on an empty vector";
    EXPECT_EQ(v.insert(ifx("iscsi1/2")), status::ok);
    EXPECT_EQ(v.size(), 1u);
    EXPECT_EQ(v.count(ifvec::if_type::iscsi), 1u);
    EXPECT_EQ(v.count(ifvec::if_type::phy_fc), 0u);

    const struct {
        std::uint32_t value;
        const char *text;
    } texts[] = {{IF_INDEX_VECTOR_OK, "ok"},
                 {IF_INDEX_VECTOR_EMPTY, "empty"},
                 {IF_INDEX_VECTOR_END, "end"},
                 {IF_INDEX_VECTOR_BAD_TYPE, "bad type"},
                 {IF_INDEX_CODEC_EINVAL, "codec status"}};
    for (const auto &t : texts) {
        EXPECT_STREQ(ifvec::to_string(static_cast<status>(t.value)), t.text);
        EXPECT_EQ(ifvec::status_value(static_cast<status>(t.value)), t.value);
    }
}

TEST(CppText, ToStringMatchesTheCListing) {
    const names sets[] = {
        {},
        {"mgmt3"},
        {"port-channel1"},
        {"fc1/1", "fc1/2", "iscsi1/1", "mgmt1"},
        {"fc1/1", "port-channel0", "port-channel255", "iscsi16/64", "fc-tunnel0", "fc-tunnel4095"},
    };
    for (const auto &s : sets) {
        const index_vector v = make(s);
        const std::string printed = capture_stdout([&] { if_index_vector_printf(v.c_ptr()); });
        EXPECT_EQ(v.to_string(), printed) << ::testing::PrintToString(s);
    }
    EXPECT_EQ(make({"fc1/2", "fc1/1", "mgmt1"}).to_string(), "fc1/1, fc1/2\nmgmt1\n");
}

} // namespace
