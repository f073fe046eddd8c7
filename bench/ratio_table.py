#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Turns bench_vector's JSON (--benchmark_out) into the ratio tables.

Every figure is the median CPU time over the run's interleaved repetitions
(or the single run when there were none); every ratio divides two figures of
the same run.  Prints Markdown: an overview of the main workloads (the
table in bench/README.md), one table per workload, then the targets, each
with the figure it was judged on.

    python3 bench/ratio_table.py build/bench/bench/bench_vector.json
"""
import json
import sys
from collections import defaultdict

DENSITIES = ["0%", "0.1%", "1%", "5%", "50%", "100%", "alt", "-"]


def load(path):
    with open(path) as f:
        doc = json.load(f)
    times, members = {}, {}
    have_medians = any(b.get("aggregate_name") == "median" for b in doc["benchmarks"])
    for b in doc["benchmarks"]:
        if have_medians and b.get("aggregate_name") != "median":
            continue
        if not have_medians and b.get("run_type") == "aggregate":
            continue
        name = b.get("run_name", b["name"])
        workload, impl, density = name.split("/")
        scale = {"ns": 1.0, "us": 1e3, "ms": 1e6, "s": 1e9}[b.get("time_unit", "ns")]
        times[(workload, impl, density)] = b["cpu_time"] * scale
        if "members" in b:
            members[(workload, impl, density)] = b["members"]
    return doc.get("context", {}), times, members


def fmt(x):
    if x is None:
        return "–"
    if x >= 100:
        return f"{x:,.0f}"
    if x >= 10:
        return f"{x:.1f}"
    return f"{x:.2f}"


def workload_tables(times, members):
    by_workload = defaultdict(lambda: defaultdict(dict))
    for (w, impl, d), t in times.items():
        by_workload[w][d][impl] = t
    order = ["copy", "membership", "union", "intersection", "subtract", "is_equal", "count",
             "walk_typed", "walk_cursor", "scan", "range_text", "hex"]
    out = []
    for w in order:
        if w not in by_workload:
            continue
        rows = by_workload[w]
        impls = sorted({i for r in rows.values() for i in r},
                       key=lambda i: (i != "lib", i != "ref", i != "floor", i))
        per_member = w.startswith("walk") or w == "scan"
        unit = "ns per member" if per_member else "ns per call"
        out.append(f"\n#### {w} ({unit}; in brackets: time / lib time)\n")
        out.append("| density | " + " | ".join(impls) + " |")
        out.append("|---" * (len(impls) + 1) + "|")
        for d in DENSITIES:
            if d not in rows:
                continue
            r = rows[d]
            lib = r.get("lib")
            cells = []
            for i in impls:
                t = r.get(i)
                if t is None:
                    cells.append("–")
                    continue
                n = members.get((w, i, d), 0) if per_member else 1
                shown = t / n if n else t
                cell = fmt(shown) if n else fmt(t) + " (total)"
                if i != "lib" and lib:
                    cell += f" ({t / lib:.2f})"
                cells.append(cell)
            out.append(f"| {d} | " + " | ".join(cells) + " |")
    return out


def summary(times, members):
    """The overview table: the library's time, every other column as its time / the library's."""
    columns = ["ref", "bitset", "boost", "roaring", "floor"]
    # (label, workload, density, library's implementation, suffix of the rivals' implementations)
    rows = [("copy", "copy", "50%", "lib", ""),
            ("membership (no density)", "membership", "-", "lib", "+codec"),
            ("union", "union", "50%", "lib", ""),
            ("intersection", "intersection", "50%", "lib", ""),
            ("subtract", "subtract", "50%", "lib", ""),
            ("is_equal", "is_equal", "50%", "lib", ""),
            ("count", "count", "50%", "lib", ""),
            ("walk_typed", "walk_typed", "50%", "lib", "+codec"),
            ("walk_cursor", "walk_cursor", "50%", "lib", ""),
            ("scan core, next_set per member", "scan", "50%", "lib", ""),
            ("scan, word visitor", "scan", "50%", "lib_visit", ""),
            ("range_text", "range_text", "50%", "lib", "+snprintf"),
            ("range_text", "range_text", "alt", "lib", "+snprintf"),
            ("hex", "hex", "50%", "lib", "")]
    out = ["\n#### Overview (library's time; other columns: their time / the library's)\n",
           "| workload (density) | library | reference | std::bitset | boost | CRoaring | floor |",
           "|---|---|---|---|---|---|---|"]
    for label, w, d, lib_impl, suffix in rows:
        lib = times.get((w, lib_impl, d))
        if lib is None:
            continue
        n = members.get((w, lib_impl, d), 0)
        shown = f"{fmt(lib / n)} ns/member" if n else f"{fmt(lib)} ns"
        cells = []
        for c in columns:
            impl = c + suffix if c in ("bitset", "boost", "roaring") else c
            t = times.get((w, impl, d))
            cells.append(f"{t / lib:.2f}" if t is not None else "–")
        if label.startswith("membership"):
            out.append(f"| {label} | {shown} | " + " | ".join(cells) + " |")
        else:
            out.append(f"| {label} ({d}) | {shown} | " + " | ".join(cells) + " |")
    return out


def targets(times, members):
    t = times
    dens = ["0.1%", "1%", "5%", "50%", "100%", "alt"]
    res = []

    def check(name, ok, figure):
        res.append((name, ok, figure))

    for op in ["union", "intersection", "subtract"]:
        r = [t[(op, "lib", d)] / t[(op, "floor", d)] for d in dens if (op, "lib", d) in t]
        check(f"{op} + recount ≤ 5× the 800-byte OR loop", max(r) <= 5,
              f"worst {max(r):.2f}×")
        for rival in ["bitset", "boost"]:
            r = [t[(op, rival, d)] / t[(op, "lib", d)] for d in dens if (op, rival, d) in t]
            check(f"{op} + count ≥ 2.5× faster than {rival}", min(r) >= 2.5,
                  f"worst {min(r):.2f}×")
    r = [t[("is_equal", "lib", d)] / t[("is_equal", "floor", d)] for d in dens]
    check("is_equal ≤ 3× memcpy(824)", max(r) <= 3, f"worst {max(r):.2f}×")

    def per_member(w, impl, d):
        n = members.get((w, impl, d), 0)
        return t[(w, impl, d)] / n if n else None

    full = per_member("walk_typed", "lib", "100%")
    check("typed walk ≤ 1 ns per member at 100 %: exported next(), codec included",
          full <= 1, f"{full:.2f} ns")
    for impl, label in [("lib", "scan core, one next_set call per member"),
                        ("lib_visit", "word visitor for_each_set")]:
        n = per_member("scan", impl, "100%")
        check(f"typed walk ≤ 1 ns per member at 100 %: {label}", n <= 1, f"{n:.2f} ns")
        r = [t[("scan", "bitset", d)] / t[("scan", impl, d)] for d in dens]
        check(f"faster than std::bitset::_Find_next at every density: {label}", min(r) > 1,
              f"worst {min(r):.2f}×")
    r = [t[("walk_typed", "bitset+codec", d)] / t[("walk_typed", "lib", d)] for d in dens]
    check("exported typed walk faster than std::bitset::_Find_next + one codec call",
          min(r) > 1, f"worst {min(r):.2f}×")
    if ("scan", "lib", "0%") in t:
        # memcpy(824) moves about as many words as the four empty bitmaps hold.
        r = t[("scan", "lib", "0%")] / min(t[("copy", "floor", d)] for d in dens)
        check("empty bitmaps cost a few word reads: scan of all four (100 words) ≤ 3× memcpy(824)",
              r <= 3, f"{r:.2f}×: {t[('scan', 'lib', '0%')]:.1f} ns scan, "
              f"{t[('walk_typed', 'lib', '0%')]:.1f} ns exported typed walk")
    r = {d: t[("walk_cursor", "lib", d)] / t[("walk_cursor", "floor", d)] for d in dens}
    check("cursor walk within 1.3× of its codec calls", max(r.values()) <= 1.3,
          ", ".join(f"{d}: {x:.2f}×" for d, x in r.items()))
    r = t[("count", "ref", "50%")] / t[("count", "lib", "50%")]
    check("per-type count ≥ 3× faster than the per-byte loop at 50 %", r >= 3, f"{r:.1f}×")
    r = t[("range_text", "ref", "50%")] / t[("range_text", "lib", "50%")]
    check("range text ≥ 10× faster than the reference at 50 %", r >= 10, f"{r:.1f}×")
    r = [t[("range_text", "bitset+snprintf", d)] / t[("range_text", "lib", d)] for d in dens]
    check("range text faster than std::bitset + snprintf at every density", min(r) > 1,
          f"worst {min(r):.2f}×")
    r = t[("hex", "ref", "50%")] / t[("hex", "lib", "50%")]
    check("hex dump ≥ 50× faster than one formatted call per byte", r >= 50, f"{r:.1f}×")
    r = t[("membership", "lib", "-")] / t[("membership", "ref", "-")]
    check("add / is_present / remove within 1.2× of the reference", r <= 1.2, f"{r:.2f}×")

    out = ["\n#### Targets\n", "| target | figure | met |", "|---|---|---|"]
    for name, ok, figure in res:
        out.append(f"| {name} | {figure} | {'yes' if ok else '**no**'} |")
    return out


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    context, times, members = load(sys.argv[1])
    reps = context.get("repetitions") or "1"
    print(f"Medians of CPU time over interleaved repetitions; host: {context.get('host_name', '?')},"
          f" {context.get('num_cpus', '?')} CPUs at {context.get('mhz_per_cpu', '?')} MHz")
    print("\n".join(summary(times, members)))
    print("\n".join(workload_tables(times, members)))
    try:
        print("\n".join(targets(times, members)))
    except KeyError as missing:
        print(f"\n(targets not judged: no figure for {missing}; run without a filter)")


if __name__ == "__main__":
    main()
