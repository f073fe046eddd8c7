// The library against a misbehaving codec.  This program defines its own
// if_index_get_type and the four field accessors; the dynamic linker
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
constexpr std::uint32_t kPhyFcAccessorFails = 0x01020300u;  // fc3/4
constexpr std::uint32_t kIscsiAccessorFails = 0x0B000100u;  // iscsi1/2
constexpr std::uint32_t kChannelAccessorFails = 0x04000005u; // port-channel5
// Classified as a bitmap type, but the field accessor then fails.
constexpr std::uint32_t kAccessorFails[] = {kPhyFcAccessorFails, kChannelAccessorFails,
                                            kIscsiAccessorFails, kTunnelAccessorFails};

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

extern "C" uint32_t if_index_phy_fc_get_fields(uint32_t ifx, uint8_t *slot, uint8_t *port,
                                               uint8_t *reserved) {
    if (ifx == kPhyFcAccessorFails)
        return 1;
    static const auto real = next_definition<uint32_t (*)(uint32_t, uint8_t *, uint8_t *, uint8_t *)>(
        "if_index_phy_fc_get_fields");
    return real(ifx, slot, port, reserved);
}

extern "C" uint32_t if_index_iscsi_get_fields(uint32_t ifx, uint8_t *slot, uint8_t *port) {
    if (ifx == kIscsiAccessorFails)
        return 1;
    static const auto real =
        next_definition<uint32_t (*)(uint32_t, uint8_t *, uint8_t *)>("if_index_iscsi_get_fields");
    return real(ifx, slot, port);
}

extern "C" uint32_t if_index_port_channel_get_channel_num(uint32_t ifx, uint16_t *channel) {
    if (ifx == kChannelAccessorFails)
        return 1;
    static const auto real = next_definition<uint32_t (*)(uint32_t, uint16_t *)>(
        "if_index_port_channel_get_channel_num");
    return real(ifx, channel);
}

namespace {

using ifv::test::at;

TEST(CodecFaults, ValuesTheRecordCannotHoldAreRefused) {
    if_index_vector_t v;
    if_index_vector_init(&v);
    ASSERT_EQ(if_index_vector_add(&v, at(IF_TYPE_PHY_FC, 1)), 0u);
    const if_index_vector_t before = v;
    for (std::uint32_t x : {kZeroAsSingle, kNoClassification, kPhyFcAccessorFails,
                            kChannelAccessorFails, kIscsiAccessorFails, kTunnelAccessorFails}) {
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

TEST(CodecFaults, WalksFromAnIfIndexWhoseFieldsCannotBeReadMoveNothing) {
    if_index_vector_t v;
    if_index_vector_init(&v);
    for (std::uint8_t code : {IF_TYPE_PHY_FC, IF_TYPE_PORT_CHANNEL, IF_TYPE_ISCSI, IF_TYPE_FC_TUNNEL})
        ASSERT_EQ(if_index_vector_add(&v, at(code, 100)), 0u);
    ASSERT_EQ(if_index_vector_add(&v, at(IF_TYPE_SINGLE, 1)), 0u);
    for (std::uint32_t x : kAccessorFails) {
        std::uint32_t cursor = x, out = 0xDEADBEEF;
        EXPECT_EQ(if_index_vector_itr_incr(&v, &cursor), std::uint32_t{IF_INDEX_VECTOR_END}) << x;
        EXPECT_EQ(cursor, x) << "itr_incr moved the cursor from " << x;
        EXPECT_EQ(if_index_vector_next(&v, x, &out), std::uint32_t{IF_INDEX_VECTOR_BAD_TYPE}) << x;
        EXPECT_EQ(if_index_vector_get_next(&v, &x, &out), std::uint32_t{IF_INDEX_VECTOR_BAD_TYPE}) << x;
        EXPECT_EQ(out, 0xDEADBEEFu) << "next wrote an output for " << x;
    }
}

} // namespace
