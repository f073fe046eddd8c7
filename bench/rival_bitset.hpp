// SPDX-License-Identifier: MIT
// The std::bitset holder: the sets held as one std::bitset per type plus the
// single slot.  Standard library only, so the instruction-count driver builds
// it for every target; rivals.hpp adds the Boost and CRoaring holders.
#pragma once

#include <if_index_vec/if_index_codec_adapter.hpp>
#include <if_index_vec/if_index_vector.h>

#include <bitset>
#include <cstddef>
#include <cstdint>

#include "reference.hpp"

namespace rival {

// ---- std::bitset ---------------------------------------------------------

struct StdBitset {
    // One bitset per row of if_index_vec::bitmap_types, in its order.
    std::bitset<if_index_vec::bitmap_types[0].capacity> phy_fc;
    std::bitset<if_index_vec::bitmap_types[1].capacity> port_channel;
    std::bitset<if_index_vec::bitmap_types[2].capacity> iscsi;
    std::bitset<if_index_vec::bitmap_types[3].capacity> fc_tunnel;
    std::uint32_t single = 0;

    static constexpr const char *kName = "bitset";

    template <class F>
    void each(F &&f) {
        f(0, phy_fc);
        f(1, port_channel);
        f(2, iscsi);
        f(3, fc_tunnel);
    }
    template <class F>
    void each(F &&f) const {
        f(0, phy_fc);
        f(1, port_channel);
        f(2, iscsi);
        f(3, fc_tunnel);
    }
    template <class F>
    void each2(const StdBitset &o, F &&f) {
        f(phy_fc, o.phy_fc);
        f(port_channel, o.port_channel);
        f(iscsi, o.iscsi);
        f(fc_tunnel, o.fc_tunnel);
    }
    template <class F>
    void on_row(int row, F &&f) {
        switch (row) {
        case 0: f(phy_fc); break;
        case 1: f(port_channel); break;
        case 2: f(iscsi); break;
        default: f(fc_tunnel); break;
        }
    }

    void load(const if_index_vector_t &v) {
        each([&](int row, auto &b) {
            const ref::Group &g = ref::kGroups[row];
            b.reset();
            for (int p = 0; p < g.capacity; ++p)
                if (ref::bit(ref::bits(&v, g), p))
                    b.set(static_cast<std::size_t>(p));
        });
        single = v.single_if_index;
    }
    void copy_from(const StdBitset &o) { *this = o; }
    void set(int row, int p) {
        on_row(row, [&](auto &b) { b.set(static_cast<std::size_t>(p)); });
    }
    void reset(int row, int p) {
        on_row(row, [&](auto &b) { b.reset(static_cast<std::size_t>(p)); });
    }
    bool test(int row, int p) {
        bool r = false;
        on_row(row, [&](auto &b) { r = b.test(static_cast<std::size_t>(p)); });
        return r;
    }
    std::uint32_t count_row(int row) {
        std::uint32_t n = 0;
        on_row(row, [&](auto &b) { n = static_cast<std::uint32_t>(b.count()); });
        return n;
    }
    std::uint32_t count() const {
        std::uint32_t n = single != 0;
        each([&](int, const auto &b) { n += static_cast<std::uint32_t>(b.count()); });
        return n;
    }
    std::uint32_t unite(const StdBitset &o) {
        each2(o, [](auto &a, const auto &b) { a |= b; });
        return count();
    }
    std::uint32_t intersect(const StdBitset &o) {
        each2(o, [](auto &a, const auto &b) { a &= b; });
        return count();
    }
    std::uint32_t subtract(const StdBitset &o) {
        each2(o, [](auto &a, const auto &b) { a &= ~b; });
        return count();
    }
    bool equals(const StdBitset &o) const {
        return phy_fc == o.phy_fc && port_channel == o.port_channel && iscsi == o.iscsi &&
               fc_tunnel == o.fc_tunnel && single == o.single;
    }
    // Calls f(p) for every set position of `row`, ascending.
    template <class F>
    void for_each_position(int row, F &&f) {
        on_row(row, [&](auto &b) {
            for (std::size_t p = b._Find_first(); p < b.size(); p = b._Find_next(p))
                f(static_cast<int>(p));
        });
    }
};

} // namespace rival
