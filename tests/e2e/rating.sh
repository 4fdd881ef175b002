#!/usr/bin/env bash
# With the automatic increment "1:(4):2:(2)" every practice, a practice that runs to its end asks
# "How are you?"; answered "easy" with the keyboard, it lengthens the round by one second in the
# settings file: the Rechaka is already twice the Puraka, so the Puraka grows.
set -euo pipefail
binary=$1
source "$(dirname "$0")/lib.sh"
setup_run
start_program "$binary"
# Past the delay and the time read-outs: the increment "1:(4):2:(2)", a period of one practice.
set_short_pranayama Tab Tab Tab Down Tab ctrl+a 1
expect_value blAuto dword:00000001
expect_value intIncrementDays dword:00000001

keys "$window" alt Return Return
rating=$(dialog "How are you?")
expect_centred_on_top "$rating"
leds_match "0:00 0:00:00 0:00:06 000" || fail "the displays read $(leds) under the rating"
screenshot "$rating" rating
# No answer is chosen yet, so Enter does nothing; the first answer is "easy".
keys "$rating" Return
has_window_titled "How are you?" || fail "Enter closed the rating without an answer"
keys "$rating" Tab space Return
dialog_closed "How are you?"

expect_value intPrInhale dword:00000002
expect_value intPrExhale dword:00000002
expect_value intDays dword:00000000
expect_value tTotalTime hex:29,51,ce,a0,c8,45,18,3f # 0:00:08

# Idle again, and the next practice runs the longer round: 0:00:08 in all.
keys "$window" alt Return Return
wait_for_leds 3 "0:0? 0:00:0? 0:00:0? 1"
wait_for_leds 12 "0:00 0:00:00 0:00:08 000"
echo "e2e rating: passed"
