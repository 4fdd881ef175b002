#!/usr/bin/env bash
# Stop ends either practice at once: the displays return to their idle readings and no closing
# cue follows. The practices are started with their buttons and stopped with the button and
# with "Action" > "Stop".
set -euo pipefail
binary=$1
source "$(dirname "$0")/lib.sh"
setup_run
start_program "$binary"

# The stored defaults: one hold, 5-20-10, 20 rounds, 0:11:40.
click_button 19 144 # Start Pranayama
wait_for_leds 5 "0:02 0:11:38 0:00:02 1"
click_button 102 144 # Stop
wait_for_leds 2 "0:00 0:00:00 0:00:00 000"
sleep 1.5
leds_match "0:00 0:00:00 0:00:00 000" || fail "the displays went on after Stop: $(leds)"
heard=$(cues_heard)
[[ "$heard" == "Inhale" ]] || fail "the cues heard were: $heard"

# Kevali with its defaults: 10 minutes from 5 s breaths, 0:11:40.
click_button 60 144 # Start Kevali
wait_for_leds 5 "0:02 0:11:38 0:00:02 1"
# With both starts disabled, Stop is the first item that the "Action" menu offers.
keys "$window" alt Return Return
wait_for_leds 2 "0:00 0:00:00 0:00:00 000"
sleep 1.5
leds_match "0:00 0:00:00 0:00:00 000" || fail "the displays went on after Stop: $(leds)"
heard=$(cues_heard)
[[ "$heard" == "Inhale Inhale" ]] || fail "the cues heard were: $heard"
kill -0 "$program" 2>/dev/null || fail "the program ended"
echo "e2e Stop: passed"
