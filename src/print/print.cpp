// Text output on standard output: the name listing, the decimal range dump
// and the hex dump, plus the three placeholders.
//
// Text is formatted into a buffer and written with one fwrite on stdout per
// line (per dump for the hex dump), so it interleaves correctly with the
// caller's own stdio output and costs one library call per line rather than
// one per item.  Numbers come from a two-digit table and hex digits from word arithmetic,
// not from formatted-output calls.  Range text takes whole runs from the shared
// word scan (for_each_run), never bit by bit.
#include <if_index_vec/if_index_vector.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "../codec/codec.hpp"
#include "../vector/type_table.hpp"

namespace ifvec::detail {
namespace {

constexpr int decimal_digits(int v) noexcept { return v < 10 ? 1 : 1 + decimal_digits(v / 10); }

// Length of the longest range text a bitmap of `capacity` positions can give,
// terminator included.  A run of three or more positions is never longer than
// the same positions split into shorter runs, so the longest text is made of
// runs of one or two positions separated by single clear positions; the
// recurrence picks the best of "clear", "run of one" and "run of two" at each
// position.  Every run pays for its separator; the first has none, which the
// terminator's byte makes up for.
constexpr std::size_t longest_range_text(int capacity) noexcept {
    std::size_t best[IF_INDEX_VECTOR_FC_TUNNEL_POSITIONS + 3] = {};
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

static_assert([] {
    for (const auto &t : kBitmapTypes)
        if (longest_range_text(t.capacity) > t.text_buffer)
            return false;
    return true;
}(), "a range-text buffer is too small for its bitmap's longest text");

// "00" "01" ... "99": two digits per table lookup.
constexpr auto kDigitPairs = [] {
    std::array<char, 200> t{};
    for (int i = 0; i < 100; ++i) {
        t[2 * static_cast<std::size_t>(i)] = static_cast<char>('0' + i / 10);
        t[2 * static_cast<std::size_t>(i) + 1] = static_cast<char>('0' + i % 10);
    }
    return t;
}();

// Two digits of v (0 <= v < 100) at out, leading zero included.
inline void put_pair(char *out, std::uint32_t v) noexcept { std::memcpy(out, &kDigitPairs[2 * std::size_t{v}], 2); }

// Appends the decimal digits of v and returns the new end.  Positions have at
// most four digits and take one of the first four branches.
char *put_decimal(char *out, std::uint32_t v) noexcept {
    if (v < 10) {
        *out = static_cast<char>('0' + v);
        return out + 1;
    }
    if (v < 100) {
        put_pair(out, v);
        return out + 2;
    }
    if (v < 1000) {
        *out = static_cast<char>('0' + v / 100);
        put_pair(out + 1, v % 100);
        return out + 3;
    }
    if (v < 10000) {
        put_pair(out, v / 100);
        put_pair(out + 2, v % 100);
        return out + 4;
    }
    out = put_decimal(out, v / 10000);
    put_pair(out, v % 10000 / 100);
    put_pair(out + 2, v % 100);
    return out + 4;
}

// Writes the range text of one bitmap ("0-2,5,7-8") at `out`, which has room
// for the longest text, and returns the end (no terminator written).
char *put_range_text(char *out, const std::uint8_t *bits, int capacity) noexcept {
    char *const begin = out;
    for_each_run(bits, capacity, [&](int first, int last) {
        if (out != begin)
            *out++ = ',';
        out = put_decimal(out, static_cast<std::uint32_t>(first));
        if (last != first) {
            *out++ = '-';
            out = put_decimal(out, static_cast<std::uint32_t>(last));
        }
    });
    return out;
}

void write_out(const char *text, std::size_t len) noexcept { std::fwrite(text, 1, len, stdout); }

// The 8 lowercase hex digits of the 4 bytes in v (most significant first), one
// per byte lane of the result, first digit in the most significant lane.
// v is spread so that every nibble sits in a lane of its own; a lane d then
// becomes '0' + d, plus 'a' - '0' - 10 when d > 9 (d + 6 carries into bit
// 4).  No lane ever exceeds 0x66, so lanes never carry into each other.
constexpr Word hex_lanes(Word v) noexcept {
    v = (v | (v << 16)) & 0x0000FFFF0000FFFFu;
    v = (v | (v << 8)) & 0x00FF00FF00FF00FFu;
    v = (v | (v << 4)) & 0x0F0F0F0F0F0F0F0Fu;
    const Word letter = ((v + 0x0606060606060606u) >> 4) & 0x0101010101010101u;
    return v + 0x3030303030303030u + letter * ('a' - '0' - 10);
}
static_assert(hex_lanes(0x09af10ffu) == 0x3039'6166'3130'6666u); // "09af10ff"

// Writes the lanes of x at out, most significant first, on any host: the
// bytes that load_word() reads back as x.  Reading x's own bytes through
// load_word() gives the word whose memory image is x's lanes in that order
// (byte order is an involution), so byte order stays in load_word() alone.
inline void put_lanes(char *out, Word x) noexcept {
    const Word image = load_word(reinterpret_cast<const std::uint8_t *>(&x));
    std::memcpy(out, &image, sizeof image);
}

// The 16 hex digits of the 8 bitmap bytes at p, written at out.
inline void put_hex_word(char *out, const std::uint8_t *p) noexcept {
    const Word w = load_word(p);
    put_lanes(out, hex_lanes(w >> 32));
    put_lanes(out + 8, hex_lanes(w & 0xFFFFFFFFu));
}

// Bytes of the four hex lines: headers, two digits per bitmap byte, newlines.
constexpr std::size_t kHexDumpMax = [] {
    std::size_t n = 0;
    for (const auto &t : kBitmapTypes)
        n += t.dump_header.size() + static_cast<std::size_t>(t.capacity) / 4 + 1;
    return n;
}();

// "No. of interfaces: <num_if>\n" at `out`, num_if shown as a signed int as
// "%d" would show it; returns the end.
constexpr char kCountLine[] = "No. of interfaces: ";
constexpr std::size_t kCountLineMax = sizeof kCountLine - 1 + 11 + 1;

char *put_count_line(char *out, const if_index_vector_t *v) noexcept {
    std::memcpy(out, kCountLine, sizeof kCountLine - 1);
    out += sizeof kCountLine - 1;
    std::uint32_t magnitude = v->num_if;
    if (magnitude > static_cast<std::uint32_t>(INT32_MAX)) { // negative as an int
        *out++ = '-';
        magnitude = 0u - magnitude;
    }
    out = put_decimal(out, magnitude);
    *out++ = '\n';
    return out;
}

// Bytes of the whole decimal dump at its longest.
constexpr std::size_t kDecDumpMax = [] {
    std::size_t n = kCountLineMax;
    for (const auto &t : kBitmapTypes)
        n += t.dump_header.size() + t.text_buffer;
    return n;
}();

void print_count_line(const if_index_vector_t *v) noexcept {
    char line[kCountLineMax];
    const char *end = put_count_line(line, v);
    write_out(line, static_cast<std::size_t>(end - line));
}

} // namespace
} // namespace ifvec::detail

using namespace ifvec;
using namespace ifvec::detail;

extern "C" {

void if_index_vector_printf(const if_index_vector_t *vec) {
    if (vec->num_if == 0)
        return;
    // A name is read up to its terminator: the length the codec reports is
    // not trusted.  A line is flushed in pieces when long.
    char name[name_buffer_size];
    char line[4096];
    for (const auto &t : kBitmapTypes) {
        const std::uint8_t *bits = bitmap_bits(vec, t);
        bool any = false;
        std::size_t len = 0;
        for_each_set(bits, t.capacity, [&](int p) {
            const std::size_t n = std::strlen(name_into(name, if_index_at(t.code, p)));
            if (len + 2 + n + 1 > sizeof line) {
                write_out(line, len);
                len = 0;
            }
            if (any) {
                line[len++] = ',';
                line[len++] = ' ';
            }
            std::memcpy(line + len, name, n);
            len += n;
            any = true;
        });
        if (!any)
            continue;
        line[len++] = '\n';
        write_out(line, len);
    }
    if (vec->single_if_index != 0)
        std::puts(name_into(name, vec->single_if_index));
}

void if_index_vector_printf_dec(const if_index_vector_t *vec) {
    if (vec->num_if == 0)
        return;
    // One heap buffer holds the whole dump, count line included, and goes out
    // in one write: the four range-text buffers (each with a terminator byte,
    // used for the newline) plus the count line and the headers.
    char *const buf = static_cast<char *>(std::malloc(kDecDumpMax));
    if (buf == nullptr) {
        // No room for the text: the lines still show which group is which.
        print_count_line(vec);
        for (const auto &t : kBitmapTypes) {
            write_out(t.dump_header.data(), t.dump_header.size());
            std::putchar('\n');
        }
        return;
    }
    char *out = put_count_line(buf, vec);
    for (const auto &t : kBitmapTypes) {
        std::memcpy(out, t.dump_header.data(), t.dump_header.size());
        out = put_range_text(out + t.dump_header.size(), bitmap_bits(vec, t), t.capacity);
        *out++ = '\n';
    }
    write_out(buf, static_cast<std::size_t>(out - buf));
    std::free(buf);
}

void if_index_vector_printf_hex(const if_index_vector_t *vec) {
    if (vec->num_if == 0)
        return;
    // The whole dump, count line included, goes out in one write.
    char text[kCountLineMax + kHexDumpMax];
    char *out = put_count_line(text, vec);
    for (const auto &t : kBitmapTypes) {
        std::memcpy(out, t.dump_header.data(), t.dump_header.size());
        out += t.dump_header.size();
        const std::uint8_t *bits = bitmap_bits(vec, t);
        for (std::size_t i = 0; i < static_cast<std::size_t>(t.capacity) / 8; i += kWordBytes)
            put_hex_word(out + 2 * i, bits + i);
        out += t.capacity / 4;
        *out++ = '\n';
    }
    write_out(text, static_cast<std::size_t>(out - text));
}

int if_index_vector_to_array(...) { return 0; }
int if_index_vector_from_array(...) { return 0; }
int if_index_vector_sprintf(...) { return 0; }

} // extern "C"
