#!/usr/bin/env bash
# A whole Pranayama practice set up and started with the keyboard: 2 rounds of Puraka 1 s and
# Rechaka 2 s. The phase digits count, the round display reads 1 then 2, the remaining time counts
# down, the cues sound in order and the practice ends with "000" and the closing cue.
set -euo pipefail
binary=$1
source "$(dirname "$0")/lib.sh"
setup_run
start_program "$binary"
set_short_pranayama
expect_value tTotalTime hex:df,bc,9a,78,56,34,12,3f # 0:00:06

# "Action" > "Start Pranayama". The displays are watched once the menu no longer covers them.
keys "$window" alt Return Return
watch_leds 12 "$work/leds"
sleep 2.5
screenshot "$window" main-window-practice
wait_for_leds 12 "0:00 0:00:00 0:00:06 000"
stop_watching

rounds=$(steady "$work/leds" 5)
[[ "$rounds" == "1,2,000" ]] || fail "the round display read: $rounds"
remaining=$(steady "$work/leds" 3)
[[ "$remaining" == "0:00:06,0:00:05,0:00:04,0:00:03,0:00:02,0:00:01,0:00:00" ]] ||
    fail "the remaining time read: $remaining"
# Round 1: the first Puraka counts 0:00, 0:01; the Rechaka restarts at 0:01 and counts to 0:02.
# Round 2: Puraka and Rechaka each at 0:01 until the time is up in the Rechaka, which may reach
# 0:02 for the last few ticks on a slow machine.
phases=$(steady "$work/leds" 2 5)
[[ "$phases" == "0:00 1,0:01 1,0:02 1,0:01 2,0:00 000" ||
    "$phases" == "0:00 1,0:01 1,0:02 1,0:01 2,0:02 2,0:00 000" ]] ||
    fail "the phase and round displays read: $phases"

wait_for 5 exit_heard || true
heard=$(cues_heard)
[[ "$heard" == "Inhale Exhale Inhale Exhale Exit" ]] || fail "the cues heard were: $heard"

# Idle again: "Action" > "Start Pranayama" is enabled once more.
keys "$window" alt Return Return
wait_for_leds 5 "0:0? 0:00:0? 0:00:0? 1"
echo "e2e Pranayama practice: passed"
