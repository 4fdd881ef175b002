#!/usr/bin/env bash
# In a Wayland session (weston's headless back end) the program comes up through Xwayland, where
# a second start finds it by its windows; with no X display to reach it runs on Wayland, where
# the lock keeps a second start out. Nothing but the first start's defaults is stored.
set -euo pipefail
binary=$1
source "$(dirname "$0")/lib.sh"
setup_run wayland

start_program "$binary"
second_start_ends "$binary"
defaults=$(cat "$registry")
kill "$program"
wait "$program" || true

# Xwayland gone: DISPLAY names a display nobody answers on.
export DISPLAY=:$((RANDOM % 1000 + 5000))
"$binary" &
program=$!
held() { ! flock -n "$XDG_RUNTIME_DIR/Tolvane.lock" true; }
wait_for 10 held || fail "the program on Wayland took no lock"
second_start_ends "$binary"
end_programs
[[ "$(cat "$registry")" == "$defaults" ]] || fail "the settings changed: $(cat "$registry")"
echo "e2e Wayland session: passed"
