// Text forms of <if_index_vec/if_index_text.hpp>: random sets print as the
// library's decimal dump and parse back; every error has a row with its offset.
#include <if_index_vec/if_index_text.hpp>

#include <map>
#include <random>

#include "support.hpp"

namespace ifvec {
void PrintTo(const text_error &e, std::ostream *os) { *os << describe(e.code) << " at " << e.offset; }
} // namespace ifvec

namespace {

using namespace ifvec;
using E = text_errc;

TEST(Text, RandomSetsPrintAsTheDumpAndParseBack) {
    std::mt19937 rng(2024);
    for (const double density : {0.0, 0.002, 0.05, 0.5, 0.95, 1.0}) {
        for (int round = 0; round < 8; ++round) {
            if_index_vector_t v;
            if_index_vector_init(&v);
            std::string dump;
            for (const bitmap_type &t : bitmap_types) {
                std::vector<int> want;
                for (int p = 0; p < t.capacity; ++p)
                    if (std::bernoulli_distribution(density)(rng)) {
                        want.push_back(p);
                        ASSERT_EQ(if_index_vector_add(&v, if_index_at(t.code, p)), 0u);
                    }
                const std::string text = format_range_list(want);
                dump += std::string(t.dump_header) + text + "\n";
                std::vector<int> got;
                ASSERT_FALSE(parse_range_list(text, t.capacity, got)) << text;
                EXPECT_EQ(got, want) << t.keyword << ": " << text;
                // One sink call per item: runs are reported, never expanded.
                std::size_t calls = 0;
                ASSERT_FALSE(parse_range_list(text, t.capacity, [&](int, int) { ++calls; }));
                EXPECT_EQ(calls, text.empty() ? 0 : 1 + static_cast<std::size_t>(std::ranges::count(text, ',')))
                    << text;
            }
            if (v.num_if != 0)
                dump = "No. of interfaces: " + std::to_string(v.num_if) + "\n" + dump;
            else
                dump.clear();
            EXPECT_EQ(test::capture_stdout([&] { if_index_vector_printf_dec(&v); }), dump);
        }
    }
}

TEST(Text, RangeListRowsGiveTheirPositionsOrErrorAndOffset) {
    struct Row {
        std::string_view text;
        int capacity;
        text_error error;
        std::vector<int> positions;
    };
    const Row rows[] = {
        {"", 8, {}, {}},
        {"0-2,5,7-8", 16, {}, {0, 1, 2, 5, 7, 8}},
        {"5,0-3,2-6,6", 8, {}, {0, 1, 2, 3, 4, 5, 6}}, // any order, overlaps merged
        {"0", 1, {}, {0}},
        {"x", 8, {E::invalid_character, 0}, {}},
        {"-1", 8, {E::invalid_character, 0}, {}},
        {"+1", 8, {E::invalid_character, 0}, {}},
        {"1 ,2", 8, {E::invalid_character, 1}, {}},
        {"1,2x", 8, {E::invalid_character, 3}, {}},
        {"1-2-3", 8, {E::invalid_character, 3}, {}},
        {"1-x", 8, {E::invalid_character, 2}, {}},
        {"01", 8, {E::leading_zero, 0}, {}},
        {"1-02", 8, {E::leading_zero, 2}, {}},
        {",", 8, {E::empty_item, 0}, {}},
        {",1", 8, {E::empty_item, 0}, {}},
        {"1,", 8, {E::empty_item, 2}, {}},
        {"0-2,,5", 8, {E::empty_item, 4}, {}},
        {"1-", 8, {E::missing_position, 2}, {}},
        {"1-,2", 8, {E::missing_position, 2}, {}},
        {"5-3", 8, {E::reversed_range, 2}, {}},
        {"1,9-8", 16, {E::reversed_range, 4}, {}},
        {"8", 8, {E::beyond_capacity, 0}, {}},
        {"0-4096", 4096, {E::beyond_capacity, 2}, {}},
        {"2147483647", INT_MAX, {E::beyond_capacity, 0}, {}},
        {"2147483648", INT_MAX, {E::overflow, 0}, {}},
        {"1,99999999999999999999999", 8, {E::overflow, 2}, {}},
    };
    for (const Row &r : rows) {
        std::size_t calls = 0;
        EXPECT_EQ(parse_range_list(r.text, r.capacity, [&](int, int) { ++calls; }), r.error) << r.text;
        std::vector<int> got{-1}; // kept as it is on error
        EXPECT_EQ(parse_range_list(r.text, r.capacity, got), r.error) << r.text;
        std::vector<int> want{-1};
        want.insert(want.end(), r.positions.begin(), r.positions.end());
        EXPECT_EQ(got, want) << r.text;
        EXPECT_TRUE(!r.error || calls == 0) << r.text << ": the sink was called on error";
    }
}

bool codec_parse(const char *name, std::uint32_t *if_index) {
    return if_index_parse(name, if_index) == IF_INDEX_CODEC_OK;
}

// Names of another codec: raw if_indexes, and ends that the stand-in's names
// cannot give (a range across slots, ends of two types).
bool other_parse(const char *name, std::uint32_t *if_index) {
    static const std::map<std::string, std::uint32_t> names{
        {"zero0", 0},
        {"type10x1", 0x0A000001},
        {"fcport64x1", 0x01004000}, // slot 0, port 64: folds onto the next slot
        {"a63", if_index_at(IF_TYPE_PHY_FC, 63)},
        {"a64", if_index_at(IF_TYPE_PHY_FC, 64)},
        {"b1", if_index_at(IF_TYPE_PHY_FC, 1)},
        {"b2", if_index_at(IF_TYPE_PORT_CHANNEL, 2)},
    };
    const auto it = names.find(name);
    if (it != names.end())
        *if_index = it->second;
    return it != names.end();
}

TEST(Text, NamesAndNameRangesThroughAnyCodec) {
    struct Row {
        bool (*parse)(const char *, std::uint32_t *);
        std::string text;
        text_error error;
        std::uint8_t type;
        int first, last;
    };
    const int none = no_position;
    const Row rows[] = {
        {codec_parse, "fc1/1", {}, IF_TYPE_PHY_FC, 0, 0},
        {codec_parse, "fc16/64", {}, IF_TYPE_PHY_FC, 1023, 1023},
        {codec_parse, "fc1/1-4", {}, IF_TYPE_PHY_FC, 0, 3},
        {codec_parse, "fc2/5-5", {}, IF_TYPE_PHY_FC, 68, 68},
        {codec_parse, "iscsi2/1-64", {}, IF_TYPE_ISCSI, 64, 127},
        {codec_parse, "port-channel1-5", {}, IF_TYPE_PORT_CHANNEL, 1, 5},
        {codec_parse, "fc-tunnel0-4095", {}, IF_TYPE_FC_TUNNEL, 0, 4095},
        {codec_parse, "mgmt1", {}, IF_TYPE_SINGLE, none, none},
        {codec_parse, "fc1/4-1", {E::reversed_range, 6}, IF_TYPE_PHY_FC, 3, 3},
        {codec_parse, "fc1/1-65", {E::beyond_capacity, 6}, IF_TYPE_PHY_FC, 0, 0},
        {codec_parse, "fc17/1", {E::beyond_capacity, 0}, IF_TYPE_PHY_FC, none, none},
        {codec_parse, "fc17/1-2", {E::beyond_capacity, 0}, IF_TYPE_PHY_FC, none, none},
        {codec_parse, "port-channel256", {E::beyond_capacity, 0}, IF_TYPE_PORT_CHANNEL, none, none},
        {codec_parse, "mgmt1-3", {E::single_range, 6}, IF_TYPE_SINGLE, none, none},
        {codec_parse, "type10:5", {E::not_held, 0}, 10, none, none},
        {codec_parse, "bogus", {E::unknown_name, 0}, no_type, none, none},
        {codec_parse, "fc1/1-", {E::unknown_name, 0}, no_type, none, none},
        {codec_parse, "-5", {E::unknown_name, 0}, no_type, none, none},
        {codec_parse, "fc1/1-999", {E::unknown_name, 6}, IF_TYPE_PHY_FC, 0, 0},
        {codec_parse, std::string(300, '1') + "-2", {E::unknown_name, 0}, no_type, none, none},
        {codec_parse, std::string("fc1/1\0", 6), {E::unknown_name, 0}, no_type, none, none},
        {other_parse, "zero0", {E::unclassified, 0}, no_type, none, none},
        {other_parse, "type10x1", {E::not_held, 0}, 10, none, none},
        {other_parse, "fcport64x1", {E::beyond_capacity, 0}, IF_TYPE_PHY_FC, none, none},
        {other_parse, "a63-64", {E::crosses_slot, 4}, IF_TYPE_PHY_FC, 63, 63},
        {other_parse, "b1-2", {E::different_types, 3}, IF_TYPE_PHY_FC, 1, 1},
    };
    for (const Row &r : rows) {
        const named_members m = parse_name_range(r.text, r.parse);
        EXPECT_EQ(m.error, r.error) << r.text;
        EXPECT_EQ(m.type, r.type) << r.text;
        EXPECT_EQ(m.first, r.first) << r.text;
        EXPECT_EQ(m.last, r.last) << r.text;
        if (!m.error && m.type != IF_TYPE_SINGLE) {
            EXPECT_EQ(m.if_index, if_index_at(m.type, m.first)) << r.text;
        }
    }
}

} // namespace
