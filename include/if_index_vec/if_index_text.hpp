/*
 * if_index_text.hpp - the held interface types as data, and the conversions
 * between if_indexes, positions and names through the interface-index codec.
 *
 * Header-only C++20; it adds no symbol to libif_index_vec.  The library, its
 * C++ interface and its tools all take these facts from here:
 *
 *   ifvec::bitmap_types    the four bitmap types in canonical order: type
 *                          code, keyword, capacity in positions, dump header
 *   ifvec::single_type     the single slot's type code and keyword
 *   ifvec::classify()      the codec's type code of an if_index
 *   ifvec::position_of()   if_index -> position within its type's bitmap
 *   ifvec::if_index_at()   position -> if_index, the inverse
 *   ifvec::name_into()     the codec's name of an if_index, always terminated
 *
 * Positions: PHY_FC and ISCSI hold slot * 64 + port, PORT_CHANNEL the
 * channel number, FC-TUNNEL the tunnel number.
 *
 * The codec is trusted for exactly one result: the type code that
 * if_index_get_type() writes into the first byte of its type record.  Every
 * other output is checked instead of its status: each field starts at a value
 * that no storable position uses (slot, port 0xFF; channel, tunnel 0xFFFF),
 * and a field still holding it means the accessor failed.  Names are read up
 * to their terminator, never by the length the codec reports.
 */
#ifndef IF_INDEX_VEC_IF_INDEX_TEXT_HPP
#define IF_INDEX_VEC_IF_INDEX_TEXT_HPP

#if !defined(__cplusplus) || __cplusplus < 202002L
#error "<if_index_vec/if_index_text.hpp> needs C++20 (compile with -std=c++20 or later)"
#else /* C++20 */

#include <if_index_codec/if_index_codec.h>
#include <if_index_vec/if_index_vector.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <type_traits>

