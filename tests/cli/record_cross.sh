#!/bin/sh
# SPDX-License-Identifier: MIT
# Record images between the big-endian target's ifvec (under its emulator) and the host's,
# both ways, in both byte orders; each side shows the set it was given.
# Usage: record_cross.sh HOST_IFVEC [RUNNER...] TARGET_IFVEC
set -eu
host=$1
shift
set='phy_fc:0-2,5,1023 port_channel:255 iscsi:64-127 fc_tunnel:0-4095 0x06000001'
want=$("$host" show --names "$set")
check() { # WHAT GOT
    [ "$2" = "$want" ] || { printf 'FAIL %s:\n%s\nexpected:\n%s\n' "$1" "$2" "$want"; exit 1; }
}
for order in big little; do
    check "target -> host, $order" "$("$@" show --raw --byte-order=$order "$set" |
        "$host" show --record - --byte-order=$order --names)"
    check "host -> target, $order" "$("$host" show --raw --byte-order=$order "$set" |
        "$@" show --record - --byte-order=$order --names)"
done
# Each side's own order: the target's is big-endian.
check "target's host order" "$("$@" show --raw "$set" | "$host" show --record - --byte-order=big --names)"
echo "record images read back across the two builds, in both byte orders"
