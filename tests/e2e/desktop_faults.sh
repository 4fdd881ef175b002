#!/usr/bin/env bash
# Desktops that let the program down: a window manager that never maps its windows, where the
# program still starts, keeps a second start out and, once its window is shown after all, closes
# as usual; and a display that goes away, which ends it. Neither writes to the settings file
# anything but what a user's close asks for.
set -euo pipefail
binary=$1
source "$(dirname "$0")/lib.sh"
setup_run

"$TOLVANE_IDLE_WINDOW_MANAGER" >"$work/requests" &
foreign=$!
wait_for 5 grep -q ready "$work/requests" || fail "the idle window manager did not start"
"$binary" &
program=$!
# The main window asks to be mapped once the splash's three seconds are over.
asked() {
    local id
    for id in $(tail -n +2 "$work/requests"); do
        [[ "$(xdotool getwindowname "$id" 2>/dev/null)" == Tolvane ]] && window=$id && return 0
    done
    return 1
}
wait_for 20 asked || fail "the main window was never asked to be mapped"
second_started=$(date +%s%N)
"$binary" || fail "the second start beside an unmapped window failed"
(((($(date +%s%N) - second_started) / 1000000) < 2000)) || fail "the second start did not end at once"
kill -0 "$program" 2>/dev/null || fail "the program ended with its window unmapped"
defaults=$(cat "$registry")

# Without the window manager the window can be shown, and works as ever.
kill "$foreign"
wait "$foreign" 2>/dev/null || true
xdotool windowmap --sync "$window"
keys "$window" alt Return Up Return
wait_for 10 program_ended || fail "Action > Exit did not end the program"
[[ "$(cat "$registry")" == "$defaults" ]] || fail "closing stored more than the position"

# The display goes away under a running program: it ends, and stores nothing.
start_program "$binary"
stop_display
wait_for 10 program_ended || fail "the program outlived its display"
[[ "$(cat "$registry")" == "$defaults" ]] || fail "losing the display changed the settings"
echo "e2e desktop faults: passed"
