// SPDX-License-Identifier: MIT
// Bitmap scans and counts shared by every part of the library.
//
// Bit numbering: position p is bit 7 - (p % 8) of byte p / 8, so the most
// significant bit of byte 0 is position 0.  Reading the bytes as one
// big-endian word puts ascending positions from the word's most significant
// bit down: for bytes {0x00, 0x00, 0x00, 0x80, ...} the first word is
// 0x00000080_xxxxxxxx and its leading-zero count, 24, is the first set
// position.  Since a big-endian 64-bit word is two big-endian 32-bit words
// side by side, scanning 64 positions per word gives exactly the positions
// that 32-bit big-endian words give, on any host byte order.  load_word() is
// the only place that knows about byte order.
//
// Every capacity is a multiple of 64 positions (8 bytes), so words never
// straddle the end of a bitmap.  Bitmaps inside the record are only 4-byte
// aligned; loads and stores go through memcpy, which compiles to plain moves.
#pragma once

#include <if_index_vec/if_index_types.hpp>

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

// Counting loops are built twice on x86-64 when the compiler may not assume
// the popcnt instruction: once with it, picked at load time on processors
// that have it, and once portable (count_bits' shifts and adds).  Everywhere
// else the attribute is empty and the loops are built once.
// ThreadSanitizer's runtime is not ready when the load-time resolvers run, so
// sanitized-for-threads builds keep one copy.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__) && !defined(__POPCNT__) && \
    !defined(__SANITIZE_THREAD__)
#define IF_INDEX_VEC_POPCNT_CLONES __attribute__((target_clones("popcnt", "default")))
#else
#define IF_INDEX_VEC_POPCNT_CLONES
#endif

