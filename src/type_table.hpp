// SPDX-License-Identifier: MIT
// The bitmap types as the library reads them: the public facts of
// <if_index_vec/if_index_types.hpp> it needs (code, capacity, the bits' place
// in the record, dump header) plus its own column, the room for the longest
// range text.  Walks, algebra, counts and dumps loop over this
// table instead of naming the four bitmaps one by one.  The single slot has
// no row; it is handled last wherever it is handled.
#pragma once

#include <if_index_vec/if_index_types.hpp>
#include <if_index_vec/if_index_vector.h>

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <type_traits>

#include "bitmap.hpp"

namespace if_index_vec::detail {

struct table_row {
    std::uint8_t code;            // type code reported by the codec
    int capacity;                 // positions
    std::size_t bits_offset;      // offset of the bitmap's bytes in the record
    std::string_view dump_header; // header of the decimal and hex dumps
    std::size_t text_buffer;      // bytes for the longest range text, terminator included
};

inline constexpr std::size_t bitmap_count = bitmap_types.size();

inline constexpr int max_capacity = [] {
    int most = 0;
    for (const bitmap_type &t : bitmap_types)
        most = t.capacity > most ? t.capacity : most;
    return most;
}();

constexpr int decimal_digits(int v) noexcept { return v < 10 ? 1 : 1 + decimal_digits(v / 10); }

// Length of the longest range text a bitmap of `capacity` positions can give,
// terminator included.  A run of three or more positions is never longer than
// the same positions split into shorter runs, so the longest text is made of
// runs of one or two positions separated by single clear positions; the
// recurrence picks the best of "clear", "run of one" and "run of two" at each
// position.  Every run pays for its separator; the first has none, which the
// terminator's byte makes up for.
constexpr std::size_t longest_range_text(int capacity) noexcept {
    std::size_t best[max_capacity + 3] = {};
    for (int i = capacity - 1; i >= 0; --i) {
        const auto at = [&](int j) { return j >= capacity ? std::size_t{0} : best[j]; };
        std::size_t b = at(i + 1);
        const std::size_t one = 1 + static_cast<std::size_t>(decimal_digits(i)) + at(i + 2);
        b = one > b ? one : b;
        if (i + 1 < capacity) {
            const std::size_t two = 2 + static_cast<std::size_t>(decimal_digits(i)) +
                                    static_cast<std::size_t>(decimal_digits(i + 1)) + at(i + 3);
            b = two > b ? two : b;
        }
        best[i] = b;
    }
    return best[0];
}

// The public rows as the library reads them, with the room for each bitmap's
// longest range text rounded up to a power of two: printf_dec's allocations
// keep the sizes that programs counting their allocations have always seen
// (1024, 4096, 16384).
inline constexpr std::array<table_row, bitmap_count> bitmap_rows = [] {
    std::array<table_row, bitmap_count> rows{};
    for (std::size_t i = 0; i < bitmap_count; ++i) {
        const bitmap_type &t = bitmap_types[i];
        rows[i] = {t.code, t.capacity, t.bits_offset, t.dump_header, std::bit_ceil(longest_range_text(t.capacity))};
    }
    return rows;
}();

// Every capacity fills whole scan words.
static_assert([] {
    for (const auto &t : bitmap_rows)
        if (t.capacity % word_bits != 0)
            return false;
    return true;
}());

// "No row": a type code without a bitmap.
inline constexpr int no_row = -1;

// Row index of each type code (codes are one byte), no_row for codes without
// a bitmap: one load where a search of the rows would branch per row.
inline constexpr std::array<std::int8_t, 256> row_of_code = [] {
    std::array<std::int8_t, 256> rows{};
    rows.fill(static_cast<std::int8_t>(no_row));
    for (std::size_t i = 0; i < bitmap_count; ++i)
        rows[bitmap_rows[i].code] = static_cast<std::int8_t>(i);
    return rows;
}();

// Row index of a bitmap type code, or no_row.
constexpr int bitmap_row(std::uint32_t code) noexcept {
    return code < row_of_code.size() ? row_of_code[code] : no_row;
}

// Calls f(std::integral_constant<std::size_t, row>{}) for the bitmap row of
// type code `code` and returns true, or returns false for a code without a
// bitmap.  The row reaches f as a constant, so the row's code, capacity and
// offset fold into f's body: the codec call that f makes for that type, the
// bounds test and the address of the bitmap need no table reads.  Used where
// a call is a few instructions around one or two codec calls (membership,
// the walks' step).  One switch, so the compiler tests the codes as a
// balanced tree rather than one after another; a fifth bitmap type is a
// compile error here until it has its case.
template <class F>
[[gnu::always_inline]] inline bool with_row_of(std::uint32_t code, F &&f) {
    static_assert(bitmap_count == 4, "with_row_of() has one case per bitmap row");
    using R0 = std::integral_constant<std::size_t, 0>;
    using R1 = std::integral_constant<std::size_t, 1>;
    using R2 = std::integral_constant<std::size_t, 2>;
    using R3 = std::integral_constant<std::size_t, 3>;
    switch (code) {
    case bitmap_rows[R0::value].code: f(R0{}); return true;
    case bitmap_rows[R1::value].code: f(R1{}); return true;
    case bitmap_rows[R2::value].code: f(R2{}); return true;
    case bitmap_rows[R3::value].code: f(R3{}); return true;
    default: return false;
    }
}

inline const std::uint8_t *bitmap_bits(const if_index_vector_t *v, const table_row &t) noexcept {
    return reinterpret_cast<const std::uint8_t *>(v) + t.bits_offset;
}

inline std::uint8_t *bitmap_bits(if_index_vector_t *v, const table_row &t) noexcept {
    return reinterpret_cast<std::uint8_t *>(v) + t.bits_offset;
}

} // namespace if_index_vec::detail
