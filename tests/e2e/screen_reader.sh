#!/usr/bin/env bash
# What a screen reader finds in Tolvane through the accessibility bus of a private session under
# openbox (tools/screen_reader.py), with the practice that start_accessibility_bus sets up.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
needs dbus-run-session:dbus-daemon
[[ -n ${TOLVANE_PRIVATE_BUS:-} ]] || TOLVANE_PRIVATE_BUS=1 exec dbus-run-session -- bash "$0" "$@"
/usr/bin/python3 -c 'import pyatspi' || fail "no pyatspi: apt-get install python3-pyatspi"
tools=$(cd "$(dirname "$0")" && pwd)/tools
TOLVANE_E2E_WM=openbox setup_run
start_accessibility_bus
start_program "$1"
/usr/bin/python3 "$tools/screen_reader.py"
echo "e2e screen reader: passed"
