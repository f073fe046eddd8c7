// Cursor walk, typed walk and reading cursors, including the edges where
// num_if disagrees with the bits and where the single slot ends a walk.
#include "support.hpp"

#include <cstring>

namespace {

using namespace ifv::test;

constexpr std::uint32_t kSentinel = 0xDEADBEEF;
constexpr std::uint32_t kOk = IF_INDEX_VECTOR_OK, kEmpty = IF_INDEX_VECTOR_EMPTY,
                        kEnd = IF_INDEX_VECTOR_END, kBadType = IF_INDEX_VECTOR_BAD_TYPE;

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

TEST(Walk, SingleSlotOnlyIsHandedOutFirstAndEndsEveryWalk) {
    const std::uint32_t s = at(IF_TYPE_SINGLE, 5);
    const if_index_vector_t v = with({s});
    std::uint32_t out = kSentinel, cursor = kSentinel;
    EXPECT_EQ(if_index_vector_first(&v, &out), kOk);
    EXPECT_EQ(out, s);
    EXPECT_EQ(if_index_vector_itr_begin(&v, &cursor), kOk);
    EXPECT_EQ(cursor, s);
    EXPECT_EQ(if_index_vector_itr_incr(&v, &cursor), kEnd);
    EXPECT_EQ(cursor, s);
    out = kSentinel;
    EXPECT_EQ(if_index_vector_next(&v, s, &out), kEnd);
    EXPECT_EQ(if_index_vector_get_next(&v, &cursor, &out), kEnd);
    EXPECT_EQ(out, kSentinel);
}

TEST(Walk, CursorCrossesTypesButTypedWalkStaysInItsType) {
    const std::uint32_t fc = at(IF_TYPE_PHY_FC, 5), pc = at(IF_TYPE_PORT_CHANNEL, 0);
    const if_index_vector_t v = with({pc, fc});
    std::uint32_t cursor = kSentinel, out = kSentinel;
    ASSERT_EQ(if_index_vector_itr_begin(&v, &cursor), kOk);
    EXPECT_EQ(cursor, fc);
    ASSERT_EQ(if_index_vector_itr_incr(&v, &cursor), kOk);
    EXPECT_EQ(cursor, pc);
    EXPECT_EQ(if_index_vector_itr_incr(&v, &cursor), kEnd);
    EXPECT_EQ(cursor, pc); // no single-slot member to hand over
    EXPECT_EQ(if_index_vector_next(&v, fc, &out), kEnd);
    EXPECT_EQ(out, kSentinel);
}

TEST(Walk, CursorAtTheLastPhyFcPositionContinuesWithTheNextNonEmptyType) {
    struct Case { std::uint8_t type; int pos; } cases[] = {
        {IF_TYPE_PORT_CHANNEL, 255}, {IF_TYPE_ISCSI, 0}, {IF_TYPE_FC_TUNNEL, 4095}};
    for (const auto &c : cases) {
        const if_index_vector_t v = with({at(c.type, c.pos), at(IF_TYPE_FC_TUNNEL, 4095)});
        std::uint32_t cursor = at(IF_TYPE_PHY_FC, 1023); // not a member
        EXPECT_EQ(if_index_vector_itr_incr(&v, &cursor), kOk) << int(c.type);
        EXPECT_EQ(cursor, at(c.type, c.pos)) << int(c.type);
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

// What each walk entry point answers for if_indexes that have no bitmap.
} // namespace
