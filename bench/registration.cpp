// SPDX-License-Identifier: MIT
// Registration: one table row per workload and implementation, naming the
// function that does the work (workloads.hpp) and the data sets it runs on;
// the rivals' rows are one table instantiated per container.  One loop
// registers every row on every data set as workload/implementation/density,
// the names ratio_table.py reads.
#include "registration.hpp"

#include <benchmark/benchmark.h>

#include <span>
#include <string>
#include <type_traits>
#include <vector>

#include "rivals.hpp"
#include "workloads.hpp"

namespace bench {
namespace {

using Body = void (*)(benchmark::State &, const Density &);

// The one timed loop: data set d is laid out (and loaded into holders) before
// timing; a walk or scan reports A's bitmap members as the counter "members",
// which ratio_table.py divides by.
template <class Inputs, auto Work>
void timed(benchmark::State &st, const Density &d) {
    Inputs in(d);
    using Result = decltype(Work(in));
    if constexpr (std::is_same_v<Result, WalkSum>)
        st.counters["members"] = static_cast<double>(in.members.size());
    for (auto _ : st) {
        if constexpr (std::is_void_v<Result>)
            Work(in);
        else
            benchmark::DoNotOptimize(Work(in));
        benchmark::ClobberMemory();
    }
}

struct Row {
    std::string workload;
    std::string implementation;
    Body body;
    std::span<const Density> data_sets;
};

using R = Records;
using ref::Op;

// The library, the reference and the floors.
std::vector<Row> record_rows() {
    return {
        // workload     implementation  work                                  data sets
        {"copy", "lib", timed<R, copy_lib>, kDensities},
        {"copy", "ref", timed<R, copy_ref>, kDensities},
        {"copy", "floor", timed<R, copy_floor>, kDensities},
        {"union", "lib", timed<R, union_lib>, kDensities},
        {"union", "ref", timed<R, combine_ref<Op::Union>>, kDensities},
        {"union", "floor", timed<R, or_floor>, kDensities},
        {"intersection", "lib", timed<R, intersection_lib>, kDensities},
        {"intersection", "ref", timed<R, combine_ref<Op::Intersection>>, kDensities},
        {"intersection", "floor", timed<R, or_floor>, kDensities},
        {"subtract", "lib", timed<R, subtract_lib>, kDensities},
        {"subtract", "ref", timed<R, combine_ref<Op::Subtract>>, kDensities},
        {"subtract", "floor", timed<R, or_floor>, kDensities},
        {"is_equal", "lib", timed<R, is_equal_lib>, kDensities},
        {"is_equal", "ref", timed<R, is_equal_ref>, kDensities},
        {"is_equal", "floor", timed<R, copy_floor>, kDensities},
        {"count", "lib", timed<R, count_lib>, kDensities},
        {"count", "ref", timed<R, count_ref>, kDensities},
        {"walk_typed", "lib", timed<R, walk_typed_lib>, kDensitiesAndEmpty},
        {"walk_typed", "ref", timed<R, walk_typed_ref>, kDensitiesAndEmpty},
        {"walk_cursor", "lib", timed<R, walk_cursor_lib>, kDensitiesAndEmpty},
        {"walk_cursor", "ref", timed<R, walk_cursor_ref>, kDensitiesAndEmpty},
        {"walk_cursor", "floor", timed<R, walk_cursor_floor>, kDensitiesAndEmpty},
        {"scan", "lib", timed<R, scan_lib>, kDensitiesAndEmpty},
        {"scan", "lib_visit", timed<R, scan_lib_visit>, kDensitiesAndEmpty},
        {"scan", "ref", timed<R, scan_ref>, kDensitiesAndEmpty},
        {"range_text", "lib", timed<R, range_text_lib>, kDensities},
        {"range_text", "ref", timed<R, range_text_ref>, kDensities},
        {"hex", "lib", timed<R, hex_lib>, kHalf},
        {"hex", "ref", timed<R, hex_ref>, kHalf},
        {"membership", "lib", timed<R, membership_lib>, kNoDensity},
        {"membership", "ref", timed<R, membership_ref>, kNoDensity},
        {"membership", "floor", timed<R, membership_floor>, kNoDensity},
    };
}

// One rival container H; its implementation names are H::kName and a suffix.
template <class H>
std::vector<Row> rival_rows() {
    using In = Holders<H>;
    const std::string r = H::kName;
    return {
        // workload     implementation    work                                  data sets
        {"copy", r, timed<In, copy_rival<H>>, kDensities},
        {"union", r, timed<In, union_rival<H>>, kDensities},
        {"intersection", r, timed<In, intersection_rival<H>>, kDensities},
        {"subtract", r, timed<In, subtract_rival<H>>, kDensities},
        {"is_equal", r, timed<In, is_equal_rival<H>>, kDensities},
        {"count", r, timed<In, count_rival<H>>, kDensities},
        {"scan", r, timed<In, scan_rival<H>>, kDensities},
        {"walk_typed", r + "+codec", timed<In, walk_typed_rival<H>>, kDensities},
        {"range_text", r + "+snprintf", timed<In, range_text_rival<H>>, kDensities},
        {"membership", r + "+codec", timed<In, membership_rival<H, true>>, kNoDensity},
        {"membership", r, timed<In, membership_rival<H, false>>, kNoDensity},
    };
}

} // namespace

void register_benchmarks() {
    std::vector<Row> rows = record_rows();
    for (auto more :
         {rival_rows<rival::StdBitset>(), rival_rows<rival::BoostBitset>(), rival_rows<rival::Roaring>()})
        rows.insert(rows.end(), more.begin(), more.end());

    for (const Row &row : rows)
        for (const Density &d : row.data_sets)
            benchmark::RegisterBenchmark((row.workload + "/" + row.implementation + "/" + d.label).c_str(),
                                         [body = row.body, d](benchmark::State &st) { body(st, d); })
                ->Unit(benchmark::kNanosecond);
}

} // namespace bench
