// SPDX-License-Identifier: MIT
// bench_vector's main: the agreement check, the output sink, the run.
//
// Before anything is timed, every implementation runs the workloads it is
// timed on over every data set, and the program stops unless they all agree
// (same counts, walks, records and texts).
//
// The library's dumps print on standard output, so while it measures the
// program points stdout at a stream that drops what it is given (after
// stdio's buffering, before any system call); Google Benchmark's console
// table goes to standard error, and --benchmark_out= writes the JSON that
// ratio_table.py turns into ratios.
#include <if_index_vec/if_index_vector.h>

#include <benchmark/benchmark.h>
#include <sys/types.h>

#include <alloca.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>

#include "capture.hpp"
#include "registration.hpp"
#include "rivals.hpp"
#include "workloads.hpp"

namespace bench {
namespace {

using if_index_vec::test::capture_stdout;

bool g_ok = true;

void expect(bool cond, const std::string &what, const Density &d) {
    if (!cond) {
        std::cerr << "disagreement: " << what << " at density " << d.label << "\n";
        g_ok = false;
    }
}

bool dst_is_a() { return std::memcmp(Records::dst(), Records::a(), sizeof(if_index_vector_t)) == 0; }

void check_records(const Density &d) {
    Records in(d);
    for (void (*copy)(Records &) : {copy_lib, copy_ref, copy_floor}) {
        if_index_vector_copy(Records::dst(), Records::b());
        copy(in);
        expect(dst_is_a(), "copy", d);
    }
    struct SetOp {
        const char *name;
        std::uint32_t (*lib)(Records &);
        std::uint32_t (*ref)(Records &);
    };
    for (const SetOp &op : {SetOp{"union", union_lib, combine_ref<ref::Op::Union>},
                            SetOp{"intersection", intersection_lib, combine_ref<ref::Op::Intersection>},
                            SetOp{"subtract", subtract_lib, combine_ref<ref::Op::Subtract>}}) {
        if_index_vector_t want;
        copy_lib(in);
        const std::uint32_t n = op.ref(in);
        ref::copy(&want, Records::dst());
        copy_lib(in);
        expect(op.lib(in) == n && std::memcmp(Records::dst(), &want, sizeof want) == 0, op.name, d);
    }
    expect(is_equal_lib(in) == 1 && is_equal_ref(in) == 1, "equality", d);
    expect(count_lib(in) == count_ref(in), "count", d);
    expect(walk_typed_lib(in) == walk_typed_ref(in), "typed walk", d);
    expect(walk_cursor_lib(in) == walk_cursor_ref(in), "cursor walk", d);
    WalkSum members;
    for (const Member &m : in.members)
        members.visit(m.if_index);
    // (A record whose bitmaps are empty walks to its single-slot member.)
    if (members.n != 0)
        expect(walk_cursor_lib(in) == members && walk_cursor_floor(in) == members, "walk members", d);
    expect(scan_lib(in) == scan_ref(in) && scan_lib_visit(in) == scan_ref(in), "scan", d);
    expect(capture_stdout([&] { range_text_lib(in); }) == capture_stdout([&] { range_text_ref(in); }),
           "decimal dump", d);
    expect(capture_stdout([&] { hex_lib(in); }) == capture_stdout([&] { hex_ref(in); }), "hex dump", d);
}

template <class H>
void check_rival(const Density &d) {
    const std::string name = std::string(H::kName) + " ";
    Holders<H> in(d);
    struct SetOp {
        const char *name;
        std::uint32_t (*lib)(Records &);
        std::uint32_t (*rival)(Holders<H> &);
    };
    for (const SetOp &op : {SetOp{"union", union_lib, union_rival<H>},
                            SetOp{"intersection", intersection_lib, intersection_rival<H>},
                            SetOp{"subtract", subtract_lib, subtract_rival<H>}}) {
        copy_lib(in);
        copy_rival(in);
        expect(op.rival(in) == op.lib(in), name + op.name, d);
    }
    copy_rival(in);
    expect(in.hdst->equals(*in.ha) && is_equal_rival(in), name + "copy and equality", d);
    expect(count_rival(in) == count_lib(in), name + "count", d);
    expect(walk_typed_rival(in) == walk_typed_lib(in), name + "walk", d);
    expect(scan_rival(in) == scan_lib(in), name + "scan", d);
    expect(capture_stdout([&] { range_text_rival(in); }) == capture_stdout([&] { range_text_lib(in); }),
           name + "decimal dump", d);
}

// Membership runs on its own data set: each implementation must return the
// same sum and leave dst as it found it.
template <class H>
void check_rival_membership(const Density &d) {
    Holders<H> in(d);
    const std::uint32_t with_codec = membership_rival<H, true>(in);
    expect(with_codec == membership_rival<H, false>(in) && in.hdst->equals(*in.ha),
           std::string(H::kName) + " membership", d);
}

void check_membership(const Density &d) {
    Records in(d);
    const std::uint32_t lib = membership_lib(in);
    const bool lib_restores = ref::is_equal(Records::dst(), Records::a());
    expect(lib == membership_ref(in) && lib_restores && ref::is_equal(Records::dst(), Records::a()),
           "membership", d);
    check_rival_membership<rival::StdBitset>(d);
    check_rival_membership<rival::BoostBitset>(d);
    check_rival_membership<rival::Roaring>(d);
}

bool agree() {
    for (const Density &d : kDensitiesAndEmpty) {
        check_records(d);
        check_rival<rival::StdBitset>(d);
        check_rival<rival::BoostBitset>(d);
        check_rival<rival::Roaring>(d);
    }
    check_membership(kNoDensity[0]);
    return g_ok;
}

} // namespace
} // namespace bench

