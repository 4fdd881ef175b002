#!/usr/bin/env bash
# In a Wayland session (weston's headless back end) the program comes up through Xwayland, where
# a second start finds it by its windows; with no X display to reach it runs on Wayland, where
# the lock keeps a second start out. The settings stay as the first start left them: on Wayland no
# window is told its place, and the one stored from Xwayland is kept.
set -euo pipefail
binary=$1
source "$(dirname "$0")/lib.sh"
setup_run wayland

start_program "$binary"
second_start_ends "$binary"
kill "$program"
wait "$program" || true
# A place no window manager would pick, so that a Wayland close storing a place shows.
sed -i 's/^"intLeft"=.*/"intLeft"=dword:00000041/; s/^"intTop"=.*/"intTop"=dword:00000017/' "$registry"
stored=$(cat "$registry")
grep -q '"intTop"=dword:00000017' "$registry" || fail "no window place was stored: $stored"

# Xwayland gone: DISPLAY names a display nobody answers on.
export DISPLAY=:$((RANDOM % 1000 + 5000))
"$binary" &
program=$!
# Read from the kernel's table: trying the lock would hold it for a moment, and a start that
# came upon that moment would take it for another instance's and end.
held() {
    local inode
    inode=$(stat -c %i "$XDG_RUNTIME_DIR/Tolvane.lock" 2>/dev/null) &&
        awk -v inode="$inode" '$2 == "FLOCK" { n = split($6, f, ":"); if (f[n] == inode) found = 1 }
            END { exit !found }' /proc/locks
}
wait_for 10 held || fail "the program on Wayland took no lock"
second_start_ends "$binary"
end_programs
[[ "$(cat "$registry")" == "$stored" ]] || fail "the settings changed: $(cat "$registry")"
echo "e2e Wayland session: passed"
