#!/usr/bin/env bash
# Takes Tolvane through a practice with the Orca screen reader, by keys as a blind person would,
# on a private X display, session and accessibility bus under openbox, and prints what Orca spoke
# (the speech lines of its debug log): the practice of start_accessibility_bus (tests/e2e/lib.sh),
# started with Action > Start Pranayama; in the first Rechaka Insert+KP_Enter twice (the status
# bar), KP_Enter (where am I) and KP_Up (flat review's current line); then the rating. It fails
# unless Orca spoke the phases in the order they began, the status bar, where-am-I and flat review,
# and no second of its own accord. Orca speaks into speech-dispatcher's dummy voice and a null sound
# card; a screen reader that has fallen behind skips to the phase under way, so on a busy machine
# some phases may go unspoken.
#
#   bash scripts/orca-practice.sh [PROGRAM]     (build/app/tolvane when none is given)
set -euo pipefail
cd "$(dirname "$0")/.."
binary=$(realpath "${1:-build/app/tolvane}")
source tests/e2e/lib.sh
needs dbus-run-session:dbus-daemon orca:orca speech-dispatcher:speech-dispatcher
[[ -n ${TOLVANE_PRIVATE_BUS:-} ]] ||
    TOLVANE_PRIVATE_BUS=1 exec dbus-run-session -- bash "$0" "$binary"
TOLVANE_E2E_WM=openbox setup_run
start_accessibility_bus
mkdir -p "$XDG_CONFIG_HOME/speech-dispatcher" "$XDG_DATA_HOME/orca"
printf '%s\n' 'AudioOutputMethod "alsa"' 'AddModule "dummy" "sd_dummy" "dummy.conf"' \
    'DefaultModule dummy' >"$XDG_CONFIG_HOME/speech-dispatcher/speechd.conf"
echo 'pcm.!default { type null }' >"$HOME/.asoundrc"
# Orca's debug log, written line by line so that it can be read while Orca runs.
printf '%s\n' 'import re, orca.debug' 'orca.debug.debugFile.reconfigure(line_buffering=True)' \
    'orca.debug.eventDebugFilter = re.compile("window:")' \
    >"$XDG_DATA_HOME/orca/orca-customizations.py"
orca --disable braille --disable braille-monitor --debug-file="$work/orca.log" >/dev/null 2>&1 &
helpers=$!
spoken() { grep -aos "SPEECH OUTPUT: '[^']*'" "$work/orca.log" | cut -d"'" -f2 | sed 's/\.$//'; }
said() { spoken | grep -qx "$1"; }
wait_for 30 said "Screen reader on" || fail "Orca did not start"
helpers+=" $(cat "$XDG_RUNTIME_DIR/speech-dispatcher/pid/speech-dispatcher.pid")"
start_program "$binary"

# Alt is held as a hand holds it: a press and release in the same instant can be lost while
# Orca's key grab is in the way.
xdotool windowfocus --sync "$window" sleep 0.3 keydown alt sleep 0.2 keyup alt sleep 0.3 \
    key Return sleep 0.3 key Return
wait_for 10 said Rechaka || fail "Orca did not speak the Rechaka: $(spoken | paste -sd'|')"
keys "$window" Insert+KP_Enter Insert+KP_Enter
sleep 1
keys "$window" KP_Enter KP_Up
wait_for 15 said "How are you? dialog" || fail "no rating: $(spoken | paste -sd'|')"
spoken
said=$(spoken | paste -sd'|')
clock='[0-9]:[0-9][0-9]'
heard="statusbar\|Pranayama\|(Puraka|Rechaka)\|.*Phase time read only text\|$clock\|$clock\|"
[[ $said =~ $heard.*The\ end\|How\ are\ you\?\ dialog ]] || fail "Orca spoke: $said"
phases=$(spoken | sed '/^Pranayama$/,+1d' | grep -x -e Puraka -e Rechaka -e 'The end' |
    paste -sd' ')
[[ $phases =~ ^(Puraka\ )?(Rechaka\ )?(Puraka\ )?(Rechaka\ )?The\ end$ ]] ||
    fail "Orca spoke the phases out of order: $phases"
# A time is spoken only after the display's name (the focus, where am I) or another time.
spoken | awk -v clock="^$clock\$" '$0 ~ clock && last != "Phase time read only text" &&
    last !~ clock { exit 1 } { last = $0 }' || fail "Orca spoke a second of its own accord"
echo "Orca spoke the phases $phases in their order, the status bar, where-am-I and flat review,"
echo "and no second of its own accord."
