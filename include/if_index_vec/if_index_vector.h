/* SPDX-License-Identifier: MIT */
/*
 * if_index_vector.h - sets of network interfaces (interface-index vectors).
 *
 * A vector is one flat 824-byte record, if_index_vector_t, that holds a set
 * of interfaces named by 32-bit if_indexes.  The interface-index codec
 * classifies each if_index by a type code and turns it into a position; the
 * record keeps one MSB-first bitmap per held type (PHY_FC, PORT_CHANNEL,
 * ISCSI, FC-TUNNEL) and one single slot for an if_index of type code 6.  The
 * record holds no pointers: place it on the stack, inside your own records,
 * or get it from if_index_vector_new(); copy it as a block.
 *
 *   Lifecycle and count
 *     if_index_vector_new          allocate and initialise a record
 *     if_index_vector_init         initialise caller storage as an empty vector
 *     if_index_vector_delete       release a record from _new
 *     if_index_vector_copy         copy all 824 bytes of one record over another
 *     if_index_vector_num_if       number of members, as stored
 *   Membership
 *     if_index_vector_add          add an if_index
 *     if_index_vector_remove       remove an if_index
 *     if_index_vector_is_present   1 when an if_index is a member
 *     if_index_vector_num_if_type  number of members of one type code
 *   Set algebra
 *     if_index_vector_union        dst |= src, returns the new count
 *     if_index_vector_intersection dst &= src, returns the new count
 *     if_index_vector_subtract     dst &= ~src, returns the new count
 *     if_index_vector_is_equal     1 when two records hold the same members
 *   Walks
 *     if_index_vector_first        first member
 *     if_index_vector_next         next member of the same type as an if_index
 *     if_index_vector_get_next     next member of the same type as a cursor
 *     if_index_vector_itr_begin    start a cursor walk over all members
 *     if_index_vector_itr_incr     advance a cursor walk
 *     if_index_vector_get          read a cursor out
 *   Output (standard output)
 *     if_index_vector_printf       members by name, one line per type
 *     if_index_vector_printf_dec   positions as decimal ranges, per type
 *     if_index_vector_printf_hex   bitmaps in hexadecimal, per type
 *     if_index_vector_to_array, _from_array, _sprintf   placeholders
 *
 * Canonical order: phy_fc, port_channel, iscsi, fc_tunnel, each by
 * ascending position, then the single slot.  Walks, listings, dumps,
 * equality and counts all follow it.
 *
 * Thread safety: the library is reentrant and holds no global state; calls
 * on different records are independent, and callers serialise calls that
 * touch the same record.  Pointer arguments are never checked.
 *
 * The header compiles as C99 or later and as C++11 or later.
 */
#ifndef IF_INDEX_VEC_IF_INDEX_VECTOR_H
#define IF_INDEX_VEC_IF_INDEX_VECTOR_H

#include <stddef.h>
#include <stdint.h>

#include <if_index_vec/version.h>

#if defined(IF_INDEX_VEC_BUILDING) && defined(__GNUC__)
#define IF_INDEX_VECTOR_API __attribute__((visibility("default")))
#else
#define IF_INDEX_VECTOR_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Results of the operations that return a status. */
enum {
    IF_INDEX_VECTOR_OK = 0,       /* done; an if_index was written where one is expected */
    IF_INDEX_VECTOR_EMPTY = 33,   /* the vector has no member (first, itr_begin) */
    IF_INDEX_VECTOR_END = 34,     /* no further member (itr_incr, next, get_next) */
    IF_INDEX_VECTOR_BAD_TYPE = 35 /* the if_index's type is not accepted / out of range */
};

/* Type codes the record holds, in canonical order. */
enum {
    IF_TYPE_PHY_FC = 1,       /* bitmap phy_fc, 1024 positions: slot * 64 + port */
    IF_TYPE_PORT_CHANNEL = 4, /* bitmap port_channel, 256 positions: channel number */
    IF_TYPE_ISCSI = 11,       /* bitmap iscsi, 1024 positions: slot * 64 + port */
    IF_TYPE_FC_TUNNEL = 15,   /* bitmap fc_tunnel, 4096 positions: tunnel number */
    IF_TYPE_SINGLE = 6        /* single_if_index: at most one if_index */
};

/* Capacities in positions. */
enum {
    IF_INDEX_VECTOR_PHY_FC_POSITIONS = 1024,
    IF_INDEX_VECTOR_PORT_CHANNEL_POSITIONS = 256,
    IF_INDEX_VECTOR_ISCSI_POSITIONS = 1024,
    IF_INDEX_VECTOR_FC_TUNNEL_POSITIONS = 4096
};

