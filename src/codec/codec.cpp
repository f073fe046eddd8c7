// Conversions between if_indexes and positions through the codec's calls.
#include "codec.hpp"

#include <if_index_codec/if_index_codec.h>
#include <if_index_vec/if_index_vector.h>

#include "../vector/bitmap.hpp"

namespace ifv::detail {

namespace {
constexpr int kPortsPerSlot = 64;
}

Classified classify(std::uint32_t if_index) noexcept {
    if_index_type_info_t info{};
    info.type = kNoType;
    const std::uint32_t status = if_index_get_type(if_index, &info);
    return {status, info.type};
}

int position_of(std::uint8_t type, std::uint32_t if_index) noexcept {
    switch (type) {
    case IF_TYPE_PHY_FC: {
        std::uint8_t slot = 0, port = 0, unit = 0;
        if (if_index_phy_fc_get_fields(if_index, &slot, &port, &unit) != IF_INDEX_CODEC_OK)
            return kNone;
        return slot * kPortsPerSlot + port;
    }
    case IF_TYPE_ISCSI: {
        std::uint8_t slot = 0, port = 0;
        if (if_index_iscsi_get_fields(if_index, &slot, &port) != IF_INDEX_CODEC_OK)
            return kNone;
        return slot * kPortsPerSlot + port;
    }
    case IF_TYPE_PORT_CHANNEL: {
        std::uint16_t channel = 0;
        if (if_index_port_channel_get_channel_num(if_index, &channel) != IF_INDEX_CODEC_OK)
            return kNone;
        return channel;
    }
    case IF_TYPE_FC_TUNNEL: {
        std::uint16_t tunnel = 0;
        if (if_index_fcmpls_tnnl_get_tunnel(if_index, &tunnel) != IF_INDEX_CODEC_OK)
            return kNone;
        return tunnel;
    }
    default:
        return kNone;
    }
}

std::uint32_t if_index_at(std::uint8_t type, int position) noexcept {
    std::uint32_t if_index = 0;
    const auto slot = static_cast<std::uint8_t>(position / kPortsPerSlot);
    const auto port = static_cast<std::uint8_t>(position % kPortsPerSlot);
    switch (type) {
    case IF_TYPE_PHY_FC:
        if_index_phy_fc_port_init(&if_index, slot, port, 0);
        break;
    case IF_TYPE_ISCSI:
        if_index_iscsi_port_init(&if_index, slot, port);
        break;
    case IF_TYPE_PORT_CHANNEL:
        if_index_port_channel_init(&if_index, static_cast<std::uint16_t>(position));
        break;
    case IF_TYPE_FC_TUNNEL:
        if_index_fcmpls_tnnl_init(&if_index, static_cast<std::uint16_t>(position));
        break;
    default:
        break;
    }
    return if_index;
}

} // namespace ifv::detail
