#!/usr/bin/env bash
# On a screen scaled by 2 (QT_SCALE_FACTOR=2, or Xft.dpi 192 as a 2x laptop sets it) the main
# window is 542 pixels wide and shows what it shows at 1x twice as large: every pixel of the LED
# displays, the captions and the button faces a 2 x 2 block, and the menu, the status bar and
# the About box with as much ink, four times over, as at 1x. At a scale of 1.5 it starts and works.
set -euo pipefail
binary=$1
source "$(dirname "$0")/lib.sh"
setup_run

# picture NAME [VARIABLE=VALUE...]: starts the program so, runs and stops a practice so that the
# status bar has a text, and keeps the main window as NAME.png and the About box as NAME-about.png.
picture() {
    local name=$1
    shift
    (($# == 0)) || export "$@"
    start_program "$binary"
    keys "$window" alt Return Return
    sleep 1.5
    keys "$window" alt Return Return # Stop, the first item a practice leaves enabled
    sleep 0.5
    import -window "$window" "$work/$name.png"
    keys "$window" alt Right Right Return Down Return
    import -window "$(dialog About)" "$work/$name-about.png"
    keys "$(dialog About)" Return
    dialog_closed About
    keys "$window" alt Return Up Return
    wait_for 10 program_ended || fail "Exit did not end the program at $*"
    unset "${@%%=*}"
}
size() { identify -format '%w %h' "$work/$1.png"; }
# ink IMAGE [GEOMETRY]: the dark pixels, those of black and grey text, in the picture or a part.
ink() {
    convert "$work/$1.png" ${2:+-crop "$2" +repage} -colorspace gray -threshold 40% -negate \
        -format '%[fx:round(mean * w * h)]' info:
}
# four_times NAME ONE TWO: TWO holds four times the ink of ONE, give or take a tenth.
four_times() {
    ((10 * $3 >= 36 * $2 && 10 * $3 <= 44 * $2)) || fail "$1 has $3 dark pixels at 2x, $2 at 1x"
}

picture one
picture two QT_SCALE_FACTOR=2
read -r width height <<<"$(size two)"
((width == 542)) || fail "at 2x the main window is $width pixels wide"
read -r _ height1 <<<"$(size one)"
menu=$((height1 - 195))
((height == 2 * height1)) || fail "at 2x the main window is $height high, at 1x $height1"

# Between the menu bar and the status bar, 2x is 1x doubled pixel for pixel.
convert "$work/one.png" -crop "271x176+0+$menu" +repage -scale 200% "$work/one-doubled.png"
convert "$work/two.png" -crop "542x352+0+$((2 * menu))" +repage "$work/two-client.png"
differ=$(compare -metric AE "$work/one-doubled.png" "$work/two-client.png" null: 2>&1 || true)
[[ $differ == 0 ]] || fail "$differ pixels of the displays and buttons differ from 1x doubled"
four_times "the menu bar" "$(ink one "271x$menu+0+0")" "$(ink two "542x$((2 * menu))+0+0")"
four_times "the status bar" "$(ink one "271x19+0+$((menu + 176))")" \
    "$(ink two "542x38+0+$((2 * (menu + 176)))")"
four_times "the About box" "$(ink one-about)" "$(ink two-about)"
screenshot_file "$work/two.png" main-window-2x

# A 2x laptop's resolution gives the same picture.
xrdb -merge <<<"Xft.dpi: 192"
picture dpi
xrdb -remove
differ=$(compare -metric AE "$work/two.png" "$work/dpi.png" null: 2>&1 || true)
[[ $differ == 0 ]] || fail "at Xft.dpi 192 $differ pixels differ from QT_SCALE_FACTOR=2"

picture half QT_SCALE_FACTOR=1.5
read -r width _ <<<"$(size half)"
((width == 407)) || fail "at 1.5x the main window is $width pixels wide"
echo "e2e scale: passed"