namespace {

// Everything after the stack is placed.
[[gnu::noinline]] int run(int argc, char **argv) {
    bool listing = false;
    for (int i = 1; i < argc; ++i)
        listing = listing || std::strncmp(argv[i], "--benchmark_list_tests", 22) == 0;
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    if (!bench::agree()) {
        std::cerr << "implementations disagree: no benchmark run\n";
        return 1;
    }
    std::cerr << "agreement check: every implementation gives the same results on every data set\n";
    bench::register_benchmarks();
    if (listing) {
        benchmark::RunSpecifiedBenchmarks();
        return 0;
    }
    // The sink: a fully buffered stdio stream whose writes are dropped, so the
    // dumps are measured down to stdio and no further (no system calls, no
    // terminal, no dependence on what /dev/null is on the machine).
    cookie_io_functions_t discard{};
    discard.write = [](void *, const char *, std::size_t n) -> ssize_t { return static_cast<ssize_t>(n); };
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

// Where run()'s frame starts within its 4096-byte page.  The stack's place
// in its page moves with the size of the environment and with address-space
// randomisation, and it decides whether the stores of the codec calls to
// their stack scratch 4K-alias the loads of the membership probe: with the
// probe at its fixed offset, membership took about 1,150 or about 2,000 ns
// depending on the environment's size, the library and the reference alike.
// The arena fixes the records' and the probe's offsets; this fixes the
// stack's, at one where every stack offset tried ran fast.
// IFVEC_BENCH_STACK_PHASE (0 to 4095) overrides it, to look for such effects.
constexpr std::uintptr_t kStackPhase = 2048;

} // namespace

int main(int argc, char **argv) {
    std::uintptr_t phase = kStackPhase;
    if (const char *e = std::getenv("IFVEC_BENCH_STACK_PHASE"))
        phase = std::strtoul(e, nullptr, 10) % 4096;
    const auto here = reinterpret_cast<std::uintptr_t>(__builtin_frame_address(0));
    void *pad = alloca((here - phase) % 4096 + 16);
    bench::escape(pad);
    return run(argc, argv);
}
