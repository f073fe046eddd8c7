// The two walk behaviours callers build loops on, spelled out: a walk that
// cannot start leaves its output alone, and a cursor walk ends by leaving the
// single-slot member in the cursor.  Every other walk result, from every kind
// of if_index, is checked against the model by the differential driver.
#include "support.hpp"

#include <cstring>

namespace {

using namespace ifvec::test;

constexpr std::uint32_t kSentinel = 0xDEADBEEF;
constexpr std::uint32_t kOk = IF_INDEX_VECTOR_OK, kEmpty = IF_INDEX_VECTOR_EMPTY,
                        kEnd = IF_INDEX_VECTOR_END;

if_index_vector_t with(std::initializer_list<std::uint32_t> members) {
    if_index_vector_t v;
    if_index_vector_init(&v);
    for (std::uint32_t x : members)
        EXPECT_EQ(if_index_vector_add(&v, x), kOk);
    return v;
}

TEST(Walk, BeginOnAnEmptyOrInconsistentRecordLeavesTheOutputAlone) {
    if_index_vector_t empty = with({});
    if_index_vector_t bits_but_no_count = with({at(IF_TYPE_ISCSI, 9)});
    bits_but_no_count.num_if = 0;
    if_index_vector_t count_but_nothing_stored = with({});
    count_but_nothing_stored.num_if = 4;
    for (const if_index_vector_t *v : {&empty, &bits_but_no_count, &count_but_nothing_stored}) {
        std::uint32_t out = kSentinel, cursor = kSentinel;
        EXPECT_EQ(if_index_vector_first(v, &out), kEmpty);
        EXPECT_EQ(if_index_vector_itr_begin(v, &cursor), kEmpty);
        EXPECT_EQ(out, kSentinel);
        EXPECT_EQ(cursor, kSentinel);
    }
}

TEST(Walk, EndOfCursorWalkLeavesTheSingleSlotMemberInTheCursor) {
    const std::uint32_t s = at(IF_TYPE_SINGLE, 1), t = at(IF_TYPE_FC_TUNNEL, 4095);
    const if_index_vector_t v = with({s, t});
    std::uint32_t cursor = 0, out = kSentinel;
    ASSERT_EQ(if_index_vector_itr_begin(&v, &cursor), kOk);
    EXPECT_EQ(cursor, t);
    EXPECT_EQ(if_index_vector_itr_incr(&v, &cursor), kEnd);
    EXPECT_EQ(cursor, s);
    EXPECT_EQ(if_index_vector_get(&v, &cursor, &out), kOk);
    EXPECT_EQ(out, s);
    EXPECT_EQ(if_index_vector_itr_incr(&v, &cursor), kEnd);
    EXPECT_EQ(cursor, s);
}

} // namespace
