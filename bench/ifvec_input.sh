#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Time and peak memory of ifvec on about 1 MiB of worst-case input: range
# lists spanning a whole bitmap, repeated, given on standard input and as
# arguments.  Linux caps one argument at 128 KiB, so the argument cases pass
# the input as 9 arguments of 119 KiB each (show merges them).
#
# Then one line of 130 MB on standard input under a 300 MB cap of address
# space (ulimit -v 300000), and `union` against `show` on 60,000 arguments
# `fc_tunnel:0-4095` (medians of interleaved runs).
#
# Usage: bench/ifvec_input.sh [IFVEC] [TIMEOUT_SECONDS]
#   IFVEC defaults to build/release/tools/ifvec, TIMEOUT_SECONDS to 600.
# Prints one line per case: exit status, wall and CPU seconds, peak resident
# set size (getrusage, through GNU time).  Each run is capped at 8 GiB of
# address space unless said otherwise; a capped or timed-out run shows its
# non-zero exit status.
set -u
ifvec=${1:-build/release/tools/ifvec}
limit=${2:-600}
[[ -x $ifvec ]] || { echo "ifvec_input.sh: $ifvec: not an executable" >&2; exit 2; }
tmp=$(mktemp -d) || exit 1
trap 'rm -rf "$tmp"' EXIT

mib=1048576
items() { yes "$1" | head -n "$2" | tr '\n' ' '; }          # "$1 $1 ... "
list() { printf '%s' "$1"; yes ",$2" | head -n "$3" | tr -d '\n'; } # "$1,$2,$2..."

items fc_tunnel:0-4095 $((mib / 17)) >"$tmp/items"
list fc_tunnel:0-4095 0-4095 $((mib / 7)) >"$tmp/list"
items fc16/64 $((mib / 8)) >"$tmp/names"
items fc1/1-64 $((mib / 9)) >"$tmp/name_ranges"
arg_items=$(items fc_tunnel:0-4095 7000)
arg_list=$(list fc_tunnel:0-4095 0-4095 17000)

cap=8388608 # KiB of address space
run() { # NAME INPUT_FILE ARGS...: the input's size is the file's, the pipe's, or the arguments' after "--counts"
    local name=$1 input=$2 size
    shift 2
    if [[ $input == /dev/null ]]; then size=$(printf '%s' "${@:3}" | wc -c);
    elif [[ -p $input ]]; then size=pipe; else size=$(stat -c %s "$input"); fi
    local t
    t=$( (ulimit -v $cap; /usr/bin/time -f '%x %e %U %S %M' -o "$tmp/time" \
        timeout "$limit" "$ifvec" "$@" <"$input" >/dev/null 2>"$tmp/err"); cat "$tmp/time")
    local signal
    signal=$(sed -n 's/^Command terminated by signal \([0-9]*\)$/\1/p' <<<"$t")
    t=${t##*$'\n'} # the last line: GNU time prefixes a line when the command fails
    read -r rc wall user sys rss <<<"$t"
    [[ -n $signal ]] && rc=sig$signal # GNU time's %x is 0 then
    printf '%-40s %9s bytes  exit %-5s %6ss wall %6ss cpu %8d KiB peak RSS\n' "$name" \
        "$size" "$rc" "$wall" \
        "$(echo "$user + $sys" | bc)" "$rss"
    [[ $rc == 0 ]] || sed 's/^/    stderr: /' "$tmp/err" | cut -c1-200 | head -n 2
}

echo "ifvec: $ifvec ($("$ifvec" --version 2>&1 | head -n 1))"
run "stdin, 'fc_tunnel:0-4095' items" "$tmp/items" show --counts -
run "stdin, one list of '0-4095' runs" "$tmp/list" show --counts -
run "stdin, 'fc16/64' names" "$tmp/names" show --counts -
run "stdin, 'fc1/1-64' name ranges" "$tmp/name_ranges" show --counts -
args=()
for _ in 1 2 3 4 5 6 7 8 9; do args+=("$arg_items"); done
run "9 args, 'fc_tunnel:0-4095' items" /dev/null show --counts "${args[@]}"
args=()
for _ in 1 2 3 4 5 6 7 8 9; do args+=("$arg_list"); done
run "9 args, one list of runs each" /dev/null show --counts "${args[@]}"

# 130 MB on one line, streamed from a pipe: items, then one range list.
cap=300000
run "stdin, 130 MB line of items, 300 MB cap" <(yes fc_tunnel:0-4095 | head -n 8018525 | tr '\n' ' ') show --counts -
run "stdin, 130 MB range list, 300 MB cap" <(printf fc_tunnel:; yes 0-4095 | head -n 19473554 | tr '\n' ,; echo 0) \
    show --counts -
cap=8388608

# union against show on the same 60,000 operands: medians of 9 interleaved
# runs, each timed from its start to its exit.
python3 - "$ifvec" <<'PY'
import statistics, subprocess, sys, time
ops = ["fc_tunnel:0-4095"] * 60000
times = {"union": [], "show": []}
for _ in range(9):
    for cmd in times:
        t0 = time.perf_counter()
        subprocess.run([sys.argv[1], cmd, "--counts", *ops], stdout=subprocess.DEVNULL, check=True)
        times[cmd].append(time.perf_counter() - t0)
u, s = (statistics.median(times[c]) for c in ("union", "show"))
print(f"60,000 args: union --counts {u:.3f}s, show --counts {s:.3f}s (medians of 9), union/show {u / s:.2f}")
PY