/*
 * A bitmap: a 32-bit byte count followed by that many bytes of bits.
 * Position p is bit 7 - (p % 8) of bits[p / 8]: the most significant bit of
 * bits[0] is position 0, so bits[0] == 0x80 holds position 0 and
 * bits[0] == 0x01 holds position 7.  if_index_vector_init() writes the byte
 * counts; the library never reads them back.
 */
#define IF_INDEX_BITMAP(nbytes) \
    struct {                    \
        uint32_t num_bytes;     \
        uint8_t bits[nbytes];   \
    }

typedef IF_INDEX_BITMAP(32) if_index_bitmap_32_t;
typedef IF_INDEX_BITMAP(128) if_index_bitmap_128_t;
typedef IF_INDEX_BITMAP(512) if_index_bitmap_512_t;

/* The vector record: 824 bytes, these fields in this order, no gaps. */
typedef struct if_index_vector {
    uint32_t num_if;                   /* members: set bits + (single_if_index != 0) */
    if_index_bitmap_128_t phy_fc;      /* type 1 */
    if_index_bitmap_32_t port_channel; /* type 4 */
    if_index_bitmap_128_t iscsi;       /* type 11 */
    if_index_bitmap_512_t fc_tunnel;   /* type 15 */
    uint32_t single_if_index;          /* type 6 member, 0 when none */
} if_index_vector_t;

#if defined(__cplusplus)
#define IF_INDEX_VECTOR_LAYOUT_CHECK(cond, name) static_assert(cond, #name)
#elif defined(__STDC_VERSION__) && __STDC_VERSION__ >= 201112L
#define IF_INDEX_VECTOR_LAYOUT_CHECK(cond, name) _Static_assert(cond, #name)
#else
#define IF_INDEX_VECTOR_LAYOUT_CHECK(cond, name) typedef char if_index_vector_layout_##name[(cond) ? 1 : -1]
#endif
IF_INDEX_VECTOR_LAYOUT_CHECK(sizeof(if_index_vector_t) == 824, size);
IF_INDEX_VECTOR_LAYOUT_CHECK(offsetof(if_index_vector_t, num_if) == 0, num_if);
IF_INDEX_VECTOR_LAYOUT_CHECK(offsetof(if_index_vector_t, phy_fc) == 4, phy_fc);
IF_INDEX_VECTOR_LAYOUT_CHECK(offsetof(if_index_vector_t, phy_fc.bits) == 8, phy_fc_bits);
IF_INDEX_VECTOR_LAYOUT_CHECK(offsetof(if_index_vector_t, port_channel) == 136, port_channel);
IF_INDEX_VECTOR_LAYOUT_CHECK(offsetof(if_index_vector_t, port_channel.bits) == 140, port_channel_bits);
IF_INDEX_VECTOR_LAYOUT_CHECK(offsetof(if_index_vector_t, iscsi) == 172, iscsi);
IF_INDEX_VECTOR_LAYOUT_CHECK(offsetof(if_index_vector_t, iscsi.bits) == 176, iscsi_bits);
IF_INDEX_VECTOR_LAYOUT_CHECK(offsetof(if_index_vector_t, fc_tunnel) == 304, fc_tunnel);
IF_INDEX_VECTOR_LAYOUT_CHECK(offsetof(if_index_vector_t, fc_tunnel.bits) == 308, fc_tunnel_bits);
IF_INDEX_VECTOR_LAYOUT_CHECK(offsetof(if_index_vector_t, single_if_index) == 820, single_if_index);

/* ===================================================================== */
/* Lifecycle and count                                                   */
/* ===================================================================== */

/** Allocates a record with malloc() and initialises it as if_index_vector_init() does.
 *  \return the record, to be released with if_index_vector_delete();
 *          NULL when the allocation fails. */
IF_INDEX_VECTOR_API if_index_vector_t *if_index_vector_new(void);

/** Makes 824 bytes of caller storage an empty vector: num_if 0, byte counts
 *  128, 32, 128, 512, every bitmap bit clear, single_if_index 0. */
IF_INDEX_VECTOR_API void if_index_vector_init(if_index_vector_t *vec);

/** Releases a record obtained from if_index_vector_new(); NULL is harmless.
 *  Never pass caller storage prepared with if_index_vector_init(). */
IF_INDEX_VECTOR_API void if_index_vector_delete(if_index_vector_t *vec);

/** Copies all 824 bytes of `src` over `dst`, stored byte counts included. */
IF_INDEX_VECTOR_API void if_index_vector_copy(if_index_vector_t *dst, const if_index_vector_t *src);

/** \return num_if as stored (no recount). */
IF_INDEX_VECTOR_API uint32_t if_index_vector_num_if(const if_index_vector_t *vec);

/* ===================================================================== */
/* Membership                                                            */
/* ===================================================================== */

