// SPDX-License-Identifier: MIT
// Test support: the record's layout as its definition gives it (not as the
// library's tables do), and if_indexes and names from the stand-in codec.
#pragma once

#include <if_index_codec/if_index_codec.h>

#include <cstddef>
#include <cstdint>
#include <string>

namespace ifvec::test {

// The record's bitmaps in canonical order: type code, offset of the byte
// count (the bits follow), capacity, dump header, position = slot * 64 + port.
struct Row {
    std::uint8_t code;
    std::size_t offset;
    int capacity;
    const char *header;
    bool ports;
};
inline constexpr Row kRows[4] = {{1, 4, 1024, "PHY_FC interfaces: ", true},
                                 {4, 136, 256, "PORT_CHANNEL interfaces: ", false},
                                 {11, 172, 1024, "ISCSI interfaces: ", true},
                                 {15, 304, 4096, "FC-TUNNEL interfaces: ", false}};
inline constexpr std::size_t kRecordSize = 824, kSingleOffset = 820;
inline constexpr std::uint8_t kSingle = 6;

inline int row_of(unsigned code) {
    for (int r = 0; r < 4; ++r)
        if (kRows[r].code == code)
            return r;
    return -1;
}

// The if_index of `code` at bitmap position `pos`, or with number `pos` for
// other types, from the stand-in's constructor of any type (which takes
// slot * 256 + port for the port types).
inline std::uint32_t at(std::uint8_t code, int pos) {
    const int r = row_of(code);
    std::uint32_t v = 0;
    if_index_init(&v, code,
                  static_cast<std::uint32_t>(r >= 0 && kRows[r].ports ? pos / 64 * 256 + pos % 64 : pos));
    return v;
}

inline std::string name_of(std::uint32_t ifx) {
    char buf[256] = "";
    sprintf_if_index(buf, ifx);
    return buf;
}

} // namespace ifvec::test
