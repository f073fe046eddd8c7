// Text output on standard output: the name listing, the decimal range dump
// and the hex dump, plus the three placeholders.
//
// Each output line is formatted into one buffer and written with one fwrite
// on stdout, so it interleaves correctly with the caller's own stdio output
// and costs one library call per line rather than one per item.  Range text
// finds runs with the shared word scans (a set position, then the next clear
// one), never bit by bit.
#include <if_index_vec/if_index_vector.h>

#include <if_index_codec/if_index_codec.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "../codec/codec.hpp"
#include "../vector/type_table.hpp"

namespace ifv::detail {
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

// Appends the decimal digits of v (0 <= v < 100000) and returns the new end.
char *put_decimal(char *out, int v) noexcept {
    char tmp[8];
    int n = 0;
    do {
        tmp[n++] = static_cast<char>('0' + v % 10);
        v /= 10;
    } while (v != 0);
    while (n != 0)
        *out++ = tmp[--n];
    return out;
}

// Writes the range text of one bitmap ("0-2,5,7-8") at `out`, which has room
// for the longest text, and returns the end (no terminator written).
char *put_range_text(char *out, const std::uint8_t *bits, int capacity) noexcept {
    bool separator = false;
    for (int start = first_set(bits, capacity); start != kNone;) {
        const int clear = next_clear_at_or_after(bits, capacity, start + 1);
        const int end = (clear == kNone ? capacity : clear) - 1;
        if (separator)
            *out++ = ',';
        out = put_decimal(out, start);
        if (end != start) {
            *out++ = '-';
            out = put_decimal(out, end);
        }
        separator = true;
        start = next_set_at_or_after(bits, capacity, end + 2);
    }
    return out;
}

void write_out(const char *text, std::size_t len) noexcept { std::fwrite(text, 1, len, stdout); }

void print_count_line(const if_index_vector_t *v) noexcept {
    std::printf("No. of interfaces: %d\n", static_cast<int>(v->num_if));
}

} // namespace
} // namespace ifv::detail

using namespace ifv::detail;

extern "C" {

void if_index_vector_printf(const if_index_vector_t *vec) {
    if (vec->num_if == 0)
        return;
    // Room for the codec's longest name; a line is flushed in pieces when long.
    char name[256];
    char line[4096];
    static_assert(IF_INDEX_NAME_MAX <= sizeof name);
    for (const auto &t : kBitmapTypes) {
        const std::uint8_t *bits = bitmap_bits(vec, t);
        int p = first_set(bits, t.capacity);
        if (p == kNone)
            continue;
        std::size_t len = 0;
        for (bool first = true; p != kNone; first = false) {
            const int n = sprintf_if_index(name, if_index_at(t.code, p));
            if (len + 2 + static_cast<std::size_t>(n) + 1 > sizeof line) {
                write_out(line, len);
                len = 0;
            }
            if (!first) {
                line[len++] = ',';
                line[len++] = ' ';
            }
            std::memcpy(line + len, name, static_cast<std::size_t>(n));
            len += static_cast<std::size_t>(n);
            p = next_set_at_or_after(bits, t.capacity, p + 1);
        }
        line[len++] = '\n';
        write_out(line, len);
    }
    if (vec->single_if_index != 0) {
        sprintf_if_index(name, vec->single_if_index);
        std::puts(name);
    }
}

void if_index_vector_printf_dec(const if_index_vector_t *vec) {
    if (vec->num_if == 0)
        return;
    print_count_line(vec);
    for (const auto &t : kBitmapTypes) {
        const std::size_t header = std::strlen(t.dump_header);
        // header, range text (buffer includes a terminator byte, used for '\n')
        char *buf = static_cast<char *>(std::malloc(header + t.text_buffer));
        if (buf == nullptr) {
            // No room for the text: the line still shows which group it is.
            std::fputs(t.dump_header, stdout);
            std::putchar('\n');
            continue;
        }
        std::memcpy(buf, t.dump_header, header);
        char *end = put_range_text(buf + header, bitmap_bits(vec, t), t.capacity);
        *end++ = '\n';
        write_out(buf, static_cast<std::size_t>(end - buf));
        std::free(buf);
    }
}

void if_index_vector_printf_hex(const if_index_vector_t *vec) {
    if (vec->num_if == 0)
        return;
    static constexpr char kHex[] = "0123456789abcdef";
    print_count_line(vec);
    char line[64 + IF_INDEX_VECTOR_FC_TUNNEL_POSITIONS / 4 + 1];
    for (const auto &t : kBitmapTypes) {
        const std::size_t header = std::strlen(t.dump_header);
        std::memcpy(line, t.dump_header, header);
        char *out = line + header;
        const std::uint8_t *bits = bitmap_bits(vec, t);
        for (int i = 0; i < t.capacity / 8; ++i) {
            *out++ = kHex[bits[i] >> 4];
            *out++ = kHex[bits[i] & 0x0F];
        }
        *out++ = '\n';
        write_out(line, static_cast<std::size_t>(out - line));
    }
}

int if_index_vector_to_array(...) { return 0; }
int if_index_vector_from_array(...) { return 0; }
int if_index_vector_sprintf(...) { return 0; }

} // extern "C"
