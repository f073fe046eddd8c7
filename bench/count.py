#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Instructions per call of every workload, counted, kept and compared.

bench_count runs each workload a fixed number of times between two marker
calls.  This script runs it under a counter and divides by the calls:

  amd64   valgrind --tool=callgrind: the markers toggle collection and dump
          the count (client requests), so only the marked calls are counted;
  other   qemu-user with -d in_asm,exec,nochain: every executed block is
          logged; the instructions of the blocks executed between a block
          at the begin marker and one at the end marker are summed (each
          block's size from its translation in the same log).

    count.py run --arch amd64 --driver build/count/bench/bench_count \\
                 --compiler g++ --flags "-O2 -DNDEBUG" \\
                 --out counts.tsv [--baseline bench/counts/amd64.tsv [--update]]
    count.py table bench/counts/amd64.tsv bench/counts/ppc32.tsv
    count.py chart bench/counts/amd64.tsv bench/counts/ppc32.tsv --out bench/instructions.svg

run: with --baseline, fails when any count is more than 2% above the
baseline's, or when the two do not list the same workloads; with --update,
writes the new counts over the baseline instead.
"""
import argparse
import os
import subprocess
import sys
import tempfile

TOLERANCE = 0.02
REFERENCES = [("ref", "literal reference"), ("bitset", "std::bitset")]


# ---- counting ------------------------------------------------------------------------


def tool_version(cmd):
    out = subprocess.run(cmd + ["--version"], capture_output=True, text=True, check=True).stdout
    return out.splitlines()[0].strip()


def labels_of(stdout):
    """The driver's counted runs as (label, calls), in order."""
    return [(f[1], int(f[2])) for f in (line.split() for line in stdout.splitlines()) if f[:1] == ["label"]]


TRIGGER = "desc: Trigger: Client Request: "


def count_callgrind(driver):
    with tempfile.TemporaryDirectory() as tmp:
        out = os.path.join(tmp, "cg.out")
        p = subprocess.run(["valgrind", "--tool=callgrind", "--collect-atstart=no",
                            "--callgrind-out-file=" + out, driver],
                           capture_output=True, text=True)
        if p.returncode != 0:
            sys.exit(p.stderr + "bench_count failed under callgrind")
        runs = labels_of(p.stdout)
        totals = {}
        for name in os.listdir(tmp):
            label, total = None, None
            with open(os.path.join(tmp, name)) as f:
                for line in f:
                    if line.startswith(TRIGGER):
                        label = line[len(TRIGGER):].strip()
                    elif line.startswith(("summary:", "totals:")):
                        total = int(line.split()[1])
            if label is not None:
                totals[label] = total
        return {label: totals[label] / calls for label, calls in runs}, tool_version(["valgrind"])


def count_qemu(driver, emulator):
    """Sums, per counted run, the sizes of the blocks executed between the
    markers.  The execution log names each block's symbol; the markers are
    the driver's ifvec_count_begin and ifvec_count_end."""
    sizes, counts = {}, []
    block_pc, block_n = None, 0
    inside, total = False, 0
    with tempfile.TemporaryDirectory() as tmp, tempfile.TemporaryFile(mode="w+") as out:
        # The log through a pipe: qemu buffers a log file, not its standard error.
        log = os.path.join(tmp, "log")
        os.mkfifo(log)
        p = subprocess.Popen(emulator + ["-d", "in_asm,exec,nochain", "-D", log, driver], stdout=out)
        with open(log, buffering=1 << 20) as lines:
            for line in lines:
                if line[0] == "0":  # "0x...": an instruction of the block being translated
                    if block_pc is None:
                        block_pc = int(line[:line.index(":")], 16)
                    block_n += 1
                    continue
                if block_pc is not None:  # its translation ended: the block's size
                    sizes[block_pc] = block_n
                    block_pc, block_n = None, 0
                if line[0] != "T":
                    continue
                # Trace <cpu>: <host code> [<cs_base>/<pc>/<flags>/<cflags>] <symbol>
                if line.endswith(" ifvec_count_begin\n"):
                    inside, total = True, 0
                elif not inside:
                    continue
                elif line.endswith(" ifvec_count_end\n"):
                    counts.append(total)
                    inside = False
                else:
                    total += sizes[int(line.split()[3].split("/")[1], 16)]
        if p.wait() != 0:
            sys.exit("bench_count failed under " + " ".join(emulator))
        out.seek(0)
        runs = labels_of(out.read())
    if len(runs) != len(counts):
        sys.exit(f"{len(runs)} counted runs, {len(counts)} marked regions in the log")
    return ({label: n / calls for (label, calls), n in zip(runs, counts)},
            tool_version(emulator[:1]))


# ---- the counts file ---------------------------------------------------------------


def write_counts(path, arch, counts, meta):
    with open(path, "w") as f:
        f.write("# Instructions per call of each workload (count.py run; bench/README.md).\n")
        f.write(f"# arch: {arch}\n")
        for key in ("compiler", "flags", "counter"):
            f.write(f"# {key}: {meta[key]}\n")
        for label, n in counts.items():
            f.write(f"{label}\t{n:.1f}\n")


def read_counts(path):
    meta, counts = {}, {}
    with open(path) as f:
        for line in f:
            if line.startswith("# ") and ": " in line:
                key, value = line[2:].rstrip("\n").split(": ", 1)
                meta[key] = value
            elif line.strip() and not line.startswith("#"):
                label, n = line.split("\t")
                counts[label] = float(n)
    return meta, counts


def compare(base, new):
    """Messages for each count more than TOLERANCE above the baseline's and
    each workload only one of the two has; notes for counts that fell."""
    failures, notes = [], []
    for label in sorted(set(base) | set(new)):
        if label not in new:
            failures.append(f"{label}: in the baseline, not counted")
        elif label not in base:
            failures.append(f"{label}: counted, not in the baseline")
        elif new[label] > base[label] * (1 + TOLERANCE):
            failures.append(f"{label}: {new[label]:,.1f} instructions per call, baseline {base[label]:,.1f}"
                            f" (+{100 * (new[label] / base[label] - 1):.1f}%)")
        elif new[label] < base[label] * (1 - TOLERANCE):
            notes.append(f"{label}: {new[label]:,.1f}, baseline {base[label]:,.1f}"
                         f" ({100 * (new[label] / base[label] - 1):.1f}%)")
    return failures, notes


# ---- tables and targets -----------------------------------------------------------------

WORKLOADS = ["membership", "copy", "union", "intersection", "subtract", "is_equal", "count", "walk_typed",
             "walk_cursor", "range_text", "hex", "names"]
SET_OPERATIONS = ["union", "intersection", "subtract"]


def by_workload(counts):
    """{workload: {implementation: count}}, implementation without its "+..." suffix."""
    out = {}
    for label, n in counts.items():
        workload, impl, _ = label.split("/")
        out.setdefault(workload, {})[impl if workload == "floor" else impl.split("+")[0]] = n
    return out


def fmt(n):
    return "–" if n is None else f"{n:,.0f}"


def ratio(a, b):
    return None if a is None or b is None else a / b


def fmt_ratio(r):
    return "–" if r is None else f"{r:.3f}"


def print_table(arch, counts):
    w = by_workload(counts)
    print(f"\n{arch}: instructions per call; ratio = library / reference (below 1: fewer)\n")
    print("| workload | library | literal reference | std::bitset | lib / ref | lib / bitset |")
    print("|---|---|---|---|---|---|")
    for name in WORKLOADS:
        row = w.get(name, {})
        lib = row.get("lib")
        print(f"| {name} | {fmt(lib)} | {fmt(row.get('ref'))} | {fmt(row.get('bitset'))} | "
              f"{fmt_ratio(ratio(lib, row.get('ref')))} | {fmt_ratio(ratio(lib, row.get('bitset')))} |")
    floors = w.get("floor", {})
    print()
    for name, n in floors.items():
        print(f"floor {name}: {fmt(n)} instructions")


def targets(arch, counts):
    """(target, figure, met) for this architecture's counts."""
    w = by_workload(counts)
    out = []
    for impl, title in REFERENCES:
        worst = max(((ratio(w[n]["lib"], w[n][impl]), n) for n in WORKLOADS if impl in w.get(n, {})),
                    default=None)
        if worst:
            out.append((f"{arch}: every workload fewer instructions than the {title}",
                        f"worst {worst[0]:.3f}× ({worst[1]})", worst[0] < 1))
    floor = w.get("floor", {}).get("or")
    popcount_floor = w.get("floor", {}).get("or+popcount")
    if arch == "ppc32" and popcount_floor:
        worst = max((w[n]["lib"] / popcount_floor, n) for n in SET_OPERATIONS)
        out.append(("ppc32: set operations within 1.3× the OR + popcount floor",
                    f"worst {worst[0]:.2f}× ({worst[1]})", worst[0] <= 1.3))
    elif floor:
        worst = max((w[n]["lib"] / floor, n) for n in SET_OPERATIONS)
        out.append((f"{arch}: set operations against the OR floor (no target)",
                    f"worst {worst[0]:.2f}× ({worst[1]})", None))
    return out


def print_targets(rows):
    print("\n| target | figure | met |\n|---|---|---|")
    for target, figure, met in rows:
        print(f"| {target} | {figure} | {'–' if met is None else 'yes' if met else '**no**'} |")


# ---- commands ---------------------------------------------------------------------------


def run(args):
    if args.arch == "amd64":
        counts, counter = count_callgrind(args.driver)
    else:
        counts, counter = count_qemu(args.driver, [a for a in args.emulator.split(",") if a])
    counts = net(counts)
    meta = {"compiler": tool_version([args.compiler]), "flags": " ".join(args.flags.split()),
            "counter": counter}
    write_counts(args.out, args.arch, counts, meta)
    print_table(args.arch, counts)
    print_targets(targets(args.arch, counts))
    if not args.baseline:
        return 0
    if args.update:
        write_counts(args.baseline, args.arch, counts, meta)
        print(f"\nwrote {args.baseline}")
        return 0
    base_meta, base = read_counts(args.baseline)
    for key in ("compiler", "flags", "counter"):
        if base_meta.get(key) != meta[key]:
            print(f"note: {key} is now \"{meta[key]}\", the baseline's \"{base_meta.get(key)}\"")
    failures, notes = compare(base, counts)
    for n in notes:
        print(f"note: fewer instructions than the baseline: {n}")
    for f in failures:
        print(f"FAIL: {f}")
    if failures:
        print(f"counts above {args.baseline} by more than {100 * TOLERANCE:.0f}%; "
              "a change made on purpose: cmake --workflow --preset count-update (or count-ppc-update)")
        return 1
    print(f"\nno count more than {100 * TOLERANCE:.0f}% above {args.baseline}")
    return 0


def table(args):
    for path in args.files:
        meta, counts = read_counts(path)
        print_table(meta["arch"], counts)
        print(f"\n{meta['compiler']}; {meta['flags']}; {meta['counter']}")
    print_targets([t for path in args.files for t in targets(read_counts(path)[0]["arch"], read_counts(path)[1])])
    return 0


def chart(args):
    import matplotlib
    matplotlib.use("Agg")
    import matplotlib.pyplot as plt
    plt.rcParams["svg.hashsalt"] = "if_index_vec"
    series = []
    for path in args.files:
        meta, counts = read_counts(path)
        w = by_workload(counts)
        for impl, title in REFERENCES:
            series.append((f"{meta['arch']}: library / {title}",
                           [ratio(w.get(n, {}).get("lib"), w.get(n, {}).get(impl)) for n in WORKLOADS]))
    fig, ax = plt.subplots(figsize=(8, 7))
    height = 0.8 / len(series)
    for k, (name, values) in enumerate(series):
        ys = [i + (k - (len(series) - 1) / 2) * height for i in range(len(WORKLOADS))]
        ax.barh([y for y, v in zip(ys, values) if v], [v for v in values if v], height=height, label=name)
    ax.set_xscale("log")
    ax.axvline(1.0, color="black", linewidth=0.8)
    ax.set_yticks(range(len(WORKLOADS)))
    densities = {label.split("/")[0]: label.split("/")[2] for label in counts}
    ax.set_yticklabels([f"{n} ({densities[n]})" if densities.get(n, "-") != "-" else n for n in WORKLOADS])
    ax.invert_yaxis()
    ax.set_xlabel("instructions per call, library ÷ reference (log scale; left of 1: the library runs fewer)")
    ax.set_title("if_index_vec: instruction counts against the references")
    ax.legend(loc="upper center", bbox_to_anchor=(0.5, -0.09), ncol=2, fontsize="small")
    ax.grid(axis="x", which="both", alpha=0.3)
    fig.tight_layout()
    fig.savefig(args.out, format="svg", metadata={"Date": None}, bbox_inches="tight")
    print(f"wrote {args.out}")
    return 0


def net(counts):
    """The counts less that of the empty counted region."""
    overhead = counts.pop("overhead/none/-", 0.0)
    return {label: n - overhead for label, n in counts.items()}


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    sub = ap.add_subparsers(dest="cmd", required=True)
    r = sub.add_parser("run")
    r.add_argument("--arch", required=True)
    r.add_argument("--driver", required=True)
    r.add_argument("--emulator", default="", help="comma-separated command (qemu-user and its options)")
    r.add_argument("--compiler", required=True)
    r.add_argument("--flags", default="")
    r.add_argument("--out", required=True)
    r.add_argument("--baseline")
    r.add_argument("--update", action="store_true")
    t = sub.add_parser("table")
    t.add_argument("files", nargs="+")
    c = sub.add_parser("chart")
    c.add_argument("files", nargs="+")
    c.add_argument("--out", required=True)
    args = ap.parse_args()
    return {"run": run, "table": table, "chart": chart}[args.cmd](args)


if __name__ == "__main__":
    sys.exit(main())
