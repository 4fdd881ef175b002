#!/usr/bin/env bash
# Under twm or openbox (the second argument) the first start shows the whole frame at (0, 0); a
# window dragged by its title bar and closed by its close box, Alt+F4 or Exit comes back exactly
# where it was closed, five times over.
set -euo pipefail
binary=$1
source "$(dirname "$0")/lib.sh"
TOLVANE_E2E_WM=$2
setup_run

# close_by close-box|alt+F4|Exit: closes the main window so and waits for the program to end.
close_by() {
    local x y width height
    read -r x y width height <<<"$(outer_geometry "$window")"
    case $1 in
    close-box) xdotool mousemove $((x + width - 12)) $((y + 12)) click 1 ;;
    alt+F4) keys "$window" alt+F4 ;;
    Exit) click_button 227 144 ;;
    esac
    wait_for 10 program_ended || fail "$1 did not close the program"
}

start_program "$binary"
read -r x y width height <<<"$(outer_geometry "$window")"
((x == 0 && y == 0 && width > 271 && height > 214)) || fail "first frame: $x $y $width $height"
close_by close-box

start_program "$binary" # dragged by its title bar, step by step at the window manager's pace:
for step in "mousemove 60 8" "mousedown 1" "mousemove 120 40" "mousemove 190 98" "mouseup 1"; do
    xdotool $step
    sleep 0.2
done
moved=$(outer_geometry "$window")
[[ $moved == "130 90 "* ]] || fail "dragging the title bar moved the frame to $moved"
for how in alt+F4 Exit close-box alt+F4 Exit; do
    close_by "$how"
    expect_value intLeft dword:00000082
    expect_value intTop dword:0000005a
    start_program "$binary"
    [[ "$(outer_geometry "$window")" == "$moved" ]] ||
        fail "closed by $how, the frame came back at $(outer_geometry "$window"), not $moved"
done
close_by Exit
echo "e2e window manager $2: passed"
