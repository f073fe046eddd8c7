// Record, bit numbering, scans, counts and membership.
#include "support.hpp"

#include "vector/bitmap.hpp"

#include "../bench/reference.hpp"

#include <cstring>
#include <random>

namespace {

using namespace ifvec::test;
using ifvec::no_position;

if_index_vector_t fresh() {
    if_index_vector_t v;
    std::memset(&v, 0xA5, sizeof v); // init must overwrite every byte it owns
    if_index_vector_init(&v);
    return v;
}

// The scan as the reference describes it (32-bit big-endian groups, masked
// start word, leading zeros found by halving), shared with the benchmarks.
int reference_next_set(const std::uint8_t *bits, int capacity, int start) {
    const int p = ref::next_set(bits, capacity, start);
    return p < 0 ? no_position : p;
}

TEST(Record, InitAndNewGiveAnEmptyVectorWithFixedByteCounts) {
    if_index_vector_t *heap = if_index_vector_new();
    ASSERT_NE(heap, nullptr);
    const if_index_vector_t stack = fresh();
    for (const if_index_vector_t *r : {static_cast<const if_index_vector_t *>(heap), &stack}) {
        EXPECT_EQ(r->num_if, 0u);
        EXPECT_EQ(if_index_vector_num_if(r), 0u);
        EXPECT_EQ(r->phy_fc.num_bytes, 128u);
        EXPECT_EQ(r->port_channel.num_bytes, 32u);
        EXPECT_EQ(r->iscsi.num_bytes, 128u);
        EXPECT_EQ(r->fc_tunnel.num_bytes, 512u);
        EXPECT_EQ(r->single_if_index, 0u);
        for (const auto &t : kBitmapTypes)
            EXPECT_TRUE(positions(ifvec::detail::bitmap_bits(r, t), t.capacity).empty());
    }
    if_index_vector_delete(heap);
    if_index_vector_delete(nullptr);
}

TEST(Record, CopyTakesAllBytesIncludingAlteredByteCounts) {
    if_index_vector_t src = fresh(), dst = fresh();
    ASSERT_EQ(if_index_vector_add(&src, at(IF_TYPE_FC_TUNNEL, 4095)), 0u);
    ASSERT_EQ(if_index_vector_add(&src, at(IF_TYPE_SINGLE, 3)), 0u);
    src.port_channel.num_bytes = 7;
    src.fc_tunnel.num_bytes = 0xFFFFFFFF;
    ASSERT_EQ(if_index_vector_add(&dst, at(IF_TYPE_PHY_FC, 0)), 0u);
    if_index_vector_copy(&dst, &src);
    EXPECT_EQ(std::memcmp(&dst, &src, sizeof dst), 0);
    if_index_vector_copy(&dst, &dst);
    EXPECT_EQ(std::memcmp(&dst, &src, sizeof dst), 0);
}

// Hand-made byte patterns against the MSB-first numbering.
TEST(BitNumbering, BytePatternsGiveTheirPositions) {
    struct Case { int byte; std::uint8_t value; int first; } cases[] = {
        {0, 0x80, 0}, {0, 0x01, 7}, {3, 0x80, 24}, {4, 0x40, 33},
        {7, 0x01, 63}, {8, 0x80, 64}, {31, 0x01, 255},
    };
    for (const auto &t : kBitmapTypes) {
        for (const auto &c : cases) {
            if (c.byte >= t.capacity / 8)
                continue;
            std::vector<std::uint8_t> bits(static_cast<std::size_t>(t.capacity / 8));
            bits[static_cast<std::size_t>(c.byte)] = c.value;
            EXPECT_EQ(ifvec::detail::first_set(bits.data(), t.capacity), c.first)
                << "type " << int(t.code) << " byte " << c.byte;
        }
        std::vector<std::uint8_t> last(static_cast<std::size_t>(t.capacity / 8));
        last.back() = 0x01;
        EXPECT_EQ(ifvec::detail::first_set(last.data(), t.capacity), t.capacity - 1);
    }
}

TEST(BitNumbering, AddSetsTheMsbFirstBitOfItsType) {
    for (const auto &t : kBitmapTypes) {
        for (int p : {0, 1, 7, 8, 31, 32, 33, 63, 64, t.capacity - 1}) {
            if_index_vector_t v = fresh();
            ASSERT_EQ(if_index_vector_add(&v, at(t.code, p)), 0u);
            const std::uint8_t *b = bits_of(v, t);
            for (int i = 0; i < t.capacity / 8; ++i)
                ASSERT_EQ(b[i], i == p / 8 ? 0x80 >> (p % 8) : 0)
                    << "type " << int(t.code) << " pos " << p << " byte " << i;
            EXPECT_EQ(v.num_if, 1u);
            EXPECT_CONSISTENT(v);
        }
    }
}

// Every capacity x pattern x start edge, and random words, sparse and dense,
// against the 32-bit reference scan; the clear scan against bit-by-bit
// search; the word visitors against the positions read bit by bit.
TEST(Scan, AgreesWithTheReferenceAtEveryEdge) {
    std::mt19937 rng(7);
    for (const auto &t : kBitmapTypes) {
        const int cap = t.capacity;
        std::vector<std::vector<std::uint8_t>> patterns;
        for (int fill : {0x00, 0xFF, 0x55, 0xAA})
            patterns.emplace_back(static_cast<std::size_t>(cap / 8), static_cast<std::uint8_t>(fill));
        for (int p : {0, 31, 32, 63, 64, cap - 1}) {
            std::vector<std::uint8_t> one(static_cast<std::size_t>(cap / 8));
            one[static_cast<std::size_t>(p / 8)] = static_cast<std::uint8_t>(0x80 >> (p % 8));
            patterns.push_back(one);
        }
        for (int r = 0; r < 20; ++r) {
            std::vector<std::uint8_t> rnd(static_cast<std::size_t>(cap / 8));
            for (auto &b : rnd) // sparse: most words empty
                b = rng() % 16 == 0 ? static_cast<std::uint8_t>(rng()) : 0;
            patterns.push_back(rnd);
        }
        for (int r = 0; r < 10; ++r) {
            std::vector<std::uint8_t> dense(static_cast<std::size_t>(cap / 8));
            for (auto &b : dense) // runs of every length, crossing words
                b = rng() % 4 == 0 ? static_cast<std::uint8_t>(rng()) : 0xFF;
            patterns.push_back(dense);
        }
        for (const auto &bits : patterns) {
            const std::vector<int> set = positions(bits.data(), cap);
            EXPECT_EQ(ifvec::detail::count_set(bits.data(), cap), static_cast<int>(set.size()));
            std::vector<int> visited;
            ifvec::detail::for_each_set(bits.data(), cap, [&](int p) { visited.push_back(p); });
            EXPECT_EQ(visited, set) << "cap " << cap;
            // Runs cover exactly the set positions, ascending, and are maximal:
            // each starts at least two positions after the previous one ends.
            std::vector<int> covered;
            int previous_last = -2;
            ifvec::detail::for_each_run(bits.data(), cap, [&](int first, int last) {
                EXPECT_GT(first, previous_last + 1) << "cap " << cap << " run " << first;
                EXPECT_LE(first, last) << "cap " << cap;
                for (int p = first; p <= last; ++p)
                    covered.push_back(p);
                previous_last = last;
            });
            EXPECT_EQ(covered, set) << "cap " << cap;
            for (int start : {0, 1, 31, 32, 33, 63, 64, 65, cap - 1, cap, cap + 1, cap + 64}) {
                const int want = start >= cap ? no_position : reference_next_set(bits.data(), cap, start);
                EXPECT_EQ(ifvec::detail::next_set_at_or_after(bits.data(), cap, start), want)
                    << "cap " << cap << " start " << start;
                int clear = no_position;
                for (int p = start; p < cap && clear == no_position; ++p)
                    if (!bit_at(bits.data(), p))
                        clear = p;
                EXPECT_EQ(ifvec::detail::next_clear_at_or_after(bits.data(), cap, start), clear)
                    << "cap " << cap << " start " << start;
            }
        }
    }
}

// if_indexes the record cannot hold: unheld types, unclassifiable values and
// positions at or beyond a capacity.  add/remove refuse them with BAD_TYPE
// and leave every byte alone; is_present answers 0.
TEST(Membership, RejectsWhatTheRecordCannotHold) {
    struct Case { const char *what; std::uint32_t ifx; } cases[] = {
        {"type 10", at(10, 1)},
        {"type 2", at(2, 0)},
        {"type 16", at(16, 5)},
        {"type 0", at(0, 1)},
        {"type 255", at(255, 0xFFFFFF)},
        {"unclassifiable 0", 0},
        {"unclassifiable reserved bits", at(IF_TYPE_PHY_FC, 0) | 1u},
        {"phy_fc slot 16", at(IF_TYPE_PHY_FC, 16 * 64)},
        {"phy_fc slot 15 port 64", at(IF_TYPE_PHY_FC, 0) | (15u << 16) | (64u << 8)},
        {"iscsi slot 255 port 255", at(IF_TYPE_ISCSI, 0) | 0xFFFF00u},
        {"port_channel 256", at(IF_TYPE_PORT_CHANNEL, 256)},
        {"port_channel 65535", at(IF_TYPE_PORT_CHANNEL, 65535)},
        {"fc_tunnel 4096", at(IF_TYPE_FC_TUNNEL, 4096)},
    };
    if_index_vector_t v = fresh();
    ASSERT_EQ(if_index_vector_add(&v, at(IF_TYPE_ISCSI, 0)), 0u);
    ASSERT_EQ(if_index_vector_add(&v, at(IF_TYPE_SINGLE, 9)), 0u);
    const if_index_vector_t before = v;
    for (const auto &c : cases) {
        EXPECT_EQ(if_index_vector_add(&v, c.ifx), std::uint32_t{IF_INDEX_VECTOR_BAD_TYPE}) << c.what;
        EXPECT_EQ(if_index_vector_remove(&v, c.ifx), std::uint32_t{IF_INDEX_VECTOR_BAD_TYPE}) << c.what;
        EXPECT_EQ(if_index_vector_is_present(&v, c.ifx), 0) << c.what;
        EXPECT_EQ(std::memcmp(&v, &before, sizeof v), 0) << c.what;
    }
    for (std::uint32_t code : {0u, 2u, 10u, 16u, 20u, 255u, 256u + IF_TYPE_PHY_FC})
        EXPECT_EQ(if_index_vector_num_if_type(&v, code), 0u) << "code " << code;
}

TEST(Membership, PortsBeyondSixtyThreeLandOnTheNextSlot) {
    // slot * 64 + port is not masked: slot 0 port 64 is slot 1 port 0.
    if_index_vector_t v = fresh();
    std::uint32_t wide = 0;
    if_index_phy_fc_port_init(&wide, 0, 64, 0);
    ASSERT_EQ(if_index_vector_add(&v, wide), 0u);
    EXPECT_EQ(if_index_vector_is_present(&v, at(IF_TYPE_PHY_FC, 64)), 1);
    EXPECT_EQ(range_text(positions(v.phy_fc.bits, 1024)), "64");
}

TEST(Algebra, EqualityComparesCountBitsAndSlotButNotByteCounts) {
    if_index_vector_t a = fresh();
    ASSERT_EQ(if_index_vector_add(&a, at(IF_TYPE_PHY_FC, 3)), 0u);
    ASSERT_EQ(if_index_vector_add(&a, at(IF_TYPE_SINGLE, 3)), 0u);
    struct Case { const char *what; void (*alter)(if_index_vector_t &); int equal; } cases[] = {
        {"same", [](if_index_vector_t &) {}, 1},
        {"byte count", [](if_index_vector_t &b) { b.iscsi.num_bytes = 1; }, 1},
        {"num_if only", [](if_index_vector_t &b) { b.num_if = 7; }, 0},
        {"last fc_tunnel byte", [](if_index_vector_t &b) { b.fc_tunnel.bits[511] = 1; }, 0},
        {"first port_channel byte", [](if_index_vector_t &b) { b.port_channel.bits[0] = 0x80; }, 0},
        {"single slot", [](if_index_vector_t &b) { b.single_if_index = at(IF_TYPE_SINGLE, 4); }, 0},
    };
    for (const auto &c : cases) {
        if_index_vector_t b = a;
        c.alter(b);
        EXPECT_EQ(if_index_vector_is_equal(&a, &b), c.equal) << c.what;
        EXPECT_EQ(if_index_vector_is_equal(&b, &a), c.equal) << c.what;
    }
}

} // namespace
