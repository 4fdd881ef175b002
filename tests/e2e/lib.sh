# Shared helpers for the end-to-end tests: a private X display and polling with a deadline.

fail() { echo "FAIL: $*" >&2; exit 1; }

start_display() {
    local fifo
    fifo=$(mktemp -u)
    mkfifo "$fifo"
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
    XVFB_PID=$!
    read -r -t 10 display_number <"$fifo" || fail "Xvfb did not start"
    rm -f "$fifo"
    export DISPLAY=":$display_number"
}

stop_display() { [[ -n "${XVFB_PID:-}" ]] && kill "$XVFB_PID" 2>/dev/null; wait 2>/dev/null || true; }

# setup_run: a private display, settings folder and working directory, all removed on exit
# together with the program whose pid is in $program; the test's result is kept.
setup_run() {
    work=$(mktemp -d)
    trap 'code=$?; kill "${program:-}" 2>/dev/null || true; stop_display; rm -rf "$work"; exit $code' EXIT
    export XDG_CONFIG_HOME="$work/config"
    registry="$XDG_CONFIG_HOME/Tolvane/registry.reg"
    start_display
    cd "$work"
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

main_window() { xdotool search --onlyvisible --name '^Tolvane$' 2>/dev/null | head -n 1; }
has_main_window() { [[ -n "$(main_window)" ]]; }
