// SPDX-License-Identifier: MIT
// What ifvec and if_index_codec_check share at their edges: how a message
// shows a piece of input, and the last check of standard output.
#pragma once

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

namespace ifvec::tools {

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
            static constexpr char hex[] = "0123456789abcdef";
            out += {'\\', 'x', hex[c >> 4], hex[c & 0xF]};
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

} // namespace ifvec::tools