/** Adds `if_index`; a member already present is counted once.  A type-6
 *  if_index replaces whatever the single slot held.  The position of a port
 *  is slot * 64 + port, unmasked: a port of 64 or more that stays below the
 *  capacity lands on a later slot's position (slot 0 port 64 is slot 1 port 0,
 *  slot 0 port 255 is slot 3 port 63), and walks hand that position's
 *  if_index back.
 *  \return the codec's if_index_get_type() status when the type is held;
 *  \return IF_INDEX_VECTOR_BAD_TYPE, record unchanged, for an unheld or
 *          unclassifiable type (one the codec writes no type code for), a
 *          position at or beyond the type's capacity, or a type-6 if_index of
 *          value 0.  An accessor that writes no fields gives slot 255 port
 *          255, or number 65535: beyond every capacity.
 *  Only if_index_get_type()'s result is read from the codec. */
IF_INDEX_VECTOR_API uint32_t if_index_vector_add(if_index_vector_t *vec, uint32_t if_index);

/** Removes `if_index`.  Any type-6 if_index empties the single slot, even one
 *  that differs from the if_index held.
 *  \return IF_INDEX_VECTOR_OK at once, calling nothing, when num_if is 0;
 *  \return otherwise as if_index_vector_add(). */
IF_INDEX_VECTOR_API uint32_t if_index_vector_remove(if_index_vector_t *vec, uint32_t if_index);

/** \return 1 when `if_index` is a member, else 0 (also when num_if is 0, and
 *          for unheld types and out-of-range positions). */
IF_INDEX_VECTOR_API int if_index_vector_is_present(const if_index_vector_t *vec, uint32_t if_index);

/** Counts the members of one type code; calls no codec function.
 *  \return the bitmap's set positions for 1, 4, 11, 15; 1 or 0 for 6
 *          (slot occupied or not); 0 for every other code. */
IF_INDEX_VECTOR_API uint32_t if_index_vector_num_if_type(const if_index_vector_t *vec, uint32_t type);

/* ===================================================================== */
/* Set algebra: whole bitmaps, no codec calls, single slots untouched    */
/* ===================================================================== */

/** Adds every bitmap member of `src` to `dst`; `dst` keeps its own single slot.
 *  `dst` and `src` may be the same record.
 *  \return dst's num_if, recounted from its bitmaps and single slot. */
IF_INDEX_VECTOR_API uint32_t if_index_vector_union(if_index_vector_t *dst, const if_index_vector_t *src);

/** Keeps in `dst` only the bitmap members that `src` also holds; `dst` keeps
 *  its own single slot.  \return dst's recounted num_if. */
IF_INDEX_VECTOR_API uint32_t if_index_vector_intersection(if_index_vector_t *dst,
                                                          const if_index_vector_t *src);

/** Removes from `dst` every bitmap member that `src` holds; `dst` keeps its
 *  own single slot.  \return dst's recounted num_if. */
IF_INDEX_VECTOR_API uint32_t if_index_vector_subtract(if_index_vector_t *dst, const if_index_vector_t *src);

/** Compares num_if, then every bitmap byte in canonical order, then the single
 *  slot; stored byte counts are ignored.  Records with the same members but
 *  different stored num_if compare unequal.
 *  \return 1 when all agree, else 0. */
IF_INDEX_VECTOR_API int if_index_vector_is_equal(const if_index_vector_t *a, const if_index_vector_t *b);

/* ===================================================================== */
/* Walks: cursors are caller-held uint32_t if_indexes                    */
/* ===================================================================== */

/** Writes the first member in canonical order to `*out`; the single-slot
 *  member only when all four bitmaps are empty.
 *  \return IF_INDEX_VECTOR_OK, `*out` written;
 *  \return IF_INDEX_VECTOR_EMPTY, `*out` untouched, when num_if is 0 or
 *          nothing is stored. */
IF_INDEX_VECTOR_API uint32_t if_index_vector_first(const if_index_vector_t *vec, uint32_t *out);

/** Writes the first member of the type of `if_index` whose position is above
 *  that of `if_index`, whether or not `if_index` is a member.  Never leaves
 *  the type's bitmap.
 *  \return IF_INDEX_VECTOR_OK, `*out` written;
 *  \return IF_INDEX_VECTOR_END when there is none (always for a position at
 *          or beyond the capacity, such as fields the codec leaves unwritten),
 *          or for a type-6 if_index;
 *  \return IF_INDEX_VECTOR_BAD_TYPE for any other type. */
IF_INDEX_VECTOR_API uint32_t if_index_vector_next(const if_index_vector_t *vec, uint32_t if_index,
                                                  uint32_t *out);

/** if_index_vector_next() applied to `*cursor`; the cursor is only read. */
IF_INDEX_VECTOR_API uint32_t if_index_vector_get_next(const if_index_vector_t *vec, const uint32_t *cursor,
                                                      uint32_t *out);