namespace ifvec {

/* A type held in a bitmap of the record. */
struct bitmap_type {
    std::uint8_t code;            /* type code reported by the codec */
    std::string_view keyword;     /* its name in range lists: "phy_fc" */
    int capacity;                 /* positions 0 .. capacity - 1 */
    std::string_view dump_header; /* line header of the decimal and hex dumps */
};

/* The bitmap types in canonical order. */
inline constexpr std::array<bitmap_type, 4> bitmap_types{{
    {IF_TYPE_PHY_FC, "phy_fc", IF_INDEX_VECTOR_PHY_FC_POSITIONS, "PHY_FC interfaces: "},
    {IF_TYPE_PORT_CHANNEL, "port_channel", IF_INDEX_VECTOR_PORT_CHANNEL_POSITIONS,
     "PORT_CHANNEL interfaces: "},
    {IF_TYPE_ISCSI, "iscsi", IF_INDEX_VECTOR_ISCSI_POSITIONS, "ISCSI interfaces: "},
    {IF_TYPE_FC_TUNNEL, "fc_tunnel", IF_INDEX_VECTOR_FC_TUNNEL_POSITIONS, "FC-TUNNEL interfaces: "},
}};

/* The type of the single slot, which holds one if_index and no positions. */
struct single_slot_type {
    std::uint8_t code;
    std::string_view keyword;
};
inline constexpr single_slot_type single_type{IF_TYPE_SINGLE, "mgmt"};

/* The row of bitmap_types with type code `code`, or nullptr. */
[[nodiscard]] constexpr const bitmap_type *find_bitmap_type(std::uint32_t code) noexcept {
    for (const bitmap_type &t : bitmap_types)
        if (t.code == code)
            return &t;
    return nullptr;
}

/* "No position": an if_index whose fields the codec does not give. */
inline constexpr int no_position = -1;

/* The position rule of the two port types, and its inverse. */
inline constexpr int ports_per_slot = 64;
[[nodiscard]] constexpr int slot_port_position(int slot, int port) noexcept {
    return slot * ports_per_slot + port;
}
[[nodiscard]] constexpr int slot_of(int position) noexcept { return position / ports_per_slot; }
[[nodiscard]] constexpr int port_of(int position) noexcept { return position % ports_per_slot; }

/* The type code no field holds: where if_index_get_type() writes nothing,
 * the if_index counts as of a type without storage. */
inline constexpr std::uint8_t no_type = 0xFF;

/* What if_index_get_type() said: its status (handed back by add and remove,
 * otherwise ignored) and the type code it wrote, or no_type. */
struct classification {
    std::uint32_t status;
    std::uint8_t type;
};

namespace codec_detail {
template <class F> struct record_arg;
template <class R, class A, class P> struct record_arg<R (*)(A, P)> {
    using type = P;
};
/* The pointer type of if_index_get_type()'s type record, whatever the codec
 * calls it. */
using record_ptr = typename record_arg<decltype(&if_index_get_type)>::type;
using record_t = std::remove_pointer_t<record_ptr>;
/* Room set aside for the type record; only its first byte is read. */
inline constexpr std::size_t record_bytes = 24;
static_assert(std::is_void_v<record_t> || sizeof(record_t) <= record_bytes,
              "the codec's type record is larger than the room set aside for it");

inline constexpr std::uint8_t unfilled_u8 = 0xFF;
inline constexpr std::uint16_t unfilled_u16 = 0xFFFF;

[[nodiscard]] constexpr int port_position(std::uint8_t slot, std::uint8_t port) noexcept {
    return slot == unfilled_u8 || port == unfilled_u8 ? no_position : slot_port_position(slot, port);
}
[[nodiscard]] constexpr int number_position(std::uint16_t n) noexcept {
    return n == unfilled_u16 ? no_position : n;
}
} // namespace codec_detail

/* Asks the codec for the type code of `if_index`. */
[[nodiscard]] inline classification classify(std::uint32_t if_index) noexcept {
    alignas(std::max_align_t) unsigned char record[codec_detail::record_bytes];
    record[0] = no_type;
    const std::uint32_t status = if_index_get_type(
        if_index, static_cast<codec_detail::record_ptr>(static_cast<void *>(record)));
    return {status, record[0]};
}

/* Position of `if_index` within the bitmap of type code `code`, or
 * no_position when the codec does not give its fields or `code` has no
 * bitmap.  The position may lie at or beyond the capacity. */
[[nodiscard]] inline int position_of(std::uint8_t code, std::uint32_t if_index) noexcept {
    using namespace codec_detail;
    switch (code) {
    case IF_TYPE_PHY_FC: {
        std::uint8_t slot = unfilled_u8, port = unfilled_u8, third = 0;
        if_index_phy_fc_get_fields(if_index, &slot, &port, &third);
        return port_position(slot, port);
    }
    case IF_TYPE_ISCSI: {
        std::uint8_t slot = unfilled_u8, port = unfilled_u8;
        if_index_iscsi_get_fields(if_index, &slot, &port);
        return port_position(slot, port);
    }
    case IF_TYPE_PORT_CHANNEL: {
        std::uint16_t channel = unfilled_u16;
        if_index_port_channel_get_channel_num(if_index, &channel);
        return number_position(channel);
    }
    case IF_TYPE_FC_TUNNEL: {
        std::uint16_t tunnel = unfilled_u16;
        if_index_fcmpls_tnnl_get_tunnel(if_index, &tunnel);
        return number_position(tunnel);
    }
    default:
        return no_position;
    }
}

/* The if_index at `position` of the bitmap of type code `code`: the inverse
 * of position_of() for positions below the capacity.  0 for a code without
 * a bitmap, or when the codec's constructor writes nothing. */
[[nodiscard]] inline std::uint32_t if_index_at(std::uint8_t code, int position) noexcept {
    std::uint32_t if_index = 0;
    const auto slot = static_cast<std::uint8_t>(slot_of(position));
    const auto port = static_cast<std::uint8_t>(port_of(position));
    switch (code) {
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

/* Room for one name: the codec is given no size, so its longest name, with
 * the terminator, must fit (if_index_codec_check verifies a codec). */
inline constexpr std::size_t name_buffer_size = 256;

/* Writes the codec's name of `if_index` into `buf` and returns it as a
 * terminated string: empty when the codec writes nothing, cut at the end of
 * the buffer when it writes no terminator. */
inline const char *name_into(std::span<char, name_buffer_size> buf, std::uint32_t if_index) noexcept {
    buf.front() = '\0';
    buf.back() = '\0';
    sprintf_if_index(buf.data(), if_index);
    buf.back() = '\0';
    return buf.data();
}

} // namespace ifvec

#endif /* C++20 */
#endif /* IF_INDEX_VEC_IF_INDEX_TEXT_HPP */
