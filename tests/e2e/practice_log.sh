#!/usr/bin/env bash
# Every practice goes to the practice log: a Pranayama practice rated after its end, a Kevali
# practice stopped, and a Pranayama practice during which the program is closed leave three lines
# with the values they ran with. After a new start, "Action" > "Practice Log" opens the log window
# with the keyboard; it shows the three practices, newest first, and the week's summary.
set -euo pipefail
binary=$1
source "$(dirname "$0")/lib.sh"
command -v xclip >/dev/null || fail "xclip is needed to read the copied practices (package xclip)"
setup_run
start_program "$binary"

# 2 rounds of Puraka 1 s and Rechaka 2 s under the increment "1:(4):2:(2)" with a period of one
# practice; rated easy, the Puraka grows to 2 s.
set_short_pranayama Tab Tab Tab Down Tab ctrl+a 1 Delete
keys "$window" alt Return Return
rating=$(dialog "How are you?")
keys "$rating" Tab space Return
dialog_closed "How are you?"
expect_value intPrInhale dword:00000002

click_button 60 144 # Start Kevali, with its defaults
wait_for_leds 5 "0:02 0:11:38 0:00:02 1"
click_button 102 144 # Stop
wait_for_leds 2 "0:00 0:00:00 0:00:00 000"

click_button 19 144 # Start Pranayama: 2 rounds of 2 s and 2 s
wait_for_leds 5 "0:0? 0:00:0? 0:00:02 1"
click_button 227 144 # Exit, during the practice
wait_for 10 program_ended || fail "the program did not end"

# started … round_seconds_after, as spreadsheets read them.
[[ -f "$practice_log" ]] || fail "no practice log was written"
mapfile -t lines < <(tr -d '\r' <"$practice_log")
((${#lines[@]} == 4)) || fail "the log holds ${#lines[@]} lines: ${lines[*]}"
[[ "${lines[0]}" == "date,time,utc_offset_minutes,exercise,type,ratio,puraka,abhyantara,rechaka,bahya,rounds_planned,kevali_minutes,kevali_start_breath,delay,planned_ms,elapsed_ms,rounds_done,ended,rating,round_seconds_after" ]] ||
    fail "the header reads ${lines[0]}"
# expect_line LINE PATTERN: the line after its start (date, time, UTC offset in minutes), against
# a glob pattern.
expect_line() {
    local started
    started=$(cut -d, -f1-3 <<<"$1")
    [[ "$started" =~ ^$(date +%F),[0-2][0-9]:[0-5][0-9]:[0-5][0-9],-?[0-9]+$ ]] ||
        fail "a practice started at \"$started\""
    # shellcheck disable=SC2053
    [[ "$(cut -d, -f4- <<<"$1")" == $2 ]] || fail "a practice was recorded as \"$1\", not as \"$2\""
}
expect_line "${lines[1]}" "Pranayama,none,free,1,0,2,0,2,,,0,6000,60[0-9][0-9],2,end,easy,4"
expect_line "${lines[2]}" "Kevali,,,,,,,50,10,5,0,700000,[23][0-9][0-9][0-9],1,stop,,"
expect_line "${lines[3]}" "Pranayama,none,free,2,0,2,0,2,,,0,8000,[2-4][0-9][0-9][0-9],1,close,,"

# A new start; the window opens non-modal, and a second choice raises the same window.
start_program "$binary"
keys "$window" alt Return Up Up Return
log=$(dialog "Practice Log")
sleep 1
screenshot "$log" practice-log
keys "$window" alt Return Up Up Return
sleep 0.5
(($(xdotool search --onlyvisible --name '^Practice Log$' | wc -l) == 1)) ||
    fail "a second choice opened a second log window"

# The summary has the focus first; the table of practices is three Tabs on.
copied() { xclip -o -selection clipboard 2>/dev/null | tr -d '\r'; }
keys "$log" ctrl+a ctrl+c
summary=$(copied)
[[ "$summary" == "This week: 3 practices, under a minute · 1 day in a row · Next lengthening: after 1 more easy practice" ]] ||
    fail "the summary reads \"$summary\""
keys "$log" Tab Tab Tab ctrl+a ctrl+c
mapfile -t rows < <(copied)
((${#rows[@]} == 4)) || fail "the table holds: ${rows[*]}"
# expect_row ROW PATTERN: the columns after the start's date and time, tab-separated, against a
# glob pattern.
expect_row() {
    local cells
    [[ "$(cut -f1 <<<"$1")" == "$(date +%F)" ]] || fail "a row copied the date \"$(cut -f1 <<<"$1")\""
    cells=$(cut -f3- <<<"$1" | tr '\t' '|')
    # shellcheck disable=SC2053
    [[ "$cells" == $2 ]] || fail "a row of the table reads \"$cells\", not \"$2\""
}
[[ "${rows[0]}" == $'Date\tTime\tExercise\tType\tRatio\tPuraka (s)\t'* ]] || fail "the copied titles read ${rows[0]}"
expect_row "${rows[1]}" "Pranayama|no hold|Free|2|0|2|0|2|||no|8|[2-4]|1|program closed||"
expect_row "${rows[2]}" "Kevali|||||||50|10|5|no|700|[23]|1|stopped||"
expect_row "${rows[3]}" "Pranayama|no hold|Free|1|0|2|0|2|||no|6|6|2|ran to its end|easy|4"
keys "$log" Escape
dialog_closed "Practice Log"
kill -0 "$program" 2>/dev/null || fail "the program ended with its log window"
echo "e2e practice log: passed"
