// The held types as data: one row per bitmap, in canonical order.  Walks,
// algebra, counts and dumps loop over this table instead of naming the four
// bitmaps one by one.  The single slot (type 6) has no row; it is handled
// last wherever it is handled.
#pragma once

#include <if_index_vec/if_index_vector.h>

#include <array>
#include <cstddef>
#include <cstdint>

#include "bitmap.hpp"

namespace ifv::detail {

struct BitmapType {
    std::uint8_t code;         // type code reported by the codec
    int capacity;              // positions
    std::size_t bits_offset;   // offset of the bitmap's bytes in the record
    const char *dump_header;   // header of the decimal and hex dumps
    std::size_t text_buffer;   // bytes for the longest range text, terminator included
};

inline constexpr std::array<BitmapType, 4> kBitmapTypes{{
    {IF_TYPE_PHY_FC, IF_INDEX_VECTOR_PHY_FC_POSITIONS, offsetof(if_index_vector_t, phy_fc.bits),
     "PHY_FC interfaces: ", 4096},
    {IF_TYPE_PORT_CHANNEL, IF_INDEX_VECTOR_PORT_CHANNEL_POSITIONS,
     offsetof(if_index_vector_t, port_channel.bits), "PORT_CHANNEL interfaces: ", 1024},
    {IF_TYPE_ISCSI, IF_INDEX_VECTOR_ISCSI_POSITIONS, offsetof(if_index_vector_t, iscsi.bits),
     "ISCSI interfaces: ", 4096},
    {IF_TYPE_FC_TUNNEL, IF_INDEX_VECTOR_FC_TUNNEL_POSITIONS,
     offsetof(if_index_vector_t, fc_tunnel.bits), "FC-TUNNEL interfaces: ", 16384},
}};

inline constexpr std::size_t kBitmapCount = kBitmapTypes.size();

// Every capacity fills whole scan words, and the record's bitmap sizes agree.
static_assert(sizeof(if_index_vector_t{}.phy_fc.bits) * 8 == IF_INDEX_VECTOR_PHY_FC_POSITIONS);
static_assert(sizeof(if_index_vector_t{}.port_channel.bits) * 8 ==
              IF_INDEX_VECTOR_PORT_CHANNEL_POSITIONS);
static_assert(sizeof(if_index_vector_t{}.iscsi.bits) * 8 == IF_INDEX_VECTOR_ISCSI_POSITIONS);
static_assert(sizeof(if_index_vector_t{}.fc_tunnel.bits) * 8 ==
              IF_INDEX_VECTOR_FC_TUNNEL_POSITIONS);
static_assert([] {
    for (const auto &t : kBitmapTypes)
        if (t.capacity % kWordBits != 0)
            return false;
    return true;
}());

// Row index of a bitmap type code, or -1 for a code without a bitmap.
constexpr int bitmap_row(std::uint32_t code) noexcept {
    for (std::size_t i = 0; i < kBitmapCount; ++i)
        if (kBitmapTypes[i].code == code)
            return static_cast<int>(i);
    return -1;
}

inline const std::uint8_t *bitmap_bits(const if_index_vector_t *v, const BitmapType &t) noexcept {
    return reinterpret_cast<const std::uint8_t *>(v) + t.bits_offset;
}

inline std::uint8_t *bitmap_bits(if_index_vector_t *v, const BitmapType &t) noexcept {
    return reinterpret_cast<std::uint8_t *>(v) + t.bits_offset;
}

} // namespace ifv::detail
