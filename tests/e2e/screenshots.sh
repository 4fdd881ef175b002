#!/usr/bin/env bash
# The screenshots in docs/ show what the program draws now: each is the one the end-to-end tests
# took in this run (in the folder given): the whole picture, or where the picture depends on the
# moment (the practice's displays, the dates in the practice log) a part that does not.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
for doc in "$(dirname "$0")"/../../docs/*.png; do
    name=$(basename "$doc")
    [[ -f "$1/$name" ]] || fail "no test took $name"
    case $name in
    main-window-practice.png) # the buttons lie 144 pixels down the client area, under the menu bar
        area=271x25+0+$(($(identify -format %h "$doc") - 195 + 144)) ;;
    practice-log.png) # the practices carry the moment they ran, and the table's column widths
        # and the charts' axes follow its date (a two-digit day widens "Started"); the weekly
        # chart's axis title and legend do not
        area=796x50+12+380 ;;
    practice-log-*.png) # all but the summary, whose text cursor blinks
        read -r width height <<<"$(identify -format '%w %h' "$doc")"
        area="${width}x$((height - 60 * width / 820))+0+$((60 * width / 820))" ;;
    *) area= ;;
    esac
    differ=$(compare -metric AE ${area:+-extract "$area"} "$doc" "$1/$name" null: 2>&1) || true
    [[ $differ == 0 ]] || fail "docs/$name differs from the program: bash scripts/screenshots.sh"
done
echo "screenshots: passed"
