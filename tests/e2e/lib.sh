# Shared helpers for the end-to-end tests: a private X display, polling with a deadline, and the
# ways a user meets the program: keys, clicks, the screen, the settings file and the sound.
#
# The scripts take the program to drive as their first argument. Tools they use, from the build:
#   TOLVANE_READ_LEDS  reads the four LED displays off the screen (tests/e2e/tools/ReadLeds.cpp)
#   TOLVANE_FIND_CUES  finds the cues in the captured sound (tests/e2e/tools/FindCues.cpp)
#   TOLVANE_CUES       the folder of the five cue files to recognise
# With TOLVANE_SCREENSHOTS set to a folder, the scripts save the screenshots shown in the README
# (on the bare server). With TOLVANE_E2E_WM set to twm, openbox or mutter, that one manages it.

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# needs PROGRAM:PACKAGE...: fails at once, naming its Debian package, when a program is missing.
needs() {
    local need
    for need; do
        command -v "${need%%:*}" >/dev/null || fail "no ${need%%:*}: apt-get install ${need#*:}"
    done
}

start_display() {
    local attempt
    for attempt in 1 2 3; do
        launch_display && return 0
        stop_display
    done
    fail "no virtual display could be reached"
}

# launch_display: one Xvfb on a display number of this test's own. The server does not reset when
# its last client leaves: while it resets it refuses connections, and a program started at that
# moment finds no display. The number is chosen here under a lock rather than by the server, so
# servers starting side by side never try each other's numbers.
launch_display() {
    needs Xvfb:xvfb xdotool:xdotool xwininfo:x11-utils
    local number
    for number in $(seq 90 189); do
        exec {DISPLAY_LOCK}>"/tmp/tolvane-e2e-display-$number.lock"
        if flock -n "$DISPLAY_LOCK" && [[ ! -e /tmp/.X$number-lock && ! -e /tmp/.X11-unix/X$number ]]; then
            Xvfb ":$number" -screen 0 1024x768x24 -nolisten tcp -noreset {DISPLAY_LOCK}>&- \
                >/dev/null 2>&1 &
            XVFB_PID=$!
            export DISPLAY=":$number"
            wait_for 10 display_answers
            return
        fi
        exec {DISPLAY_LOCK}>&-
    done
    return 1
}

display_answers() { xdotool getdisplaygeometry >/dev/null 2>&1; }

stop_display() {
    kill "${XVFB_PID:-}" 2>/dev/null || true # also when the test stopped it itself
    wait 2>/dev/null || true
    if [[ -n "${DISPLAY_LOCK:-}" ]]; then
        exec {DISPLAY_LOCK}>&-
        DISPLAY_LOCK=
    fi
}

# end_programs: ends what the test started, before its display goes away. A process that has
# not ended two seconds after SIGTERM is killed.
end_programs() {
    local pid deadline
    ! kill -0 "${session_leader:-}" 2>/dev/null || kill -- -"$session_leader"
    for pid in ${program:-} ${foreign:-} ${watcher:-} ${helpers:-} ${compositor:-} ${recorder:-}; do
        kill "$pid" 2>/dev/null || continue
        deadline=$((SECONDS + 2))
        while kill -0 "$pid" 2>/dev/null && ((SECONDS < deadline)); do sleep 0.05; done
        kill -KILL "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
}

# setup_run [wayland|mutter]: a private display (a Wayland session's), settings folder, working directory
# and sound capture, all removed on exit together with the program whose pid is in $program; the
# test's result is kept. The working directory holds no cues, so the program finds its own.
setup_run() {
    work=$(mktemp -d)
    trap 'code=$?; end_programs; stop_display; rm -rf "$work"; exit $code' EXIT
    export XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data"
    registry="$XDG_CONFIG_HOME/tolvane/registry.reg"
    practice_log="$XDG_DATA_HOME/tolvane/practice-log.csv"
    # The sound device opens for each cue, and the disk driver starts its file afresh at every
    # open: it writes to a pipe instead, which a reader holds open and copies from, cue after cue.
    export SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$work/sound.pipe"
    sound="$work/sound.raw"
    mkfifo "$SDL_DISKAUDIOFILE"
    cat <>"$SDL_DISKAUDIOFILE" >"$sound" &
    recorder=$!
    disown "$recorder" # it never ends by itself: a plain wait must not wait for it
    local session=${1:-}
    [[ ${TOLVANE_E2E_WM:-} == mutter ]] && session=mutter # its session gives the display
    [[ -n $session ]] && "start_${session}_session" || start_display
    [[ -n $session || -z "${TOLVANE_E2E_WM:-}" ]] || start_window_manager "$TOLVANE_E2E_WM"
    cd "$work"
}

