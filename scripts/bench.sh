#!/usr/bin/env bash
# Measures what a running practice costs and how accurately it keeps time, and what the practice
# log costs, each figure beside its baseline from the same run, on a private virtual X display.
# Builds RelWithDebInfo in build-bench/, prints the table and writes it to docs/benchmarks.md.
# All items take about twelve minutes; the timing figures are only as good as the machine is quiet,
# so the load is recorded too.
#
#   bash scripts/bench.sh        every item
#   bash scripts/bench.sh 6      item 6 alone (any list of items); the rows of the other items stay
#                                in docs/benchmarks.md as they were measured
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
source tests/e2e/lib.sh

selected=("$@")
((${#selected[@]})) || selected=(1 2 3 4 5 6)
run() { [[ " ${selected[*]} " == *" $1 "* ]]; }
# Items measured together: the peak memory of item 5 is taken during item 2, and items 3 and 4
# come from the same practices.
if run 5; then selected+=(2); fi
if run 3 || run 4; then selected+=(3 4); fi
all=yes
for item in 1 2 3 4 5 6; do run "$item" || all=; done

cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTOLVANE_TESTS=OFF \
    -DTOLVANE_BENCH=ON >/dev/null
cmake --build build-bench -j 2 --target tolvane tolvane_bench_ticks tolvane_bench_timing \
    tolvane_bench_floor tolvane_bench_startup tolvane_bench_practice_log
app=$root/build-bench/app/tolvane
benches=$root/build-bench/bench

# Without a sound card the cues go to SDL's dummy driver, which takes samples at the pace of a
# real one.
export SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy}
work=$(mktemp -d)
trap 'kill ${measured:-} 2>/dev/null || true; stop_display; rm -rf "$work"' EXIT
export XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data XDG_RUNTIME_DIR=$work/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"
unset QT_QPA_PLATFORM
start_display
cd "$work"

load_before=$(cut -d' ' -f1-3 /proc/loadavg)
rows=()
collect() { while IFS= read -r line; do [[ $line == ROW$'\t'* ]] && rows+=("${line#ROW$'\t'}"); done; }
row() { local IFS=$'\t'; rows+=("$*"); }

if run 1; then
    echo "1/6 tick cost"
    collect < <(cd "$root/build-bench/app" && "$benches/tolvane_bench_ticks" 2>/dev/null)
fi

# cpu_and_peak PID SECONDS: CPU time over SECONDS as per cent of one core, and VmHWM in MB.
cpu_and_peak() {
    local pid=$1 seconds=$2 hz stat0 stat1 t0 t1
    hz=$(getconf CLK_TCK)
    read -r stat0 < <(awk '{print $14 + $15}' "/proc/$pid/stat")
    t0=$(date +%s%N)
    sleep "$seconds"
    read -r stat1 < <(awk '{print $14 + $15}' "/proc/$pid/stat")
    t1=$(date +%s%N)
    awk -v d=$((stat1 - stat0)) -v hz="$hz" -v ns=$((t1 - t0)) \
        -v kb="$(awk '/^VmHWM/ {print $2}' "/proc/$pid/status")" \
        'BEGIN { printf "%.3f %.1f\n", 100 * d / hz / (ns / 1e9), kb / 1024 }'
}

# end PID: a program that ignores SIGTERM cannot be ended by its session, so that fails the run.
end() {
    kill "$1"
    wait_for 5 bash -c "! kill -0 $1 2>/dev/null" || { kill -9 "$1"; fail "pid $1 ignored SIGTERM"; }
    wait "$1" 2>/dev/null || true
    measured=
}

# wakeups PID SECONDS: how often each thread of the process woke up over SECONDS, counted by the
# kernel as the times it left the processor (perf's context-switches, every one recorded, so that
# threads which end on the way count too). Prints wake-ups a second: the whole process, its main
# thread, Qt's X event reader, SDL's audio threads and the others.
wakeups() {
    local pid=$1 seconds=$2 data
    data=$(mktemp "$work/wakeups.XXXXXX")
    perf record -q -e context-switches -c 1 -p "$pid" -o "$data" -- sleep "$seconds" 2>/dev/null
    perf script -i "$data" -F tid,comm 2>/dev/null | awk -v pid="$pid" -v s="$seconds" '
        { tid = $NF; $NF = ""; comm = $0 }
        tid == pid { main++; next }
        comm ~ /^QXcbEventQueue/ { x++; next }
        comm ~ /^SDLAudio/ { audio++; next }
        { other++ }
        END { printf "%.2f %.2f %.2f %.2f %.2f\n", (main + x + audio + other) / s, main / s,
              x / s, audio / s, other / s }'
}

# measure_practice PID SECONDS: CPU and peak memory (cpu_and_peak) into $work/cpu and wake-ups
# (wakeups) into $work/wakeups, over the same SECONDS.
measure_practice() {
    local pid=$1 seconds=$2 counting
    wakeups "$pid" "$seconds" >"$work/wakeups" &
    counting=$!
    cpu_and_peak "$pid" "$seconds" >"$work/cpu"
    wait "$counting"
}

if run 2; then
    echo "2/6 CPU and wake-ups while practising (60 s each: the floor, the floor on Qt's own event loop, Tolvane)"
    needs perf:linux-perf
    "$benches/tolvane_bench_floor" 2>/dev/null &
    measured=$!
    sleep 2
    measure_practice $measured 60
    read -r floor_cpu floor_peak <"$work/cpu"
    read -r floor_wakeups _ <"$work/wakeups"
    end $measured
    QT_NO_GLIB=1 "$benches/tolvane_bench_floor" 2>/dev/null &
    measured=$!
    sleep 2
    read -r unix_floor_cpu _ < <(cpu_and_peak $measured 60)
    end $measured

    "$app" 2>/dev/null &
    measured=$!
    wait_for 15 has_main_window || fail "the main window did not appear"
    window=$(main_window)
    eval "$(xdotool getwindowgeometry --shell "$window")"
    # The Pranayama start button, below the menu bar; the defaults give a practice of 700 s.
    xdotool mousemove --window "$window" $((19 + 12)) $((HEIGHT - 195 + 144 + 12)) click 1
    shot() { import -window "$window" rgb:- | md5sum; }
    first=$(shot)
    sleep 1.5
    [[ $(shot) != "$first" ]] || fail "the practice did not start: the displays stand still"
    measure_practice $measured 60
    read -r app_cpu app_peak <"$work/cpu"
    read -r app_wakeups main_wakeups x_wakeups audio_wakeups other_wakeups <"$work/wakeups"
    end $measured
    ratio=$(awk -v a="$app_cpu" -v f="$floor_cpu" 'BEGIN { printf "%.2f", (f > 0 ? a / f : 0) }')
    cpu_met=$(awk -v a="$app_cpu" 'BEGIN { print ((a < 0.15) ? "met" : "MISSED") }')
    row "2 CPU while practising" "Pranayama practice, 60 s under Xvfb, % of one core" \
        "$app_cpu % (${ratio} × floor)" "1 ms timer alone: $floor_cpu %" "< 0.15 %" "$cpu_met"
    row "2 CPU while practising" "the same 1 ms timer on Qt's own event loop (QT_NO_GLIB=1)" \
        "$unix_floor_cpu %" "1 ms timer alone: $floor_cpu %" "—" "info"
    wakeups_met=$(awk -v w="$app_wakeups" 'BEGIN { print ((w < 3) ? "met" : "MISSED") }')
    row "2 Wake-ups while practising" "the practice of the CPU figure, whole process, a second" \
        "$app_wakeups" "1 ms timer alone: $floor_wakeups" "< 3" "$wakeups_met"
    row "2 Wake-ups while practising" "the same by thread: main / X event reader / SDL audio / others" \
        "$main_wakeups / $x_wakeups / $audio_wakeups / $other_wakeups" "" "—" "info"
fi

if run 3; then
    echo "3/6 and 4/6 timing accuracy and cue latency (about 7 minutes)"
    collect < <(cd "$root/build-bench/app" && "$benches/tolvane_bench_timing" 2>/dev/null)
fi

if run 5; then
    echo "5/6 start-up"
    read -r app_start app_start_max < <("$benches/tolvane_bench_startup" 361 259 10 "$app" 2>/dev/null)
    read -r floor_start floor_start_max < <(
        "$benches/tolvane_bench_startup" 361 259 10 "$benches/tolvane_bench_floor" --window 2>/dev/null)
    start_met=$(awk -v s="$app_start_max" 'BEGIN { print ((s < 250) ? "met" : "MISSED") }')
    row "5 Start-up" "exec to splash mapped, median (max) of 10" "$app_start ms ($app_start_max ms)" \
        "Qt window of the splash's size: $floor_start ms ($floor_start_max ms)" "< 250 ms" "$start_met"
    peak_met=$(awk -v p="$app_peak" 'BEGIN { print ((p < 60) ? "met" : "MISSED") }')
    row "5 Start-up" "peak resident memory (VmHWM) during the practice of item 2" "$app_peak MB" \
        "1 ms timer alone: $floor_peak MB" "< 60 MB" "$peak_met"
fi

if run 6; then
    echo "6/6 practice log"
    collect < <("$benches/tolvane_bench_practice_log" 2>/dev/null)
fi
load_after=$(cut -d' ' -f1-3 /proc/loadavg)
cd "$root"

run_line="- Run: $(date -u '+%Y-%m-%d %H:%M UTC'), $(nproc) cores ($(awk -F': ' '/model name/ {print $2; exit}' /proc/cpuinfo)), shared."
load_line="- Load average (1, 5, 15 min): $load_before before, $load_after after. Timing figures suffer on a busy machine."
run_lines=("$run_line" "$load_line" "- Audio: SDL driver \`$SDL_AUDIODRIVER\`.")
# Some items alone: the rows of the others stay as they were measured, with the lines that say
# when, and a line says when these were measured again.
if [[ -z $all && -f docs/benchmarks.md ]]; then
    items_run=$(printf '%s\n' "${selected[@]}" | sort -un | paste -sd' ')
    again="- Items $items_run measured again:"
    [[ $items_run == *' '* ]] || again="- Item $items_run measured again:"
    mapfile -t run_lines < <(sed -n '/^| Item/q; /^- /p' docs/benchmarks.md | grep -vF -e "$again")
    run_lines+=("$again ${run_line#- Run: } Load average $load_before before, $load_after after.")
    while IFS= read -r line; do
        if [[ $line =~ ^\|\ ([0-9]+)\  ]] && ! run "${BASH_REMATCH[1]}"; then
            line=${line#| }
            line=${line% |}
            rows+=("${line// | /$'\t'}")
        fi
    done <docs/benchmarks.md
    mapfile -t rows < <(printf '%s\n' "${rows[@]}" | sort -s -n)
fi

table() {
    echo "| Item | Measure | Figure | Baseline, same run | Goal | Result |"
    echo "|---|---|---|---|---|---|"
    local line
    for line in "${rows[@]}"; do echo "| ${line//$'\t'/ | } |"; done
}

{
    cat <<HEADER
# Benchmarks

What a running practice costs and how accurately it keeps time, and what the practice log costs.
Produced by \`scripts/bench.sh\` (a RelWithDebInfo build in \`build-bench/\`, on a private Xvfb
display), which prints this table and rewrites this file. Every figure stands beside its
baseline, measured in the same run.

HEADER
    printf '%s\n' "${run_lines[@]}"
    echo
    table
    cat <<'NOTES'

How each figure is taken:

1. **Tick cost.** The real handlers on a clock that moves only when told, with the main window
   shown. A million ticks on a clock that stands still mid-second compute every display and
   find it unchanged, as the ticks just before a display changes do; the same again delivered
   through the practice timer, which adds the check whether the tick changed anything and the
   timer's restart for the next tick; then ticks a second apart, each of which repaints the
   phase, elapsed and remaining displays, and those that begin a phase (status text and cue:
   the cue file is found and checked for changes within the tick, and decoded the first time).
   The floor is one read of the monotonic clock.
2. **CPU and wake-ups.** User plus system time from `/proc/<pid>/stat` over 60 s of a running
   Pranayama practice (the default settings), against a Qt program that runs only a 1 ms
   precise timer; the same program on Qt's own event loop instead of GLib's shows what the loop
   itself costs. Over the same 60 s the kernel counts every time a thread of the process leaves
   the processor (`perf record -e context-switches`, threads that end on the way included): a
   thread that sleeps and wakes counts once, a thread pushed off by another once as well. The
   practice timer sleeps through the ticks that could change nothing. The turn that ends a phase
   comes at its very millisecond, from a `timerfd` on the boot-time clock, and so does each tick
   that leaves work (a phase change, a cue, the end): one millisecond after the tick before it
   began, as on a timer that never sleeps. Every other turn only changes digits and comes on the
   Qt timer, which counts whole milliseconds and wakes up to two late, often together with a
   neighbouring turn: the remaining time turns a millisecond after the elapsed time, and the phase
   display at a moment of its own, as each phase begins a tick or two after the change that ended
   the one before (ticks counted in item 3).
   The sound device is open only from the timer's wake-up before the turn that brings a cue
   until the cue has ended; SDL's audio thread waits without waking until the cue is handed to
   it, then wakes for every buffer while the cue sounds: 371 ms (16384 frames) when the
   practice's shortest phase leaves room for the longest cue and such a buffer, so that no cue
   can cut off another that waits in one (as here, and not in item 3's 1-second phases); 11.6 ms
   otherwise. The windows' repaints go to the X server inside the requests rather than through
   shared memory, which made every repaint wait for the server's answer, and the connection's
   send buffer is enlarged to hold a change of every display, so that a repaint never waits for
   the server to read its first part.
3. **Timing accuracy.** A main window on the monotonic clock in its own event loop, three
   practices of 30 rounds of four 1-second phases (120 s each), their phase changes pooled: the
   timing of a shared machine changes from minute to minute. A phase change, and the end,
   count when the status panel paints the new text ("The end" for the end). Each phase is due
   its length after the previous one was shown (the first phase lasts a second longer, and is
   due when the practice clock starts); the end is due `tTotalTime` after the practice clock
   starts. The end's tick goes on to set the commands back to idle, which repaints the buttons;
   when that is done is shown for information. The start command
   reads the settings and sets the commands before it starts the clock; that time is shown for
   information. Because each phase restarts from the moment of its change, the small lags add
   up against a fixed timetable; that sum is shown for information. The floor is a bare 1 ms
   precise timer noticing each whole second. The ticks of the practice timer are counted as
   well.
4. **Cue latency.** From the start of the tick that calls `PlayCue` to the moment the audio
   driver's callback first copies samples of that cue, for every cue of the practice of item 3
   (files in the page cache). The floor is a clip decoded beforehand and played, which leaves
   only the driver's wait for its next buffer. The practice makes the device ready at the timer's
   wake-up before each cue, and the driver's thread waits there for the cue, so a cue is taken at
   once unless it cuts off one that still sounds; then it waits for the driver's next buffer.
5. **Start-up.** From just before `fork` to the X server's map notice of the 361 × 259 splash,
   against an empty Qt window of the same size. Peak resident memory is `VmHWM` at the end of
   the practice of item 2, against the 1 ms timer program.
6. **Practice log.** A main window with a log of 10 000 practices (a practice a day, now and
   then two, a fifth of them Kevali): from the "Practice Log" command until the window shows the
   log and its round chart has been painted, the log read away from the user-interface thread;
   against the same with an empty log. The same again on a log of over 100 MB, of which the window
   reads the last 4 MiB. Adding one practice: the locked, synced append of one line, against
   opening the file, writing the line and `fdatasync` without a lock. Run alone with
   `bash scripts/bench.sh 6`.
NOTES
} >docs/benchmarks.md

echo
table
echo
echo "Load average: $load_before before, $load_after after. Written to docs/benchmarks.md."
