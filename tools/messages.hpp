// SPDX-License-Identifier: MIT
// What ifvec and if_index_codec_check share: their exit statuses, how a
// message shows an if_index, its name, a list and a piece of input, and the
// last check of standard output.
#pragma once

#include <if_index_vec/if_index_codec_adapter.hpp>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <ranges>
#include <string>
#include <string_view>

namespace if_index_vec::tools {

// The exit statuses of both tools; if_index_codec_check reads no input and
// never exits with exit_read.
enum exit_status : int {
    exit_ok = 0,
    exit_false = 1,     // "not equal", "none present"; a codec the library cannot rely on
    exit_bad_input = 2, // usage errors and bad input
    exit_read = 3,      // standard input or a record file could not be read
    exit_write = 4,     // standard output or a --record-out file could not be written
};

// "0x01000300": an if_index as both tools print it.
inline std::string hex(std::uint32_t if_index) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%08x", static_cast<unsigned>(if_index));
    return buf;
}

// The codec's name of `if_index`.
inline std::string name_of(std::uint32_t if_index) {
    char buf[name_buffer_size];
    return name_into(buf, if_index);
}

// The codec's name of the if_index at `position` of type code `code`.
inline std::string name_at(std::uint8_t code, int position) { return name_of(if_index_at(code, position)); }

// The items in order with `sep` between them, and `last_sep` before the
// last: joined(items, ", ", " and ") gives "a, b and c", "a and b" or "a".
template <std::ranges::sized_range Items>
std::string joined(const Items &items, std::string_view sep, std::string_view last_sep) {
    const std::size_t n = std::ranges::size(items);
    std::string out;
    std::size_t i = 0;
    for (const auto &item : items) {
        if (i > 0)
            out += i + 1 == n ? last_sep : sep;
        out += item;
        ++i;
    }
    return out;
}

template <std::ranges::sized_range Items>
std::string joined(const Items &items, std::string_view sep) {
    return joined(items, sep, sep);
}

// Bytes of input a message shows before it cuts them off with "...".
inline constexpr std::size_t shown_bytes = 40;

// A piece of input as a message shows it: quoted, at most its first 40
// bytes, and every byte that is not printable ASCII escaped (\n, \t, \r, \'
// and \\, else \xHH), so that input never reaches the terminal as it is.
inline std::string shown(std::string_view text) {
    std::string out = "'";
    for (const char ch : text.substr(0, shown_bytes)) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == '\n')
            out += "\\n";
        else if (c == '\t')
            out += "\\t";
        else if (c == '\r')
            out += "\\r";
        else if (c == '\\' || c == '\'')
            out += {'\\', ch};
        else if (c >= 0x20 && c < 0x7F)
            out += ch;
        else {
            static constexpr char digits[] = "0123456789abcdef";
            out += {'\\', 'x', digits[c >> 4], digits[c & 0xF]};
        }
    }
    return out + (text.size() > shown_bytes ? "...'" : "'");
}

// Flushes and closes standard output.  Returns "" when everything written
// reached it, else the message for the write error ("write error: No space
// left on device").
inline std::string close_stdout() {
    errno = 0;
    if (std::fflush(stdout) == 0 && std::ferror(stdout) == 0 && std::fclose(stdout) == 0)
        return "";
    return errno != 0 ? std::string("write error: ") + std::strerror(errno) : "write error";
}

} // namespace if_index_vec::tools
