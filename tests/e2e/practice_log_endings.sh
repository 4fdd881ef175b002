#!/usr/bin/env bash
# However a session ends the program, short of SIGKILL, the practice is in the log: SIGTERM and
# SIGHUP during a practice and while "How are you?" waits close it as Exit does (the position
# stored, the waiting rating left empty), and a lost display leaves its line too. The log opens in
# Gnumeric under en_US, de_DE and ru_RU with every column as written. A full disk keeps the
# practice until there is room again: then both practices are in the log.
set -euo pipefail
binary=$1
source "$(dirname "$0")/lib.sh"
needs ssconvert:gnumeric unshare:util-linux
setup_run

# last_line_is PATTERN: the last practice in the log, after its date, time and offset.
last_line_is() {
    local line
    line=$(tail -n 1 "$practice_log" | tr -d '\r')
    [[ "$line" == "$(date +%F)",* ]] || fail "the last practice in the log is \"$line\""
    # shellcheck disable=SC2053
    [[ "$(cut -d, -f4- <<<"$line")" == $1 ]] || fail "the last practice reads \"$line\", not \"$1\""
}
start_kevali() {
    click_button 60 144
    wait_for_leds 5 "0:0[1-3] 0:11:* 0:00:0[1-3] 1"
}

# 2 rounds of Puraka 1 s and Rechaka 2 s, rated after their end with a period of one practice.
start_program "$binary"
set_short_pranayama Tab Tab Tab Down Tab ctrl+a 1 Delete
keys "$window" alt Return Up Return
wait_for 10 program_ended || fail "Exit did not end the program"

for signal in TERM HUP; do
    start_program "$binary"
    xdotool windowmove --sync "$window" 140 90
    keys "$window" alt Return Return
    dialog "How are you?" >/dev/null
    kill -"$signal" "$program"
    wait_for 10 program_ended || fail "SIG$signal while \"How are you?\" waited did not end it"
    last_line_is "Pranayama,none,free,1,0,2,0,2,,,0,6000,60[0-9][0-9],2,end,,"
    expect_value intLeft dword:0000008c
    expect_value intTop dword:0000005a
    expect_value intPrInhale dword:00000001 # no rating was applied

    start_program "$binary"
    start_kevali
    kill -"$signal" "$program"
    wait_for 10 program_ended || fail "SIG$signal during a practice did not end it"
    last_line_is "Kevali,,,,,,,50,10,5,0,700000,[1-3][0-9][0-9][0-9],1,close,,"
done
(($(wc -l <"$practice_log") == 5)) || fail "the log holds: $(cat "$practice_log")"

start_program "$binary"
start_kevali
stop_display
wait_for 10 program_ended || fail "the program outlived its display"
last_line_is "Kevali,,,,,,,50,10,5,0,700000,[1-3][0-9][0-9][0-9],1,close,,"
start_display

# The date lands as the days since 1899-12-30, the time as a fraction of a day, the rest as written.
for locale in en_US de_DE ru_RU; do
    LC_ALL=$locale.UTF-8 ssconvert --export-type=Gnumeric_stf:stf_assistant \
        -O 'format=raw separator=, quoting-mode=never locale=C' \
        "$practice_log" "$work/$locale.csv" >/dev/null 2>&1 || fail "ssconvert failed under $locale"
    tr -d '\r' <"$practice_log" | tail -n +2 | paste -d'\n' - <(tail -n +2 "$work/$locale.csv") |
        tr -d '\r' | TZ=UTC awk -F, -v locale="$locale" 'NR % 2 { split($0, w, ","); next }
            {
                split(w[1] "-" w[2], t, "[-:]")
                bad = $1 != int(mktime(t[1] " " t[2] " " t[3] " 12 0 0") / 86400 + 25569) ||
                    ($2 - (t[4] * 3600 + t[5] * 60 + t[6]) / 86400) ^ 2 > 1e-12
                for (i = 3; i <= NF; i++) bad = bad || $i != w[i]
                if (bad) { print locale " reads " $0; exit 1 }
            }' || fail "Gnumeric under $locale reads the log otherwise"
done

# A full disk: a small tmpfs, filled up, over the log's folder in a mount namespace of its own.
export XDG_DATA_HOME=$work/full
practice_log=$XDG_DATA_HOME/tolvane/practice-log.csv
mkdir -p "$XDG_DATA_HOME/tolvane"
# shellcheck disable=SC2016
start_program unshare --mount sh -c 'mount -t tmpfs -o size=64k tmpfs "$0" &&
    { head -c 1M /dev/zero >"$0/filler" 2>/dev/null || true; } && exec "$1"' \
    "$XDG_DATA_HOME/tolvane" "$binary"
inside=/proc/$program/root$XDG_DATA_HOME/tolvane
message_box() { xdotool search --onlyvisible --name '^Tolvane$' | grep -vx "$window"; }
no_message_box() { ! message_box >/dev/null; }
start_kevali
click_button 102 144 # Stop
wait_for 10 message_box >/dev/null || fail "a practice that could not be written was not told"
keys "$(message_box)" Return
wait_for 10 no_message_box || fail "the message box stayed open"
[[ ! -s "$inside/practice-log.csv" ]] || fail "the full disk took a line: $(cat "$inside/practice-log.csv")"
rm "$inside/filler"
start_kevali
click_button 102 144 # Stop
wait_for 10 grep -qc stop "$inside/practice-log.csv" || fail "nothing was written with room again"
sleep 1
no_message_box || fail "writing with room again was told as a failure"
(($(grep -c ',Kevali,.*,stop,,' "$inside/practice-log.csv") == 2)) ||
    fail "with room again the log holds: $(cat "$inside/practice-log.csv")"
echo "e2e practice log endings: passed"
