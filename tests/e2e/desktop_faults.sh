#!/usr/bin/env bash
# A window manager that never maps the window: the program still starts, keeps a second start out
# and, once its window is shown after all, closes as usual. A display that goes away ends it.
# Neither writes to the settings file anything but what a close asks for.
set -euo pipefail
binary=$1
source "$(dirname "$0")/lib.sh"
setup_run

"$TOLVANE_IDLE_WINDOW_MANAGER" >"$work/requests" &
foreign=$!
wait_for 5 grep -q ready "$work/requests" || fail "the idle window manager did not start"
"$binary" &
program=$!
asked() {
    for window in $(tail -n +2 "$work/requests"); do
        [[ "$(xdotool getwindowname "$window" 2>/dev/null)" == Tolvane ]] && return 0
    done
    return 1
}
wait_for 20 asked || fail "the main window was never asked to be mapped" # after the splash
second_start_ends "$binary"
defaults=$(cat "$registry")

kill "$foreign" # once the server has noticed, a window can be mapped without it
shown() { xdotool windowmap "$window" && xwininfo -id "$window" | grep -q IsViewable; }
wait_for 5 shown || fail "the main window could not be shown after all"
keys "$window" alt Return Up Return
wait_for 10 program_ended || fail "Action > Exit did not end the program"
[[ "$(cat "$registry")" == "$defaults" ]] || fail "closing stored more than the position"

start_program "$binary"
stop_display
wait_for 10 program_ended || fail "the program outlived its display"
[[ "$(cat "$registry")" == "$defaults" ]] || fail "losing the display changed the settings"
echo "e2e desktop faults: passed"
