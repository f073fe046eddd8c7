#!/bin/bash
# SPDX-License-Identifier: MIT
# Types KEYS (printf escapes) into bash under tmux with ifvec's completion, then '#'; prints the screen.
# Usage: tab.sh KEYS
completion=$(cd "$(dirname "$0")/../../tools/completion" && pwd)/ifvec
tmux() { command tmux -L "ifvec-tab-$$" -f /dev/null "$@"; }
screen() { tmux capture-pane -p -t tab | sed '/^$/d'; }
wait_for() { # a shell pattern of the screen
    for _ in $(seq 100); do
        [[ $(screen) == $1 ]] && return 0
        sleep 0.1
    done
    echo "tab.sh: the screen never matched '$1':" >&2
    screen >&2
    exit 1
}
tmux new-session -d -s tab -x 100 -y 12 \
    env -i TERM=screen INPUTRC=/dev/null LC_ALL=C PATH="$PATH" bash --norc --noprofile || exit 1
trap 'tmux kill-server' EXIT
tmux send-keys -t tab "PS1='$ '; bind 'set bell-style none'; . '$completion'; clear" Enter
wait_for '$'
tmux send-keys -t tab -l "$(printf "$1")#"
wait_for '*#'
screen
