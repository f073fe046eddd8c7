// The library against a misbehaving codec.  This program defines the codec's
// calls itself; the dynamic linker binds the library's calls to them (the
// executable comes first in symbol lookup), and they forward to the stand-in
// with one of three behaviours:
//   honest   unchanged;
//   planted  a few if_indexes misclassified or with accessors that fail;
//   lying    every result right, but every status but if_index_get_type's
//            non-zero and every name length wrong (0, -1 or far too long):
//            none of those may change anything the library does.
#include "support.hpp"

#include <if_index_vec/if_index_vector.hpp>

#include <dlfcn.h>

#include <cstring>

namespace {

enum class Codec { honest, planted, lying };
Codec g_codec = Codec::honest; // set by each test; the tests run one at a time

constexpr std::uint32_t kZeroAsSingle = 0;                   // classified as type 6
constexpr std::uint32_t kNoClassification = 0x01000000u;     // fails, type not written
constexpr std::uint32_t kStatusNine = 0x040000C8u;           // port-channel200, status 9
constexpr std::uint32_t kTunnelAccessorFails = 0x0F00004Du;  // fc-tunnel77
constexpr std::uint32_t kPhyFcAccessorFails = 0x01020300u;   // fc3/4
constexpr std::uint32_t kIscsiAccessorFails = 0x0B000100u;   // iscsi1/2
constexpr std::uint32_t kChannelAccessorFails = 0x04000005u; // port-channel5
// Classified as a bitmap type, but the field accessor then fails.
constexpr std::uint32_t kAccessorFails[] = {kPhyFcAccessorFails, kChannelAccessorFails,
                                            kIscsiAccessorFails, kTunnelAccessorFails};
constexpr std::uint32_t kLie = 42;

// The stand-in's definition of `name`, typed like `Fn`.
template <class Fn>
Fn *real(Fn *, const char *name) {
    return reinterpret_cast<Fn *>(dlsym(RTLD_NEXT, name));
}
#define REAL(fn) (real(&fn, #fn))

// Forwards a field accessor: fails for `planted`, lies about success when lying.
template <class Fn, class... Args>
std::uint32_t accessor(Fn *fn, std::uint32_t ifx, std::uint32_t planted, Args... out) {
    if (g_codec == Codec::planted && ifx == planted)
        return 1;
    const std::uint32_t st = fn(ifx, out...);
    return g_codec == Codec::lying ? kLie : st;
}

// Forwards a constructor, lying about success when lying.
template <class Fn, class... Args>
std::uint32_t constructor(Fn *fn, std::uint32_t *ifx, Args... in) {
    const std::uint32_t st = fn(ifx, in...);
    return g_codec == Codec::lying ? kLie : st;
}

} // namespace

extern "C" {

uint32_t if_index_get_type(uint32_t ifx, if_index_type_info_t *info) {
    if (g_codec == Codec::planted && ifx == kZeroAsSingle) {
        info->type = IF_TYPE_SINGLE;
        return 0;
    }
    if (g_codec == Codec::planted && ifx == kNoClassification)
        return 7;
    const uint32_t st = REAL(if_index_get_type)(ifx, info);
    return g_codec == Codec::planted && ifx == kStatusNine ? 9 : st;
}

uint32_t if_index_phy_fc_get_fields(uint32_t ifx, uint8_t *slot, uint8_t *port, uint8_t *third) {
    return accessor(REAL(if_index_phy_fc_get_fields), ifx, kPhyFcAccessorFails, slot, port, third);
}
uint32_t if_index_iscsi_get_fields(uint32_t ifx, uint8_t *slot, uint8_t *port) {
    return accessor(REAL(if_index_iscsi_get_fields), ifx, kIscsiAccessorFails, slot, port);
}
uint32_t if_index_port_channel_get_channel_num(uint32_t ifx, uint16_t *channel) {
    return accessor(REAL(if_index_port_channel_get_channel_num), ifx, kChannelAccessorFails, channel);
}
uint32_t if_index_fcmpls_tnnl_get_tunnel(uint32_t ifx, uint16_t *tunnel) {
    return accessor(REAL(if_index_fcmpls_tnnl_get_tunnel), ifx, kTunnelAccessorFails, tunnel);
}

uint32_t if_index_phy_fc_port_init(uint32_t *ifx, uint8_t slot, uint8_t port, uint8_t third) {
    return constructor(REAL(if_index_phy_fc_port_init), ifx, slot, port, third);
}
uint32_t if_index_iscsi_port_init(uint32_t *ifx, uint8_t slot, uint8_t port) {
    return constructor(REAL(if_index_iscsi_port_init), ifx, slot, port);
}
uint32_t if_index_port_channel_init(uint32_t *ifx, uint16_t channel) {
    return constructor(REAL(if_index_port_channel_init), ifx, channel);
}
uint32_t if_index_fcmpls_tnnl_init(uint32_t *ifx, uint16_t tunnel) {
    return constructor(REAL(if_index_fcmpls_tnnl_init), ifx, tunnel);
}

int sprintf_if_index(char *buf, uint32_t ifx) {
    static int calls = 0;
    const int n = REAL(sprintf_if_index)(buf, ifx);
    if (g_codec != Codec::lying)
        return n;
    constexpr int kLengths[] = {0, -1, 100000};
    return kLengths[calls++ % 3];
}

} // extern "C"

namespace {

using ifvec::test::at;

TEST(CodecFaults, ValuesTheRecordCannotHoldAreRefused) {
    g_codec = Codec::planted;
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
    g_codec = Codec::planted;
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
    g_codec = Codec::planted;
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

// Statuses other than if_index_get_type's, and the name lengths, are never
// read: with all of them lying, every operation and every printed text still
// agrees with the model.
TEST(CodecFaults, LyingStatusesAndNameLengthsChangeNothing) {
    g_codec = Codec::lying;
    for (std::uint64_t seed = 1; seed <= 3; ++seed) {
        ifvec::test::RandomSource src{seed};
        EXPECT_EQ(ifvec::test::Driver<ifvec::test::RandomSource>(src).run(3000), "") << "seed " << seed;
    }
    ifvec::index_vector v;
    for (std::uint32_t x : {at(IF_TYPE_PHY_FC, 0), at(IF_TYPE_PHY_FC, 65), at(IF_TYPE_FC_TUNNEL, 9),
                            at(IF_TYPE_SINGLE, 3)})
        ASSERT_EQ(v.insert(x), ifvec::status::ok);
    EXPECT_EQ(v.to_string(), "fc1/1, fc2/2\nfc-tunnel9\nmgmt3\n");
    EXPECT_EQ(ifvec::test::capture_stdout([&] { if_index_vector_printf(v.c_ptr()); }), v.to_string());
}

} // namespace
