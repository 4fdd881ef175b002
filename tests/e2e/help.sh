#!/usr/bin/env bash
# "Help" > "Help" opens the help file in a window of its own while the main window stays usable.
set -euo pipefail
binary=$1
source "$(dirname "$0")/lib.sh"
setup_run
cp "$(dirname "$binary")/TOLVANE.HLP" .

"$binary" &
program=$!
wait_for 15 has_main_window || fail "the main window did not appear"
window=$(main_window)

help_window() { xdotool search --onlyvisible --name '^TOLVANE.HLP$' 2>/dev/null | head -n 1; }
has_help_window() { [[ -n "$(help_window)" ]]; }

# Alt alone reaches the menu bar; "Help" is the third menu, "Help" its first item.
xdotool windowfocus --sync "$window"
xdotool key --delay 100 alt Right Right Return Return
wait_for 10 has_help_window || fail "Help > Help opened no help window"

# The main window still takes input: "Action" > "Exit", the menu's last item, ends the program.
xdotool windowfocus --sync "$window"
xdotool key --delay 100 alt Return Up Return
wait_for 10 bash -c "! kill -0 $program 2>/dev/null" || fail "the main window did not answer"
echo "e2e help: passed"
