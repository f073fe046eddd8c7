// SPDX-License-Identifier: MIT
/*
 * if_index_codec_adapter.hpp - every call the vector library makes into the
 * interface-index codec, and what it makes of the results.
 *
 * Header-only C++20; it adds no symbol to libif_index_vec.  The library, its
 * C++ interface and its tools read the codec through these functions only,
 * so this is the one file to read when porting to a platform's codec.  Of
 * the codec it needs the ten calls of <if_index_codec/if_index_codec.h>:
 * if_index_get_type(), the four constructors, the four field accessors and
 * sprintf_if_index().
 *
 *   if_index_vec::classify()        the codec's type code of an if_index, and its status
 *   if_index_vec::position_of()     if_index -> position within its type's bitmap
 *   if_index_vec::locate()          both at once
 *   if_index_vec::if_index_at()     position -> if_index, the inverse
 *   if_index_vec::construct_into()  the same, written through a caller's pointer
 *   if_index_vec::name_into()       the codec's name of an if_index, always terminated
 *
 * The codec is trusted for exactly one result: the type code that
 * if_index_get_type() writes into the first byte of its type record; its
 * status is handed back by add and remove, no other status is read.  Every
 * value an accessor writes is taken as it is: slot 0 port 255 is position
 * 255, like any port of 64 or more (the rule slot * 64 + port is not masked).
 * What the codec does not write is still defined, never read uninitialised:
 *   - the type record starts with no_type (0xFF), which no bitmap or slot
 *     holds, so an if_index the codec does not classify has no storage;
 *   - every field starts with all bits set, so an accessor that writes
 *     nothing gives slot 255 port 255 (position 16575), or channel or tunnel
 *     65535: a position beyond every capacity, which a record cannot hold;
 *   - an if_index starts at 0, so a constructor that writes nothing gives 0;
 *   - a name starts empty and is cut at the end of its buffer, and is read
 *     up to its terminator, never by the length the codec reports.
 */
#ifndef IF_INDEX_VEC_IF_INDEX_CODEC_ADAPTER_HPP
#define IF_INDEX_VEC_IF_INDEX_CODEC_ADAPTER_HPP

#if !defined(__cplusplus) || __cplusplus < 202002L
#error "<if_index_vec/if_index_codec_adapter.hpp> needs C++20 (compile with -std=c++20 or later)"
#else /* C++20 */

#include <if_index_codec/if_index_codec.h>
#include <if_index_vec/if_index_types.hpp>

#include <cstddef>
#include <cstdint>
#include <span>
#include <type_traits>

namespace if_index_vec {

/* What if_index_get_type() said: its status (handed back by add and remove,
 * otherwise ignored) and the type code it wrote, or no_type. */
struct classification {
    std::uint32_t status;
    std::uint8_t type;
};

namespace codec_detail {
template <class F>
struct record_arg;
template <class R, class A, class P>
struct record_arg<R (*)(A, P)> {
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

/* What a field holds when the accessor writes nothing. */
inline constexpr std::uint8_t unwritten_u8 = 0xFF;
inline constexpr std::uint16_t unwritten_u16 = 0xFFFF;
} // namespace codec_detail

/* Asks the codec for the type code of `if_index`. */
[[nodiscard]] inline classification classify(std::uint32_t if_index) noexcept {
    alignas(std::max_align_t) unsigned char record[codec_detail::record_bytes];
    record[0] = no_type;
    const std::uint32_t status =
        if_index_get_type(if_index, static_cast<codec_detail::record_ptr>(static_cast<void *>(record)));
    return {status, record[0]};
}

/* Position of `if_index` within the bitmap of type code `code` (0 to 16575
 * for the port types, 0 to 65535 for the others), or no_position when `code`
 * has no bitmap.  The position may lie at or beyond the capacity. */
[[nodiscard]] inline int position_of(std::uint8_t code, std::uint32_t if_index) noexcept {
    using namespace codec_detail;
    switch (code) {
    case IF_TYPE_PHY_FC: {
        std::uint8_t slot = unwritten_u8, port = unwritten_u8, third = 0;
        if_index_phy_fc_get_fields(if_index, &slot, &port, &third);
        return slot_port_position(slot, port);
    }
    case IF_TYPE_ISCSI: {
        std::uint8_t slot = unwritten_u8, port = unwritten_u8;
        if_index_iscsi_get_fields(if_index, &slot, &port);
        return slot_port_position(slot, port);
    }
    case IF_TYPE_PORT_CHANNEL: {
        std::uint16_t channel = unwritten_u16;
        if_index_port_channel_get_channel_num(if_index, &channel);
        return channel;
    }
    case IF_TYPE_FC_TUNNEL: {
        std::uint16_t tunnel = unwritten_u16;
        if_index_fcmpls_tnnl_get_tunnel(if_index, &tunnel);
        return tunnel;
    }
    default: return no_position;
    }
}

/* An if_index as the codec describes it: classify() and position_of() in one
 * step.  Always inlined: a walk makes three codec calls per member, and the
 * library's own share of that cost is kept to the calls themselves. */
struct location {
    std::uint32_t status; /* if_index_get_type()'s result */
    std::uint8_t type;    /* the type code, or no_type */
    int position;         /* as position_of() gives it */
};

[[nodiscard, gnu::always_inline]] inline location locate(std::uint32_t if_index) noexcept {
    const classification c = classify(if_index);
    return {c.status, c.type, position_of(c.type, if_index)};
}

/* Calls the constructor of type code `code` for `position`, which writes
 * the if_index into `*out`.  `*out` keeps what the caller put there for a
 * code without a bitmap, or when the constructor writes nothing.  The
 * constructor's status is not read. */
inline void construct_into(std::uint8_t code, int position, std::uint32_t *out) noexcept {
    const auto slot = static_cast<std::uint8_t>(slot_of(position));
    const auto port = static_cast<std::uint8_t>(port_of(position));
    const auto number = static_cast<std::uint16_t>(position);
    switch (code) {
    case IF_TYPE_PHY_FC: if_index_phy_fc_port_init(out, slot, port, 0); break;
    case IF_TYPE_ISCSI: if_index_iscsi_port_init(out, slot, port); break;
    case IF_TYPE_PORT_CHANNEL: if_index_port_channel_init(out, number); break;
    case IF_TYPE_FC_TUNNEL: if_index_fcmpls_tnnl_init(out, number); break;
    default: break;
    }
}

/* The if_index at `position` of the bitmap of type code `code`: the inverse
 * of position_of() for positions below the capacity.  0 for a code without
 * a bitmap, or when the codec's constructor writes nothing. */
[[nodiscard]] inline std::uint32_t if_index_at(std::uint8_t code, int position) noexcept {
    std::uint32_t if_index = 0;
    construct_into(code, position, &if_index);
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

} // namespace if_index_vec

#endif /* C++20 */
#endif /* IF_INDEX_VEC_IF_INDEX_CODEC_ADAPTER_HPP */
