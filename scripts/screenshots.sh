#!/usr/bin/env bash
# Takes the screenshots shown in the README from the built program on a private X display:
# the idle main window and the main window during a practice. Needs imagemagick (import).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
source tests/e2e/lib.sh
setup_run
cp "$root"/build/app/*.wav "$root"/build/app/TOLVANE.HLP .

SDL_AUDIODRIVER=dummy "$root/build/app/tolvane" &
program=$!
wait_for 15 has_main_window || fail "the main window did not appear"
window=$(main_window)
sleep 0.5
import -window "$window" "$root/docs/main-window.png"

# "Action" > "Start Pranayama", then a few seconds into the first round.
xdotool windowfocus --sync "$window"
xdotool key --delay 100 alt Return Return
sleep 3.5
import -window "$window" "$root/docs/main-window-practice.png"
echo "screenshots written to docs/"
