// SPDX-License-Identifier: MIT
// The benchmarks' data: fixed-seed records at six densities (and an empty
// one), the members of a record and the membership probe, and the
// 4096-aligned arena that puts every operand, and every std::bitset holder,
// at the same fixed offset in every run.
#pragma once

#include <if_index_vec/if_index_vector.h>

#include <cstddef>
#include <cstdint>
#include <new>
#include <span>
#include <type_traits>
#include <vector>

#include "rival_bitset.hpp"

namespace bench {

// ---- data sets -------------------------------------------------------------

struct Density {
    const char *label;
    double p; // probability of each position; negative: alternating positions
};

inline constexpr Density kDensities[] = {{"0.1%", 0.001}, {"1%", 0.01},  {"5%", 0.05},
                                         {"50%", 0.5},    {"100%", 1.0}, {"alt", -1.0}};
inline constexpr Density kEmpty{"0%", 0.0};
// The six densities and the empty record, for the walks.
inline constexpr Density kDensitiesAndEmpty[] = {kDensities[0], kDensities[1], kDensities[2], kDensities[3],
                                                 kDensities[4], kDensities[5], kEmpty};
inline constexpr Density kHalf[] = {kDensities[3]};
// The membership workload starts from empty bitmaps whatever the density.
inline constexpr Density kNoDensity[] = {{"-", 0.0}};

// Fills all four bitmaps at density d from `seed` (odd_phase picks the odd
// positions of an alternating fill) and occupies the single slot.
void fill(if_index_vector_t *v, const Density &d, std::uint64_t seed, bool odd_phase = false);

// ---- the arena -------------------------------------------------------------

// `v` as a value the compiler cannot see through (one register, no memory).
// The workloads get the arena's addresses through it, so code inlined into
// the timed loop is not specialised for fixed addresses no caller has.
template <class T>
T opaque(T v) {
    asm volatile("" : "+r"(v));
    return v;
}

// `p` as escaping to code the compiler cannot see, which may read or write
// any memory: stores before it happen, loads after it are not hoisted.
inline void escape(const void *p) { asm volatile("" : : "r"(p) : "memory"); }

// Operand k lives in page k of a 4096-aligned arena, at offset 1024 * k.  No
// two operands share address bits 0-11, so a load stream never 4K-aliases a
// store stream, and every run lays them out alike.
struct alignas(4096) Page {
    unsigned char bytes[4096];
};
extern Page g_records[4];
extern Page g_holders[4];

enum Operand { kDst = 0, kA = 1, kB = 2, kACopy = 3 };

inline if_index_vector_t *operand(int k) {
    return reinterpret_cast<if_index_vector_t *>(g_records[k].bytes + 1024 * k);
}

// A = density d (seed 1), B = the same density from seed 2 (the other phase
// of an alternating fill), dst and A's copy = A.
void setup_pair(const Density &d);

// A rival holder for operand k: std::bitset holders sit in the arena like
// the records; the others allocate as their containers do.
template <class H>
class Placed {
public:
    explicit Placed(int k) {
        static_assert(sizeof(H) <= 1024);
        if constexpr (kInArena)
            h_ = new (g_holders[k].bytes + 1024 * k) H;
        else
            h_ = new H;
    }
    ~Placed() {
        if constexpr (kInArena)
            h_->~H();
        else
            delete h_;
    }
    Placed(const Placed &) = delete;
    Placed &operator=(const Placed &) = delete;
    // A run-time pointer, as for the records (see Records in workloads.hpp).
    H *operator->() const { return opaque(h_); }
    H &operator*() const { return *opaque(h_); }

private:
    static constexpr bool kInArena = std::is_same_v<H, rival::StdBitset>;
    H *h_;
};

// ---- members and probe -----------------------------------------------------

// A member of a record as (row, position, if_index).
struct Member {
    int row;
    int position;
    std::uint32_t if_index;
};

// The bitmap members of a record in walk order (the single slot left out).
std::vector<Member> members_of(const if_index_vector_t *v);

// 64 if_indexes, 16 per bitmap type, for the membership workload.  They
// sit in a page of their own, at a fixed offset, as the operands do: where
// the heap put them decided, from run to run, whether their loads 4K-aliased
// the stores to dst and the stack.
constexpr std::size_t kProbeSize = 64;
std::span<const Member> membership_probe();

} // namespace bench
