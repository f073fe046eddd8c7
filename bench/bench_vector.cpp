// Side-by-side benchmarks of the library's hot paths.
//
// Every benchmark is named workload/implementation/density:
//   lib       the library through its exported C functions and the stand-in codec
//   ref       the literal reference of the documented algorithms (reference.hpp)
//   bitset, boost, roaring   the same sets held per type in those containers
//   floor     memcpy of 824 bytes, a plain OR loop over 800 bytes, or the codec
//             calls a walk or a membership operation cannot avoid
// Data come from fixed seeds, so every run and every implementation sees the
// same sets.  Before anything is timed, a check runs every implementation on
// every data set and stops the program unless they all agree.
//
// The library's dumps print on standard output, so while it measures the
// program points stdout at a stream that drops what it is given (after
// stdio's buffering, before any system call); Google Benchmark's console
// table goes to standard error, and --benchmark_out= writes the JSON that
// ratio_table.py turns into ratios.
#include <if_index_codec/if_index_codec.h>
#include <if_index_vec/if_index_vector.h>

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <memory>
#include <new>
#include <string>
#include <type_traits>
#include <vector>

#include "reference.hpp"
#include "rivals.hpp"
#include "vector/bitmap.hpp"
#include "model.hpp"

namespace {

// ---- data --------------------------------------------------------------------

struct Density {
    const char *label;
    double p; // probability of each position; negative: alternating positions
};

constexpr Density kDensities[] = {{"0.1%", 0.001}, {"1%", 0.01}, {"5%", 0.05},
                                  {"50%", 0.5},    {"100%", 1.0}, {"alt", -1.0}};
constexpr Density kEmpty{"0%", 0.0};

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

// Fills all four bitmaps at density d (odd_phase picks the odd positions of an
// alternating fill) and occupies the single slot.
void fill(if_index_vector_t *v, const Density &d, std::uint64_t seed, bool odd_phase = false) {
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

// Operands live at fixed places: operand k in page k of a 4096-aligned arena,
// at offset 1024 * k.  No two operands share address bits 0-11, so a load
// stream never 4K-aliases a store stream, and every run lays them out alike.
struct alignas(4096) Page {
    unsigned char bytes[4096];
};
Page g_records[4];
Page g_holders[4];

if_index_vector_t *operand(int k) {
    return reinterpret_cast<if_index_vector_t *>(g_records[k].bytes + 1024 * k);
}
enum { kDst = 0, kA = 1, kB = 2, kACopy = 3 };

void setup_pair(const Density &d) {
    fill(operand(kA), d, 1);
    fill(operand(kB), d, 2, true);
    if_index_vector_copy(operand(kDst), operand(kA));
    if_index_vector_copy(operand(kACopy), operand(kA));
}

// A rival holder for operand k: std::bitset holders sit in the arena like
// the records; the others allocate as their containers do.
template <class H>
struct Placed {
    static_assert(sizeof(H) <= 1024);
    H *h;
    explicit Placed(int k) {
        if constexpr (std::is_same_v<H, rival::StdBitset>)
            h = new (g_holders[k].bytes + 1024 * k) H;
        else
            h = new H;
    }
    ~Placed() {
        if constexpr (std::is_same_v<H, rival::StdBitset>)
            h->~H();
        else
            delete h;
    }
    Placed(const Placed &) = delete;
    Placed &operator=(const Placed &) = delete;
    H *operator->() { return h; }
    H &operator*() { return *h; }
};

std::uint32_t first_of_row(int row) { return ref::if_index_at(ref::kGroups[row].code, 0); }

// The members of a record as (row, position, if_index), in canonical order.
struct Member {
    int row;
    int position;
    std::uint32_t if_index;
};
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

// 64 if_indexes, 16 per bitmap type, for the membership workload.
std::vector<Member> membership_probe() {
    std::vector<Member> m;
    Rng rng{7};
    for (int row = 0; row < 4; ++row)
        for (int i = 0; i < 16; ++i) {
            const int p = static_cast<int>(rng.next() % static_cast<std::uint64_t>(ref::kGroups[row].capacity));
            m.push_back({row, p, ref::if_index_at(ref::kGroups[row].code, p)});
        }
    return m;
}

// ---- work shared by benchmarks and the agreement check --------------------

struct WalkSum {
    std::uint64_t sum = 0;
    int n = 0;
    void visit(std::uint64_t x) { sum += x; ++n; }
    bool operator==(const WalkSum &o) const { return sum == o.sum && n == o.n; }
};

WalkSum lib_typed_walk(const if_index_vector_t *v) {
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

WalkSum ref_typed_walk(const if_index_vector_t *v) {
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

WalkSum lib_cursor_walk(const if_index_vector_t *v) {
    WalkSum w;
    std::uint32_t c = 0;
    for (std::uint32_t rc = if_index_vector_itr_begin(v, &c); rc == IF_INDEX_VECTOR_OK;
         rc = if_index_vector_itr_incr(v, &c))
        w.visit(c);
    return w;
}

WalkSum ref_cursor_walk(const if_index_vector_t *v) {
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
WalkSum codec_walk_floor(const std::vector<Member> &members) {
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

// Positions only, through the library's scan core.
WalkSum lib_scan(const if_index_vector_t *v) {
    WalkSum w;
    for (const ref::Group &g : ref::kGroups) {
        const std::uint8_t *b = ref::bits(v, g);
        for (int p = ifvec::detail::first_set(b, g.capacity); p != ifvec::no_position;
             p = ifvec::detail::next_set_at_or_after(b, g.capacity, p + 1))
            w.visit(static_cast<std::uint64_t>(p));
    }
    return w;
}

// Positions only, through the library's word-at-a-time visitor.
WalkSum lib_visit(const if_index_vector_t *v) {
    WalkSum w;
    for (const ref::Group &g : ref::kGroups)
        ifvec::detail::for_each_set(ref::bits(v, g), g.capacity,
                                  [&](int p) { w.visit(static_cast<std::uint64_t>(p)); });
    return w;
}

WalkSum ref_scan(const if_index_vector_t *v) {
    WalkSum w;
    for (const ref::Group &g : ref::kGroups) {
        const std::uint8_t *b = ref::bits(v, g);
        for (int p = ref::first_set(b, g.capacity); p >= 0; p = ref::next_set(b, g.capacity, p + 1))
            w.visit(static_cast<std::uint64_t>(p));
    }
    return w;
}

template <class H>
WalkSum rival_scan(H &h) {
    WalkSum w;
    for (int row = 0; row < 4; ++row)
        h.for_each_position(row, [&](int p) { w.visit(static_cast<std::uint64_t>(p)); });
    return w;
}

// The rival's walk handing out if_indexes, as the library's walks do.
template <class H>
WalkSum rival_typed_walk(H &h) {
    WalkSum w;
    for (int row = 0; row < 4; ++row) {
        const std::uint8_t code = ref::kGroups[row].code;
        h.for_each_position(row, [&](int p) { w.visit(ref::if_index_at(code, p)); });
    }
    return w;
}

// The decimal dump built by a rival: runs from its ascending positions,
// numbers formatted by snprintf appends, one fwrite per line.
template <class H>
void rival_dec(H &h, std::uint32_t num_if) {
    std::printf("No. of interfaces: %d\n", static_cast<int>(num_if));
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
        h.for_each_position(row, [&](int p) {
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

std::uint32_t lib_count(const if_index_vector_t *v) {
    std::uint32_t n = 0;
    for (const ref::Group &g : ref::kGroups)
        n += if_index_vector_num_if_type(v, g.code);
    return n;
}

std::uint32_t ref_count(const if_index_vector_t *v) {
    std::uint32_t n = 0;
    for (const ref::Group &g : ref::kGroups)
        n += ref::num_if_type(v, g.code);
    return n;
}

template <class H>
std::uint32_t rival_count(H &h) {
    std::uint32_t n = 0;
    for (int row = 0; row < 4; ++row)
        n += h.count_row(row);
    return n;
}

// The membership workload: add, test and remove each probe; the record ends
// as it began, so every iteration does the same work.
std::uint32_t lib_membership(if_index_vector_t *v, const std::vector<Member> &probe) {
    std::uint32_t acc = 0;
    for (const Member &m : probe)
        acc += if_index_vector_add(v, m.if_index);
    for (const Member &m : probe)
        acc += static_cast<std::uint32_t>(if_index_vector_is_present(v, m.if_index));
    for (const Member &m : probe)
        acc += if_index_vector_remove(v, m.if_index);
    return acc;
}

std::uint32_t ref_membership(if_index_vector_t *v, const std::vector<Member> &probe) {
    std::uint32_t acc = 0;
    for (const Member &m : probe)
        acc += ref::add(v, m.if_index);
    for (const Member &m : probe)
        acc += static_cast<std::uint32_t>(ref::is_present(v, m.if_index));
    for (const Member &m : probe)
        acc += ref::remove(v, m.if_index);
    return acc;
}

// The codec calls each membership operation makes: classify, then position.
std::uint32_t codec_membership_floor(const std::vector<Member> &probe) {
    std::uint32_t acc = 0;
    for (int round = 0; round < 3; ++round)
        for (const Member &m : probe) {
            std::uint32_t status;
            const std::uint8_t t = ref::type_of(m.if_index, &status);
            acc += static_cast<std::uint32_t>(ref::position_of(t, m.if_index)) + status;
        }
    return acc;
}

template <class H, bool Codec>
std::uint32_t rival_membership(H &h, const std::vector<Member> &probe) {
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
    for (const Member &m : probe) {
        const auto [row, p] = where(m);
        h.set(row, p);
    }
    for (const Member &m : probe) {
        const auto [row, p] = where(m);
        acc += h.test(row, p);
    }
    for (const Member &m : probe) {
        const auto [row, p] = where(m);
        h.reset(row, p);
    }
    return acc;
}

// Floors.
[[gnu::noinline]] void or_800(unsigned char *__restrict d, const unsigned char *__restrict s) {
    for (int i = 0; i < 800; ++i)
        d[i] = static_cast<unsigned char>(d[i] | s[i]);
}

// ---- agreement check -----------------------------------------------------------

using ifvec::test::capture_stdout;

bool g_ok = true;
void expect(bool cond, const std::string &what, const Density &d) {
    if (!cond) {
        std::cerr << "disagreement: " << what << " at density " << d.label << "\n";
        g_ok = false;
    }
}

template <class H>
void check_rival(const Density &d) {
    const std::string name = H::kName;
    Placed<H> a(kA), b(kB), x(kDst);
    a->load(*operand(kA));
    b->load(*operand(kB));
    std::uint32_t (*lib_ops[3])(if_index_vector_t *, const if_index_vector_t *) = {
        if_index_vector_union, if_index_vector_intersection, if_index_vector_subtract};
    for (int i = 0; i < 3; ++i) {
        x->copy_from(*a);
        if_index_vector_copy(operand(kDst), operand(kA));
        const std::uint32_t want = lib_ops[i](operand(kDst), operand(kB));
        std::uint32_t got = 0;
        switch (i) {
        case 0: got = x->unite(*b); break;
        case 1: got = x->intersect(*b); break;
        default: got = x->subtract(*b); break;
        }
        expect(got == want, name + " set operation " + std::to_string(i), d);
    }
    x->copy_from(*a);
    expect(x->equals(*a), name + " equality", d);
    expect(rival_count(*a) == lib_count(operand(kA)), name + " count", d);
    expect(rival_typed_walk(*a) == lib_typed_walk(operand(kA)), name + " walk", d);
    expect(rival_scan(*a) == lib_scan(operand(kA)), name + " scan", d);
    const std::uint32_t num_if = operand(kA)->num_if;
    expect(capture_stdout([&] { rival_dec(*a, num_if); }) ==
               capture_stdout([] { if_index_vector_printf_dec(operand(kA)); }),
           name + " decimal dump", d);
    const auto probe = membership_probe();
    Placed<H> e(kACopy);
    const std::uint32_t with = rival_membership<H, true>(*e, probe);
    expect(with == rival_membership<H, false>(*e, probe) && rival_count(*e) == 0,
           name + " membership", d);
}

bool agree() {
    std::vector<Density> all(std::begin(kDensities), std::end(kDensities));
    all.push_back(kEmpty);
    for (const Density &d : all) {
        setup_pair(d);
        if_index_vector_t *dst = operand(kDst);
        const if_index_vector_t *a = operand(kA), *b = operand(kB);
        std::uint32_t (*lib_ops[3])(if_index_vector_t *, const if_index_vector_t *) = {
            if_index_vector_union, if_index_vector_intersection, if_index_vector_subtract};
        const ref::Op ref_ops[3] = {ref::Op::Union, ref::Op::Intersection, ref::Op::Subtract};
        for (int i = 0; i < 3; ++i) {
            if_index_vector_t r;
            ref::copy(&r, a);
            if_index_vector_copy(dst, a);
            const std::uint32_t want = ref::combine(&r, b, ref_ops[i]);
            expect(lib_ops[i](dst, b) == want && std::memcmp(dst, &r, sizeof r) == 0,
                   "set operation " + std::to_string(i), d);
        }
        if_index_vector_copy(dst, a);
        expect(if_index_vector_is_equal(dst, a) == 1 && ref::is_equal(dst, a) == 1, "equality", d);
        expect(lib_count(a) == ref_count(a), "count", d);
        expect(lib_typed_walk(a) == ref_typed_walk(a), "typed walk", d);
        expect(lib_cursor_walk(a) == ref_cursor_walk(a), "cursor walk", d);
        WalkSum all_members;
        for (const Member &m : members_of(a))
            all_members.visit(m.if_index);
        // (A record whose bitmaps are empty walks to its single-slot member.)
        if (all_members.n != 0)
            expect(lib_cursor_walk(a) == all_members &&
                       codec_walk_floor(members_of(a)) == all_members,
                   "walk members", d);
        expect(lib_scan(a) == ref_scan(a) && lib_visit(a) == ref_scan(a), "scan", d);
        expect(capture_stdout([&] { if_index_vector_printf_dec(a); }) ==
                   capture_stdout([&] { ref::printf_dec(a); }),
               "decimal dump", d);
        expect(capture_stdout([&] { if_index_vector_printf_hex(a); }) ==
                   capture_stdout([&] { ref::printf_hex(a); }),
               "hex dump", d);
        const auto probe = membership_probe();
        if_index_vector_t start, r;
        fill(&start, kEmpty, 0);
        ref::copy(dst, &start);
        ref::copy(&r, &start);
        expect(lib_membership(dst, probe) == ref_membership(&r, probe) &&
                   ref::is_equal(dst, &start) && ref::is_equal(&r, &start),
               "membership", d);
        check_rival<rival::StdBitset>(d);
        check_rival<rival::BoostBitset>(d);
        check_rival<rival::Roaring>(d);
    }
    return g_ok;
}

// ---- registration ----------------------------------------------------------------

using benchmark::State;

template <class F>
void add(const std::string &workload, const std::string &impl, const Density &d, F body) {
    benchmark::RegisterBenchmark((workload + "/" + impl + "/" + d.label).c_str(), body)
        ->Unit(benchmark::kNanosecond);
}

void set_members(State &st, int n) { st.counters["members"] = n; }

template <class H>
void register_rival(const Density &d) {
    const std::string r = H::kName;
    add("copy", r, d, [d](State &st) {
        setup_pair(d);
        Placed<H> a(kA), x(kDst);
        a->load(*operand(kA));
        for (auto _ : st) {
            x->copy_from(*a);
            benchmark::ClobberMemory();
        }
    });
    const char *names[3] = {"union", "intersection", "subtract"};
    for (int i = 0; i < 3; ++i)
        add(names[i], r, d, [d, i](State &st) {
            setup_pair(d);
            Placed<H> b(kB), x(kDst);
            b->load(*operand(kB));
            x->load(*operand(kA));
            for (auto _ : st) {
                switch (i) {
                case 0: benchmark::DoNotOptimize(x->unite(*b)); break;
                case 1: benchmark::DoNotOptimize(x->intersect(*b)); break;
                default: benchmark::DoNotOptimize(x->subtract(*b)); break;
                }
                benchmark::ClobberMemory();
            }
        });
    add("is_equal", r, d, [d](State &st) {
        setup_pair(d);
        Placed<H> a(kA), c(kACopy);
        a->load(*operand(kA));
        c->load(*operand(kACopy));
        for (auto _ : st)
            benchmark::DoNotOptimize(a->equals(*c));
    });
    add("count", r, d, [d](State &st) {
        setup_pair(d);
        Placed<H> a(kA);
        a->load(*operand(kA));
        for (auto _ : st)
            benchmark::DoNotOptimize(rival_count(*a));
    });
    add("scan", r, d, [d](State &st) {
        setup_pair(d);
        Placed<H> a(kA);
        a->load(*operand(kA));
        set_members(st, rival_scan(*a).n);
        for (auto _ : st)
            benchmark::DoNotOptimize(rival_scan(*a));
    });
    add("walk_typed", r + "+codec", d, [d](State &st) {
        setup_pair(d);
        Placed<H> a(kA);
        a->load(*operand(kA));
        set_members(st, rival_scan(*a).n);
        for (auto _ : st)
            benchmark::DoNotOptimize(rival_typed_walk(*a));
    });
    add("range_text", r + "+snprintf", d, [d](State &st) {
        setup_pair(d);
        Placed<H> a(kA);
        a->load(*operand(kA));
        const std::uint32_t num_if = operand(kA)->num_if;
        for (auto _ : st)
            rival_dec(*a, num_if);
    });
}

template <class H>
void register_rival_membership() {
    const std::string r = H::kName;
    add("membership", r + "+codec", Density{"-", 0}, [](State &st) {
        const auto probe = membership_probe();
        Placed<H> x(kDst);
        for (auto _ : st)
            benchmark::DoNotOptimize(rival_membership<H, true>(*x, probe));
    });
    add("membership", r, Density{"-", 0}, [](State &st) {
        const auto probe = membership_probe();
        Placed<H> x(kDst);
        for (auto _ : st)
            benchmark::DoNotOptimize(rival_membership<H, false>(*x, probe));
    });
}

void register_walks(const Density &d) {
    add("walk_typed", "lib", d, [d](State &st) {
        setup_pair(d);
        set_members(st, lib_scan(operand(kA)).n);
        for (auto _ : st)
            benchmark::DoNotOptimize(lib_typed_walk(operand(kA)));
    });
    add("walk_typed", "ref", d, [d](State &st) {
        setup_pair(d);
        set_members(st, lib_scan(operand(kA)).n);
        for (auto _ : st)
            benchmark::DoNotOptimize(ref_typed_walk(operand(kA)));
    });
    add("walk_cursor", "lib", d, [d](State &st) {
        setup_pair(d);
        set_members(st, lib_scan(operand(kA)).n);
        for (auto _ : st)
            benchmark::DoNotOptimize(lib_cursor_walk(operand(kA)));
    });
    add("walk_cursor", "ref", d, [d](State &st) {
        setup_pair(d);
        set_members(st, lib_scan(operand(kA)).n);
        for (auto _ : st)
            benchmark::DoNotOptimize(ref_cursor_walk(operand(kA)));
    });
    add("walk_cursor", "floor", d, [d](State &st) {
        setup_pair(d);
        const auto members = members_of(operand(kA));
        set_members(st, static_cast<int>(members.size()));
        for (auto _ : st)
            benchmark::DoNotOptimize(codec_walk_floor(members));
    });
    add("scan", "lib", d, [d](State &st) {
        setup_pair(d);
        set_members(st, lib_scan(operand(kA)).n);
        for (auto _ : st)
            benchmark::DoNotOptimize(lib_scan(operand(kA)));
    });
    add("scan", "lib_visit", d, [d](State &st) {
        setup_pair(d);
        set_members(st, lib_scan(operand(kA)).n);
        for (auto _ : st)
            benchmark::DoNotOptimize(lib_visit(operand(kA)));
    });
    add("scan", "ref", d, [d](State &st) {
        setup_pair(d);
        set_members(st, lib_scan(operand(kA)).n);
        for (auto _ : st)
            benchmark::DoNotOptimize(ref_scan(operand(kA)));
    });
}

void register_all() {
    for (const Density &d : kDensities) {
        add("copy", "lib", d, [d](State &st) {
            setup_pair(d);
            for (auto _ : st) {
                if_index_vector_copy(operand(kDst), operand(kA));
                benchmark::ClobberMemory();
            }
        });
        add("copy", "ref", d, [d](State &st) {
            setup_pair(d);
            for (auto _ : st) {
                ref::copy(operand(kDst), operand(kA));
                benchmark::ClobberMemory();
            }
        });
        add("copy", "floor", d, [d](State &st) {
            setup_pair(d);
            for (auto _ : st) {
                void *dst = operand(kDst);
                const void *src = operand(kA);
                benchmark::DoNotOptimize(dst);
                benchmark::DoNotOptimize(src);
                std::memcpy(dst, src, sizeof(if_index_vector_t));
                benchmark::ClobberMemory();
            }
        });
        std::uint32_t (*lib_ops[3])(if_index_vector_t *, const if_index_vector_t *) = {
            if_index_vector_union, if_index_vector_intersection, if_index_vector_subtract};
        const ref::Op ref_ops[3] = {ref::Op::Union, ref::Op::Intersection, ref::Op::Subtract};
        const char *names[3] = {"union", "intersection", "subtract"};
        // dst op= B, repeated: after the first pass dst holds the result and
        // every later pass does the same full work on the same data.
        for (int i = 0; i < 3; ++i) {
            add(names[i], "lib", d, [d, op = lib_ops[i]](State &st) {
                setup_pair(d);
                for (auto _ : st)
                    benchmark::DoNotOptimize(op(operand(kDst), operand(kB)));
            });
            add(names[i], "ref", d, [d, op = ref_ops[i]](State &st) {
                setup_pair(d);
                for (auto _ : st) {
                    benchmark::DoNotOptimize(ref::combine(operand(kDst), operand(kB), op));
                    benchmark::ClobberMemory();
                }
            });
            add(names[i], "floor", d, [d](State &st) {
                setup_pair(d);
                for (auto _ : st) {
                    or_800(reinterpret_cast<unsigned char *>(operand(kDst)),
                           reinterpret_cast<const unsigned char *>(operand(kB)));
                    benchmark::ClobberMemory();
                }
            });
        }
        add("is_equal", "lib", d, [d](State &st) {
            setup_pair(d);
            for (auto _ : st)
                benchmark::DoNotOptimize(if_index_vector_is_equal(operand(kA), operand(kACopy)));
        });
        add("is_equal", "ref", d, [d](State &st) {
            setup_pair(d);
            for (auto _ : st)
                benchmark::DoNotOptimize(ref::is_equal(operand(kA), operand(kACopy)));
        });
        add("is_equal", "floor", d, [d](State &st) {
            setup_pair(d);
            for (auto _ : st) {
                void *dst = operand(kDst);
                const void *src = operand(kA);
                benchmark::DoNotOptimize(dst);
                benchmark::DoNotOptimize(src);
                std::memcpy(dst, src, sizeof(if_index_vector_t));
                benchmark::ClobberMemory();
            }
        });
        add("count", "lib", d, [d](State &st) {
            setup_pair(d);
            for (auto _ : st)
                benchmark::DoNotOptimize(lib_count(operand(kA)));
        });
        add("count", "ref", d, [d](State &st) {
            setup_pair(d);
            for (auto _ : st)
                benchmark::DoNotOptimize(ref_count(operand(kA)));
        });
        add("range_text", "lib", d, [d](State &st) {
            setup_pair(d);
            for (auto _ : st)
                if_index_vector_printf_dec(operand(kA));
        });
        add("range_text", "ref", d, [d](State &st) {
            setup_pair(d);
            for (auto _ : st)
                ref::printf_dec(operand(kA));
        });
        register_walks(d);
        register_rival<rival::StdBitset>(d);
        register_rival<rival::BoostBitset>(d);
        register_rival<rival::Roaring>(d);
    }
    register_walks(kEmpty);

    const Density half = kDensities[3];
    add("hex", "lib", half, [half](State &st) {
        setup_pair(half);
        for (auto _ : st)
            if_index_vector_printf_hex(operand(kA));
    });
    add("hex", "ref", half, [half](State &st) {
        setup_pair(half);
        for (auto _ : st)
            ref::printf_hex(operand(kA));
    });

    const Density any{"-", 0};
    add("membership", "lib", any, [](State &st) {
        const auto probe = membership_probe();
        fill(operand(kDst), kEmpty, 0);
        for (auto _ : st)
            benchmark::DoNotOptimize(lib_membership(operand(kDst), probe));
    });
    add("membership", "ref", any, [](State &st) {
        const auto probe = membership_probe();
        fill(operand(kDst), kEmpty, 0);
        for (auto _ : st)
            benchmark::DoNotOptimize(ref_membership(operand(kDst), probe));
    });
    add("membership", "floor", any, [](State &st) {
        const auto probe = membership_probe();
        for (auto _ : st)
            benchmark::DoNotOptimize(codec_membership_floor(probe));
    });
    register_rival_membership<rival::StdBitset>();
    register_rival_membership<rival::BoostBitset>();
    register_rival_membership<rival::Roaring>();
}

} // namespace

int main(int argc, char **argv) {
    bool listing = false;
    for (int i = 1; i < argc; ++i)
        listing = listing || std::strncmp(argv[i], "--benchmark_list_tests", 22) == 0;
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    if (!agree()) {
        std::cerr << "implementations disagree: no benchmark run\n";
        return 1;
    }
    std::cerr << "agreement check: every implementation gives the same results on every data set\n";
    register_all();
    if (listing) {
        benchmark::RunSpecifiedBenchmarks();
        return 0;
    }
    // The sink: a fully buffered stdio stream whose writes are dropped, so the
    // dumps are measured down to stdio and no further (no system calls, no
    // terminal, no dependence on what /dev/null is on the machine).
    cookie_io_functions_t discard{};
    discard.write = [](void *, const char *, std::size_t n) -> ssize_t {
        return static_cast<ssize_t>(n);
    };
    std::fflush(stdout);
    std::FILE *sink = fopencookie(nullptr, "w", discard);
    if (sink == nullptr || std::setvbuf(sink, nullptr, _IOFBF, BUFSIZ) != 0) {
        std::cerr << "cannot open the output sink\n";
        return 1;
    }
    stdout = sink;
    benchmark::ConsoleReporter display;
    display.SetOutputStream(&std::cerr);
    display.SetErrorStream(&std::cerr);
    benchmark::RunSpecifiedBenchmarks(&display);
    benchmark::Shutdown();
    return 0;
}
