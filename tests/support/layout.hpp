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

// if_indexes in the stand-in's encoding (its header documents it): the type
// code in bits 31..24, then slot << 16 | port << 8 for the port types, else a
// number.  Built directly, so that fields the stand-in refuses (ports of 64
// and more) can be given to a codec that takes them.
inline std::uint32_t port_ifx(std::uint8_t code, unsigned slot, unsigned port) {
    return std::uint32_t{code} << 24 | slot << 16 | port << 8;
}
// The if_index of `code` at bitmap position `pos`, or with number `pos` for
// other types.
inline std::uint32_t at(std::uint8_t code, int pos) {
    const int r = row_of(code);
    const auto p = static_cast<unsigned>(pos);
    return r >= 0 && kRows[r].ports ? port_ifx(code, p / 64, p % 64) : std::uint32_t{code} << 24 | p;
}

inline std::string name_of(std::uint32_t ifx) {
    char buf[256] = "";
    sprintf_if_index(buf, ifx);
    return buf;
}

} // namespace ifvec::test
