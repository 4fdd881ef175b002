#!/usr/bin/env bash
# Opens "Settings" > "Pranayama Type" with the keyboard, types a new Puraka and confirms with
# Enter; the ratio 1:(4):2:(2) derives the other durations and the total time that are stored.
set -euo pipefail
binary=$1
here=$(dirname "$0")
source "$here/lib.sh"

setup_run

"$binary" &
program=$!
wait_for 15 has_main_window || fail "the main window did not appear"
window=$(main_window)
grep -qi '^"intPrInhale"=dword:00000005' "$registry" || fail "the first start stored no default Puraka"

settings_dialog() { xdotool search --onlyvisible --name '^Pranayama Settings$' 2>/dev/null | head -n 1; }
has_settings_dialog() { [[ -n "$(settings_dialog)" ]]; }

# Alt alone reaches the menu bar; "Settings" is the second menu, "Pranayama Type" its first item.
xdotool windowfocus --sync "$window"
xdotool key --delay 100 alt Right Return Return
wait_for 10 has_settings_dialog || fail "Settings > Pranayama Type opened no dialog"
dialog=$(settings_dialog)
xdotool windowfocus --sync "$dialog"

# The focus starts on OK; Tab passes Cancel, the type, the rounds and the ratio to the Puraka.
xdotool key --delay 50 Tab Tab Tab Tab Tab ctrl+a
xdotool type --delay 50 6
xdotool key Return
wait_for 10 bash -c '! xdotool search --onlyvisible --name "^Pranayama Settings$" >/dev/null 2>&1' ||
    fail "Enter did not close the dialog"

expect() { grep -qi "^\"$1\"=$2\$" "$registry" || fail "$1 stored as: $(grep -i "\"$1\"" "$registry")"; }
expect intPrInhale dword:00000006
expect intCheckOne dword:00000018
expect intPrExhale dword:0000000c
expect intCheckTwo dword:00000000
expect intPrTotalTime dword:00000014
# 20 rounds of 6 + 24 + 12 seconds: 0:14:00.
expect tTotalTime hex:94,3e,e9,93,3e,e9,83,3f
kill -0 "$program" 2>/dev/null || fail "the program ended"
echo "e2e Pranayama settings: passed"
