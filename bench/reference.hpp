// SPDX-License-Identifier: MIT
// The literal reference: the record's documented algorithms written out
// naively, the "before" of every ratio.  Byte-by-byte set operations and
// comparison, bitmap scans over 32-bit big-endian words with a halving
// leading-zero count, a per-byte count loop, range text built by formatted
// appends and hex with one formatted call per byte.  It works on the same
// if_index_vector_t records and calls the same codec as the library.
#pragma once

#include <if_index_codec/if_index_codec.h>
#include <if_index_vec/if_index_codec_adapter.hpp>
#include <if_index_vec/if_index_vector.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "type_table.hpp"

namespace ref {

// The types, capacities, dump headers and record offsets: the library's
// table, built on <if_index_vec/if_index_types.hpp>.  Only the algorithms
// below are the reference's own.
using Group = if_index_vec::detail::table_row;
inline constexpr const auto &kGroups = if_index_vec::detail::bitmap_rows;

inline std::uint8_t *bits(if_index_vector_t *v, const Group &g) {
    return reinterpret_cast<std::uint8_t *>(v) + g.bits_offset;
}
inline const std::uint8_t *bits(const if_index_vector_t *v, const Group &g) {
    return reinterpret_cast<const std::uint8_t *>(v) + g.bits_offset;
}

inline int group_of(std::uint8_t code) {
    for (int i = 0; i < 4; ++i)
        if (kGroups[i].code == code)
            return i;
    return -1;
}

// ---- bitmap scans and count --------------------------------------------

inline int leading_zeros32(std::uint32_t w) {
    int n = 0;
    if ((w & 0xFFFF0000u) == 0) {
        n += 16;
        w <<= 16;
    }
    if ((w & 0xFF000000u) == 0) {
        n += 8;
        w <<= 8;
    }
    if ((w & 0xF0000000u) == 0) {
        n += 4;
        w <<= 4;
    }
    if ((w & 0xC0000000u) == 0) {
        n += 2;
        w <<= 2;
    }
    if ((w & 0x80000000u) == 0) {
        n += 1;
    }
    return n;
}

inline std::uint32_t group_word(const std::uint8_t *b, int g) {
    const std::uint8_t *p = b + 4 * g;
    return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) |
           std::uint32_t{p[3]};
}

inline int next_set(const std::uint8_t *b, int capacity, int start) {
    int g = start / 32;
    if (g >= capacity / 32)
        return -1;
    std::uint32_t w = group_word(b, g) & (0xFFFFFFFFu >> (start % 32));
    while (w == 0) {
        if (++g >= capacity / 32)
            return -1;
        w = group_word(b, g);
    }
    return 32 * g + leading_zeros32(w);
}

inline int first_set(const std::uint8_t *b, int capacity) { return next_set(b, capacity, 0); }

inline int count(const std::uint8_t *b, int capacity) {
    int n = 0;
    for (int i = 0; i < capacity / 8; ++i) {
        unsigned byte = b[i];
        if (byte == 0)
            continue;
        while (byte != 0) {
            n += static_cast<int>(byte & 1u);
            byte >>= 1;
        }
    }
    return n;
}

inline std::uint32_t recount(const if_index_vector_t *v) {
    std::uint32_t n = v->single_if_index != 0 ? 1 : 0;
    for (const Group &g : kGroups)
        n += static_cast<std::uint32_t>(count(bits(v, g), g.capacity));
    return n;
}

// ---- codec conversions ---------------------------------------------------
// The text header's, as the library's: classify, position_of, if_index_at.

inline std::uint8_t type_of(std::uint32_t x, std::uint32_t *status) {
    const if_index_vec::classification c = if_index_vec::classify(x);
    *status = c.status;
    return c.type;
}
using if_index_vec::if_index_at;
using if_index_vec::position_of;

// Position p's bit: bit 7 - p % 8 of byte p / 8.
inline bool bit(const std::uint8_t *b, int p) { return (b[p / 8] & (0x80u >> (p % 8))) != 0; }

// ---- lifecycle, membership -----------------------------------------------

inline void copy(if_index_vector_t *dst, const if_index_vector_t *src) {
    const auto *s = reinterpret_cast<const unsigned char *>(src);
    auto *d = reinterpret_cast<unsigned char *>(dst);
    for (std::size_t i = 0; i < sizeof *dst; ++i)
        d[i] = s[i];
}

