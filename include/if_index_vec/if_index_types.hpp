// SPDX-License-Identifier: MIT
/*
 * if_index_types.hpp - the interface types a vector holds, as data, and the
 * position rule of the port types.
 *
 * Header-only C++20, the lowest of the C++ layers: plain constants and
 * constexpr functions, no codec call, no allocation, nothing that throws.
 * The library itself is built on it, and so are the codec adapter
 * (<if_index_vec/if_index_codec_adapter.hpp>) and the text forms
 * (<if_index_vec/if_index_text.hpp>).
 *
 *   if_index_vec::bitmap_types  the four bitmap types in canonical order: type
 *                               code, keyword, capacity, dump header
 *   if_index_vec::single_type   the single slot's type code and keyword
 *   if_index_vec::find_bitmap_type() the row of a type code
 *   if_index_vec::slot_port_position(), slot_of(), port_of()
 *                             PHY_FC and ISCSI positions are slot * 64 + port
 *   if_index_vec::no_position, if_index_vec::no_type
 *                             "none" for a position and for a type code
 */
#ifndef IF_INDEX_VEC_IF_INDEX_TYPES_HPP
#define IF_INDEX_VEC_IF_INDEX_TYPES_HPP

#if !defined(__cplusplus) || __cplusplus < 202002L
#error "<if_index_vec/if_index_types.hpp> needs C++20 (compile with -std=c++20 or later)"
#else /* C++20 */

#include <if_index_vec/if_index_vector.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <string_view>

namespace if_index_vec {

/* A type held in a bitmap of the record. */
struct bitmap_type {
    std::uint8_t code;            /* type code reported by the codec */
    std::string_view keyword;     /* its name in range lists: "phy_fc" */
    int capacity;                 /* positions 0 .. capacity - 1 */
    std::string_view dump_header; /* line header of the decimal and hex dumps */
    bool slot_port;               /* positions are slot * ports_per_slot + port */
};

/* The bitmap types in canonical order. */
inline constexpr std::array<bitmap_type, 4> bitmap_types{{
    {IF_TYPE_PHY_FC, "phy_fc", IF_INDEX_VECTOR_PHY_FC_POSITIONS, "PHY_FC interfaces: ", true},
    {IF_TYPE_PORT_CHANNEL, "port_channel", IF_INDEX_VECTOR_PORT_CHANNEL_POSITIONS,
     "PORT_CHANNEL interfaces: ", false},
    {IF_TYPE_ISCSI, "iscsi", IF_INDEX_VECTOR_ISCSI_POSITIONS, "ISCSI interfaces: ", true},
    {IF_TYPE_FC_TUNNEL, "fc_tunnel", IF_INDEX_VECTOR_FC_TUNNEL_POSITIONS, "FC-TUNNEL interfaces: ", false},
}};

/* The first line of the decimal and hex dumps, before the member count. */
inline constexpr std::string_view dump_count_header = "No. of interfaces: ";

/* The type of the single slot, which holds one if_index and no positions. */
struct single_slot_type {
    std::uint8_t code;
    std::string_view keyword;
};
inline constexpr single_slot_type single_type{IF_TYPE_SINGLE, "mgmt"};

/* The row of bitmap_types with type code `code`, or nullptr. */
[[nodiscard]] constexpr const bitmap_type *find_bitmap_type(std::uint32_t code) noexcept {
    const auto *t = std::find_if(bitmap_types.begin(), bitmap_types.end(),
                                 [code](const bitmap_type &b) { return b.code == code; });
    return t != bitmap_types.end() ? t : nullptr;
}

/* "No position": a type without a bitmap, or a scan that found nothing. */
inline constexpr int no_position = -1;

/* The position rule of the two port types, and its inverse.  The rule is not
 * masked: slot 0 port 64 is position 64, the position of slot 1 port 0. */
inline constexpr int ports_per_slot = 64;
[[nodiscard]] constexpr int slot_port_position(int slot, int port) noexcept {
    return slot * ports_per_slot + port;
}
[[nodiscard]] constexpr int slot_of(int position) noexcept { return position / ports_per_slot; }
[[nodiscard]] constexpr int port_of(int position) noexcept { return position % ports_per_slot; }

/* The type code no bitmap or slot holds: where if_index_get_type() writes
 * nothing, the if_index counts as of a type without storage. */
inline constexpr std::uint8_t no_type = 0xFF;
static_assert(find_bitmap_type(no_type) == nullptr && single_type.code != no_type);

} // namespace if_index_vec

/* The namespace's name before 1.1: an alias kept for one release. */
namespace [[deprecated("the C++ namespace is now if_index_vec")]] ifvec {
using namespace ::if_index_vec;
} // namespace ifvec

#endif /* C++20 */
#endif /* IF_INDEX_VEC_IF_INDEX_TYPES_HPP */
