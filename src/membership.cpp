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

namespace ifvec::detail {
namespace {

struct Place {
    std::uint32_t status; // the codec's classification status
    int row;              // bitmap row, kSingle or kNowhere
    int position;         // bit position when row is a bitmap row
};

constexpr int kSingle = -2;
constexpr int kNowhere = -3;

// Inlined into each caller: returned as a value, the three fields would be
// stored separately and read back as one, which stalls the store buffer.
[[gnu::always_inline]] inline Place resolve(std::uint32_t if_index) noexcept {
    const location l = locate(if_index);
    if (l.type == IF_TYPE_SINGLE)
        return {l.status, if_index != 0 ? kSingle : kNowhere, no_position};
    const int row = bitmap_row(l.type);
    // "row < 0" rather than "== kNoRow": the row returned below is then known
    // not to be kSingle or kNowhere, and callers' tests for those fold away.
    if (row < 0 || l.position >= kBitmapTypes[static_cast<std::size_t>(row)].capacity)
        return {l.status, kNowhere, no_position};
    return {l.status, row, l.position};
}

std::uint8_t *byte_of(if_index_vector_t *v, const Place &pl) noexcept {
    return bitmap_bits(v, kBitmapTypes[static_cast<std::size_t>(pl.row)]) + static_cast<unsigned>(pl.position) / 8;
}

IF_INDEX_VEC_POPCNT_CLONES int count_bitmap(const std::uint8_t *bits, int capacity) noexcept {
    return count_set(bits, capacity);
}

} // namespace
} // namespace ifvec::detail

using namespace ifvec;
using namespace ifvec::detail;

extern "C" {

uint32_t if_index_vector_add(if_index_vector_t *vec, uint32_t if_index) {
    const Place pl = resolve(if_index);
    if (pl.row == kNowhere)
        return IF_INDEX_VECTOR_BAD_TYPE;
    if (pl.row == kSingle) {
        if (vec->single_if_index == 0)
            ++vec->num_if;
        vec->single_if_index = if_index;
        return pl.status;
    }
    std::uint8_t *byte = byte_of(vec, pl);
    const std::uint8_t mask = bit_mask(pl.position);
    if ((*byte & mask) == 0)
        ++vec->num_if;
    *byte |= mask;
    return pl.status;
}

uint32_t if_index_vector_remove(if_index_vector_t *vec, uint32_t if_index) {
    if (vec->num_if == 0)
        return IF_INDEX_VECTOR_OK;
    const Place pl = resolve(if_index);
    if (pl.row == kNowhere)
        return IF_INDEX_VECTOR_BAD_TYPE;
    if (pl.row == kSingle) {
        if (vec->single_if_index != 0)
            --vec->num_if;
        vec->single_if_index = 0;
        return pl.status;
    }
    std::uint8_t *byte = byte_of(vec, pl);
    const std::uint8_t mask = bit_mask(pl.position);
    if ((*byte & mask) != 0)
        --vec->num_if;
    *byte &= static_cast<std::uint8_t>(~mask);
    return pl.status;
}

int if_index_vector_is_present(const if_index_vector_t *vec, uint32_t if_index) {
    if (vec->num_if == 0)
        return 0;
    const Place pl = resolve(if_index);
    if (pl.row == kNowhere)
        return 0;
    if (pl.row == kSingle)
        return vec->single_if_index == if_index ? 1 : 0;
    return test_bit(bitmap_bits(vec, kBitmapTypes[static_cast<std::size_t>(pl.row)]), pl.position) ? 1 : 0;
}

uint32_t if_index_vector_num_if_type(const if_index_vector_t *vec, uint32_t type) {
    if (type == IF_TYPE_SINGLE)
        return vec->single_if_index != 0 ? 1 : 0;
    const int row = bitmap_row(type);
    if (row == kNoRow)
        return 0;
    const BitmapType &t = kBitmapTypes[static_cast<std::size_t>(row)];
    return static_cast<std::uint32_t>(count_bitmap(bitmap_bits(vec, t), t.capacity));
}

} // extern "C"
