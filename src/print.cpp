// SPDX-License-Identifier: MIT
// Text output on standard output: the name listing, the decimal range dump
// and the hex dump, plus the three placeholders.
//
// Every byte goes out through printf, so a caller that interposes the C
// library's printf sees all of it, and the text interleaves correctly with
// the caller's own stdio output.  All three build their text with one
// appender, out_text, in a stack buffer that is printed when full and at the end:
// a hex dump or a short listing is one call.  The decimal dump, the only text
// that uses the heap, writes each bitmap's range text into a malloc'd buffer
// of that bitmap's own size and prints it with one call, together with what
// the stack buffer holds before it (the header, and first the count line);
// the buffer is released before the next bitmap's is taken, and a bitmap
// whose buffer cannot be had keeps its header line and loses only its text.
// Numbers come from a two-digit table and hex digits from word arithmetic,
// not from formatted-output calls.  Range text takes whole runs from the
// shared word scan (for_each_run), never bit by bit.
#include <if_index_vec/if_index_codec_adapter.hpp>
#include <if_index_vec/if_index_vector.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "type_table.hpp"

namespace if_index_vec::detail {
namespace {

// "00" "01" ... "99": two digits per table lookup.
constexpr auto digit_pairs = [] {
    std::array<char, 200> t{};
    for (int i = 0; i < 100; ++i) {
        t[2 * static_cast<std::size_t>(i)] = static_cast<char>('0' + i / 10);
        t[2 * static_cast<std::size_t>(i) + 1] = static_cast<char>('0' + i % 10);
    }
    return t;
}();

// Two digits of v (0 <= v < 100) at out, leading zero included.
inline void put_pair(char *out, std::uint32_t v) noexcept {
    std::memcpy(out, &digit_pairs[2 * std::size_t{v}], 2);
}

char *put_wide_decimal(char *out, std::uint32_t v) noexcept;

// Writes the decimal digits of v at out and returns the new end.  Positions
// have at most four digits and take one of the first four branches, inlined
// into the range text; longer numbers (only a count) take a call.
[[gnu::always_inline]] inline char *put_decimal_at(char *out, std::uint32_t v) noexcept {
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
    return put_wide_decimal(out, v);
}

char *put_wide_decimal(char *out, std::uint32_t v) noexcept {
    out = put_decimal_at(out, v / 10000);
    put_pair(out, v % 10000 / 100);
    put_pair(out + 2, v % 100);
    return out + 4;
}

// The 8 lowercase hex digits of the 4 bytes in v (most significant first), one
// per byte lane of the result, first digit in the most significant lane.
// v is spread so that every nibble sits in a lane of its own; a lane d then
// becomes '0' + d, plus 'a' - '0' - 10 when d > 9 (d + 6 carries into bit
// 4).  No lane ever exceeds 0x66, so lanes never carry into each other.
constexpr word_t hex_lanes(word_t v) noexcept {
    v = (v | (v << 16)) & 0x0000FFFF0000FFFFu;
    v = (v | (v << 8)) & 0x00FF00FF00FF00FFu;
    v = (v | (v << 4)) & 0x0F0F0F0F0F0F0F0Fu;
    const word_t letter = ((v + 0x0606060606060606u) >> 4) & 0x0101010101010101u;
    return v + 0x3030303030303030u + letter * ('a' - '0' - 10);
}
static_assert(hex_lanes(0x09af10ffu) == 0x3039'6166'3130'6666u); // "09af10ff"

// Writes the lanes of x at out, most significant first, on any host: the
// bytes that load_word() reads back as x.  Reading x's own bytes through
// load_word() gives the word whose memory image is x's lanes in that order
// (byte order is an involution), so byte order stays in load_word() alone.
inline void put_lanes(char *out, word_t x) noexcept {
    const word_t image = load_word(reinterpret_cast<const std::uint8_t *>(&x));
    std::memcpy(out, &image, sizeof image);
}

// The 16 hex digits of the 8 bitmap bytes at p, written at out.
inline void put_hex_word(char *out, const std::uint8_t *p) noexcept {
    const word_t w = load_word(p);
    put_lanes(out, hex_lanes(w >> 32));
    put_lanes(out + 8, hex_lanes(w & 0xFFFFFFFFu));
}

// Text for standard output, built in a caller's buffer: every put advances
// by what it wrote, and the buffer is printed when a put would overflow it
// and when the out_text ends.  A buffer that holds a whole text thus prints it
// with one call.  The text never holds a NUL (names are read up to their
// terminator), so "%.*s" prints exactly the bytes put.
class out_text {
public:
    out_text(char *buf, std::size_t size) noexcept : buf_(buf), end_(buf + size), out_(buf) {}
    out_text(const out_text &) = delete;
    out_text &operator=(const out_text &) = delete;
    ~out_text() { flush(); }

    void put(std::string_view s) noexcept {
        std::memcpy(room(s.size()), s.data(), s.size());
        out_ += s.size();
    }
    void put(char c) noexcept { *room(1) = c, ++out_; }
    void put_decimal(std::uint32_t v) noexcept { out_ = put_decimal_at(room(decimal_max), v); }
    // "No. of interfaces: <num_if>", num_if shown as "%d" shows an int.
    void put_count_line(std::uint32_t num_if) noexcept {
        put(dump_count_header);
        if (num_if > static_cast<std::uint32_t>(INT32_MAX)) { // negative as an int
            put('-');
            num_if = 0u - num_if;
        }
        put_decimal(num_if);
        put('\n');
    }
    // Every byte of a bitmap as two lowercase hex digits, in one piece.
    void put_hex(const std::uint8_t *bits, int capacity) noexcept {
        const auto bytes = static_cast<std::size_t>(capacity) / 8;
        char *const out = room(2 * bytes);
        for (std::size_t i = 0; i < bytes; i += word_bytes)
            put_hex_word(out + 2 * i, bits + i);
        out_ = out + 2 * bytes;
    }
    // Prints what the buffer holds, then the terminated text `tail` and a
    // newline, with one call.
    void print_line(const char *tail) noexcept {
        std::printf("%.*s%s\n", pending(), buf_, tail);
        out_ = buf_;
    }
    void flush() noexcept {
        if (out_ != buf_)
            std::printf("%.*s", pending(), buf_);
        out_ = buf_;
    }

private:
    static constexpr std::size_t decimal_max = 10; // digits of a 32-bit value

    // Room for n more bytes (n at most the buffer's size).
    char *room(std::size_t n) noexcept {
        if (static_cast<std::size_t>(end_ - out_) < n)
            flush();
        return out_;
    }
    // Bytes held, as printf's precision: the buffer is far smaller than INT_MAX.
    [[nodiscard]] int pending() const noexcept { return static_cast<int>(out_ - buf_); }

    char *const buf_;
    char *const end_;
    char *out_;
};

// The stack buffer of every text: a whole hex dump fits.
constexpr std::size_t stack_text = 4096;
static_assert(stack_text <= INT32_MAX);
constexpr std::size_t count_line_max = dump_count_header.size() + sizeof "-2147483648\n" - 1;
static_assert([] {
    std::size_t n = count_line_max;
    for (const auto &t : bitmap_rows)
        n += t.dump_header.size() + static_cast<std::size_t>(t.capacity) / 4 + 1;
    return n;
}() <= stack_text);

// "0-2,5,7-8": the runs of set positions, from the shared word scan, written
// at out (room for the bitmap's longest text); returns the end of the text.
// Inlined into the dump: called out of line, it ran at about half speed, from
// the false dependency that leading_zeros() (bitmap.hpp) describes.
[[gnu::always_inline]] inline char *put_range_text(char *out, const std::uint8_t *bits,
                                                   int capacity) noexcept {
    const char *const begin = out;
    for_each_run(bits, capacity, [&](int first, int last) {
        if (out != begin)
            *out++ = ',';
        out = put_decimal_at(out, static_cast<std::uint32_t>(first));
        if (last != first) {
            *out++ = '-';
            out = put_decimal_at(out, static_cast<std::uint32_t>(last));
        }
    });
    return out;
}

// Both dumps: nothing for an empty vector, else the count line, then per
// bitmap its header and what `group` puts for it, newline included.
template <class Group>
[[gnu::always_inline]] inline void put_dump(const if_index_vector_t *vec, Group group) noexcept {
    if (vec->num_if == 0)
        return;
    char buf[stack_text];
    out_text text(buf, sizeof buf);
    text.put_count_line(vec->num_if);
    for (const auto &t : bitmap_rows) {
        text.put(t.dump_header);
        group(text, t);
    }
}

} // namespace
} // namespace if_index_vec::detail

using namespace if_index_vec;
using namespace if_index_vec::detail;

extern "C" {

void if_index_vector_printf(const if_index_vector_t *vec) {
    if (vec->num_if == 0)
        return;
    char buf[stack_text];
    out_text text(buf, sizeof buf);
    // A name is read up to its terminator: the length the codec reports is
    // not trusted.
    char name[name_buffer_size];
    for (const auto &t : bitmap_rows) {
        bool any = false;
        for_each_set(bitmap_bits(vec, t), t.capacity, [&](int p) {
            if (any)
                text.put(", ");
            text.put(name_into(name, if_index_at(t.code, p)));
            any = true;
        });
        if (any)
            text.put('\n');
    }
    if (vec->single_if_index != 0) {
        text.put(name_into(name, vec->single_if_index));
        text.put('\n');
    }
}

void if_index_vector_printf_dec(const if_index_vector_t *vec) {
    put_dump(vec, [vec](out_text &text, const table_row &t) {
        char *const ranges = static_cast<char *>(std::malloc(t.text_buffer));
        if (ranges == nullptr) { // costs this group its range text, nothing more
            text.put('\n');
            return;
        }
        *put_range_text(ranges, bitmap_bits(vec, t), t.capacity) = '\0';
        text.print_line(ranges);
        std::free(ranges);
    });
}

void if_index_vector_printf_hex(const if_index_vector_t *vec) {
    put_dump(vec, [vec](out_text &text, const table_row &t) {
        text.put_hex(bitmap_bits(vec, t), t.capacity);
        text.put('\n');
    });
}

int if_index_vector_to_array(...) { return 0; }
int if_index_vector_from_array(...) { return 0; }
int if_index_vector_sprintf(...) { return 0; }

} // extern "C"
