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

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace ifv::detail {

using Word = std::uint64_t;
inline constexpr int kWordBits = 64;
inline constexpr std::size_t kWordBytes = sizeof(Word);

// "No position": returned by the scans, never a valid position.
inline constexpr int kNone = -1;

// Loads the 8 bytes at p as a big-endian word: p[0] becomes bits 63..56.
inline Word load_word(const std::uint8_t *p) noexcept {
    Word w;
    std::memcpy(&w, p, sizeof w);
    if constexpr (std::endian::native == std::endian::little)
        w = __builtin_bswap64(w);
    return w;
}

// Lowest position >= start whose bit is set (Invert = false) or clear
// (Invert = true), or kNone.  A start at or beyond the capacity, or a
// negative start, gives kNone without reading the bitmap.
template <bool Invert = false>
inline int scan_at_or_after(const std::uint8_t *bits, int capacity, int start) noexcept {
    if (start < 0 || start >= capacity)
        return kNone;
    int w = start / kWordBits;
    const int nwords = capacity / kWordBits;
    Word word = load_word(bits + static_cast<std::size_t>(w) * kWordBytes);
    if constexpr (Invert)
        word = ~word;
    word &= ~Word{0} >> (start % kWordBits);
    while (word == 0) {
        if (++w == nwords)
            return kNone;
        word = load_word(bits + static_cast<std::size_t>(w) * kWordBytes);
        if constexpr (Invert)
            word = ~word;
    }
    return w * kWordBits + std::countl_zero(word);
}

inline int next_set_at_or_after(const std::uint8_t *bits, int capacity, int start) noexcept {
    return scan_at_or_after<false>(bits, capacity, start);
}

inline int next_clear_at_or_after(const std::uint8_t *bits, int capacity, int start) noexcept {
    return scan_at_or_after<true>(bits, capacity, start);
}

inline int first_set(const std::uint8_t *bits, int capacity) noexcept {
    return next_set_at_or_after(bits, capacity, 0);
}

// Number of set positions; byte order does not matter for a count.
inline int count_set(const std::uint8_t *bits, int capacity) noexcept {
    int n = 0;
    for (std::size_t i = 0; i < static_cast<std::size_t>(capacity) / 8; i += kWordBytes) {
        Word w;
        std::memcpy(&w, bits + i, sizeof w);
        n += std::popcount(w);
    }
    return n;
}

inline std::uint8_t bit_mask(int position) noexcept {
    return static_cast<std::uint8_t>(0x80u >> (position % 8));
}

inline bool test_bit(const std::uint8_t *bits, int position) noexcept {
    return (bits[position / 8] & bit_mask(position)) != 0;
}

} // namespace ifv::detail
