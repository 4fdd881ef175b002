#!/usr/bin/env bash
# Packs the build in build/ (or the folder given as $1) as a Debian package, installs it with
# apt-get, which pulls its runtime dependencies, validates the installed desktop entry and
# metainfo, and drives the installed program under Xvfb from a folder without cues: a first start
# and a whole practice with its sound. Run as root after scripts/test.sh has built the tree.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=$(realpath "${1:-build}")
app_id=io.github.tolvane.Tolvane

rm -f "$dir"/tolvane_*.deb
(cd "$dir" && cpack -G DEB >/dev/null)
deb=$(echo "$dir"/tolvane_*.deb)
echo "built $(basename "$deb")"

export DEBIAN_FRONTEND=noninteractive
# A machine whose package lists are empty or stale fetches them first.
apt-get install -y -qq "$deb" >/dev/null ||
    { apt-get update -qq && apt-get install -y -qq "$deb" >/dev/null; }
echo "installed: $(dpkg-query -W -f='${Package} ${Version}' tolvane)"

desktop-file-validate /usr/share/applications/$app_id.desktop
appstreamcli validate --no-net /usr/share/metainfo/$app_id.metainfo.xml
[[ -f /usr/share/icons/hicolor/scalable/apps/$app_id.svg ]] || { echo "no icon installed" >&2; exit 1; }
for cue in Delay Inhale Check Exhale Exit; do
    [[ -f /usr/share/tolvane/$cue.wav ]] || { echo "$cue.wav not installed" >&2; exit 1; }
done
[[ -f /usr/share/tolvane/TOLVANE.HLP ]] || { echo "TOLVANE.HLP not installed" >&2; exit 1; }

export TOLVANE_READ_LEDS="$dir/tests/e2e/tolvane_read_leds"
export TOLVANE_FIND_CUES="$dir/tests/e2e/tolvane_find_cues"
export TOLVANE_CUES=/usr/share/tolvane
bash tests/e2e/startup.sh /usr/bin/tolvane
bash tests/e2e/pranayama_practice.sh /usr/bin/tolvane
echo "package check: passed"