# start_accessibility_bus: the accessibility bus of the private session, on as a desktop turns it
# on for its screen reader, so that Qt opens its bridge; and the settings of a practice to follow:
# two rounds of Puraka 3 s and Rechaka 3 s (0:00:12), rated after it (the increment "1:(4):2:(2)").
start_accessibility_bus() {
    needs /usr/libexec/at-spi-bus-launcher:at-spi2-core dbus-send:dbus-bin
    export HOME=$work XDG_RUNTIME_DIR=$work/runtime
    mkdir -p -m 700 "$XDG_RUNTIME_DIR" "${registry%/*}"
    dbus-update-activation-environment DISPLAY HOME XDG_RUNTIME_DIR
    dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus >/dev/null \
        org.freedesktop.DBus.Properties.Set string:org.a11y.Status string:ScreenReaderEnabled \
        variant:boolean:true
    printf '%s\n' REGEDIT4 '[HKEY_CURRENT_USER\SOFTWARE\Tolvane]' '"intPrTotalTime"=dword:2' \
        '"intPrInhale"=dword:3' '"intPrExhale"=dword:3' '"blCheckOne"=dword:0' \
        '"blModeOne"=dword:0' '"blAuto"=dword:1' '"tTotalTime"=hex:df,bc,9a,78,56,34,22,3f' \
        >"$registry"
}

# start_wayland_session: weston's headless back end with Xwayland on a runtime folder of its own,
# and the variables a Wayland desktop sets, DISPLAY naming its Xwayland.
start_wayland_session() {
    needs weston:weston Xwayland:xwayland
    export XDG_RUNTIME_DIR="$work/runtime" WAYLAND_DISPLAY=wayland-tolvane XDG_SESSION_TYPE=wayland
    unset QT_QPA_PLATFORM DISPLAY
    mkdir -m 700 "$XDG_RUNTIME_DIR"
    weston --backend=headless-backend.so --xwayland --socket="$WAYLAND_DISPLAY" --idle-time=0 \
        --log="$work/weston.log" >/dev/null 2>&1 &
    compositor=$!
    wait_for 10 grep -qs 'xserver listening' "$work/weston.log" || fail "weston offers no Xwayland"
    DISPLAY=$(sed -n 's/.*xserver listening on display \(:[0-9]*\).*/\1/p' "$work/weston.log")
    export DISPLAY
}

# start_mutter_session (setup_run mutter): GNOME's mutter, headless, on a session bus and process
# group of its own, which end_programs ends whole; once up, it hands over its Xwayland.
# Xwayland wants its sockets' folder open to all.
start_mutter_session() {
    needs mutter:mutter dbus-run-session:dbus-daemon Xwayland:xwayland
    mkdir -p /tmp/.X11-unix && chmod 1777 /tmp/.X11-unix 2>/dev/null || true
    export XDG_RUNTIME_DIR="$work/runtime" XDG_SESSION_TYPE=wayland
    unset QT_QPA_PLATFORM DISPLAY WAYLAND_DISPLAY
    mkdir -m 700 "$XDG_RUNTIME_DIR"
    setsid dbus-run-session -- mutter --wayland --headless --virtual-monitor 1280x800 -- \
        sh -c 'echo "$DISPLAY $XAUTHORITY" >"$0.new" && mv "$0.new" "$0" && exec sleep infinity' \
        "$work/mutter-display" >"$work/mutter.log" 2>&1 &
    session_leader=$!
    wait_for 30 test -s "$work/mutter-display" || fail "mutter offers no Xwayland"
    read -r DISPLAY XAUTHORITY <"$work/mutter-display"
    export DISPLAY XAUTHORITY
}

# start_window_manager twm|openbox: runs that window manager on the display with the settings
# a person has: twm with a close box and Alt+F4 added, openbox as Debian sets it up. Both make
# windows of their own once they manage the screen, and end with the display.
start_window_manager() {
    needs "$1:$1"
    if [[ $1 == twm ]]; then
        twm -f "$(dirname "${BASH_SOURCE[0]}")/twmrc" >/dev/null 2>&1 &
    else
        XDG_CACHE_HOME="$work/cache" openbox >/dev/null 2>&1 &
    fi
    wait_for 10 root_has_children || fail "$1 did not start (twm's fonts come with xfonts-base)"
}
root_has_children() { ! xwininfo -root -children | grep -q '^ *0 children'; }

