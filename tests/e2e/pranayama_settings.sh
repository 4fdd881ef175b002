#!/usr/bin/env bash
# Opens "Settings" > "Pranayama Type" with the keyboard. The wheel turned over a box that does not
# have the focus changes nothing, not even the count of easy practices. Then new rounds and a new
# Puraka are typed and the first Enter confirms: the ratio 1:(4):2:(2) derives the other
# durations and the total time that are stored, and the Tab into the type reset the count.
set -euo pipefail
binary=$1
source "$(dirname "$0")/lib.sh"
setup_run
start_program "$binary"
expect_value intPrInhale dword:00000005
sed -i 's/^"intDays"=.*/"intDays"=dword:00000003/' "$registry"

# "Settings" is the second menu, "Pranayama Type" its first item.
keys "$window" alt Right Return Return
settings=$(dialog "Pranayama Settings")
expect_centred_on_top "$settings"
# The Rechaka box lies at 299, 64 (57 x 21) in the dialog: two notches down over its middle, while
# the focus stays on OK.
xdotool mousemove --window "$settings" 327 74 click --repeat 2 --delay 100 5
keys "$settings" Return
dialog_closed "Pranayama Settings"
expect_value intPrExhale dword:0000000a
expect_value intDays dword:00000003

keys "$window" alt Right Return Return
settings=$(dialog "Pranayama Settings")
# The focus starts on OK; Tab passes Cancel and the type to the rounds, then the ratio to the
# Puraka.
keys "$settings" Tab Tab Tab
type_text "$settings" 4
keys "$settings" Tab Tab
type_text "$settings" 6
keys "$settings" Return
dialog_closed "Pranayama Settings"

expect_value intPrTotalTime dword:00000004
expect_value intPrInhale dword:00000006
expect_value intCheckOne dword:00000018
expect_value intPrExhale dword:0000000c
expect_value intCheckTwo dword:00000000
expect_value tTotalTime hex:86,ca,0e,53,97,db,5f,3f # 4 rounds of 6 + 24 + 12 s: 0:02:48
expect_value intDays dword:00000000
kill -0 "$program" 2>/dev/null || fail "the program ended"
echo "e2e Pranayama settings: passed"
