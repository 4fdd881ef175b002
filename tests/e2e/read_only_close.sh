#!/usr/bin/env bash
# With the settings folder read-only (a read-only bind mount in a private mount namespace, so
# root is refused too), the first close says so and keeps the window open, the second ends the
# program, and the settings folder stays exactly as it was.
set -euo pipefail
binary=$1
source "$(dirname "$0")/lib.sh"
command -v unshare >/dev/null && command -v mount >/dev/null ||
    fail "unshare or mount is missing (packages util-linux, mount)"
setup_run

start_program "$binary"
keys "$window" alt Return Up Return
wait_for 10 program_ended || fail "Exit did not end the program"
folder=$(dirname "$registry")
before=$(ls -A --full-time "$folder" && cat "$registry")
# shellcheck disable=SC2016
start_program unshare --mount sh -c \
    'mount --bind "$0" "$0" && mount -o remount,bind,ro "$0" && exec "$1"' "$folder" "$binary"
xdotool windowmove --sync "$window" 140 90

# The message box is the window titled "Tolvane" that is not the main window.
message_box() { xdotool search --onlyvisible --name '^Tolvane$' | grep -vx "$window"; }
no_message_box() { ! message_box >/dev/null; }
for close in first second; do
    keys "$window" alt Return Up Return
    wait_for 10 message_box >/dev/null || fail "the $close close did not say why it failed"
    keys "$(message_box)" Return
    wait_for 10 no_message_box || fail "the message box stayed open"
done
wait_for 10 program_ended || fail "the second close did not end the program"
[[ "$(ls -A --full-time "$folder" && cat "$registry")" == "$before" ]] ||
    fail "the settings folder changed"
echo "e2e read-only close: passed"
