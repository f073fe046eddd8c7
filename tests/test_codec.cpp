// The stand-in codec: classification, accessors, names and parsing.
#include "support.hpp"

#include <cstring>
#include <string>

namespace {

using ifvec::test::at;

TEST(Codec, EveryTypeCodeRoundTripsThroughTypeNameAndParse) {
    for (unsigned code = 0; code < 256; ++code) {
        for (std::uint32_t number : {0u, 1u, 63u, 255u, 4095u, 65535u, 0xFFFFFFu}) {
            std::uint32_t ifx = 0;
            if (if_index_init(&ifx, static_cast<std::uint8_t>(code), number) != IF_INDEX_CODEC_OK)
                continue; // does not fit this type's payload
            if_index_type_info_t info;
            std::memset(&info, 0xEE, sizeof info);
            ASSERT_EQ(if_index_get_type(ifx, &info), 0u) << code << ":" << number;
            EXPECT_EQ(info.type, code);
            char name[256];
            const int len = sprintf_if_index(name, ifx);
            EXPECT_EQ(len, static_cast<int>(std::strlen(name)));
            EXPECT_LT(len, IF_INDEX_NAME_MAX);
            std::uint32_t back = 0;
            EXPECT_EQ(if_index_parse(name, &back), 0u) << name;
            EXPECT_EQ(back, ifx) << name;
        }
    }
}

TEST(Codec, NamesReadAsSwitchInterfaces) {
    struct Case { std::uint32_t ifx; const char *name; } cases[] = {
        {at(IF_TYPE_PHY_FC, 0), "fc1/1"},
        {at(IF_TYPE_PHY_FC, 64 + 5), "fc2/6"},
        {at(IF_TYPE_ISCSI, 15 * 64 + 63), "iscsi16/64"},
        {at(IF_TYPE_PORT_CHANNEL, 0), "port-channel0"},
        {at(IF_TYPE_FC_TUNNEL, 4095), "fc-tunnel4095"},
        {at(IF_TYPE_SINGLE, 1), "mgmt1"},
        {at(10, 5), "type10:5"},
        {0, "invalid"},
    };
    for (const auto &c : cases) {
        char name[256];
        sprintf_if_index(name, c.ifx);
        EXPECT_STREQ(name, c.name);
    }
}

TEST(Codec, UnclassifiableValuesFailWithoutWritingTheType) {
    for (std::uint32_t bad : {0u, 0x06000000u, 0x01000001u, 0x0B0000FFu, 0x04010000u, 0x0F800000u}) {
        if_index_type_info_t info;
        info.type = 0xAB;
        EXPECT_NE(if_index_get_type(bad, &info), 0u) << std::hex << bad;
        EXPECT_EQ(info.type, 0xAB) << std::hex << bad;
    }
}

TEST(Codec, AccessorsRefuseOtherTypesAndLeaveOutputs) {
    std::uint8_t slot = 9, port = 9, unit = 9;
    std::uint16_t num = 9;
    const std::uint32_t tunnel = at(IF_TYPE_FC_TUNNEL, 1);
    EXPECT_NE(if_index_phy_fc_get_fields(tunnel, &slot, &port, &unit), 0u);
    EXPECT_NE(if_index_iscsi_get_fields(tunnel, &slot, &port), 0u);
    EXPECT_NE(if_index_port_channel_get_channel_num(tunnel, &num), 0u);
    EXPECT_NE(if_index_fcmpls_tnnl_get_tunnel(at(IF_TYPE_PORT_CHANNEL, 1), &num), 0u);
    EXPECT_EQ(slot + port + unit + num, 36);
    EXPECT_EQ(if_index_iscsi_get_fields(at(IF_TYPE_ISCSI, 3 * 64 + 7), &slot, &port), 0u);
    EXPECT_EQ(slot, 3);
    EXPECT_EQ(port, 7);
}

TEST(Codec, ParseRejectsAnythingButACanonicalName) {
    struct Case { const char *text; std::uint32_t status; } cases[] = {
        {"", IF_INDEX_CODEC_EINVAL},
        {"fc", IF_INDEX_CODEC_EINVAL},
        {"fc1", IF_INDEX_CODEC_EINVAL},
        {"fc1/", IF_INDEX_CODEC_EINVAL},
        {"fc01/1", IF_INDEX_CODEC_EINVAL},
        {"fc1/1x", IF_INDEX_CODEC_EINVAL},
        {" fc1/1", IF_INDEX_CODEC_EINVAL},
        {"fc+1/1", IF_INDEX_CODEC_EINVAL},
        {"fc0/1", IF_INDEX_CODEC_ERANGE},
        {"fc257/1", IF_INDEX_CODEC_ERANGE},
        {"iscsi1/0", IF_INDEX_CODEC_ERANGE},
        {"port-channel65536", IF_INDEX_CODEC_ERANGE},
        {"fc-tunnel99999999999", IF_INDEX_CODEC_ERANGE},
        {"mgmt0", IF_INDEX_CODEC_ERANGE},
        {"type1:5", IF_INDEX_CODEC_EINVAL}, // named types have one spelling
        {"type256:1", IF_INDEX_CODEC_ERANGE},
        {"type10:16777216", IF_INDEX_CODEC_ERANGE},
        {"type10", IF_INDEX_CODEC_EINVAL},
        {"ethernet1/1", IF_INDEX_CODEC_EINVAL},
    };
    for (const auto &c : cases) {
        std::uint32_t out = 0x12345678;
        EXPECT_EQ(if_index_parse(c.text, &out), c.status) << '"' << c.text << '"';
        EXPECT_EQ(out, 0x12345678u) << '"' << c.text << '"';
    }
}

} // namespace
