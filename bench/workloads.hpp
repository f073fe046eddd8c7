// SPDX-License-Identifier: MIT
// The workloads, one function per implementation, each run on the inputs of
// one data set.  registration.cpp times them; main.cpp's agreement check runs
// the same functions and compares their results before anything is timed.
//
// Implementations, as they appear in the benchmark names:
//   lib       the library through its exported C functions and the stand-in
//             codec (scan rows: its internal scan core and word visitor)
//   ref       the literal reference of the documented algorithms (reference.hpp)
//   bitset, boost, roaring   the same sets held per type in those containers
//             (rivals.hpp); "+codec": handing out or taking if_indexes through
//             the codec, "+snprintf": text formatted by snprintf appends
//   floor     memcpy of 824 bytes, a plain OR loop over 800 bytes, or the
//             codec calls a walk or a membership operation cannot avoid
//
// A workload that returns a value has it kept by the timed loop; one that
// writes to a record writes to dst, and repeats the same work on every call
// (dst op= B leaves dst holding the result, which the next call recomputes).
#pragma once

#include <if_index_vec/if_index_vector.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <utility>
#include <vector>

#include "data.hpp"
#include "reference.hpp"
#include "rival_bitset.hpp"
#include "bitmap.hpp"

namespace bench {

// ---- inputs ------------------------------------------------------------------

// Data set d in the arena (setup_pair) and what the workloads precompute
// from it outside the timed loop.
struct Records {
    explicit Records(const Density &d) {
        setup_pair(d);
        members = members_of(a());
    }

    // The operands reach the workloads as run-time pointers, as a caller's
    // records do: code inlined here is not specialised for the arena's
    // fixed addresses (only the floors may be).
    static if_index_vector_t *dst() { return opaque(operand(kDst)); }
    static const if_index_vector_t *a() { return opaque(operand(kA)); }
    static const if_index_vector_t *b() { return opaque(operand(kB)); }
    static const if_index_vector_t *a_copy() { return opaque(operand(kACopy)); }

