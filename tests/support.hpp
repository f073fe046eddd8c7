// Shared test aids: building if_indexes, the record invariant, and a plain
// per-position model of a bitmap.
#pragma once

#include <if_index_codec/if_index_codec.h>
#include <if_index_vec/if_index_vector.h>

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "vector/type_table.hpp"

namespace ifv::test {

using detail::BitmapType;
using detail::kBitmapTypes;

// The if_index of `type` at bitmap position `pos` (slot*64+port for the port
// types), built with the codec's own constructors.
inline std::uint32_t at(std::uint8_t type, int pos) {
    std::uint32_t v = 0;
    switch (type) {
    case IF_TYPE_PHY_FC:
        if_index_phy_fc_port_init(&v, static_cast<std::uint8_t>(pos / 64),
                                  static_cast<std::uint8_t>(pos % 64), 0);
        break;
    case IF_TYPE_ISCSI:
        if_index_iscsi_port_init(&v, static_cast<std::uint8_t>(pos / 64),
                                 static_cast<std::uint8_t>(pos % 64));
        break;
    case IF_TYPE_PORT_CHANNEL:
        if_index_port_channel_init(&v, static_cast<std::uint16_t>(pos));
        break;
    case IF_TYPE_FC_TUNNEL:
        if_index_fcmpls_tnnl_init(&v, static_cast<std::uint16_t>(pos));
        break;
    default:
        EXPECT_EQ(if_index_init(&v, type, static_cast<std::uint32_t>(pos)), 0u);
    }
    return v;
}

inline std::uint8_t *bits_of(if_index_vector_t &v, const BitmapType &t) {
    return detail::bitmap_bits(&v, t);
}
inline const std::uint8_t *bits_of(const if_index_vector_t &v, const BitmapType &t) {
    return detail::bitmap_bits(&v, t);
}

inline bool bit_at(const std::uint8_t *bits, int p) { return (bits[p / 8] >> (7 - p % 8)) & 1; }

// Members the record stores, counted bit by bit (independent of the
// library's word-wide count).
inline std::uint32_t slow_recount(const if_index_vector_t &v) {
    std::uint32_t n = v.single_if_index != 0 ? 1 : 0;
    for (const auto &t : kBitmapTypes)
        for (int p = 0; p < t.capacity; ++p)
            n += bit_at(detail::bitmap_bits(&v, t), p);
    return n;
}

// The record invariant: num_if equals what the record stores.
#define EXPECT_CONSISTENT(vec) \
    EXPECT_EQ((vec).num_if, ::ifv::test::slow_recount(vec)) << "num_if disagrees with the bits"

// Set positions of one bitmap, found bit by bit.
inline std::vector<int> positions(const std::uint8_t *bits, int capacity) {
    std::vector<int> out;
    for (int p = 0; p < capacity; ++p)
        if (bit_at(bits, p))
            out.push_back(p);
    return out;
}

// "0-2,5,7-8" for positions {0,1,2,5,7,8}, from a sorted list.
inline std::string range_text(const std::vector<int> &ps) {
    std::string s;
    for (std::size_t i = 0; i < ps.size();) {
        std::size_t j = i;
        while (j + 1 < ps.size() && ps[j + 1] == ps[j] + 1)
            ++j;
        if (!s.empty())
            s += ',';
        s += std::to_string(ps[i]);
        if (j > i)
            s += '-' + std::to_string(ps[j]);
        i = j + 1;
    }
    return s;
}

} // namespace ifv::test

namespace ifv::test {

// Runs `fn` with standard output redirected into a temporary file and returns
// every byte it wrote through stdio or fd 1.
template <class Fn>
std::string capture_stdout(Fn &&fn) {
    std::fflush(stdout);
    std::FILE *tmp = std::tmpfile();
    EXPECT_NE(tmp, nullptr);
    if (tmp == nullptr)
        return {};
    const int saved = dup(1);
    dup2(fileno(tmp), 1);
    fn();
    std::fflush(stdout);
    dup2(saved, 1);
    close(saved);
    std::string out;
    std::rewind(tmp);
    char buf[4096];
    for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, tmp)) > 0;)
        out.append(buf, n);
    std::fclose(tmp);
    return out;
}

} // namespace ifv::test
