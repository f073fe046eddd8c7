#!/usr/bin/env bash
# Builds the fuzz target (preset fuzz) and fuzzes for a bounded time:
#   fuzz/run.sh [seconds]   (default 120)
# The checked-in corpus seeds a scratch corpus under build/fuzz, so the
# checked-in one only changes when someone copies inputs back on purpose.
# An input that crashes or diverges is left in build/fuzz/artifacts/; copy it
# to fuzz/regressions/ (the test suite replays that folder) and add a unit
# test for the behaviour it shows.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-120}

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j2

work=build/fuzz/corpus-work
artifacts=build/fuzz/artifacts
mkdir -p "$work" "$artifacts"
cp -n fuzz/corpus/* "$work"/ 2>/dev/null || true

set +e
build/fuzz/fuzz/fuzz_vector "$work" fuzz/regressions \
    -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=4096 \
    -artifact_prefix="$artifacts/" -print_final_stats=1 2>build/fuzz/fuzz.log
rc=$?
set -e
grep -E '^(#[0-9]+ +DONE|Done|stat::|divergence|SUMMARY)' build/fuzz/fuzz.log || true
if [ $rc -ne 0 ]; then
    tail -40 build/fuzz/fuzz.log
    echo "fuzzing found a fault; inputs in $artifacts:"
    ls -l "$artifacts"
    exit 1
fi
echo "fuzzing: no fault in ${seconds}s"
