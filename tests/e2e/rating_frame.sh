#!/usr/bin/env bash
# Under openbox or mutter (the second argument) the rating is the main window's dialog, framed by
# a border alone: no title bar, no buttons. Minimized as a pager does it, it comes straight back.
set -euo pipefail
binary=$1
source "$(dirname "$0")/lib.sh"
[[ $2 == mutter ]] || TOLVANE_E2E_WM=$2
setup_run "${2/openbox/}"

start_program "$binary"
set_short_pranayama Tab Tab Tab Down Tab ctrl+a 1
keys "$window" alt Return Return
rating=$(dialog "How are you?")
property() { xprop -id "$rating" "$1" | sed 's/.*[=#] *//; s/ //g'; }
[[ "$(property _MOTIF_WM_HINTS)" == 0x3,0x4,0x2,0x0,0x0 ]] || fail "hints $(property _MOTIF_WM_HINTS)"
[[ "$(property _NET_WM_WINDOW_TYPE)" == _NET_WM_WINDOW_TYPE_DIALOG* ]] || fail "not a dialog"
(($(property WM_TRANSIENT_FOR) == window)) || fail "not transient for the main window"

read -r x y width height <<<"$(outer_geometry "$rating")"
eval "$(xdotool getwindowgeometry --shell "$rating")"
border=$(((width - WIDTH) / 2))
((width - WIDTH == height - HEIGHT && border <= 4)) ||
    fail "the frame is $width x $height around $WIDTH x $HEIGHT: a title bar"
import -window "$(outer_window "$rating")" "$work/frame.png"
(((border == 0) || $(convert "$work/frame.png" -crop "${width}x$border+0+0" -format %k info:) == 1)) ||
    fail "something is drawn above the dialog"

both_viewable() { for w in "$rating" "$window"; do xwininfo -id "$w" | grep -q IsViewable || return; done; }
xdotool windowminimize "$rating" && sleep 1
wait_for 5 both_viewable || fail "minimized, the rating did not come back with the main window"
echo "e2e rating frame $2: passed"