namespace if_index_vec::detail {

using word_t = std::uint64_t;
inline constexpr int word_bits = 64;
inline constexpr std::size_t word_bytes = sizeof(word_t);

// Loads the 8 bytes at p as a big-endian word: p[0] becomes bits 63..56.
inline word_t load_word(const std::uint8_t *p) noexcept {
    word_t w;
    std::memcpy(&w, p, sizeof w);
    if constexpr (std::endian::native == std::endian::little)
        w = __builtin_bswap64(w);
    return w;
}

// Number of leading zero bits of a nonzero word.  On x86-64 without lzcnt
// the count is bsr, which leaves its destination as it was for a zero
// source, so the processor waits for the destination's last value as well as
// for the source.  Given a free hand the compiler may pick a destination last
// written by unrelated work: in the range text, the digit-table load of the
// number just written, which then holds up every run's scan (half speed).
// Writing the result over the word itself leaves the word as the only input.
// (The static analyser, which cannot see into the instruction, is shown
// std::countl_zero.)
inline int leading_zeros(word_t w) noexcept {
#if defined(__x86_64__) && !defined(__LZCNT__) && !defined(__clang_analyzer__)
    __asm__("bsrq %0, %0" : "+r"(w));
    return static_cast<int>(w) ^ (word_bits - 1);
#else
    return std::countl_zero(w);
#endif
}

// True when the 8 bytes at p are all 0: a test that needs no byte order, so
// the scans skip empty words without reordering them.
inline bool word_is_zero(const std::uint8_t *p) noexcept {
    word_t w;
    std::memcpy(&w, p, sizeof w);
    return w == 0;
}

// Lowest set position >= start, or no_position.  A start at or beyond the
// capacity, or a negative start, gives no_position without reading the
// bitmap.
inline int next_set_at_or_after(const std::uint8_t *bits, int capacity, int start) noexcept {
    if (start < 0 || start >= capacity)
        return no_position;
    int w = start / word_bits;
    const int nwords = capacity / word_bits;
    word_t word = load_word(bits + static_cast<std::size_t>(w) * word_bytes) & ~word_t{0} >> (start % word_bits);
    while (word == 0) {
        if (++w == nwords)
            return no_position;
        const std::uint8_t *p = bits + static_cast<std::size_t>(w) * word_bytes;
        if (!word_is_zero(p))
            word = load_word(p);
    }
    return w * word_bits + leading_zeros(word);
}

inline int first_set(const std::uint8_t *bits, int capacity) noexcept {
    return next_set_at_or_after(bits, capacity, 0);
}

// Calls f(p) for every set position p, in ascending order, loading each
// word once: the multi-member walks' form of the scan above.
template <class F>
inline void for_each_set(const std::uint8_t *bits, int capacity, F &&f) noexcept {
    const int nwords = capacity / word_bits;
    for (int w = 0; w < nwords; ++w) {
        const std::uint8_t *p = bits + static_cast<std::size_t>(w) * word_bytes;
        if (word_is_zero(p))
            continue;
        word_t word = load_word(p);
        while (word != 0) {
            const int bit = leading_zeros(word);
            f(w * word_bits + bit);
            word ^= (word_t{1} << (word_bits - 1)) >> bit;
        }
    }
}

// Calls f(first, last) for every run of consecutive set positions, in
// ascending order.  Each word is loaded once; within it the run boundaries
// come from leading-zero counts of the word (for a start) or of its
// complement (for an end), so the cost follows the number of runs, not of
// positions.  A run that crosses words is reported once, whole.
template <class F>
inline void for_each_run(const std::uint8_t *bits, int capacity, F &&f) noexcept {
    const int nwords = capacity / word_bits;
    int open = no_position; // first position of the run in progress, if any
    for (int w = 0; w < nwords; ++w) {
        const word_t word = load_word(bits + static_cast<std::size_t>(w) * word_bytes);
        if (word == (open == no_position ? word_t{0} : ~word_t{0}))
            continue; // no run starts or ends in this word
        int bit = 0;  // bits of this word above `bit` (MSB first) are done
        for (;;) {
            // Next set bit while no run is open, else the next clear bit.
            const word_t wanted = (open == no_position ? word : ~word) & (~word_t{0} >> bit);
            if (wanted == 0)
                break;
            bit = leading_zeros(wanted);
            if (open == no_position) {
                open = w * word_bits + bit;
            } else {
                f(open, w * word_bits + bit - 1);
                open = no_position;
            }
        }
    }
    if (open != no_position)
        f(open, capacity - 1);
}

// Number of set bits of w, counted in place: pairs, then nibbles, then
// bytes, and the eight byte counts summed by one multiplication into the top
// byte.  std::popcount would do, but where the target has no population-count
// instruction (baseline x86-64, 32-bit PowerPC) it is a call into the
// compiler's runtime library, which the library would then need at run time.
// GCC recognises this sequence and emits the instruction where the target has
// one, as in the popcnt clones.
[[gnu::always_inline]] constexpr int count_bits_64(word_t w) noexcept {
    w -= (w >> 1) & 0x5555555555555555u;
    w = (w & 0x3333333333333333u) + ((w >> 2) & 0x3333333333333333u);
    w = (w + (w >> 4)) & 0x0F0F0F0F0F0F0F0Fu;
    return static_cast<int>((w * 0x0101010101010101u) >> 56);
}

// The same count in 32-bit arithmetic, for hosts with 32-bit registers: the
// halves' nibble counts (at most 4 each) are added before the byte step, so
// one 32-bit multiplication sums them all.
[[gnu::always_inline]] constexpr int count_bits_32(word_t w) noexcept {
    auto nibbles = [](std::uint32_t h) {
        h -= (h >> 1) & 0x55555555u;
        return (h & 0x33333333u) + ((h >> 2) & 0x33333333u);
    };
    std::uint32_t n = nibbles(static_cast<std::uint32_t>(w >> 32)) + nibbles(static_cast<std::uint32_t>(w));
    n = (n & 0x0F0F0F0Fu) + ((n >> 4) & 0x0F0F0F0Fu);
    return static_cast<int>((n * 0x01010101u) >> 24);
}

[[gnu::always_inline]] constexpr int count_bits(word_t w) noexcept {
    if constexpr (sizeof(std::size_t) >= sizeof(word_t))
        return count_bits_64(w);
    else
        return count_bits_32(w);
}

static_assert([] {
    constexpr word_t case_count[][2] = {{0, 0},
                                  {~word_t{0}, 64},
                                  {0x8000000000000001u, 2},
                                  {0x00FF0F0300000080u, 15},
                                  {0xFFFFFFFF00000000u, 32},
                                  {0x5555555555555555u, 32}};
    for (const auto &c : case_count)
        if (count_bits_64(c[0]) != static_cast<int>(c[1]) || count_bits_32(c[0]) != static_cast<int>(c[1]))
            return false;
    return true;
}());

// Number of set positions; byte order does not matter for a count.  Always
// inlined, so that it takes on the instruction set of an IF_INDEX_VEC_POPCNT_CLONES
// caller.
[[gnu::always_inline]] inline int count_set(const std::uint8_t *bits, int capacity) noexcept {
    int n = 0;
    for (std::size_t i = 0; i < static_cast<std::size_t>(capacity) / 8; i += word_bytes) {
        word_t w;
        std::memcpy(&w, bits + i, sizeof w);
        n += count_bits(w);
    }
    return n;
}

} // namespace if_index_vec::detail
