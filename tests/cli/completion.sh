#!/bin/bash
# SPDX-License-Identifier: MIT
# The bash completion of ifvec against the rows of completion.txt.
# Usage: completion.sh COMPLETION_FILE [RUNNER...] IFVEC
source "$1" || exit 1
failed=0
commands=$("${@:2}" --help | sed -n 's/^ *ifvec \([a-z]*\).*/\1/p' | tr '\n' ' ')
while IFS='|' read -r line want; do
    COMP_WORDS=($line) COMPREPLY=()
    [[ $line == *' ' ]] && COMP_WORDS+=("")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    _ifvec
    got="${COMPREPLY[*]}"
    want=${want/'${commands}'/$commands}
    [[ $got == "$want" ]] || { echo "FAIL '$line': got '$got', expected '$want'"; failed=1; }
done < <(grep -v "^//" "$(dirname "$0")/completion.txt")
exit $failed
