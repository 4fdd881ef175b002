#!/usr/bin/env bash
# First start: the splash for about three seconds, then the main window at (0, 0) with its idle
# displays. A second start while the program runs; moving the window, closing it, and starting
# again at the place where it was closed.
set -euo pipefail
binary=$1
source "$(dirname "$0")/lib.sh"
setup_run

"$binary" &
program=$!
wait_for 10 has_window_titled Beginning || fail "no splash window appeared"
splash_seen=$(date +%s%N)
splash=$(window_titled Beginning)
# Centred on the 1024 x 768 screen, with no frame.
[[ "$(outer_geometry "$splash")" == "331 254 361 259" ]] ||
    fail "the splash is at $(outer_geometry "$splash") instead of 331 254 361 259"
screenshot "$splash" splash
has_main_window && fail "the main window came with the splash"

wait_for 10 has_main_window || fail "the main window did not appear"
splash_ms=$((($(date +%s%N) - splash_seen) / 1000000))
((splash_ms >= 2700 && splash_ms <= 4500)) || fail "the splash showed for $splash_ms ms"
no_window_titled Beginning || fail "the splash stayed open beside the main window"
window=$(main_window)
[[ "$(outer_geometry "$window")" == "0 0 "* ]] ||
    fail "first start placed the window at $(outer_geometry "$window") instead of 0,0"
eval "$(xdotool getwindowgeometry --shell "$window")"
# 271 x 195 of client area under the menu bar.
((WIDTH == 271 && HEIGHT > 195)) || fail "the main window is $WIDTH x $HEIGHT"
wait_for_leds 5 "0:00 0:00:00 0:00:00 000"
screenshot "$window" main-window

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
xdotool windowmove "$window" 140 90
moved() { [[ "$(outer_geometry "$window")" == "140 90 "* ]]; }
wait_for 5 moved || fail "the window did not move: $(outer_geometry "$window")"
click_button 227 144
wait_for 10 program_ended || fail "Exit did not end the program"
wait "$program" && code=0 || code=$?
[[ $code -eq 0 ]] || fail "the program exited with $code"
expect_value intLeft dword:0000008c
expect_value intTop dword:0000005a

# The next start opens where the window was closed, after the splash again.
started=$SECONDS
start_program "$binary"
((SECONDS - started >= 3)) || fail "the restart showed no three-second splash"
moved || fail "the restart placed the window at $(outer_geometry "$window") instead of 140,90"

# "Action" > "Exit", the menu's last item, closes it again.
keys "$window" alt Return Up Return
wait_for 10 program_ended || fail "Action > Exit did not end the program"
echo "e2e startup and shutdown: passed"
