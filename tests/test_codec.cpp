// SPDX-License-Identifier: MIT
// The library against other codecs: this program's codec calls come first in symbol lookup and forward
// to the real codec honestly, with planted faults, lying statuses and name lengths, or folding ports.
#include <gtest/gtest.h>

#include <dlfcn.h>

#include <cstring>

#include "driver.hpp"

namespace {

enum class Codec { honest, planted, lying, folding };
Codec g_codec = Codec::honest; // set by each test; the tests run one at a time

// Planted: 0 typed 6; fc1/1 unclassified; the rest classified but their accessors fail.
std::array<std::uint32_t, 6> g_refused{};
std::uint32_t g_status_nine = 0; // port-channel200, classified with status 9
bool accessor_fails(std::uint32_t ifx) {
    return g_codec == Codec::planted && std::count(g_refused.begin() + 2, g_refused.end(), ifx) != 0;
}

// Folding: ports of 64 and more get this codec's own if_indexes: kWide, ISCSI bit, slot, port.
constexpr std::uint32_t kWide = 0x7FFE0000u;
bool wide(std::uint32_t ifx) { return g_codec == Codec::folding && (ifx & 0xFFFE0000u) == kWide; }

template <class Fn>
Fn *real(Fn *, const char *name) {
    return reinterpret_cast<Fn *>(dlsym(RTLD_NEXT, name));
}
// Defines `fn` to call the real codec, unless planted to fail, lying, or folding.
#define INTERPOSE(fn, params, planted_ifx, folds, fold, ...)                       \
    uint32_t fn params {                                                           \
        if (accessor_fails(planted_ifx))                                           \
            return 1;                                                              \
        if (g_codec == Codec::folding && (folds))                                  \
            return fold, 0;                                                        \
        return real(&fn, #fn)(__VA_ARGS__) + (g_codec == Codec::lying ? 42u : 0u); \
    }
#define FIELDS (*s = static_cast<uint8_t>(x >> 8), *p = static_cast<uint8_t>(x))
#define WIDE(bit) (*x = kWide | (bit) << 16 | std::uint32_t{s} << 8 | p)

} // namespace

extern "C" {

uint32_t if_index_get_type(uint32_t ifx, if_index_vec::codec_detail::record_ptr info) {
    auto *type = static_cast<std::uint8_t *>(static_cast<void *>(info));
    if (g_codec == Codec::planted && ifx == g_refused[0])
        return *type = IF_TYPE_SINGLE, 0;
    if (g_codec == Codec::planted && ifx == g_refused[1])
        return 7;
    if (wide(ifx))
        return *type = ifx & 1u << 16 ? IF_TYPE_ISCSI : IF_TYPE_PHY_FC, 0;
    const uint32_t st = real(&if_index_get_type, "if_index_get_type")(ifx, info);
    return g_codec == Codec::planted && ifx == g_status_nine ? 9 : st;
}
INTERPOSE(if_index_phy_fc_get_fields, (uint32_t x, uint8_t *s, uint8_t *p, uint8_t *t), x, wide(x), FIELDS, x,
          s, p, t)
INTERPOSE(if_index_iscsi_get_fields, (uint32_t x, uint8_t *s, uint8_t *p), x, wide(x), FIELDS, x, s, p)
INTERPOSE(if_index_port_channel_get_channel_num, (uint32_t x, uint16_t *c), x, false, (void)0, x, c)
INTERPOSE(if_index_fcmpls_tnnl_get_tunnel, (uint32_t x, uint16_t *t), x, false, (void)0, x, t)
INTERPOSE(if_index_phy_fc_port_init, (uint32_t * x, uint8_t s, uint8_t p, uint8_t t), 0u, p >= 64, WIDE(0u),
          x, s, p, t)
INTERPOSE(if_index_iscsi_port_init, (uint32_t * x, uint8_t s, uint8_t p), 0u, p >= 64, WIDE(1u), x, s, p)
INTERPOSE(if_index_port_channel_init, (uint32_t * x, uint16_t c), 0u, false, (void)0, x, c)
INTERPOSE(if_index_fcmpls_tnnl_init, (uint32_t * x, uint16_t t), 0u, false, (void)0, x, t)

// Lying: name lengths of 0, -1 and 100000 in turn.
using name_result = decltype(sprintf_if_index(nullptr, 0));
name_result sprintf_if_index(char *buf, uint32_t ifx) {
    static int calls = 0;
    const name_result n = real(&sprintf_if_index, "sprintf_if_index")(buf, ifx);
    constexpr int kLies[] = {0, -1, 100000};
    return g_codec == Codec::lying ? static_cast<name_result>(kLies[calls++ % 3]) : n;
}

} // extern "C"

namespace {

using if_index_vec::test::at;
using if_index_vec::test::port_ifx;
constexpr std::uint32_t kOk = IF_INDEX_VECTOR_OK, kEmpty = IF_INDEX_VECTOR_EMPTY, kEnd = IF_INDEX_VECTOR_END,
                        kBadType = IF_INDEX_VECTOR_BAD_TYPE;

void runs_agree(Codec codec) {
    g_codec = codec;
    for (std::uint64_t seed = 1; seed <= 3; ++seed) {
        if_index_vec::test::Source src(seed);
        EXPECT_EQ(if_index_vec::test::Driver(src).run(3000), "") << "seed " << seed;
    }
}

// Unclassifiable or unlocatable if_indexes are refused, never present; unwritten fields read as all ones
// (cursors move on, next finds nothing); a non-zero type status is handed back, the work still done.
TEST(CodecFaults, PlantedFaultsAreRefusedAndStatusesHandedBack) {
    const std::uint32_t single = if_index_vec::test::classified_as(IF_TYPE_SINGLE).at(0);
    g_refused = {0, at(IF_TYPE_PHY_FC, 0), at(IF_TYPE_PHY_FC, 2 * 64 + 3), at(IF_TYPE_PORT_CHANNEL, 5),
                 at(IF_TYPE_ISCSI, 1), at(IF_TYPE_FC_TUNNEL, 77)};
    g_status_nine = at(IF_TYPE_PORT_CHANNEL, 200);
    g_codec = Codec::planted;
    if_index_vector_t v;
    if_index_vector_init(&v);
    for (std::uint8_t code : {IF_TYPE_PHY_FC, IF_TYPE_PORT_CHANNEL, IF_TYPE_ISCSI, IF_TYPE_FC_TUNNEL})
        ASSERT_EQ(if_index_vector_add(&v, at(code, 100)), 0u);
    ASSERT_EQ(if_index_vector_add(&v, single), 0u);
    const if_index_vector_t before = v;
    for (std::uint32_t x : g_refused) {
        EXPECT_EQ(if_index_vector_add(&v, x), std::uint32_t{IF_INDEX_VECTOR_BAD_TYPE}) << x;
        EXPECT_EQ(if_index_vector_remove(&v, x), std::uint32_t{IF_INDEX_VECTOR_BAD_TYPE}) << x;
        EXPECT_EQ(if_index_vector_is_present(&v, x), 0) << x;
        EXPECT_EQ(std::memcmp(&v, &before, sizeof v), 0) << x;
    }
    const std::uint32_t following[] = {at(IF_TYPE_PORT_CHANNEL, 100), at(IF_TYPE_ISCSI, 100),
                                       at(IF_TYPE_FC_TUNNEL, 100), single};
    for (std::size_t i = 0; i < 4; ++i) {
        std::uint32_t cursor = g_refused[i + 2], out = 0;
        EXPECT_EQ(if_index_vector_itr_incr(&v, &cursor), i < 3 ? kOk : kEnd) << i;
        EXPECT_EQ(cursor, following[i]) << i;
        EXPECT_EQ(if_index_vector_next(&v, g_refused[i + 2], &out), kEnd) << i;
    }
    EXPECT_EQ(if_index_vector_add(&v, g_status_nine), 9u);
    EXPECT_EQ(if_index_vector_is_present(&v, g_status_nine), 1);
    EXPECT_EQ(v.num_if, before.num_if + 1);
    EXPECT_EQ(if_index_vector_remove(&v, g_status_nine), 9u);
    EXPECT_EQ(std::memcmp(&v, &before, sizeof v), 0);
}

TEST(CodecFaults, LyingStatusesAndNameLengthsChangeNothing) { runs_agree(Codec::lying); }

// Ports of 64 and more: slot * 64 + port is not masked (slot 0 port 255 is position 255,
// read back as slot 3 port 63); all-ones fields lie beyond every capacity.
TEST(CodecFaults, EveryFieldIsAValueWithItsUnmaskedPosition) {
    g_codec = Codec::folding;
    const struct {
        std::uint32_t ifx;
        int position; // -1: beyond the capacity
    } cases[] = {{port_ifx(IF_TYPE_PHY_FC, 0, 255), 255}, {port_ifx(IF_TYPE_ISCSI, 13, 128), 960},
                 {port_ifx(IF_TYPE_ISCSI, 14, 128), -1},  {port_ifx(IF_TYPE_PHY_FC, 255, 255), -1},
                 {at(IF_TYPE_PORT_CHANNEL, 0xFFFF), -1},  {at(IF_TYPE_FC_TUNNEL, 0xFFFF), -1}};
    for (const auto &c : cases) {
        const std::uint8_t type = if_index_vec::classify(c.ifx).type;
        if_index_vector_t v;
        std::uint32_t first = 0;
        if_index_vector_init(&v);
        EXPECT_EQ(if_index_vector_add(&v, c.ifx), c.position >= 0 ? kOk : kBadType) << c.ifx;
        EXPECT_EQ(if_index_vector_is_present(&v, c.ifx), c.position >= 0) << c.ifx;
        EXPECT_EQ(if_index_vector_num_if_type(&v, type), c.position >= 0 ? 1u : 0u) << c.ifx;
        EXPECT_EQ(if_index_vector_first(&v, &first), c.position >= 0 ? kOk : kEmpty) << c.ifx;
        EXPECT_EQ(first, c.position >= 0 ? at(type, c.position) : 0u) << c.ifx;
        EXPECT_EQ(if_index_vec::check_storable(c.ifx).error.code, if_index_vec::text_errc::beyond_capacity) << c.ifx;
    }
    runs_agree(Codec::folding);
}

} // namespace
