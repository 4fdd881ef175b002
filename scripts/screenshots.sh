#!/usr/bin/env bash
# Takes the screenshots shown in the README by running the end-to-end tests that show those
# windows against the program in build/, each on a private X display: the splash, the main window
# idle, during a practice and at twice the scale, both settings dialogs, the rating, the help, the
# About box and the practice log, and the log window of new, regular, lapsed and heavy logs. The program is built first, so the pictures always show the current build; the
# test e2e_screenshots fails while docs/ holds others.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --build build --target tolvane tolvane_read_leds tolvane_find_cues \
    test_practice_log_window >/dev/null
export TOLVANE_SCREENSHOTS=$PWD/docs
export TOLVANE_READ_LEDS=$PWD/build/tests/e2e/tolvane_read_leds
export TOLVANE_FIND_CUES=$PWD/build/tests/e2e/tolvane_find_cues
export TOLVANE_CUES=$PWD/resources/cues
for test in startup pranayama_practice kevali_practice rating help scale practice_log; do
    bash "tests/e2e/$test.sh" "$PWD/build/app/tolvane"
done
# The log window on the four logs of its test, whose dates are fixed, at 1x and 2x.
for scale in 1 2; do
    QT_SCALE_FACTOR=$scale build/tests/forms/test_practice_log_window >/dev/null
done
echo "screenshots written to docs/"
