#!/usr/bin/env bash
# First start, a second start while the program runs, moving the window and closing it.
set -euo pipefail
binary=$1
here=$(dirname "$0")
source "$here/lib.sh"

setup_run

started=$SECONDS
"$binary" &
program=$!

wait_for 15 has_main_window || fail "the main window did not appear"
(( SECONDS - started >= 3 )) || fail "the main window came before the three-second splash"
window=$(main_window)
eval "$(xdotool getwindowgeometry --shell "$window")"
[[ "$X,$Y" == "0,0" ]] || fail "first start placed the window at $X,$Y instead of 0,0"

[[ -f "$registry" ]] || fail "the first start wrote no settings"
values=$(grep -c '^"' "$registry")
[[ $values -eq 20 ]] || fail "the first start wrote $values values instead of 20"
before=$(cat "$registry")

# A second start ends at once with exit code 0 and leaves the first one alone.
second_started=$(date +%s%N)
"$binary" && code=0 || code=$?
elapsed_ms=$((($(date +%s%N) - second_started) / 1000000))
[[ $code -eq 0 ]] || fail "the second start exited with $code"
((elapsed_ms < 2000)) || fail "the second start took ${elapsed_ms} ms"
kill -0 "$program" 2>/dev/null || fail "the second start ended the first"
[[ "$(cat "$registry")" == "$before" ]] || fail "the second start changed the settings"

# Move the window, then close it with its Exit button.
xdotool windowmove --sync "$window" 140 90
wait_for 5 bash -c "xdotool getwindowgeometry --shell $window | grep -q '^X=140$'" ||
    fail "the window did not move"
eval "$(xdotool getwindowgeometry --shell "$window")"
menu_height=$((HEIGHT - 195))
xdotool mousemove --window "$window" $((227 + 12)) $((menu_height + 144 + 12)) click 1
wait_for 10 bash -c "! kill -0 $program 2>/dev/null" || fail "Exit did not end the program"
wait "$program" && code=0 || code=$?
[[ $code -eq 0 ]] || fail "the program exited with $code"

grep -qi '^"intLeft"=dword:0000008c' "$registry" || fail "intLeft not stored: $(grep -i intLeft "$registry")"
grep -qi '^"intTop"=dword:0000005a' "$registry" || fail "intTop not stored: $(grep -i intTop "$registry")"
echo "e2e startup and shutdown: passed"