inline std::uint32_t add(if_index_vector_t *v, std::uint32_t x) {
    std::uint32_t status;
    const std::uint8_t t = type_of(x, &status);
    if (t == IF_TYPE_SINGLE) {
        if (x == 0)
            return IF_INDEX_VECTOR_BAD_TYPE;
        if (v->single_if_index == 0)
            ++v->num_if;
        v->single_if_index = x;
        return status;
    }
    const int gi = group_of(t);
    const int p = gi < 0 ? -1 : position_of(t, x);
    if (p < 0 || p >= kGroups[gi].capacity)
        return IF_INDEX_VECTOR_BAD_TYPE;
    std::uint8_t *b = bits(v, kGroups[gi]) + p / 8;
    const std::uint8_t mask = static_cast<std::uint8_t>(0x80u >> (p % 8));
    if ((*b & mask) == 0)
        ++v->num_if;
    *b = static_cast<std::uint8_t>(*b | mask);
    return status;
}

inline std::uint32_t remove(if_index_vector_t *v, std::uint32_t x) {
    if (v->num_if == 0)
        return IF_INDEX_VECTOR_OK;
    std::uint32_t status;
    const std::uint8_t t = type_of(x, &status);
    if (t == IF_TYPE_SINGLE) {
        if (x == 0)
            return IF_INDEX_VECTOR_BAD_TYPE;
        if (v->single_if_index != 0)
            --v->num_if;
        v->single_if_index = 0;
        return status;
    }
    const int gi = group_of(t);
    const int p = gi < 0 ? -1 : position_of(t, x);
    if (p < 0 || p >= kGroups[gi].capacity)
        return IF_INDEX_VECTOR_BAD_TYPE;
    std::uint8_t *b = bits(v, kGroups[gi]) + p / 8;
    const std::uint8_t mask = static_cast<std::uint8_t>(0x80u >> (p % 8));
    if ((*b & mask) != 0)
        --v->num_if;
    *b = static_cast<std::uint8_t>(*b & ~mask);
    return status;
}

inline int is_present(const if_index_vector_t *v, std::uint32_t x) {
    if (v->num_if == 0)
        return 0;
    std::uint32_t status;
    const std::uint8_t t = type_of(x, &status);
    if (t == IF_TYPE_SINGLE)
        return x != 0 && v->single_if_index == x;
    const int gi = group_of(t);
    const int p = gi < 0 ? -1 : position_of(t, x);
    if (p < 0 || p >= kGroups[gi].capacity)
        return 0;
    return bit(bits(v, kGroups[gi]), p);
}

inline std::uint32_t num_if_type(const if_index_vector_t *v, std::uint32_t type) {
    if (type == IF_TYPE_SINGLE)
        return v->single_if_index != 0;
    const int gi = type > 0xFF ? -1 : group_of(static_cast<std::uint8_t>(type));
    return gi < 0 ? 0 : static_cast<std::uint32_t>(count(bits(v, kGroups[gi]), kGroups[gi].capacity));
}

// ---- set algebra ------------------------------------------------------------

enum class Op { Union, Intersection, Subtract };

inline std::uint32_t combine(if_index_vector_t *dst, const if_index_vector_t *src, Op op) {
    for (const Group &g : kGroups) {
        std::uint8_t *d = bits(dst, g);
        const std::uint8_t *s = bits(src, g);
        for (int i = 0; i < g.capacity / 8; ++i) {
            switch (op) {
            case Op::Union: d[i] = static_cast<std::uint8_t>(d[i] | s[i]); break;
            case Op::Intersection: d[i] = static_cast<std::uint8_t>(d[i] & s[i]); break;
            case Op::Subtract: d[i] = static_cast<std::uint8_t>(d[i] & ~s[i]); break;
            }
        }
    }
    dst->num_if = recount(dst);
    return dst->num_if;
}

inline int is_equal(const if_index_vector_t *a, const if_index_vector_t *b) {
    if (a->num_if != b->num_if)
        return 0;
    for (const Group &g : kGroups) {
        const std::uint8_t *x = bits(a, g);
        const std::uint8_t *y = bits(b, g);
        for (int i = 0; i < g.capacity / 8; ++i)
            if (x[i] != y[i])
                return 0;
    }
    return a->single_if_index == b->single_if_index;
}

// ---- walks --------------------------------------------------------------------

inline std::uint32_t first(const if_index_vector_t *v, std::uint32_t *out) {
    if (v->num_if == 0)
        return IF_INDEX_VECTOR_EMPTY;
    for (const Group &g : kGroups) {
        const int p = first_set(bits(v, g), g.capacity);
        if (p >= 0) {
            *out = if_index_at(g.code, p);
            return IF_INDEX_VECTOR_OK;
        }
    }
    if (v->single_if_index != 0) {
        *out = v->single_if_index;
        return IF_INDEX_VECTOR_OK;
    }
    return IF_INDEX_VECTOR_EMPTY;
}

