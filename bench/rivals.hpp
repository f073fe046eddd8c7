// SPDX-License-Identifier: MIT
// The same sets held the way a caller might hold them instead: one
// std::bitset, boost::dynamic_bitset or CRoaring bitmap per type plus the
// single slot (the std::bitset one in rival_bitset.hpp).  Each holder offers
// the same small set of operations, so the benchmarks run one generic body
// over all three.  Positions are the library's positions (bit p of a
// std::bitset is position p).
#pragma once

#include <if_index_vec/if_index_codec_adapter.hpp>
#include <if_index_vec/if_index_vector.h>

#include <boost/dynamic_bitset.hpp>
#include <roaring/roaring.h>

#include <cstddef>
#include <cstdint>

#include "reference.hpp"
#include "rival_bitset.hpp"

namespace rival {

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
