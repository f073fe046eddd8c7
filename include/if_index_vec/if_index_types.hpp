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
 *                               code, keyword, place and size in the record,
 *                               capacity, dump header
 *   if_index_vec::single_type   the single slot's type code and keyword
 *   if_index_vec::find_bitmap_type() the row of a type code
 *   if_index_vec::bit_mask(), test_bit(), set_bits()
 *                             the bit numbering: position p is bit 7 - p % 8
 *                             of byte p / 8
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
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace if_index_vec {

/* A type held in a bitmap of the record, and where the record keeps it.  A
 * bitmap is a 32-bit byte count at `offset` followed by `bytes` bytes of
 * bits; the capacity is what those bytes hold. */
struct bitmap_type {
    constexpr bitmap_type(std::uint8_t code_, std::string_view keyword_, std::size_t offset_, std::size_t bytes_,
                          std::string_view dump_header_, bool slot_port_) noexcept
        : code(code_), keyword(keyword_), offset(offset_), bits_offset(offset_ + sizeof(std::uint32_t)),
          bytes(bytes_), capacity(static_cast<int>(bytes_ * 8)), dump_header(dump_header_),
          slot_port(slot_port_) {}

    std::uint8_t code;            /* type code reported by the codec */
    std::string_view keyword;     /* its name in range lists: "phy_fc" */
    std::size_t offset;           /* of the bitmap (its byte count) in the record */
    std::size_t bits_offset;      /* of its bits in the record */
    std::size_t bytes;            /* of bits: the byte count the record stores */
    int capacity;                 /* positions 0 .. capacity - 1: bytes * 8 */
    std::string_view dump_header; /* line header of the decimal and hex dumps */
    bool slot_port;               /* positions are slot * ports_per_slot + port */
};

/* The bitmap types in canonical order, which is the order of the record's
 * fields. */
inline constexpr auto bitmap_types = std::to_array<bitmap_type>({
    {IF_TYPE_PHY_FC, "phy_fc", offsetof(if_index_vector_t, phy_fc), sizeof if_index_vector_t{}.phy_fc.bits,
     "PHY_FC interfaces: ", true},
    {IF_TYPE_PORT_CHANNEL, "port_channel", offsetof(if_index_vector_t, port_channel),
     sizeof if_index_vector_t{}.port_channel.bits, "PORT_CHANNEL interfaces: ", false},
    {IF_TYPE_ISCSI, "iscsi", offsetof(if_index_vector_t, iscsi), sizeof if_index_vector_t{}.iscsi.bits,
     "ISCSI interfaces: ", true},
    {IF_TYPE_FC_TUNNEL, "fc_tunnel", offsetof(if_index_vector_t, fc_tunnel),
     sizeof if_index_vector_t{}.fc_tunnel.bits, "FC-TUNNEL interfaces: ", false},
});

/* The rows cover the record: after num_if the bitmaps follow each other with
 * no gap and the single slot follows the last, so a bitmap field without a
 * row, or a row out of the fields' order, does not compile. */
static_assert([] {
    std::size_t at = offsetof(if_index_vector_t, num_if) + sizeof(std::uint32_t);
    for (const bitmap_type &t : bitmap_types) {
        if (t.offset != at)
            return false;
        at = t.bits_offset + t.bytes;
    }
    return at == offsetof(if_index_vector_t, single_if_index) &&
           at + sizeof(std::uint32_t) == sizeof(if_index_vector_t);
}());

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

/* The C header's capacity constants are the rows' capacities. */
static_assert(find_bitmap_type(IF_TYPE_PHY_FC)->capacity == IF_INDEX_VECTOR_PHY_FC_POSITIONS &&
              find_bitmap_type(IF_TYPE_PORT_CHANNEL)->capacity == IF_INDEX_VECTOR_PORT_CHANNEL_POSITIONS &&
              find_bitmap_type(IF_TYPE_ISCSI)->capacity == IF_INDEX_VECTOR_ISCSI_POSITIONS &&
              find_bitmap_type(IF_TYPE_FC_TUNNEL)->capacity == IF_INDEX_VECTOR_FC_TUNNEL_POSITIONS);

/* The bit numbering of a bitmap's bytes: position p is bit 7 - p % 8 of byte
 * p / 8, so the most significant bit of byte 0 is position 0.  Positions are
 * not checked against a capacity. */
[[nodiscard]] constexpr std::uint8_t bit_mask(int position) noexcept {
    return static_cast<std::uint8_t>(0x80u >> (static_cast<unsigned>(position) % 8));
}

[[nodiscard]] constexpr bool test_bit(const std::uint8_t *bits, int position) noexcept {
    return (bits[static_cast<unsigned>(position) / 8] & bit_mask(position)) != 0;
}

/* Sets positions first .. last (first <= last). */
constexpr void set_bits(std::uint8_t *bits, int first, int last) noexcept {
    const unsigned lo = static_cast<unsigned>(first) / 8, hi = static_cast<unsigned>(last) / 8;
    const auto head = static_cast<std::uint8_t>(0xFFu >> (static_cast<unsigned>(first) % 8));
    const auto tail = static_cast<std::uint8_t>(0xFFu << (7 - static_cast<unsigned>(last) % 8));
    if (lo == hi) {
        bits[lo] |= head & tail;
        return;
    }
    bits[lo] |= head;
    std::fill(bits + lo + 1, bits + hi, std::uint8_t{0xFF});
    bits[hi] |= tail;
}
static_assert([] {
    std::uint8_t b[3] = {0, 0, 0x01};
    set_bits(b, 3, 17);
    set_bits(b, 20, 20);
    return b[0] == 0x1F && b[1] == 0xFF && b[2] == 0xC9 && test_bit(b, 3) && !test_bit(b, 2) && test_bit(b, 23);
}());

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
