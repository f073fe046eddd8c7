// SPDX-License-Identifier: MIT
// Record lifecycle, copy and the stored count.
#include <if_index_vec/if_index_types.hpp>
#include <if_index_vec/if_index_vector.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace {

// One copy step: 16 bytes, moved as a whole (SSE2 on x86-64; four word moves
// where the host has no 16-byte registers).
constexpr std::size_t chunk_bytes = 16;
struct chunk {
    // cppcheck-suppress unusedStructMember ; copied whole, never named
    unsigned char bytes[chunk_bytes];
};
constexpr std::size_t chunk_count = sizeof(if_index_vector_t) / chunk_bytes;
constexpr std::size_t tail_bytes = sizeof(if_index_vector_t) % chunk_bytes;

// True when the records at a and b share a byte: |a - b| < n, as one
// unsigned comparison (a - b + n - 1 wraps below 2n - 1 exactly then).
bool overlap(const void *a, const void *b) noexcept {
    constexpr std::uintptr_t n = sizeof(if_index_vector_t);
    const auto x = reinterpret_cast<std::uintptr_t>(a), y = reinterpret_cast<std::uintptr_t>(b);
    return x - y + (n - 1) < 2 * n - 1;
}

// Writes the byte count of bitmap `t`: its size.  The store is of a
// uint32_t, as the field is, so that the compiler knows it cannot touch
// anything but the record's 32-bit fields.
void store_byte_count(if_index_vector_t *vec, const if_index_vec::bitmap_type &t) noexcept {
    *reinterpret_cast<std::uint32_t *>(reinterpret_cast<unsigned char *>(vec) + t.offset) =
        static_cast<std::uint32_t>(t.bytes);
}

} // namespace

extern "C" {

if_index_vector_t *if_index_vector_new(void) {
    auto *v = static_cast<if_index_vector_t *>(std::malloc(sizeof(if_index_vector_t)));
    if (v != nullptr)
        if_index_vector_init(v);
    return v;
}

void if_index_vector_init(if_index_vector_t *vec) {
    std::memset(vec, 0, sizeof *vec);
    // One store per bitmap, of a constant at a constant offset.
    [vec]<std::size_t... Row>(std::index_sequence<Row...>) {
        (store_byte_count(vec, if_index_vec::bitmap_types[Row]), ...);
    }(std::make_index_sequence<if_index_vec::bitmap_types.size()>{});
}

void if_index_vector_delete(if_index_vector_t *vec) { std::free(vec); }

// Records that do not overlap are copied by a loop of fixed length, unrolled
// in full: no call, no size dispatch, no loop counter.  Overlapping ones (a
// record copied onto itself gets the record back) go through memmove.
void if_index_vector_copy(if_index_vector_t *dst, const if_index_vector_t *src) {
    static_assert(chunk_count <= 64, "the copy loop is unrolled 64 times at most");
    if (overlap(dst, src)) {
        std::memmove(dst, src, sizeof *dst);
        return;
    }
    auto *d = reinterpret_cast<unsigned char *>(dst);
    const auto *s = reinterpret_cast<const unsigned char *>(src);
#pragma GCC unroll 64
    for (std::size_t i = 0; i < chunk_count; ++i) {
        chunk c;
        std::memcpy(&c, s + i * sizeof c, sizeof c);
        std::memcpy(d + i * sizeof c, &c, sizeof c);
    }
    std::memcpy(d + chunk_count * chunk_bytes, s + chunk_count * chunk_bytes, tail_bytes);
}

uint32_t if_index_vector_num_if(const if_index_vector_t *vec) { return vec->num_if; }

} // extern "C"
