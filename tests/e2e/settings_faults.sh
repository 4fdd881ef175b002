#!/usr/bin/env bash
# Every way a settings file goes wrong, met with the keyboard, the file read back after each.
set -euo pipefail
binary=$1
source "$(dirname "$0")/lib.sh"
setup_run
old="$XDG_CONFIG_HOME/Tolvane/registry.reg"

titled() {
    for id in $(xdotool search --onlyvisible --name '^Tolvane$' 2>/dev/null); do
        xprop -id "$id" _NET_WM_WINDOW_TYPE | grep -q "$1" && echo "$id" && return
    done
    return 1
}
no_message() { ! titled DIALOG >/dev/null; }
# answer COUNT WHEN: COUNT messages come one after another, each closed with Enter, and no more.
answer() {
    for ((n = 1; n <= $1; n++)); do
        wait_for 10 titled DIALOG >/dev/null || fail "$2: message $n of $1 did not come"
        keys "$(titled DIALOG)" Return
        wait_for 10 no_message || fail "$2: message $n stayed open"
    done
    sleep 0.5
    no_message || fail "$2: more than $1 messages"
}
set_value() { sed -i "s/^\"$1\"=.*/\"$1\"=$2/" "${3:-$registry}"; }
# held kept|placed: the file, all of it or all but the window's place; what is there instead.
held() { grep -sv "^\"int\(Left\|Top\)\"=${1/#placed/}" "$registry" || ls -dF "$registry" 2>&1 || true; }

start_program "$binary"
keys "$window" alt Return Up Return
wait_for 10 program_ended || fail "Exit did not end the program"
defaults=$(cat "$registry")
fresh() { printf '%s\n' "$defaults" >"$registry"; }
prepare_bad_line() {
    fresh && set_value intLeft dword:0000008c && set_value intTop dword:0000005a
    echo '"intBroken"=dword:zz' >>"$registry"
}
prepare_wrong_type() { fresh && set_value intPrInhale '"ab"'; }
# As after a run with sudo: someone else's file; as root, without the power to read it.
prepare_unreadable() {
    fresh && set_value intLeft dword:0000008c && chmod 000 "$registry"
    ((EUID != 0)) || chown nobody "$registry"
    ((EUID != 0)) || person=(setpriv --inh-caps=-all --bounding-set=-dac_override,-dac_read_search)
}
prepare_directory() { rm "$registry" && mkdir "$registry"; }
prepare_no_folder() { rm -r "$(dirname "$registry")" && touch "$(dirname "$registry")"; }
prepare_old_only() {
    rm "$(dirname "$registry")" && mkdir -p "$(dirname "$old")" && printf '%s\n' "$defaults" >"$old"
    set_value intLeft dword:0000008c "$old" && set_value intTop dword:0000005a "$old"
}
prepare_old_newer() { fresh && set_value intLeft dword:00000064 "$old"; }
# To the increment: "1:(4):2:(2)", a period of 14, and back up to "Disabled".
period_keys=(Tab Tab Tab Tab Tab Tab Tab Tab Tab Tab Tab Tab Down Tab ctrl+a 1 4 shift+Tab Up)

# Messages at start-up, the window's place, the total a practice counts down from (a number:
# messages instead), messages at opening "Pranayama Type", at its OK, at each close; the file kept
# ("placed": but the window's place) or copied from the earlier version's, which is never changed.
rows=(
    #name      start place  total   open ok closes file
    "period     0    0,0    -       0    0  0      period"
    "bad_line   1    140,90 0:11:3? 0    1  0      kept"
    "wrong_type 1    *      1       1    1  0      placed"
    "unreadable 1    0,0    0:11:3? 0    1  11     kept"
    "directory  1    0,0    0:11:3? 0    1  11     kept"
    "no_folder  1    *      1       0    0  0      kept"
    "old_only   0    140,90 -       0    0  0      copied"
    "old_newer  1    100,90 -       0    0  0      copied"
    "old_again  0    100,90 -       0    0  0      kept"
)
for row in "${rows[@]}"; do
    read -r name start place total open ok closes file <<<"$row"
    person=()
    ! declare -F "prepare_$name" >/dev/null || "prepare_$name"
    before=$(held "$file") old_before=$(cat "$old" 2>/dev/null || true)
    "${person[@]}" "$binary" &
    program=$!
    answer "$start" "$name, at start-up"
    window=$(wait_for 20 titled NORMAL)
    [[ $place == '*' || "$(outer_geometry "$window")" == "${place/,/ } "* ]] ||
        fail "$name: the window opened at $(outer_geometry "$window"), not $place"
    [[ $total == - ]] || keys "$window" alt Return Return
    [[ $total != [0-9] ]] || answer "$total" "$name, at Start Pranayama"
    [[ $total != 0:* ]] || { wait_for_leds 5 "0:0? $total 0:00:0? 1" && keys "$window" alt Return Return; }
    keys "$window" alt Right Return Return
    answer "$open" "$name, opening the settings"
    settings=$(dialog "Pranayama Settings")
    [[ $name != period ]] || keys "$settings" "${period_keys[@]}"
    keys "$settings" Return
    answer "$ok" "$name, at OK"
    ((ok == 0)) || { has_window_titled "Pranayama Settings" && keys "$settings" Escape; }
    dialog_closed "Pranayama Settings"
    for messages in $(grep -o . <<<"$closes"); do
        keys "$window" alt Return Up Return && answer "$messages" "$name, closing"
    done
    wait_for 10 program_ended || fail "$name: the program did not end"
    [[ ! -f "$registry" ]] || { chown "$EUID" "$registry" && chmod 600 "$registry"; }
    case $file in
    copied) [[ "$(cat "$registry")" == *'"intLeft"=dword:000000'[86]* ]] ;;
    period) expect_value blAuto dword:00000000 && expect_value intIncrementDays dword:0000000e ;;
    *) [[ "$(held "$file")" == "$before" ]] ;;
    esac || fail "$name: the settings file holds $(held kept)"
    [[ "$(cat "$old" 2>/dev/null || true)" == "$old_before" ]] || fail "$name: the old file changed"
done
[[ "$(cat "$registry.replaced")" == "$defaults" ]] || fail "the replaced settings were not kept"
echo "e2e settings faults: passed"