# outer_window WINDOW: the frame a window manager put the window in, or the window itself;
# outer_geometry WINDOW: its "X Y WIDTH HEIGHT", borders included as far as the window manager
# says they reach (_NET_FRAME_EXTENTS), for mutter's frame has invisible borders beyond.
outer_window() {
    local id=$1 parent
    while parent=$(xwininfo -children -id "$id" | awk '/Parent window id:/ { print $4, $5 }') &&
        [[ $parent != *"(the"* ]]; do
        id=${parent% *}
    done
    printf '0x%x\n' "$id"
}
outer_geometry() {
    local id=$1 frame
    frame=$(xprop -id "$1" _NET_FRAME_EXTENTS | grep -o '[0-9, ]*[0-9]$') || id=$(outer_window "$1")
    xwininfo -id "$id" | awk -v e="${frame:-0, 0, 0, 0}" 'BEGIN { split(e, m, ", ") }
        /Absolute upper-left X:/ { x = $4 } /Absolute upper-left Y:/ { y = $4 }
        /Border width:/ { b = $3 } / Width:/ { w = $2 } / Height:/ { h = $2 }
        END { print x - m[1], y - m[3], w + 2 * b + m[1] + m[2], h + 2 * b + m[3] + m[4] }'
}

# expect_centred_on_top DIALOG: the dialog's frame is centred on the screen, give or
# take the odd pixel, and above the main window's (xwininfo lists the topmost first).
expect_centred_on_top() {
    local x y width height screen_width screen_height
    read -r x y width height <<<"$(outer_geometry "$1")"
    read -r screen_width screen_height <<<"$(xdotool getdisplaygeometry)"
    (((2 * x + width - screen_width) ** 2 <= 1 && (2 * y + height - screen_height) ** 2 <= 1)) ||
        fail "the dialog lies at $x,$y, ${width} x $height, not centred on the screen"
    [[ "$(xwininfo -root -children)" == *"$(outer_window "$1") "*"$(outer_window "$window") "* ]] ||
        fail "the dialog opened below the main window"
}

# wait_for SECONDS COMMAND...: runs COMMAND every 50 ms until it succeeds or time is up.
wait_for() {
    local deadline=$((SECONDS + $1))
    shift
    until "$@"; do
        ((SECONDS < deadline)) || return 1
        sleep 0.05
    done
}

# window_titled TITLE: the id of the visible window with exactly that title, if any. xdotool's
# search ignores case, so each candidate's title is compared again.
window_titled() {
    local id pattern
    pattern=$(sed 's/[][\\.*^$?+(){}|]/\\&/g' <<<"$1")
    for id in $(xdotool search --onlyvisible --name "^$pattern\$" 2>/dev/null); do
        if [[ "$(xdotool getwindowname "$id" 2>/dev/null)" == "$1" ]]; then
            echo "$id"
            return
        fi
    done
}
has_window_titled() { [[ -n "$(window_titled "$1")" ]]; }
no_window_titled() { [[ -z "$(window_titled "$1")" ]]; }
main_window() { window_titled Tolvane; }
has_main_window() { has_window_titled Tolvane; }
program_ended() { ! kill -0 "$program" 2>/dev/null; }

# start_program BINARY [ARGUMENT...]: starts it in the background and waits for its main window.
start_program() {
    # A program that has just ended may still have its window until the server has noticed.
    wait_for 10 no_window_titled Tolvane || fail "a main window was left from before"
    "$@" &
    program=$!
    wait_for 20 has_main_window || fail "the main window did not appear"
    window=$(main_window)
}

# second_start_ends BINARY: another start ends at once with exit code 0, leaving the first.
second_start_ends() {
    local started=$SECONDS
    "$1" || fail "the second start exited with $?"
    ((SECONDS - started <= 2)) || fail "the second start did not end at once"
    kill -0 "$program" 2>/dev/null || fail "the second start ended the first"
}

# keys WINDOW KEY...: types keys into a window, one every 100 ms. "Alt" alone reaches the menu
# bar; Return opens a menu and chooses an item, Right and Down move between them.
keys() {
    local target=$1
    shift
    xdotool windowfocus --sync "$target"
    # The toolkit activates a window a moment after it gains the focus; keys before that are lost.
    sleep 0.3
    xdotool key --delay 100 "$@"
}

# type_text WINDOW TEXT: replaces the text of the focused box of a window with TEXT.
type_text() {
    xdotool windowfocus --sync "$1"
    xdotool key ctrl+a
    xdotool type --delay 50 "$2"
}

# click_button X Y: clicks the middle of the main window's 25 x 25 button whose left top corner
# is at (X, Y) in the client area, below the menu bar.
click_button() {
    local WIDTH HEIGHT X Y SCREEN WINDOW
    eval "$(xdotool getwindowgeometry --shell "$window")"
    xdotool mousemove --window "$window" $(($1 + 12)) $((HEIGHT - 195 + $2 + 12)) click 1
}

