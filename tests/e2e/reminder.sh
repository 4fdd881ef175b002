#!/usr/bin/env bash
# The reminder as the timer starts it ("tolvane --remind"), shown by a real notification server
# (dunst) on a private session bus and answered through dunst's own commands: Later comes back,
# Start starts the practice in the running Tolvane and opens a closed one, and a day with a
# practice in the log gets no reminder.
set -euo pipefail
binary=$1
source "$(dirname "$0")/lib.sh"
needs dbus-daemon:dbus-daemon dbus-monitor:dbus-bin dunst:dunst dunstctl:dunst
setup_run
eval "$(dbus-daemon --session --fork --print-address=1 --print-pid=1 |
    sed -n '1s/^/export DBUS_SESSION_BUS_ADDRESS=/p; 2s/^/bus=/p')"
trap 'code=$?; end_programs; kill $bus; stop_display; rm -rf "$work"; exit $code' EXIT
# dunst's context menu hands its entries to "dmenu"; this one chooses Later, as a person would.
printf '#!/bin/sh\ngrep -m1 Later\n' >"$work/choose-later" && chmod +x "$work/choose-later"
printf '[global]\n    dmenu = %s\n' "$work/choose-later" >"$work/dunstrc"
dunst -config "$work/dunstrc" >/dev/null 2>&1 &
foreign=$!
dbus-monitor "interface='org.freedesktop.Notifications'" >"$work/notify.log" 2>&1 &
watcher=$!
wait_for 10 dunstctl count displayed >/dev/null 2>&1 || fail "dunst did not start"

shown() { [[ "$(dunstctl count displayed)" == "$1" ]]; }
notified() { grep -c '^method call.*member=Notify' "$work/notify.log" || true; }

# A running Tolvane: the reminder comes, Later puts it off, and it comes again.
mkdir -p "$(dirname "$registry")"
printf 'REGEDIT4\n\n[HKEY_CURRENT_USER\\SOFTWARE\\Tolvane]\n"blReminder"=dword:00000001
"strReminderTimes"="7:00"\n"intReminderDays"=dword:0000007f\n"blReminderKevali"=dword:00000000
"intKevTotalTime"=dword:00000001\n' >"$registry"
start_program "$binary"
TOLVANE_REMINDER_LATER_SECONDS=3 "$binary" --remind &
reminder=$!
wait_for 10 shown 1 || fail "no notification was shown"
grep -q '"Time for your Pranayama practice"' "$work/notify.log" || fail "the summary was not sent"
grep -A3 '"default"' "$work/notify.log" | grep -q '"Start"' || fail "no action Start was sent"
grep -A3 '"later"' "$work/notify.log" | grep -q '"Later"' || fail "no action Later was sent"
grep -q '20 rounds of 35 seconds' "$work/notify.log" || fail "the round was not told"
dunstctl context
started=$SECONDS
wait_for 15 eval '[[ $(notified) == 2 ]]' || fail "the reminder did not come back after Later"
((SECONDS - started >= 2)) || fail "the reminder came back at once"
grep -q 'member=NotificationClosed' "$work/notify.log" || fail "Later left the notification"
wait_for 5 shown 1 || fail "the reminder that came back is not shown"

# Start: the running Tolvane starts the practice; no second window opens.
dunstctl action 0
wait_for 10 eval '! kill -0 "$reminder" 2>/dev/null' || fail "the reminder did not end after Start"
wait "$reminder" || fail "the reminder ended with $?"
wait_for_leds 10 "0:0? 0:11:* 0:00:0? 1"
[[ $(xdotool search --onlyvisible --name '^Tolvane$' | wc -l) == 1 ]] || fail "a second window opened"

# Closed during the practice, Tolvane logs it: today gets no more reminders.
keys "$window" alt Return Up Return
wait_for 10 program_ended || fail "Action > Exit did not end the program"
"$binary" --remind 2>"$work/skip.log" || fail "the skipped reminder ended with $?"
grep -q 'practice of today' "$work/skip.log" || fail "the reminder did not say why it skipped"
sleep 0.5
[[ $(notified) == 2 ]] || fail "a reminder was shown on a day with a practice"

# A closed Tolvane on a day without a practice: Start opens it on the practice chosen, Kevali.
export XDG_DATA_HOME="$work/next-day"
sed -i 's/^"blReminderKevali"=dword:00000000/"blReminderKevali"=dword:00000001/' "$registry"
"$binary" --remind &
program=$!
wait_for 10 shown 1 || fail "no notification was shown for Kevali"
grep -q '"Time for your Kevali practice"' "$work/notify.log" || fail "the Kevali summary was not sent"
dunstctl action 0
wait_for 20 has_main_window || fail "Start did not open Tolvane"
window=$(main_window)
wait_for_leds 10 "0:0? 0:01:* 0:00:0? 1"
echo "e2e reminder: passed"
