#!/bin/sh
# SPDX-License-Identifier: MIT
# Every list form ifvec prints (--names, --name-ranges, --ranges, --ifindex, --hex, all five) reads
# back as the same set, from a pipe and an argument; a mgmt member reads back by name only with SINGLE=yes.
# Usage: [SINGLE=no] round_trip.sh SETS [RUNNER...] IFVEC
n=$1
shift
awk -v n="$n" -v single="${SINGLE:-yes}" 'BEGIN {
    srand(7)
    for (s = 0; s < n; s++) {
        line = rand() < .5 && single == "yes" ? "mgmt" int(rand() * 99 + 1) : ""
        for (k = int(rand() * 12); k > 0; k--) {
            r = int(rand() * 8); a = int(rand() * 16) + 1; b = int(rand() * 64) + 1; c = int(rand() * 4096)
            line = line " " (r == 0 ? "fc" a "/" b : r == 1 ? "iscsi" a "/" b "-64" : r == 2 ? "port-channel" c % 256 \
                : r == 3 ? sprintf("0x0f%06x", c) : r == 4 ? "phy_fc:" c % 500 "-" 500 + c % 524 \
                : r == 5 ? "fc_tunnel:" c "," c % 96 + 4000 : r == 6 ? "port_channel:0-" c % 256 : "fc-tunnel" c "-4095")
        }
        print line
    }
}' | {
    sets=0
    while IFS= read -r set; do
        for view in --names --name-ranges --ranges --ifindex --hex "--names --name-ranges --ranges --ifindex --hex"; do
            out=$("$@" show $view "$set") && printf '%s\n' "$out" | "$@" equal -q "$set" - &&
                "$@" equal -q "$set" "$out" || { echo "FAIL ifvec show $view '$set':"; echo "$out"; exit 1; }
        done
        sets=$((sets + 1))
    done
    echo "$sets random sets read back in every list form"
    [ "$sets" = "$n" ]
}