    std::vector<Member> members;                        // A's bitmap members: walks report time per member
    std::span<const Member> probe = membership_probe(); // the membership workload's if_indexes
};

// The same data set loaded into rival holders of type H, one per operand.
template <class H>
struct Holders : Records {
    explicit Holders(const Density &d) : Records(d) {
        ha->load(*a());
        hb->load(*b());
        hdst->load(*dst());
        ha_copy->load(*a_copy());
    }
    Placed<H> ha{kA}, hb{kB}, hdst{kDst}, ha_copy{kACopy};
};

// ---- shared pieces -----------------------------------------------------------

// What a walk or scan hands out: the sum of the values and how many.
struct WalkSum {
    std::uint64_t sum = 0;
    int n = 0;
    void visit(std::uint64_t x) {
        sum += x;
        ++n;
    }
    bool operator==(const WalkSum &o) const { return sum == o.sum && n == o.n; }
};

// The if_index at position 0 of bitmap row `row`: where a typed walk starts.
inline std::uint32_t first_of_row(int row) { return ref::if_index_at(ref::kGroups[row].code, 0); }

// ---- copy: dst = A -----------------------------------------------------------

inline void copy_lib(Records &) { if_index_vector_copy(Records::dst(), Records::a()); }
inline void copy_ref(Records &) { ref::copy(Records::dst(), Records::a()); }

// memcpy of the whole record; also the floor of is_equal.
inline void copy_floor(Records &) {
    void *dst = Records::dst();
    const void *src = Records::a();
    escape(dst);
    escape(src);
    std::memcpy(dst, src, sizeof(if_index_vector_t));
}

template <class H>
void copy_rival(Holders<H> &in) {
    in.hdst->copy_from(*in.ha);
}

// ---- union, intersection, subtract: dst op= B, with the new count -------------

inline std::uint32_t union_lib(Records &) { return if_index_vector_union(Records::dst(), Records::b()); }
inline std::uint32_t intersection_lib(Records &) {
    return if_index_vector_intersection(Records::dst(), Records::b());
}
inline std::uint32_t subtract_lib(Records &) {
    return if_index_vector_subtract(Records::dst(), Records::b());
}

// The reference has one byte loop for the three operations and takes the
// operation at run time; opaque() keeps the loop from being specialised.
template <ref::Op Op>
std::uint32_t combine_ref(Records &) {
    return ref::combine(Records::dst(), Records::b(), opaque(Op));
}

// The floor of all three: OR of 800 bytes, no count, in a function of its
// own.  As a floor it is the best loop the compiler can make, so it works on
// the arena's fixed addresses, which it is compiled for (aligned, apart).
[[gnu::noinline]] inline void or_floor(Records &) {
    auto *d = reinterpret_cast<unsigned char *>(operand(kDst));
    const auto *s = reinterpret_cast<const unsigned char *>(operand(kB));
    for (int i = 0; i < 800; ++i)
        d[i] = static_cast<unsigned char>(d[i] | s[i]);
}

template <class H>
std::uint32_t union_rival(Holders<H> &in) {
    return in.hdst->unite(*in.hb);
}
template <class H>
std::uint32_t intersection_rival(Holders<H> &in) {
    return in.hdst->intersect(*in.hb);
}
template <class H>
std::uint32_t subtract_rival(Holders<H> &in) {
    return in.hdst->subtract(*in.hb);
}

// ---- is_equal: A against its copy (equal: every byte is compared) ---------------

inline int is_equal_lib(Records &) { return if_index_vector_is_equal(Records::a(), Records::a_copy()); }
inline int is_equal_ref(Records &) { return ref::is_equal(Records::a(), Records::a_copy()); }
template <class H>
bool is_equal_rival(Holders<H> &in) {
    return in.ha->equals(*in.ha_copy);
}

// ---- count: the members of A's four bitmaps, type by type --------------------------

inline std::uint32_t count_lib(Records &) {
    std::uint32_t n = 0;
    for (const ref::Group &g : ref::kGroups)
        n += if_index_vector_num_if_type(Records::a(), g.code);
    return n;
}
inline std::uint32_t count_ref(Records &) {
    std::uint32_t n = 0;
    for (const ref::Group &g : ref::kGroups)
        n += ref::num_if_type(Records::a(), g.code);
    return n;
}
template <class H>
std::uint32_t count_rival(Holders<H> &in) {
    std::uint32_t n = 0;
    for (int row = 0; row < 4; ++row)
        n += in.ha->count_row(row);
    return n;
}

// ---- walk_typed: A's members as if_indexes, type by type ------------------------------

inline WalkSum walk_typed_lib(Records &) {
    const if_index_vector_t *v = Records::a();
    WalkSum w;
    for (int row = 0; row < 4; ++row) {
        std::uint32_t x = first_of_row(row);
        if (if_index_vector_is_present(v, x))
            w.visit(x);
        while (if_index_vector_next(v, x, &x) == IF_INDEX_VECTOR_OK)
            w.visit(x);
    }
    return w;
}
inline WalkSum walk_typed_ref(Records &) {
    const if_index_vector_t *v = Records::a();
    WalkSum w;
    for (int row = 0; row < 4; ++row) {
        std::uint32_t x = first_of_row(row);
        if (ref::is_present(v, x))
            w.visit(x);
        while (ref::next(v, x, &x) == IF_INDEX_VECTOR_OK)
            w.visit(x);
    }
    return w;
}
// The rival's walk handing out if_indexes, one codec call per member.
template <class H>
WalkSum walk_typed_rival(Holders<H> &in) {
    WalkSum w;
    for (int row = 0; row < 4; ++row) {
        const std::uint8_t code = ref::kGroups[row].code;
        in.ha->for_each_position(row, [&](int p) { w.visit(ref::if_index_at(code, p)); });
    }
    return w;
}

// ---- walk_cursor: A's members through one cursor ----------------------------------------

inline WalkSum walk_cursor_lib(Records &) {
    const if_index_vector_t *v = Records::a();
    WalkSum w;
    std::uint32_t c = 0;
    for (std::uint32_t rc = if_index_vector_itr_begin(v, &c); rc == IF_INDEX_VECTOR_OK;
         rc = if_index_vector_itr_incr(v, &c))
        w.visit(c);
    return w;
}
inline WalkSum walk_cursor_ref(Records &) {
    const if_index_vector_t *v = Records::a();
    WalkSum w;
    std::uint32_t c = 0;
    for (std::uint32_t rc = ref::first(v, &c); rc == IF_INDEX_VECTOR_OK; rc = ref::itr_incr(v, &c))
        w.visit(c);
    return w;
}
// The codec calls a cursor walk makes per member, in the order their results
// depend on each other: classify the cursor, read its position, build the
// next member's if_index from a position derived from the one read (the
// walk's scan replaced by a known step).
inline WalkSum walk_cursor_floor(Records &in) {
    const std::vector<Member> &members = in.members;
    WalkSum w;
    if (members.empty())
        return w;
    std::uint32_t c = members.front().if_index;
    w.visit(c);
    for (std::size_t i = 1; i < members.size(); ++i) {
        const Member &m = members[i], &prev = members[i - 1];
        std::uint32_t status;
        const std::uint8_t t = ref::type_of(c, &status);
        const int p = ref::position_of(t, c);
        const int q = m.row == prev.row ? p + (m.position - prev.position) : m.position;
        c = ref::if_index_at(ref::kGroups[m.row].code, q);
        w.visit(c);
    }
    return w;
}

// ---- scan: A's positions only ---------------------------------------------------------------

// The library's scan core, one call per member.
inline WalkSum scan_lib(Records &) {
    WalkSum w;
    for (const ref::Group &g : ref::kGroups) {
        const std::uint8_t *b = ref::bits(Records::a(), g);
        for (int p = if_index_vec::detail::first_set(b, g.capacity); p != if_index_vec::no_position;
             p = if_index_vec::detail::next_set_at_or_after(b, g.capacity, p + 1))
            w.visit(static_cast<std::uint64_t>(p));
    }
    return w;
}
// The library's word-at-a-time visitor.
inline WalkSum scan_lib_visit(Records &) {
    WalkSum w;
    for (const ref::Group &g : ref::kGroups)
        if_index_vec::detail::for_each_set(ref::bits(Records::a(), g), g.capacity,
                                    [&](int p) { w.visit(static_cast<std::uint64_t>(p)); });
    return w;
}
inline WalkSum scan_ref(Records &) {
    WalkSum w;
    for (const ref::Group &g : ref::kGroups) {
        const std::uint8_t *b = ref::bits(Records::a(), g);
        for (int p = ref::first_set(b, g.capacity); p >= 0; p = ref::next_set(b, g.capacity, p + 1))
            w.visit(static_cast<std::uint64_t>(p));
    }
    return w;
}
template <class H>
WalkSum scan_rival(Holders<H> &in) {
    WalkSum w;
    for (int row = 0; row < 4; ++row)
        in.ha->for_each_position(row, [&](int p) { w.visit(static_cast<std::uint64_t>(p)); });
    return w;
}

// ---- range_text and hex: A's dumps on standard output ------------------------------------

inline void range_text_lib(Records &) { if_index_vector_printf_dec(Records::a()); }
inline void range_text_ref(Records &) { ref::printf_dec(Records::a()); }

// The decimal dump built by a rival: runs from its ascending positions,
// numbers formatted by snprintf appends, one fwrite per line.
template <class H>
void range_text_rival(Holders<H> &in) {
    std::printf("No. of interfaces: %d\n", static_cast<int>(Records::a()->num_if));
    static char line[64 + 16384];
    for (int row = 0; row < 4; ++row) {
        const ref::Group &g = ref::kGroups[row];
        std::size_t len = g.dump_header.size();
        std::memcpy(line, g.dump_header.data(), len);
        int start = -2, prev = -2;
        bool separator = false;
        const auto flush = [&] {
            const char *sep = separator ? "," : "";
            len += static_cast<std::size_t>(
                start == prev ? std::snprintf(line + len, sizeof line - len, "%s%d", sep, start)
                              : std::snprintf(line + len, sizeof line - len, "%s%d-%d", sep, start, prev));
            separator = true;
        };
        in.ha->for_each_position(row, [&](int p) {
            if (p == prev + 1) {
                prev = p;
                return;
            }
            if (start >= 0)
                flush();
            start = prev = p;
        });
        if (start >= 0)
            flush();
        line[len++] = '\n';
        std::fwrite(line, 1, len, stdout);
    }
}

inline void hex_lib(Records &) { if_index_vector_printf_hex(Records::a()); }
inline void hex_ref(Records &) { ref::printf_hex(Records::a()); }

// ---- names: A's members by name on standard output ------------------------------------------

inline void names_lib(Records &) { if_index_vector_printf(Records::a()); }
inline void names_ref(Records &) { ref::printf_names(Records::a()); }

// A rival's listing: its ascending positions through the codec, each name
// formatted once and written with the separator by fputs.
template <class H>
void names_rival(Holders<H> &in) {
    char buf[256];
    for (int row = 0; row < 4; ++row) {
        const std::uint8_t code = ref::kGroups[row].code;
        bool first = true;
        in.ha->for_each_position(row, [&](int p) {
            sprintf_if_index(buf, ref::if_index_at(code, p));
            if (!first)
                std::fputs(", ", stdout);
            std::fputs(buf, stdout);
            first = false;
        });
        if (!first)
            std::fputc('\n', stdout);
    }
    if (in.ha->single != 0) {
        sprintf_if_index(buf, in.ha->single);
        std::fputs(buf, stdout);
        std::fputc('\n', stdout);
    }
}

// ---- membership: add, test and remove each probe on dst --------------------------------------
// Run on the "-" data set (dst without bitmap members), so dst ends as it
// began and every call does the same work.

inline std::uint32_t membership_lib(Records &in) {
    if_index_vector_t *v = Records::dst();
    std::uint32_t acc = 0;
    for (const Member &m : in.probe)
        acc += if_index_vector_add(v, m.if_index);
    for (const Member &m : in.probe)
        acc += static_cast<std::uint32_t>(if_index_vector_is_present(v, m.if_index));
    for (const Member &m : in.probe)
        acc += if_index_vector_remove(v, m.if_index);
    return acc;
}
inline std::uint32_t membership_ref(Records &in) {
    if_index_vector_t *v = Records::dst();
    std::uint32_t acc = 0;
    for (const Member &m : in.probe)
        acc += ref::add(v, m.if_index);
    for (const Member &m : in.probe)
        acc += static_cast<std::uint32_t>(ref::is_present(v, m.if_index));
    for (const Member &m : in.probe)
        acc += ref::remove(v, m.if_index);
    return acc;
}
// The codec calls each membership operation makes: classify, then position.
inline std::uint32_t membership_floor(Records &in) {
    std::uint32_t acc = 0;
    for (int round = 0; round < 3; ++round)
        for (const Member &m : in.probe) {
            std::uint32_t status;
            const std::uint8_t t = ref::type_of(m.if_index, &status);
            acc += static_cast<std::uint32_t>(ref::position_of(t, m.if_index)) + status;
        }
    return acc;
}
// Codec: each if_index classified and placed through the codec, as the
// library must; without: the probe's known rows and positions.
template <class H, bool Codec>
std::uint32_t membership_rival(Holders<H> &in) {
    H &h = *in.hdst;
    std::uint32_t acc = 0;
    const auto where = [](const Member &m) {
        if constexpr (Codec) {
            std::uint32_t status;
            const std::uint8_t t = ref::type_of(m.if_index, &status);
            return std::pair<int, int>{ref::group_of(t), ref::position_of(t, m.if_index)};
        } else {
            return std::pair<int, int>{m.row, m.position};
        }
    };
    for (const Member &m : in.probe) {
        const auto [row, p] = where(m);
        h.set(row, p);
    }
    for (const Member &m : in.probe) {
        const auto [row, p] = where(m);
        acc += h.test(row, p);
    }
    for (const Member &m : in.probe) {
        const auto [row, p] = where(m);
        h.reset(row, p);
    }
    return acc;
}

} // namespace bench
