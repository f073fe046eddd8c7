// SPDX-License-Identifier: MIT
// Test support: the record's layout from its definition, and if_indexes and names via the ten codec calls.
#pragma once

#include <if_index_vec/if_index_codec_adapter.hpp>

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace if_index_vec::test {

// The bitmaps in order: type code, byte count offset (bits follow), capacity, dump header.
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

// The if_index of a port type's slot and port; 0 when the codec refuses them.
inline std::uint32_t port_ifx(std::uint8_t code, unsigned slot, unsigned port) {
    std::uint32_t x = 0;
    const auto s = static_cast<std::uint8_t>(slot), p = static_cast<std::uint8_t>(port);
    code == IF_TYPE_ISCSI ? if_index_iscsi_port_init(&x, s, p) : if_index_phy_fc_port_init(&x, s, p, 0);
    return x;
}
// The if_index of held type `code` at position `pos` (may be beyond the capacity).
inline std::uint32_t at(std::uint8_t code, int pos) {
    const auto p = static_cast<unsigned>(pos);
    std::uint32_t x = 0;
    if (code == IF_TYPE_PORT_CHANNEL)
        if_index_port_channel_init(&x, static_cast<std::uint16_t>(p));
    else if (code == IF_TYPE_FC_TUNNEL)
        if_index_fcmpls_tnnl_init(&x, static_cast<std::uint16_t>(p));
    else
        x = port_ifx(code, p / 64, p % 64);
    return x;
}

// Up to 64 if_indexes the codec classifies as `code`, found among fixed 32-bit values.
inline const std::vector<std::uint32_t> &classified_as(std::uint8_t code) {
    static const auto found = [] {
        std::array<std::vector<std::uint32_t>, 256> by_code;
        std::uint32_t v = 1;
        for (int i = 0; i < 1 << 20; ++i) {
            v = v * 1664525u + 1013904223u;
            auto &same = by_code[classify(v).type];
            if (same.size() < 64)
                same.push_back(v);
        }
        return by_code;
    }();
    return found[code];
}

inline std::string name_of(std::uint32_t ifx) {
    char buf[256] = "";
    sprintf_if_index(buf, ifx);
    return buf;
}

} // namespace if_index_vec::test
