#!/usr/bin/env bash
# The screenshots in docs/ show what the program draws now: each is the one the end-to-end tests
# took in this run (in the folder given), the whole picture, or for the practice, whose displays
# depend on the moment, its row of buttons.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
for doc in "$(dirname "$0")"/../../docs/*.png; do
    name=$(basename "$doc")
    [[ -f "$1/$name" ]] || fail "no test took $name"
    area= # the buttons lie 144 pixels down the 195-pixel client area, under the menu bar
    [[ $name != main-window-practice.png ]] ||
        area=271x25+0+$(($(identify -format %h "$doc") - 195 + 144))
    differ=$(compare -metric AE ${area:+-extract "$area"} "$doc" "$1/$name" null: 2>&1) || true
    [[ $differ == 0 ]] || fail "docs/$name differs from the program: bash scripts/screenshots.sh"
done
echo "screenshots: passed"
