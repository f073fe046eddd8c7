#!/bin/bash
# The bash completion of ifvec: each row is a command line, the cursor at its
# end, and the words completed there; the commands are those of the usage.
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
done <<'ROWS'
ifvec |${commands}-h --help -V --version
ifvec su|subtract
ifvec --v|--version
ifvec show --n|--names
ifvec union fc1/1 --|--names --ranges --ifindex --hex --counts --format --help --
ifvec show fc|
ifvec show --format |text json
ifvec show --format = j|json
ifvec equal -|-q --quiet -h --help --
ifvec present -- -|
ifvec help e|equal
ifvec help show |
ROWS
exit $failed
