// The library against a misbehaving codec.  This program defines its own
// if_index_get_type and if_index_fcmpls_tnnl_get_tunnel; the dynamic linker
// binds the library's calls to them (the executable comes first in symbol
// lookup), and they forward to the stand-in except for a few planted values.
#include "support.hpp"

#include <dlfcn.h>

#include <cstring>

namespace {

constexpr std::uint32_t kZeroAsSingle = 0;                 // classified as type 6
constexpr std::uint32_t kNoClassification = 0x01000000u;   // fails, type not written
constexpr std::uint32_t kStatusNine = 0x040000C8u;         // port-channel200, status 9
constexpr std::uint32_t kTunnelAccessorFails = 0x0F00004Du; // fc-tunnel77

template <class Fn>
Fn next_definition(const char *name) {
    return reinterpret_cast<Fn>(dlsym(RTLD_NEXT, name));
}

} // namespace

extern "C" uint32_t if_index_get_type(uint32_t ifx, if_index_type_info_t *info) {
    if (ifx == kZeroAsSingle) {
        info->type = IF_TYPE_SINGLE;
        return 0;
    }
    if (ifx == kNoClassification)
        return 7;
    static const auto real =
        next_definition<uint32_t (*)(uint32_t, if_index_type_info_t *)>("if_index_get_type");
    const uint32_t st = real(ifx, info);
    return ifx == kStatusNine ? 9 : st;
}

extern "C" uint32_t if_index_fcmpls_tnnl_get_tunnel(uint32_t ifx, uint16_t *tunnel) {
    if (ifx == kTunnelAccessorFails)
        return 1;
    static const auto real =
        next_definition<uint32_t (*)(uint32_t, uint16_t *)>("if_index_fcmpls_tnnl_get_tunnel");
    return real(ifx, tunnel);
}

namespace {

using ifv::test::at;

TEST(CodecFaults, ValuesTheRecordCannotHoldAreRefused) {
    if_index_vector_t v;
    if_index_vector_init(&v);
    ASSERT_EQ(if_index_vector_add(&v, at(IF_TYPE_PHY_FC, 1)), 0u);
    const if_index_vector_t before = v;
    for (std::uint32_t x : {kZeroAsSingle, kNoClassification, kTunnelAccessorFails}) {
        EXPECT_EQ(if_index_vector_add(&v, x), std::uint32_t{IF_INDEX_VECTOR_BAD_TYPE}) << x;
        EXPECT_EQ(if_index_vector_remove(&v, x), std::uint32_t{IF_INDEX_VECTOR_BAD_TYPE}) << x;
        // The empty slot holds 0, but 0 is never a member.
        EXPECT_EQ(if_index_vector_is_present(&v, x), 0) << x;
        EXPECT_EQ(std::memcmp(&v, &before, sizeof v), 0) << x;
    }
}

TEST(CodecFaults, ANonZeroClassificationStatusIsHandedBackButDoesNotStopTheWork) {
    if_index_vector_t v;
    if_index_vector_init(&v);
    EXPECT_EQ(if_index_vector_add(&v, kStatusNine), 9u);
    EXPECT_EQ(v.num_if, 1u);
    EXPECT_EQ(if_index_vector_is_present(&v, kStatusNine), 1);
    EXPECT_EQ(v.port_channel.bits[200 / 8], 0x80 >> (200 % 8));
    EXPECT_EQ(if_index_vector_remove(&v, kStatusNine), 9u);
    EXPECT_EQ(v.num_if, 0u);
}

} // namespace
