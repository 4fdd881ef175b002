#!/usr/bin/env bash
# Opens "Settings" > "Pranayama Type" with the keyboard, types a new Puraka and confirms with
# Enter; the ratio 1:(4):2:(2) derives the other durations and the total time that are stored.
set -euo pipefail
binary=$1
source "$(dirname "$0")/lib.sh"
setup_run
start_program "$binary"
expect_value intPrInhale dword:00000005

# "Settings" is the second menu, "Pranayama Type" its first item.
keys "$window" alt Right Return Return
settings=$(dialog "Pranayama Settings")
expect_centred_on_top "$settings"
# The focus starts on OK; Tab passes Cancel, the type, the rounds and the ratio to the Puraka.
keys "$settings" Tab Tab Tab Tab Tab
type_text "$settings" 6
keys "$settings" Return
dialog_closed "Pranayama Settings"

expect_value intPrInhale dword:00000006
expect_value intCheckOne dword:00000018
expect_value intPrExhale dword:0000000c
expect_value intCheckTwo dword:00000000
expect_value intPrTotalTime dword:00000014
expect_value tTotalTime hex:94,3e,e9,93,3e,e9,83,3f # 20 rounds of 6 + 24 + 12 s: 0:14:00
kill -0 "$program" 2>/dev/null || fail "the program ended"
echo "e2e Pranayama settings: passed"
