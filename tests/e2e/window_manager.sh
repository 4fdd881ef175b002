#!/usr/bin/env bash
# Under twm, openbox or mutter (the second argument) the first start shows the frame at (0, 0); a
# window dragged by its title bar and closed by its close box, Alt+F4 or Exit comes back exactly
# where it was closed, five times over, at 1x and 2x. The help opens beside the main window.
set -euo pipefail
binary=$1
TOLVANE_E2E_WM=$2
source "$(dirname "$0")/lib.sh"
setup_run

# close_by close-box|alt+F4|Exit: closes the main window so and waits for the program to end.
close_by() {
    local x y width height
    read -r x y width height <<<"$(outer_geometry "$window")"
    [[ $TOLVANE_E2E_WM != mutter ]] || set -- Exit # mutter's frame and keys take no XTEST input
    case $1 in
    close-box) xdotool mousemove $((x + width - 12)) $((y + 12)) click 1 ;;
    alt+F4) keys "$window" alt+F4 ;;
    Exit) keys "$window" alt Return Up Return ;;
    esac
    wait_for 10 program_ended || fail "$1 did not close the program"
}

start_program "$binary"
read -r x y width height <<<"$(outer_geometry "$window")"
((x == 0 && y == 0 && width >= 271 && height > 214)) || fail "first frame: $x $y $width $height"
keys "$window" alt Right Right Return Return
beside() { [[ "$(outer_geometry "$(dialog "Tolvane Help")")" == "$width 0 "* ]]; }
wait_for 5 beside || fail "the help opened at $(outer_geometry "$(dialog "Tolvane Help")")"
close_by close-box

start_program "$binary" # dragged by its title bar, step by step at the window manager's pace:
# mutter's frame takes no XTEST drag: there the window is moved as a program asks it to be.
[[ $2 != mutter ]] || xdotool windowmove "$window" 131 91
for step in "mousemove 60 8" "mousedown 1" "mousemove 120 40" "mousemove 191 99" "mouseup 1"; do
    xdotool $step
    sleep 0.2
done
moved() { [[ "$(outer_geometry "$window")" == "131 91 "* ]]; }
wait_for 5 moved || fail "dragging the title bar moved the frame to $(outer_geometry "$window")"
for how in alt+F4 Exit close-box alt+F4 Exit; do
    close_by "$how"
    expect_value intLeft dword:00000083
    expect_value intTop dword:0000005b
    QT_SCALE_FACTOR=$((scale = 3 - ${scale:-1})) start_program "$binary"
    moved || fail "closed by $how, at ${scale}x the frame came back at $(outer_geometry "$window")"
done
close_by Exit
echo "e2e window manager $2: passed"
