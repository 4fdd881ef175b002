#!/usr/bin/env bash
# Installs what the tests need, builds Tolvane with its tests and runs every test; packs, installs
# and checks the Debian package (scripts/check-package.sh); runs the whole suite again under
# AddressSanitizer and UndefinedBehaviorSanitizer, where any report fails it; and gives each fuzz
# target a minute (scripts/fuzz.sh; FUZZ_SECONDS=0 skips it).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh build
ctest --test-dir build --output-on-failure -j "$(nproc)"
bash scripts/check-package.sh build

# Debug: the optimiser adds false -Warray-bounds reports in Qt headers under the sanitizers.
BUILD_TYPE=Debug bash scripts/build.sh build-asan -DTOLVANE_SANITIZE=ON
export ASAN_OPTIONS=halt_on_error=1:detect_leaks=1:detect_stack_use_after_return=1:check_initialization_order=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
export LSAN_OPTIONS=suppressions=$PWD/scripts/lsan.supp:print_suppressions=0
ctest --test-dir build-asan --output-on-failure -j "$(nproc)"

if [[ ${FUZZ_SECONDS:-60} != 0 ]]; then
    bash scripts/fuzz.sh
fi
