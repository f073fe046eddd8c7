// SPDX-License-Identifier: MIT
// Adding, removing and testing single if_indexes, and counts per type.
//
// Every if_index is classified by the codec and resolved to one place in the
// record: a bit of one bitmap, the single slot, or nowhere.  "Nowhere" covers
// unheld and unclassifiable types, positions at or beyond the bitmap's
// capacity (which is where fields that an accessor leaves unwritten land:
// see the codec adapter), and a type-6 if_index of value 0,
// which cannot be told apart from the empty slot.  add and remove answer
// those with IF_INDEX_VECTOR_BAD_TYPE and is_present with 0, leaving the
// record as it was.
#include <if_index_vec/if_index_codec_adapter.hpp>
#include <if_index_vec/if_index_vector.h>

#include "type_table.hpp"

namespace if_index_vec::detail {
namespace {

// A type-6 if_index of value 0 cannot be told apart from the empty slot.
constexpr bool slot_holds(std::uint8_t type, std::uint32_t if_index) noexcept {
    return type == IF_TYPE_SINGLE && if_index != 0;
}

// The byte holding position p of bitmap row Row, and p's bit in it.  p is
// below the row's capacity.
template <std::size_t Row, class Record>
[[gnu::always_inline]] inline auto *byte_of(Record *v, int p) noexcept {
    return bitmap_bits(v, bitmap_rows[Row]) + static_cast<unsigned>(p) / 8;
}

IF_INDEX_VEC_POPCNT_CLONES int count_bitmap(const std::uint8_t *bits, int capacity) noexcept {
    return count_set(bits, capacity);
}

// add (Set) and remove: the bit or the slot is set or cleared, and num_if
// follows only when that changes it.
template <bool Set>
[[gnu::always_inline]] inline std::uint32_t change(if_index_vector_t *vec, std::uint32_t if_index) noexcept {
    const classification c = classify(if_index);
    std::uint32_t result = IF_INDEX_VECTOR_BAD_TYPE;
    if (with_row_of(c.type, [&](auto row) {
            constexpr std::size_t r = decltype(row)::value;
            const int p = position_of(bitmap_rows[r].code, if_index);
            if (p >= bitmap_rows[r].capacity)
                return;
            std::uint8_t *byte = byte_of<r>(vec, p);
            // The byte is read once (num_if is written between) and num_if
            // follows when the new byte differs from it.
            const unsigned mask = bit_mask(p), was = *byte, now = Set ? was | mask : was & ~mask;
            if (now != was)
                vec->num_if += Set ? 1U : ~0U;
            *byte = static_cast<std::uint8_t>(now);
            result = c.status;
        }))
        return result;
    if (!slot_holds(c.type, if_index))
        return IF_INDEX_VECTOR_BAD_TYPE;
    if ((vec->single_if_index == 0) == Set)
        vec->num_if += Set ? 1U : ~0U;
    vec->single_if_index = Set ? if_index : 0;
    return c.status;
}

} // namespace
} // namespace if_index_vec::detail

using namespace if_index_vec;
using namespace if_index_vec::detail;

extern "C" {

// Each operation classifies the if_index, and for a bitmap type reads its
// position with that type's accessor (with_row_of: the row, its capacity and
// offset are constants there); a position at or beyond the capacity is
// nowhere.  Otherwise only the single slot can hold it.

uint32_t if_index_vector_add(if_index_vector_t *vec, uint32_t if_index) {
    return change<true>(vec, if_index);
}

uint32_t if_index_vector_remove(if_index_vector_t *vec, uint32_t if_index) {
    if (vec->num_if == 0)
        return IF_INDEX_VECTOR_OK;
    return change<false>(vec, if_index);
}

int if_index_vector_is_present(const if_index_vector_t *vec, uint32_t if_index) {
    if (vec->num_if == 0)
        return 0;
    const classification c = classify(if_index);
    int result = 0;
    if (with_row_of(c.type, [&](auto row) {
            constexpr std::size_t r = decltype(row)::value;
            const int p = position_of(bitmap_rows[r].code, if_index);
            // The bit shifted down to bit 0: fewer instructions than a mask
            // test turned into 0 or 1.
            if (p < bitmap_rows[r].capacity)
                result = static_cast<int>(
                    (unsigned{*byte_of<r>(vec, p)} >> (7 - static_cast<unsigned>(p) % 8)) & 1U);
        }))
        return result;
    return slot_holds(c.type, if_index) && vec->single_if_index == if_index ? 1 : 0;
}

uint32_t if_index_vector_num_if_type(const if_index_vector_t *vec, uint32_t type) {
    if (type == IF_TYPE_SINGLE)
        return vec->single_if_index != 0 ? 1 : 0;
    const int row = bitmap_row(type);
    if (row == no_row)
        return 0;
    const table_row &t = bitmap_rows[static_cast<std::size_t>(row)];
    return static_cast<std::uint32_t>(count_bitmap(bitmap_bits(vec, t), t.capacity));
}

} // extern "C"
