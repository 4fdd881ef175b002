#!/usr/bin/env bash
# In a Wayland session (weston's headless back end) the program comes up through Xwayland, where
# it places its window and a second start finds the first by its windows and ends by itself.
# Without a reachable X display it runs on Wayland itself, where the lock keeps a second start
# out. Nothing but the first start's defaults reaches the settings file.
set -euo pipefail
binary=$1
source "$(dirname "$0")/lib.sh"
setup_run wayland

# second_start_ends: another start ends at once with exit code 0, leaving the first running.
second_start_ends() {
    local started code
    started=$(date +%s%N)
    "$binary" && code=0 || code=$?
    [[ $code -eq 0 ]] || fail "the second start exited with $code"
    (((($(date +%s%N) - started) / 1000000) < 2000)) || fail "the second start did not end at once"
    kill -0 "$program" 2>/dev/null || fail "the second start ended the first"
}

start_program "$binary"
second_start_ends
[[ $(xdotool search --onlyvisible --name '^Tolvane$' | wc -l) -eq 1 ]] ||
    fail "the second start showed a window"
defaults=$(cat "$registry")
kill "$program"
wait "$program" || true

# Xwayland gone: DISPLAY names a display nobody answers on.
export DISPLAY=:$((RANDOM % 1000 + 5000))
"$binary" &
program=$!
held() { ! flock -n "$XDG_RUNTIME_DIR/Tolvane.lock" true; }
wait_for 10 held || fail "the program on Wayland took no lock"
second_start_ends
end_programs
[[ "$(cat "$registry")" == "$defaults" ]] || fail "the settings changed: $(cat "$registry")"
echo "e2e Wayland session: passed"