inline std::uint32_t next(const if_index_vector_t *v, std::uint32_t x, std::uint32_t *out) {
    std::uint32_t status;
    const std::uint8_t t = type_of(x, &status);
    if (t > 15)
        return IF_INDEX_VECTOR_BAD_TYPE;
    if (t == IF_TYPE_SINGLE)
        return IF_INDEX_VECTOR_END;
    const int gi = group_of(t);
    if (gi < 0)
        return IF_INDEX_VECTOR_BAD_TYPE;
    const int p = position_of(t, x);
    if (p < 0)
        return IF_INDEX_VECTOR_BAD_TYPE;
    const Group &g = kGroups[gi];
    const int q = p + 1 >= g.capacity ? -1 : next_set(bits(v, g), g.capacity, p + 1);
    if (q < 0)
        return IF_INDEX_VECTOR_END;
    *out = if_index_at(g.code, q);
    return IF_INDEX_VECTOR_OK;
}

inline std::uint32_t itr_incr(const if_index_vector_t *v, std::uint32_t *cursor) {
    std::uint32_t status;
    const std::uint8_t t = type_of(*cursor, &status);
    const int gi = group_of(t);
    if (gi < 0)
        return IF_INDEX_VECTOR_END;
    const int p = position_of(t, *cursor);
    if (p < 0)
        return IF_INDEX_VECTOR_END;
    int start = p + 1;
    for (int i = gi; i < 4; ++i, start = 0) {
        const Group &g = kGroups[i];
        const int q = start >= g.capacity ? -1 : next_set(bits(v, g), g.capacity, start);
        if (q >= 0) {
            *cursor = if_index_at(g.code, q);
            return IF_INDEX_VECTOR_OK;
        }
    }
    if (v->single_if_index != 0)
        *cursor = v->single_if_index;
    return IF_INDEX_VECTOR_END;
}

// ---- text ---------------------------------------------------------------------

// Range text of one bitmap into buf by formatted appends.
inline void range_text(char *buf, std::size_t size, const std::uint8_t *b, int capacity) {
    std::size_t len = 0;
    buf[0] = '\0';
    int p = first_set(b, capacity);
    if (p < 0)
        return;
    int start = p;
    bool separator = false;
    for (;;) {
        const int q = p + 1 >= capacity ? -1 : next_set(b, capacity, p + 1);
        if (q == p + 1) {
            p = q;
            continue;
        }
        if (separator)
            len += static_cast<std::size_t>(std::snprintf(buf + len, size - len, ","));
        if (start == p)
            len += static_cast<std::size_t>(std::snprintf(buf + len, size - len, "%d", start));
        else
            len += static_cast<std::size_t>(std::snprintf(buf + len, size - len, "%d-%d", start, p));
        separator = true;
        if (q < 0)
            return;
        start = p = q;
    }
}

inline void printf_dec(const if_index_vector_t *v) {
    if (v->num_if == 0)
        return;
    std::printf("No. of interfaces: %d\n", static_cast<int>(v->num_if));
    for (const Group &g : kGroups) {
        std::printf("%.*s", static_cast<int>(g.dump_header.size()), g.dump_header.data());
        char *buf = static_cast<char *>(std::malloc(g.text_buffer));
        if (buf != nullptr) {
            range_text(buf, g.text_buffer, bits(v, g), g.capacity);
            std::printf("%s", buf);
            std::free(buf);
        }
        std::printf("\n");
    }
}

// The name listing: one formatted call per member and per separator.
inline void printf_names(const if_index_vector_t *v) {
    if (v->num_if == 0)
        return;
    char buf[256];
    for (const Group &g : kGroups) {
        const std::uint8_t *b = bits(v, g);
        int p = first_set(b, g.capacity);
        if (p < 0)
            continue;
        for (bool first = true; p >= 0; p = next_set(b, g.capacity, p + 1), first = false) {
            if (!first)
                std::printf(", ");
            sprintf_if_index(buf, if_index_at(g.code, p));
            std::printf("%s", buf);
        }
        std::printf("\n");
    }
    if (v->single_if_index != 0) {
        sprintf_if_index(buf, v->single_if_index);
        std::puts(buf);
    }
}

inline void printf_hex(const if_index_vector_t *v) {
    if (v->num_if == 0)
        return;
    std::printf("No. of interfaces: %d\n", static_cast<int>(v->num_if));
    for (const Group &g : kGroups) {
        std::printf("%.*s", static_cast<int>(g.dump_header.size()), g.dump_header.data());
        const std::uint8_t *b = bits(v, g);
        for (int i = 0; i < g.capacity / 8; ++i)
            std::printf(b[i] <= 15 ? "0%x" : "%x", static_cast<unsigned>(b[i]));
        std::printf("\n");
    }
}

} // namespace ref