/** Starts a cursor walk: writes the first member, as if_index_vector_first().
 *  \return IF_INDEX_VECTOR_OK or IF_INDEX_VECTOR_EMPTY (cursor untouched). */
IF_INDEX_VECTOR_API uint32_t if_index_vector_itr_begin(const if_index_vector_t *vec, uint32_t *cursor);

/** Moves `*cursor` to the first bitmap member after it in canonical order,
 *  crossing from one type's bitmap to the next.
 *  \return IF_INDEX_VECTOR_OK, cursor moved;
 *  \return IF_INDEX_VECTOR_END when the bitmaps are exhausted: the cursor then
 *          receives single_if_index when that is not 0 (collect it with
 *          if_index_vector_get()) and is otherwise untouched.  A cursor that
 *          holds the single-slot member, or an if_index of a type without a
 *          bitmap, also gives IF_INDEX_VECTOR_END and stays untouched.  A
 *          cursor whose position lies at or beyond its bitmap's capacity (so
 *          also one whose fields the codec leaves unwritten) continues with
 *          the first member of the following bitmaps.
 *  Typical loop:  for (rc = itr_begin(v, &c); rc == OK; rc = itr_incr(v, &c)) use(c);
 *  and then, when `c` changed to single_if_index, use that too. */
IF_INDEX_VECTOR_API uint32_t if_index_vector_itr_incr(const if_index_vector_t *vec, uint32_t *cursor);

/** Copies `*cursor` to `*out` when its type code is 1, 4, 6, 10, 11 or 15;
 *  does not read the record.
 *  \return IF_INDEX_VECTOR_OK, `*out` written; IF_INDEX_VECTOR_BAD_TYPE otherwise. */
IF_INDEX_VECTOR_API uint32_t if_index_vector_get(const if_index_vector_t *vec, const uint32_t *cursor,
                                                 uint32_t *out);

/* ===================================================================== */
/* Output: standard output, nothing at all when num_if is 0              */
/* ===================================================================== */

/** Prints the members by name (codec names), one line per type with members,
 *  names separated by ", ", then the single-slot member on a line of its own:
 *      fc1/1, fc1/2
 *      iscsi1/1
 *      mgmt1                                                                */
IF_INDEX_VECTOR_API void if_index_vector_printf(const if_index_vector_t *vec);

/** Prints "No. of interfaces: <num_if>" and, per bitmap, its header and its
 *  set positions as ranges; positions 0,1,2,5,7,8 print as 0-2,5,7-8:
 *      No. of interfaces: 7
 *      PHY_FC interfaces: 0-2,5,7-8
 *      PORT_CHANNEL interfaces:
 *      ISCSI interfaces:
 *      FC-TUNNEL interfaces: 4095
 *  (each header ends with one space).  The single slot is not printed. */
IF_INDEX_VECTOR_API void if_index_vector_printf_dec(const if_index_vector_t *vec);

/** Prints "No. of interfaces: <num_if>" and, per bitmap, its header and every
 *  byte as two lowercase hex digits ("a0000000..."): 256, 64, 256 and 1024
 *  digits.  The single slot is not printed. */
IF_INDEX_VECTOR_API void if_index_vector_printf_hex(const if_index_vector_t *vec);

/* Placeholders: take any arguments, read and write nothing, return 0.
 * C before C23 can say "any arguments" only without a prototype, which
 * -Wstrict-prototypes reports in the caller's build; the report is switched
 * off for these three declarations alone. */
#if defined(__cplusplus) || (defined(__STDC_VERSION__) && __STDC_VERSION__ >= 202311L)
#define IF_INDEX_VECTOR_ANY_ARGS ...
#else
#define IF_INDEX_VECTOR_ANY_ARGS /* unprototyped: any arguments */
#if defined(__GNUC__)
#define IF_INDEX_VECTOR_UNPROTOTYPED 1
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wstrict-prototypes"
#endif
#endif
/** Placeholder: does nothing.  \return 0. */
IF_INDEX_VECTOR_API int if_index_vector_to_array(IF_INDEX_VECTOR_ANY_ARGS);
/** Placeholder: does nothing.  \return 0. */
IF_INDEX_VECTOR_API int if_index_vector_from_array(IF_INDEX_VECTOR_ANY_ARGS);
/** Placeholder: does nothing.  \return 0. */
IF_INDEX_VECTOR_API int if_index_vector_sprintf(IF_INDEX_VECTOR_ANY_ARGS);
#if defined(IF_INDEX_VECTOR_UNPROTOTYPED)
#pragma GCC diagnostic pop
#undef IF_INDEX_VECTOR_UNPROTOTYPED
#endif

#ifdef __cplusplus
}
#endif

#endif /* IF_INDEX_VEC_IF_INDEX_VECTOR_H */
