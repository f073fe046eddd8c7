// SPDX-License-Identifier: MIT
// The library against a misbehaving codec: this program's own codec calls come
// first in symbol lookup, for the library too, and forward to the stand-in
// either honestly, with a few if_indexes misclassified or with failing
// accessors (planted), or with every result right but every status other than
// if_index_get_type's non-zero and every name length wrong (lying).
#include <gtest/gtest.h>

#include <dlfcn.h>

#include <cstring>

#include "driver.hpp"

namespace {

enum class Codec { honest, planted, lying };
Codec g_codec = Codec::honest; // set by each test; the tests run one at a time

// 0 classified as type 6; fc1/1 not classified, no type written; then fc3/4,
// port-channel5, iscsi1/2, fc-tunnel77 classified, but their accessors fail.
constexpr std::uint32_t kRefused[] = {0, 0x01000000u, 0x01020300u, 0x04000005u, 0x0B000100u, 0x0F00004Du};
constexpr const std::uint32_t *kAccessorFails = kRefused + 2;
constexpr std::uint32_t kStatusNine = 0x040000C8u; // port-channel200, classified with status 9

template <class Fn>
Fn *real(Fn *, const char *name) {
    return reinterpret_cast<Fn *>(dlsym(RTLD_NEXT, name));
}
// Defines `fn` to call the stand-in's definition; a planted accessor fails
// without writing, and every status lies when lying.
#define INTERPOSE(fn, params, ifx, ...)                                                       \
    uint32_t fn params {                                                                      \
        if (g_codec == Codec::planted && std::count(kAccessorFails, std::end(kRefused), ifx)) \
            return 1;                                                                         \
        return real(&fn, #fn)(__VA_ARGS__) + (g_codec == Codec::lying ? 42u : 0u);            \
    }

} // namespace

extern "C" {

uint32_t if_index_get_type(uint32_t ifx, if_index_type_info_t *info) {
    if (g_codec == Codec::planted && ifx == kRefused[0])
        return info->type = IF_TYPE_SINGLE, 0;
    if (g_codec == Codec::planted && ifx == kRefused[1])
        return 7;
    const uint32_t st = real(&if_index_get_type, "if_index_get_type")(ifx, info);
    return g_codec == Codec::planted && ifx == kStatusNine ? 9 : st;
}
INTERPOSE(if_index_phy_fc_get_fields, (uint32_t x, uint8_t *s, uint8_t *p, uint8_t *t), x, x, s, p, t)
INTERPOSE(if_index_iscsi_get_fields, (uint32_t x, uint8_t *s, uint8_t *p), x, x, s, p)
INTERPOSE(if_index_port_channel_get_channel_num, (uint32_t x, uint16_t *c), x, x, c)
INTERPOSE(if_index_fcmpls_tnnl_get_tunnel, (uint32_t x, uint16_t *t), x, x, t)
INTERPOSE(if_index_phy_fc_port_init, (uint32_t * x, uint8_t s, uint8_t p, uint8_t t), 0u, x, s, p, t)
INTERPOSE(if_index_iscsi_port_init, (uint32_t * x, uint8_t s, uint8_t p), 0u, x, s, p)
INTERPOSE(if_index_port_channel_init, (uint32_t * x, uint16_t c), 0u, x, c)
INTERPOSE(if_index_fcmpls_tnnl_init, (uint32_t * x, uint16_t t), 0u, x, t)

int sprintf_if_index(char *buf, uint32_t ifx) {
    static int calls = 0;
    const int n = real(&sprintf_if_index, "sprintf_if_index")(buf, ifx);
    constexpr int kLengths[] = {0, -1, 100000};
    return g_codec == Codec::lying ? kLengths[calls++ % 3] : n;
}

} // extern "C"

namespace {

using ifvec::test::at;

// What the codec cannot classify, or gives no fields for, is held nowhere:
// add and remove refuse it and change nothing, and it is never present.  A
// classification's non-zero status is handed back by add and remove, which
// still do their work.
TEST(CodecFaults, PlantedFaultsAreRefusedAndStatusesHandedBack) {
    g_codec = Codec::planted;
    if_index_vector_t v;
    if_index_vector_init(&v);
    for (std::uint8_t code :
         {IF_TYPE_PHY_FC, IF_TYPE_PORT_CHANNEL, IF_TYPE_ISCSI, IF_TYPE_FC_TUNNEL, IF_TYPE_SINGLE})
        ASSERT_EQ(if_index_vector_add(&v, at(code, 100)), 0u);
    const if_index_vector_t before = v;
    for (std::uint32_t x : kRefused) {
        EXPECT_EQ(if_index_vector_add(&v, x), std::uint32_t{IF_INDEX_VECTOR_BAD_TYPE}) << x;
        EXPECT_EQ(if_index_vector_remove(&v, x), std::uint32_t{IF_INDEX_VECTOR_BAD_TYPE}) << x;
        EXPECT_EQ(if_index_vector_is_present(&v, x), 0) << x;
        EXPECT_EQ(std::memcmp(&v, &before, sizeof v), 0) << x;
    }
    EXPECT_EQ(if_index_vector_add(&v, kStatusNine), 9u);
    EXPECT_EQ(if_index_vector_is_present(&v, kStatusNine), 1);
    EXPECT_EQ(v.num_if, before.num_if + 1);
    EXPECT_EQ(if_index_vector_remove(&v, kStatusNine), 9u);
    EXPECT_EQ(std::memcmp(&v, &before, sizeof v), 0);
}

// With every status but if_index_get_type's and every name length lying,
// every operation, printed text and C++ text still agrees with the model.
TEST(CodecFaults, LyingStatusesAndNameLengthsChangeNothing) {
    g_codec = Codec::lying;
    for (std::uint64_t seed = 1; seed <= 3; ++seed) {
        ifvec::test::Source src(seed);
        EXPECT_EQ(ifvec::test::Driver(src).run(3000), "") << "seed " << seed;
    }
}

} // namespace
