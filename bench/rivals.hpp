// SPDX-License-Identifier: MIT
// The same sets held the way a caller might hold them instead: one
// std::bitset, boost::dynamic_bitset or CRoaring bitmap per type plus the
// single slot.  Each holder offers the same small set of operations, so the
// benchmarks run one generic body over all three.  Positions are the
// library's positions (bit p of a std::bitset is position p).
#pragma once

#include <if_index_vec/if_index_codec_adapter.hpp>
#include <if_index_vec/if_index_vector.h>

#include <boost/dynamic_bitset.hpp>
#include <roaring/roaring.h>

#include <bitset>
#include <cstddef>
#include <cstdint>

#include "reference.hpp"

namespace rival {

// ---- std::bitset ---------------------------------------------------------

struct StdBitset {
    // One bitset per row of ifvec::bitmap_types, in its order.
    std::bitset<ifvec::bitmap_types[0].capacity> phy_fc;
    std::bitset<ifvec::bitmap_types[1].capacity> port_channel;
    std::bitset<ifvec::bitmap_types[2].capacity> iscsi;
    std::bitset<ifvec::bitmap_types[3].capacity> fc_tunnel;
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

// ---- boost::dynamic_bitset -----------------------------------------------

struct BoostBitset {
    boost::dynamic_bitset<std::uint64_t> rows[4];
    std::uint32_t single = 0;

    static constexpr const char *kName = "boost";

    BoostBitset() {
        for (int r = 0; r < 4; ++r)
            rows[r].resize(static_cast<std::size_t>(ref::kGroups[r].capacity));
    }
    void load(const if_index_vector_t &v) {
        for (int r = 0; r < 4; ++r) {
            const ref::Group &g = ref::kGroups[r];
            rows[r].reset();
            for (int p = 0; p < g.capacity; ++p)
                if (ref::bit(ref::bits(&v, g), p))
                    rows[r].set(static_cast<std::size_t>(p));
        }
        single = v.single_if_index;
    }
    void copy_from(const BoostBitset &o) {
        for (int r = 0; r < 4; ++r)
            rows[r] = o.rows[r];
        single = o.single;
    }
    void set(int row, int p) { rows[row].set(static_cast<std::size_t>(p)); }
    void reset(int row, int p) { rows[row].reset(static_cast<std::size_t>(p)); }
    bool test(int row, int p) { return rows[row].test(static_cast<std::size_t>(p)); }
    std::uint32_t count_row(int row) { return static_cast<std::uint32_t>(rows[row].count()); }
    std::uint32_t count() const {
        std::uint32_t n = single != 0;
        for (const auto &b : rows)
            n += static_cast<std::uint32_t>(b.count());
        return n;
    }
    std::uint32_t unite(const BoostBitset &o) {
        for (int r = 0; r < 4; ++r)
            rows[r] |= o.rows[r];
        return count();
    }
    std::uint32_t intersect(const BoostBitset &o) {
        for (int r = 0; r < 4; ++r)
            rows[r] &= o.rows[r];
        return count();
    }
    std::uint32_t subtract(const BoostBitset &o) {
        for (int r = 0; r < 4; ++r)
            rows[r] -= o.rows[r];
        return count();
    }
    bool equals(const BoostBitset &o) const {
        for (int r = 0; r < 4; ++r)
            if (rows[r] != o.rows[r])
                return false;
        return single == o.single;
    }
    template <class F>
    void for_each_position(int row, F &&f) {
        const auto &b = rows[row];
        for (std::size_t p = b.find_first(); p != b.npos; p = b.find_next(p))
            f(static_cast<int>(p));
    }
};

// ---- CRoaring ---------------------------------------------------------------

struct Roaring {
    roaring_bitmap_t *rows[4];
    std::uint32_t single = 0;

    static constexpr const char *kName = "roaring";

    Roaring() {
        for (auto &r : rows)
            r = roaring_bitmap_create();
    }
    ~Roaring() {
        for (auto *r : rows)
            roaring_bitmap_free(r);
    }
    Roaring(const Roaring &) = delete;
    Roaring &operator=(const Roaring &) = delete;

    void load(const if_index_vector_t &v) {
        for (int r = 0; r < 4; ++r) {
            const ref::Group &g = ref::kGroups[r];
            roaring_bitmap_clear(rows[r]);
            for (int p = 0; p < g.capacity; ++p)
                if (ref::bit(ref::bits(&v, g), p))
                    roaring_bitmap_add(rows[r], static_cast<std::uint32_t>(p));
        }
        single = v.single_if_index;
    }
    void copy_from(const Roaring &o) {
        for (int r = 0; r < 4; ++r)
            roaring_bitmap_overwrite(rows[r], o.rows[r]);
        single = o.single;
    }
    void set(int row, int p) { roaring_bitmap_add(rows[row], static_cast<std::uint32_t>(p)); }
    void reset(int row, int p) { roaring_bitmap_remove(rows[row], static_cast<std::uint32_t>(p)); }
    bool test(int row, int p) { return roaring_bitmap_contains(rows[row], static_cast<std::uint32_t>(p)); }
    std::uint32_t count_row(int row) {
        return static_cast<std::uint32_t>(roaring_bitmap_get_cardinality(rows[row]));
    }
    std::uint32_t count() const {
        std::uint32_t n = single != 0;
        for (const auto *r : rows)
            n += static_cast<std::uint32_t>(roaring_bitmap_get_cardinality(r));
        return n;
    }
    std::uint32_t unite(const Roaring &o) {
        for (int r = 0; r < 4; ++r)
            roaring_bitmap_or_inplace(rows[r], o.rows[r]);
        return count();
    }
    std::uint32_t intersect(const Roaring &o) {
        for (int r = 0; r < 4; ++r)
            roaring_bitmap_and_inplace(rows[r], o.rows[r]);
        return count();
    }
    std::uint32_t subtract(const Roaring &o) {
        for (int r = 0; r < 4; ++r)
            roaring_bitmap_andnot_inplace(rows[r], o.rows[r]);
        return count();
    }
    bool equals(const Roaring &o) const {
        for (int r = 0; r < 4; ++r)
            if (!roaring_bitmap_equals(rows[r], o.rows[r]))
                return false;
        return single == o.single;
    }
    template <class F>
    void for_each_position(int row, F &&f) {
        roaring_uint32_iterator_t it;
        roaring_init_iterator(rows[row], &it);
        for (; it.has_value; roaring_advance_uint32_iterator(&it))
            f(static_cast<int>(it.current_value));
    }
};

} // namespace rival
