#!/usr/bin/env bash
# Under a real window manager (twm or openbox, the second argument): the first start shows the
# whole frame with its corner at (0, 0); a window moved by its title bar and closed by its close
# box, by Alt+F4 or by Exit starts again exactly where it was closed, five times over.
set -euo pipefail
binary=$1
source "$(dirname "$0")/lib.sh"
TOLVANE_E2E_WM=$2
setup_run

# outer: the main window's frame as "X Y WIDTH HEIGHT".
outer() { outer_geometry "$window"; }

# close_by HOW: closes the main window by its close box, Alt+F4 or Exit, and waits for the end.
close_by() {
    local x y width height
    read -r x y width height <<<"$(outer)"
    case $1 in
    close-box) xdotool mousemove $((x + width - 12)) $((y + 12)) click 1 ;;
    alt+F4) keys "$window" alt+F4 ;;
    Exit) click_button 227 144 ;;
    esac
    wait_for 10 program_ended || fail "$1 did not close the program"
}

start_program "$binary"
read -r x y width height <<<"$(outer)"
[[ "$x,$y" == "0,0" ]] || fail "the first start put the frame at $x,$y"
((width > 271 && height > 195 + 19)) || fail "$2 did not frame the window: $width x $height"
close_by close-box
expect_value intLeft dword:00000000
expect_value intTop dword:00000000

# Move it by its title bar, as a person does.
start_program "$binary"
# A window manager follows the pointer at its own pace: each step waits for it.
for step in "mousemove 60 8" "mousedown 1" "mousemove 120 40" "mousemove 190 98" "mouseup 1"; do
    xdotool $step
    sleep 0.2
done
read -r x y width height <<<"$(outer)"
((x == 130 && y == 90)) || fail "dragging the title bar moved the frame to $x,$y"
for how in alt+F4 Exit close-box alt+F4 Exit; do
    close_by "$how"
    expect_value intLeft "dword:$(printf %08x "$x")"
    expect_value intTop "dword:$(printf %08x "$y")"
    start_program "$binary"
    [[ "$(outer)" == "$x $y $width $height" ]] ||
        fail "after closing by $how the frame came back at $(outer) instead of $x $y $width $height"
done
close_by Exit
echo "e2e window manager $2: passed"
