// SPDX-License-Identifier: MIT
// The benchmarks' data: the fixed-seed fills, the arena's pages, the members
// of a record and the membership probe (declared in data.hpp).
#include "data.hpp"

#include <if_index_codec/if_index_codec.h>

#include "reference.hpp"

namespace bench {

Page g_records[4];
Page g_holders[4];

namespace {

// splitmix64: the same sequence on every host and standard library.
struct Rng {
    std::uint64_t s;
    std::uint64_t next() {
        std::uint64_t z = (s += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    double unit() { return static_cast<double>(next() >> 11) * 0x1p-53; }
};

std::uint32_t single_member() {
    std::uint32_t x = 0;
    if_index_init(&x, IF_TYPE_SINGLE, 1);
    return x;
}

} // namespace

void fill(if_index_vector_t *v, const Density &d, std::uint64_t seed, bool odd_phase) {
    if_index_vector_init(v);
    Rng rng{seed};
    for (const ref::Group &g : ref::kGroups) {
        std::uint8_t *b = ref::bits(v, g);
        for (int p = 0; p < g.capacity; ++p) {
            const bool on = d.p < 0 ? (p % 2 == 1) == odd_phase : rng.unit() < d.p;
            if (on)
                b[p / 8] = static_cast<std::uint8_t>(b[p / 8] | (0x80u >> (p % 8)));
        }
    }
    v->single_if_index = single_member();
    v->num_if = ref::recount(v);
}

void setup_pair(const Density &d) {
    fill(operand(kA), d, 1);
    fill(operand(kB), d, 2, true);
    if_index_vector_copy(operand(kDst), operand(kA));
    if_index_vector_copy(operand(kACopy), operand(kA));
}

std::vector<Member> members_of(const if_index_vector_t *v) {
    std::vector<Member> m;
    for (int row = 0; row < 4; ++row) {
        const ref::Group &g = ref::kGroups[row];
        for (int p = ref::first_set(ref::bits(v, g), g.capacity); p >= 0;
             p = ref::next_set(ref::bits(v, g), g.capacity, p + 1))
            m.push_back({row, p, ref::if_index_at(g.code, p)});
    }
    return m;
}

std::span<const Member> membership_probe() {
    // At operand A's offset in its page, which membership neither reads nor
    // writes.
    constexpr std::size_t offset = 1024 * kA, per_row = kProbeSize / 4;
    static_assert(offset + kProbeSize * sizeof(Member) <= sizeof(Page));
    static Page page;
    auto *m = reinterpret_cast<Member *>(page.bytes + offset);
    Rng rng{7};
    for (int row = 0; row < 4; ++row)
        for (std::size_t i = 0; i < per_row; ++i) {
            const int p =
                static_cast<int>(rng.next() % static_cast<std::uint64_t>(ref::kGroups[row].capacity));
            new (m + static_cast<std::size_t>(row) * per_row + i)
                Member{row, p, ref::if_index_at(ref::kGroups[row].code, p)};
        }
    return {m, kProbeSize};
}

} // namespace bench
