#!/usr/bin/env bash
# The shortest Kevali practice the settings offer, set up and started with the keyboard: one
# minute from breaths of 4 s is one block of ten rounds, 80 s. The rounds count 1 to 10 at 4 s
# per breath, the cues alternate, and the practice ends with "000" and the closing cue.
set -euo pipefail
binary=$1
source "$(dirname "$0")/lib.sh"
setup_run
start_program "$binary"

# "Settings" > "Kevali Type"; the focus starts on OK, Tab passes Cancel to the time of practice.
keys "$window" alt Right Return Down Return
settings=$(dialog "Kevali Settings")
expect_centred_on_top "$settings"
screenshot "$settings" kevali-settings
keys "$settings" Tab Tab
type_text "$settings" 1
keys "$settings" Tab
type_text "$settings" 4
keys "$settings" Return
dialog_closed "Kevali Settings"
expect_value intKevTotalTime dword:00000001
expect_value intKevStartBreath dword:00000004
expect_value blKevDelay dword:00000000

# "Action" > "Start Kevali". The displays are watched once the menu no longer covers them.
keys "$window" alt Return Down Return
watch_leds 100 "$work/leds"
wait_for_leds 5 "0:0? 0:01:20 0:00:0? 1"
wait_for_leds 90 "0:00 0:00:00 0:01:20 000"
stop_watching

rounds=$(steady "$work/leds" 5)
[[ "$rounds" == "1,2,3,4,5,6,7,8,9,10,000" ]] || fail "the round display read: $rounds"
# The first inhalation counts from 0:00, every later phase from 0:01, each to 0:04.
phases=$(steady "$work/leds" 2 5)
[[ "$phases" == "0:00 1,0:01 1,0:02 1,0:03 1,0:04 1,0:01 1,0:02 1,0:03 1,0:04 1,0:01 2,0:02 2,0:03 2,0:04 2,0:01 2,"* ]] ||
    fail "the phase and round displays read: $phases"
remaining=$(steady "$work/leds" 3 | tr ',' '\n')
[[ $(head -n 1 <<<"$remaining") == "0:01:20" ]] || fail "the remaining time did not start at 0:01:20"
# Counted down second by second: 0:01:20 ... 0:00:00.
[[ $(wc -l <<<"$remaining") -eq 81 ]] || fail "the remaining time took $(wc -l <<<"$remaining") readings"

wait_for 5 exit_heard || true
heard=$(cues_heard)
expected="$(printf 'Inhale Exhale %.0s' {1..10})Exit"
[[ "$heard" == "$expected" ]] || fail "the cues heard were: $heard"
echo "e2e Kevali practice: passed"
