#!/usr/bin/env bash
# Builds the libFuzzer targets with clang into build-fuzz and runs each for FUZZ_SECONDS (60 by
# default), starting from its committed seed corpus in fuzz/corpus/<target>. New inputs go to
# build-fuzz/corpus, so the committed seeds stay as they are. A crash stops the run and leaves its
# input in build-fuzz/crashes; reproduce it with build-fuzz/fuzz/fuzz_<target> <file>.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${FUZZ_SECONDS:-60}
targets=(registry wav jpeg chunk_codec practice_log)

cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang \
    -DCMAKE_CXX_COMPILER=clang++ -DTOLVANE_FUZZ=ON -DTOLVANE_TESTS=OFF >/dev/null
cmake --build build-fuzz --target "${targets[@]/#/fuzz_}"

export SDL_AUDIODRIVER=dummy
export ASAN_OPTIONS=halt_on_error=1:detect_leaks=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
export LSAN_OPTIONS=suppressions=$PWD/scripts/lsan.supp:print_suppressions=0
mkdir -p build-fuzz/crashes
fuzz() {
    local target=$1 work=build-fuzz/corpus/$1
    mkdir -p "$work"
    build-fuzz/fuzz/fuzz_"$target" -max_total_time="$seconds" -timeout=10 \
        -rss_limit_mb=2048 -max_len=65536 -print_final_stats=1 \
        -artifact_prefix=build-fuzz/crashes/"$target"- "$work" fuzz/corpus/"$target" \
        >build-fuzz/"$target".log 2>&1
}

# One target per core at a time, so the run takes about (targets / cores) × FUZZ_SECONDS.
failed=()
for ((first = 0; first < ${#targets[@]}; first += $(nproc))); do
    batch=("${targets[@]:first:$(nproc)}")
    echo "fuzzing ${batch[*]} for $seconds s"
    pids=()
    for target in "${batch[@]}"; do
        fuzz "$target" &
        pids+=($!)
    done
    for i in "${!batch[@]}"; do
        wait "${pids[$i]}" || failed+=("${batch[$i]}")
    done
done
for target in "${targets[@]}"; do
    echo "fuzz_$target:"
    grep -E '^(Done|stat::number_of_executed_units|stat::new_units_added)' \
        build-fuzz/"$target".log || true
done
for target in "${failed[@]}"; do
    cat build-fuzz/"$target".log
    echo "fuzz_$target found a fault; its input is in build-fuzz/crashes" >&2
done
((${#failed[@]} == 0))
