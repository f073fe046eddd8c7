// SPDX-License-Identifier: MIT
// Cursor walk (itr_begin / itr_incr), typed walk (first / next / get_next)
// and reading a cursor out (get).
//
// A cursor is just the if_index last handed out; a walk resumes by
// classifying it and scanning its type's bitmap from the position above it,
// so the if_index it starts from need not be a member.  Outputs and cursors
// are written only on IF_INDEX_VECTOR_OK, except at the end of a cursor walk,
// where the single-slot member (if any) is left in the cursor.
#include <if_index_vec/if_index_codec_adapter.hpp>
#include <if_index_vec/if_index_vector.h>

#include "type_table.hpp"

namespace if_index_vec::detail {
namespace {

// Type code 10 has no storage, but a cursor may hold one.
constexpr std::uint8_t cursor_only_type = 10;
constexpr std::uint8_t highest_type_code = 15;
static_assert([] {
    for (const auto &t : bitmap_rows)
        if (t.code > highest_type_code || t.code == IF_TYPE_SINGLE)
            return false;
    return true;
}());

// The first member at or after `start` in bitmap row `row`, continuing with
// the following rows from position 0.  Writes it and returns true, or
// returns false when the bitmaps from `row` on are empty.
// Inlined into the walks, whose per-member cost is the codec's calls plus
// as little as possible.
[[gnu::always_inline]] inline bool first_member_from(const if_index_vector_t *v, std::size_t row, int start,
                                                     std::uint32_t *out) noexcept {
    for (; row < bitmap_count; ++row, start = 0) {
        const table_row &t = bitmap_rows[row];
        const int p = next_set_at_or_after(bitmap_bits(v, t), t.capacity, start);
        if (p != no_position) {
            *out = if_index_at(t.code, p);
            return true;
        }
    }
    return false;
}

// first_member_from() from position 0 of `row`, out of line: a step
// reaches it once per bitmap of a walk, and inlined its loop would hold
// registers across the step's codec calls on every member.
[[gnu::noinline]] bool first_member_of_rows_from(const if_index_vector_t *v, std::size_t row,
                                                 std::uint32_t *out) noexcept {
    return first_member_from(v, row, 0, out);
}

std::uint32_t begin(const if_index_vector_t *v, std::uint32_t *out) noexcept {
    if (v->num_if == 0)
        return IF_INDEX_VECTOR_EMPTY;
    if (first_member_from(v, 0, 0, out))
        return IF_INDEX_VECTOR_OK;
    if (v->single_if_index != 0) {
        *out = v->single_if_index;
        return IF_INDEX_VECTOR_OK;
    }
    return IF_INDEX_VECTOR_EMPTY; // num_if disagrees with what is stored
}

} // namespace
} // namespace if_index_vec::detail

using namespace if_index_vec;
using namespace if_index_vec::detail;

extern "C" {

uint32_t if_index_vector_first(const if_index_vector_t *vec, uint32_t *out) { return begin(vec, out); }

uint32_t if_index_vector_itr_begin(const if_index_vector_t *vec, uint32_t *cursor) {
    return begin(vec, cursor);
}

// A step classifies the cursor and, for a bitmap type, reads its position
// with that type's accessor and scans that bitmap from the position above it
// (with_row_of: the row's code, capacity and offset are constants there, so
// the member found is built by a known constructor).

uint32_t if_index_vector_itr_incr(const if_index_vector_t *vec, uint32_t *cursor) {
    const std::uint32_t from = *cursor;
    const std::uint8_t type = classify(from).type;
    bool found = false;
    // The single-slot member or a type without a bitmap: nothing follows.  A
    // position at or beyond its capacity continues with the next bitmap.
    if (!with_row_of(type, [&](auto row) {
            constexpr std::size_t r = decltype(row)::value;
            constexpr const table_row &t = bitmap_rows[r];
            const int q = next_set_at_or_after(bitmap_bits(vec, t), t.capacity, position_of(t.code, from) + 1);
            if (q != no_position) {
                *cursor = if_index_at(t.code, q);
                found = true;
            } else {
                found = first_member_of_rows_from(vec, r + 1, cursor);
            }
        }))
        return IF_INDEX_VECTOR_END;
    if (found)
        return IF_INDEX_VECTOR_OK;
    if (vec->single_if_index != 0)
        *cursor = vec->single_if_index;
    return IF_INDEX_VECTOR_END;
}

uint32_t if_index_vector_next(const if_index_vector_t *vec, uint32_t if_index, uint32_t *out) {
    const std::uint8_t type = classify(if_index).type;
    std::uint32_t result = IF_INDEX_VECTOR_BAD_TYPE;
    // Bitmap types first: they are below highest_type_code and not the slot's,
    // so the tests below are only reached by the other codes.
    if (with_row_of(type, [&](auto row) {
        constexpr const table_row &t = bitmap_rows[decltype(row)::value];
        const int q = next_set_at_or_after(bitmap_bits(vec, t), t.capacity, position_of(t.code, if_index) + 1);
        if (q == no_position) {
            result = IF_INDEX_VECTOR_END;
        } else {
            *out = if_index_at(t.code, q);
            result = IF_INDEX_VECTOR_OK;
        }
    }))
        return result;
    if (type > highest_type_code)
        return IF_INDEX_VECTOR_BAD_TYPE;
    if (type == IF_TYPE_SINGLE)
        return IF_INDEX_VECTOR_END;
    return IF_INDEX_VECTOR_BAD_TYPE;
}

uint32_t if_index_vector_get_next(const if_index_vector_t *vec, const uint32_t *cursor, uint32_t *out) {
    return if_index_vector_next(vec, *cursor, out);
}

uint32_t if_index_vector_get(const if_index_vector_t *vec, const uint32_t *cursor, uint32_t *out) {
    (void)vec;
    const std::uint8_t type = classify(*cursor).type;
    if (bitmap_row(type) == no_row && type != IF_TYPE_SINGLE && type != cursor_only_type)
        return IF_INDEX_VECTOR_BAD_TYPE;
    *out = *cursor;
    return IF_INDEX_VECTOR_OK;
}

} // extern "C"
