#!/usr/bin/env bash
# Installs what Tolvane needs, builds it and starts it from the folder that holds its cues and
# help file. Without a display it runs on a virtual one and says so.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh build
cd build/app
if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
    echo "No display found: starting Tolvane on a virtual X display (xvfb-run)."
    exec xvfb-run -a -s "-screen 0 1024x768x24" ./tolvane
fi
exec ./tolvane
