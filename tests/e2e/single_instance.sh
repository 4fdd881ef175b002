#!/usr/bin/env bash
# A window of another program titled exactly "Tolvane" keeps the program from starting, as a
# running Tolvane would; one titled like the settings folder, "tolvane", does not.
set -euo pipefail
binary=$1
source "$(dirname "$0")/lib.sh"
setup_run

# foreign_window TITLE: a plain top-level window of another program with that title.
foreign_window() {
    xmessage -title "$1" -geometry +600+400 "a window of another program" &
    foreign=$!
    wait_for 10 has_window_titled "$1" || fail "the foreign window \"$1\" did not appear"
    foreign_id=$(window_titled "$1")
}

foreign_window Tolvane
started=$(date +%s%N)
"$binary" && code=0 || code=$?
elapsed_ms=$((($(date +%s%N) - started) / 1000000))
[[ $code -eq 0 ]] || fail "the start beside a \"Tolvane\" window exited with $code"
((elapsed_ms < 2000)) || fail "the start beside a \"Tolvane\" window took ${elapsed_ms} ms"
[[ "$(window_titled Tolvane)" == "$foreign_id" ]] || fail "the program showed a window"
kill "$foreign"
wait "$foreign" 2>/dev/null || true
wait_for 5 no_window_titled Tolvane || fail "the foreign window did not close"

# The comparison is case-sensitive: a file manager showing the settings folder is somebody else's
# business.
foreign_window "$(basename "$(dirname "$registry")")"
start_program "$binary"
kill -0 "$program" 2>/dev/null || fail "the program ended beside a \"tolvane\" window"
keys "$window" alt Return Up Return
wait_for 10 program_ended || fail "Action > Exit did not end the program"
echo "e2e single instance: passed"