# dialog_closed TITLE: waits until the dialog with that title has gone and the window under it
# has taken the focus back.
dialog_closed() {
    wait_for 10 no_window_titled "$1" || fail "the window \"$1\" did not close"
    sleep 0.5
}

# dialog TITLE: waits for the dialog with that title and prints its id.
dialog() {
    wait_for 10 has_window_titled "$1" || fail "no window \"$1\" appeared"
    window_titled "$1"
}

# leds: the four LED displays as a user reads them: "phase remaining elapsed round".
leds() { "$TOLVANE_READ_LEDS" "$window"; }
# wait_for_leds SECONDS PATTERN: until the displays read something matching the glob PATTERN.
leds_match() {
    # shellcheck disable=SC2053
    [[ "$(leds)" == $1 ]]
}
wait_for_leds() {
    wait_for "$1" leds_match "$2" || fail "the displays read \"$(leds)\" instead of \"$2\""
}

# watch_leds SECONDS FILE: records every change of the displays for that long, in the
# background, as "<ms> phase remaining elapsed round" lines, until stop_watching.
watch_leds() {
    "$TOLVANE_READ_LEDS" "$window" "$1" >"$2" &
    watcher=$!
}
stop_watching() {
    # Long enough for the watcher to record what the caller has just seen.
    sleep 0.3
    kill "$watcher" 2>/dev/null || true
    wait "$watcher" 2>/dev/null || true
}

# steady FILE FIELD...: from readings recorded by watch_leds, the values of the given fields (2
# phase, 3 remaining, 4 elapsed, 5 round) that stood for at least 100 ms, in order, repeats
# dropped, joined by ",". A phase display that shows a value for a single tick before the next
# phase restarts it, or a frame caught while it was being drawn, does not count.
steady() {
    local file=$1
    shift
    awk -v fields="$*" '
        BEGIN { n = split(fields, f, " ") }
        {
            key = "" $f[1]
            for (i = 2; i <= n; i++) key = key " " $f[i]
            if (NR == 1 || key != current) {
                if (NR > 1 && $1 - since >= 100) kept[++count] = current
                current = key
                since = $1
            }
        }
        END {
            if (NR > 0) kept[++count] = current
            for (i = 1; i <= count; i++) if (i == 1 || kept[i] != kept[i - 1]) line = line (line == "" ? "" : ",") kept[i]
            print line
        }' "$file"
}

# registry_value NAME: the stored value as the settings file writes it, e.g. dword:00000005.
registry_value() { grep -i "^\"$1\"=" "$registry" | cut -d= -f2-; }
expect_value() {
    local value
    value=$(registry_value "$1")
    [[ "${value,,}" == "${2,,}" ]] || fail "$1 stored as \"$value\" instead of \"$2\""
}

# cues_heard: the names of the cues played so far, in order, on one line.
cues_heard() {
    [[ -f "$sound" ]] || return 0
    "$TOLVANE_FIND_CUES" "$sound" "$TOLVANE_CUES" | cut -d' ' -f2 | paste -sd' ' -
}

exit_heard() { [[ "$(cues_heard)" == *Exit ]]; }

# screenshot WINDOW NAME: saves docs/NAME.png when screenshots are asked for.
screenshot() {
    [[ -n "${TOLVANE_SCREENSHOTS:-}" && -z "${TOLVANE_E2E_WM:-}" ]] || return 0
    import -window "$1" "$TOLVANE_SCREENSHOTS/$2.png"
}

# set_short_pranayama [KEY...]: "Settings" > "Pranayama Type" with the keyboard only: no hold,
# the ratio "Free", 2 rounds of Puraka 1 s and Rechaka 2 s (a total of 6 s); KEYs follow on the
# delay check box before Enter confirms.
set_short_pranayama() {
    local settings
    keys "$window" alt Right Return Return
    settings=$(dialog "Pranayama Settings")
    screenshot "$settings" pranayama-settings
    # The focus starts on OK; Tab passes Cancel to the type, where Up selects "No Kumbhaka".
    keys "$settings" Tab Tab Up Tab
    type_text "$settings" 2
    # The ratio: from "1:(4):2:(2)" down to "Free"; then the Puraka and, past the Abhyantara
    # kumbhaka, the Rechaka.
    keys "$settings" Tab Down Down Tab
    type_text "$settings" 1
    keys "$settings" Tab Tab
    type_text "$settings" 2
    keys "$settings" Tab Tab "$@" Return
    dialog_closed "Pranayama Settings"
    expect_value intPrInhale dword:00000001
    expect_value intPrExhale dword:00000002
    expect_value intPrTotalTime dword:00000002
    expect_value blCheckOne dword:00000000
}

