#!/usr/bin/env bash
# At twice the scale (QT_SCALE_FACTOR=2, or Xft.dpi 192 as 2x laptops set it) the window is 542
# pixels wide, between menu and status bar exactly 1x doubled, and its menu, status bar and About
# box hold four times the ink of 1x: no letters spread apart. At 1.5 the program works.
set -euo pipefail
binary=$1
source "$(dirname "$0")/lib.sh"
setup_run
needs import:imagemagick xrdb:x11-xserver-utils

# picture NAME: NAME.png of the window showing a stopped practice's status, NAME-about.png.
picture() {
    start_program "$binary"
    keys "$window" alt Return Return
    sleep 1.5
    keys "$window" alt Return Return # Stop, the first item a practice leaves enabled
    sleep 0.5
    import -window "$window" "$work/$1.png"
    keys "$window" alt Right Right Return Down Return
    import -window "$(dialog About)" "$work/$1-about.png"
    keys "$(dialog About)" Return
    dialog_closed About
    keys "$window" alt Return Up Return
    wait_for 10 program_ended || fail "Exit did not end the program for $1"
}
size() { identify -format '%w %h' "$work/$1.png"; }
ink() { convert "$work/$1.png" ${2:+-crop "$2" +repage} -threshold 40% -negate \
    -format '%[fx:round(mean * w * h)]' info:; }
# four_times WHAT INK INK_AT_2X: text is as whole at 2x as at 1x, give or take 10%.
four_times() { ((10 * $3 >= 36 * $2 && 10 * $3 <= 44 * $2)) || fail "$1: ink $3 at 2x, $2 at 1x"; }
same() { [[ $(compare -metric AE "$work/$1" "$work/$2" null: 2>&1) == 0 ]]; }

picture one
QT_SCALE_FACTOR=2 picture two
read -r width height <<<"$(size two)"
menu=$((height / 2 - 195))
[[ $width == 542 && $(size one) == "271 $((height / 2))" ]] || fail "2x: $width x $height"
convert "$work/one.png" -crop "271x176+0+$menu" +repage -scale 200% "$work/doubled.png"
convert "$work/two.png" -crop "542x352+0+$((2 * menu))" +repage "$work/client.png"
same doubled.png client.png || fail "the displays and buttons at 2x are not 1x doubled"
four_times "the menu bar" "$(ink one "271x$menu+0+0")" "$(ink two "542x$((2 * menu))+0+0")"
four_times "the status bar" "$(ink one "271x19+0+$((menu + 176))")" \
    "$(ink two "542x38+0+$((2 * menu + 352))")"
four_times "the About box" "$(ink one-about)" "$(ink two-about)"
[[ -z ${TOLVANE_SCREENSHOTS:-} ]] || cp "$work/two.png" "$TOLVANE_SCREENSHOTS/main-window-2x.png"

xrdb -merge <<<"Xft.dpi: 192"
picture dpi
xrdb -remove
same two.png dpi.png || fail "at Xft.dpi 192 the window differs from QT_SCALE_FACTOR=2"

QT_SCALE_FACTOR=1.5 picture half
[[ $(size half) == "407 "* ]] || fail "at 1.5x the window is $(size half)"
echo "e2e scale: passed"
