// The library's side of the interface-index codec: classifying an if_index
// and converting between if_indexes and bitmap positions.  Nothing else in
// the library calls the codec directly.
//
// A failed codec call leaves its output as the library initialised it: the
// type code starts at kNoType, which no field holds, so an if_index the codec
// cannot classify is treated as of an unheld type; a failed field accessor
// gives kNone, which every caller treats the same way.
//
// The conversions are inline: a walk makes three codec calls per member, and
// the library's own share of that cost is kept to the calls themselves.
#pragma once

#include <if_index_codec/if_index_codec.h>
#include <if_index_vec/if_index_vector.h>

#include <cstdint>

#include "../vector/bitmap.hpp"

namespace ifv::detail {

// A type code that no field holds and that is above every accepted code.
inline constexpr std::uint8_t kNoType = 0xFF;

struct Classified {
    std::uint32_t status; // if_index_get_type()'s result, handed back by add/remove
    std::uint8_t type;    // the type code, or kNoType
};

inline constexpr int kPortsPerSlot = 64;

// Asks the codec for the type code of `if_index`.
inline Classified classify(std::uint32_t if_index) noexcept {
    if_index_type_info_t info{};
    info.type = kNoType;
    const std::uint32_t status = if_index_get_type(if_index, &info);
    return {status, info.type};
}

// Position of `if_index` within the bitmap of bitmap type `type`: slot * 64 +
// port for the two port types, the channel or tunnel number otherwise; kNone
// when the codec's accessor fails.  The result may lie beyond the capacity.
inline int position_of(std::uint8_t type, std::uint32_t if_index) noexcept {
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

// The if_index of bitmap type `type` at `position`: the inverse of position_of.
inline std::uint32_t if_index_at(std::uint8_t type, int position) noexcept {
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
