// SPDX-License-Identifier: MIT
// Union, intersection, subtract and equality of whole records.
//
// The operations combine the four bitmaps a word at a time and count the
// result in the same pass, so num_if is recomputed without a second sweep.
// Loads and stores go through memcpy and each word is stored before the next
// is loaded, so destination and source may be the same record.  The single
// slots are never touched: the destination keeps its own.
#include <if_index_vec/if_index_vector.h>

#include <cstring>

#include "type_table.hpp"

namespace if_index_vec::detail {
namespace {

template <class Op>
[[gnu::always_inline]] inline std::uint32_t combine(if_index_vector_t *dst, const if_index_vector_t *src,
                                                    Op op) noexcept {
    std::uint32_t n = dst->single_if_index != 0 ? 1 : 0;
    for (const auto &t : bitmap_rows) {
        std::uint8_t *d = bitmap_bits(dst, t);
        const std::uint8_t *s = bitmap_bits(src, t);
        for (std::size_t i = 0; i < static_cast<std::size_t>(t.capacity) / 8; i += word_bytes) {
            word_t a, b;
            std::memcpy(&a, d + i, sizeof a);
            std::memcpy(&b, s + i, sizeof b);
            a = op(a, b);
            std::memcpy(d + i, &a, sizeof a);
            n += static_cast<std::uint32_t>(count_bits(a));
        }
    }
    dst->num_if = n;
    return n;
}

IF_INDEX_VEC_POPCNT_CLONES std::uint32_t unite(if_index_vector_t *dst,
                                               const if_index_vector_t *src) noexcept {
    return combine(dst, src, [](word_t a, word_t b) { return a | b; });
}

IF_INDEX_VEC_POPCNT_CLONES std::uint32_t intersect(if_index_vector_t *dst,
                                                   const if_index_vector_t *src) noexcept {
    return combine(dst, src, [](word_t a, word_t b) { return a & b; });
}

IF_INDEX_VEC_POPCNT_CLONES std::uint32_t subtract(if_index_vector_t *dst,
                                                  const if_index_vector_t *src) noexcept {
    return combine(dst, src, [](word_t a, word_t b) { return a & ~b; });
}

} // namespace
} // namespace if_index_vec::detail

using namespace if_index_vec;
using namespace if_index_vec::detail;

extern "C" {

uint32_t if_index_vector_union(if_index_vector_t *dst, const if_index_vector_t *src) {
    return unite(dst, src);
}

uint32_t if_index_vector_intersection(if_index_vector_t *dst, const if_index_vector_t *src) {
    return intersect(dst, src);
}

uint32_t if_index_vector_subtract(if_index_vector_t *dst, const if_index_vector_t *src) {
    return if_index_vec::detail::subtract(dst, src);
}

int if_index_vector_is_equal(const if_index_vector_t *a, const if_index_vector_t *b) {
    if (a->num_if != b->num_if)
        return 0;
    for (const auto &t : bitmap_rows)
        if (std::memcmp(bitmap_bits(a, t), bitmap_bits(b, t), static_cast<std::size_t>(t.capacity) / 8) != 0)
            return 0;
    return a->single_if_index == b->single_if_index ? 1 : 0;
}

} // extern "C"
