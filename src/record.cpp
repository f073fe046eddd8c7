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

// Copies the record from s to d, which do not overlap, in moves of a Move
// each: a loop of fixed length, unrolled in full (no call, no size dispatch,
// no loop counter), then the bytes left over.
template <class Move>
[[gnu::always_inline]] inline void copy_in_moves(unsigned char *d, const unsigned char *s) noexcept {
    constexpr std::size_t record_bytes = sizeof(if_index_vector_t), move_bytes = sizeof(Move);
    constexpr std::size_t moves = record_bytes / move_bytes, done = moves * move_bytes;
    static_assert(moves <= 64, "the copy loop is unrolled 64 times at most");
#pragma GCC unroll 64
    for (std::size_t i = 0; i < moves; ++i) {
        Move m;
        std::memcpy(&m, s + i * move_bytes, move_bytes);
        std::memcpy(d + i * move_bytes, &m, move_bytes);
    }
    std::memcpy(d + done, s + done, record_bytes - done);
}

// 16 bytes moved as a whole: SSE2 on x86-64, four word moves where the host
// has no 16-byte registers.
struct move16 {
    // cppcheck-suppress unusedStructMember ; copied whole, never named
    unsigned char bytes[16];
};

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

namespace if_index_vec::detail {

// The copy of records that do not overlap.  On x86-64 it is built twice
// when the compiler may not assume AVX: once with AVX, picked at load time on
// processors that have it, where a 32-byte vector is one move, and once for
// SSE2, where it is two.  (A 32-byte vector, not 32 bytes of a struct: GCC
// copies the struct in 16-byte halves even with AVX.)  Elsewhere the copy
// is in 16-byte moves.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__) && !defined(__AVX__) && \
    !defined(__SANITIZE_THREAD__)
using move32 = unsigned char __attribute__((vector_size(32)));
__attribute__((target_clones("avx", "default"))) void copy_disjoint(unsigned char *d,
                                                                    const unsigned char *s) noexcept {
    copy_in_moves<move32>(d, s);
}
#else
inline void copy_disjoint(unsigned char *d, const unsigned char *s) noexcept { copy_in_moves<move16>(d, s); }
#endif

} // namespace if_index_vec::detail

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

// Overlapping records go through memmove (a record copied onto itself gets
// the record back); others through copy_disjoint.
void if_index_vector_copy(if_index_vector_t *dst, const if_index_vector_t *src) {
    if (overlap(dst, src)) {
        std::memmove(dst, src, sizeof *dst);
        return;
    }
    if_index_vec::detail::copy_disjoint(reinterpret_cast<unsigned char *>(dst),
                                        reinterpret_cast<const unsigned char *>(src));
}

uint32_t if_index_vector_num_if(const if_index_vector_t *vec) { return vec->num_if; }

} // extern "C"
