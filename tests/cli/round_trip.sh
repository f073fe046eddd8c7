#!/bin/sh
# Every list form that ifvec prints reads back as the same set: random sets
# of names, name ranges, range lists and if_indexes, printed with --names,
# --ranges and --ifindex, read back from a pipe and from an argument.
# Usage: round_trip.sh SETS IFVEC [RUNNER...]  (the runner goes first)
set -u
sets=$1
shift
run="$*"
awk -v n="$sets" 'BEGIN {
    srand(7)
    for (s = 0; s < n; s++) {
        line = ""
        for (k = int(rand() * 12); k > 0; k--) {
            r = rand(); a = int(rand() * 16) + 1; b = int(rand() * 64) + 1
            if (r < .2) item = "fc" a "/" b
            else if (r < .3) item = "iscsi" a "/" b "-" (b + int(rand() * (65 - b)))
            else if (r < .4) item = "port-channel" int(rand() * 256)
            else if (r < .5) item = sprintf("0x0f%06x", int(rand() * 4096))
            else if (r < .6) item = "phy_fc:" int(rand() * 500) "-" (500 + int(rand() * 524))
            else if (r < .7) item = "fc_tunnel:" int(rand() * 4096) "," (4000 + int(rand() * 96))
            else if (r < .8) item = "port_channel:0-" int(rand() * 256)
            else if (r < .9) item = "fc-tunnel" int(rand() * 4000) "-4095"
            else item = "mgmt" a
            if (item !~ /^mgmt/ || line !~ /mgmt/) line = line " " item
        }
        print line
    }
}' | {
    done=0
    while IFS= read -r set; do
        for view in --names --ranges --ifindex; do
            out=$($run show $view "$set") &&
                printf '%s\n' "$out" | $run equal -q "$set" - &&
                $run equal -q "$set" "$out" ||
                { echo "FAIL ifvec show $view '$set':"; echo "$out"; exit 1; }
        done
        done=$((done + 1))
    done
    echo "$done random sets read back in every list form"
    [ "$done" = "$sets" ]
}
