#!/usr/bin/env bash
# "Help" > "Help" opens the help file in a window of its own while the main window stays usable;
# "Help" > "About" shows the About box, which Enter closes.
set -euo pipefail
binary=$1
source "$(dirname "$0")/lib.sh"
setup_run
start_program "$binary"

# "Help" is the third menu, "Help" its first item.
keys "$window" alt Right Right Return Return
help_window=$(dialog "Tolvane Help")
screenshot "$help_window" help

# "About", the second item, opens over the help while the main window takes keys.
keys "$window" alt Right Right Return Down Return
about=$(dialog About)
expect_centred_on_top "$about"
screenshot "$about" about
keys "$about" Return
dialog_closed About

# "Action" > "Exit", the menu's last item, ends the program.
keys "$window" alt Return Up Return
wait_for 10 program_ended || fail "the main window did not answer"
echo "e2e help and about: passed"
