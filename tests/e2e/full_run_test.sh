#!/usr/bin/env bash
# End to end in a private X server: opens a split file given on the command line, plays a
# whole run with the keyboard, quits with Ctrl+Q, then checks what reached the disk: the
# raised attempt count, the faster run kept in place of the old one (AutoSaveBestRun=Y),
# and the settings file with the window position, the flags and a key of its own.
#
#   full_run_test.sh PATH/TO/quorvel
set -euo pipefail

app=$1
# shellcheck source=xsession.sh
. "$(cd "$(dirname "$0")" && pwd)/xsession.sh"
xs_require Xvfb xdotool python3
xs_begin

xs_settings '[Misc]' 'AutoSaveBestRun=Y' 'AutoSaveBestSplits=N' 'BestSplitMinElapsedSec=0' \
    'Theme=kept' '' '[Window]' 'HideBestSplits=N' 'HideCurrentSplits=N' 'HideDiffRows=y' \
    'HideAttemptCounters=N' 'Left=40' 'Top=60'
route="$work/route.txt"
xs_write_route "$route"
xs_start_server || fail "no X server"
xs_launch "$route"
xs_wait_window "$app_pid" 60 || fail "the window did not appear"
for n in 1 2 3 4 5; do # start, then four splits, each acknowledged by its trace
    xs_press "xs_key space" xs_traced "$n"
done
xs_quit

# The split file: attempt count raised, the run kept in place of the old run.
[ "$(xs_row "$route" 1)" = $'8\t0.00' ] || fail "counter line is '$(xs_row "$route" 1)'"
IFS=$'\t' read -r name best kept <<<"$(xs_row "$route" 9)"
[ "$name" = "Last" ] || fail "row 4 is '$(xs_row "$route" 9)'"
xs_seconds "$kept" || fail "the kept run's final time is '$kept', not the run played here"
[ "$best" != "1:00.00" ] || fail "the best segment of the last split was not taken over"

# The settings file: position and flags written back, an unknown key kept.
xs_ini_has 'Left=40' 'Top=60' 'AutoSaveBestRun=Y' 'AutoSaveBestSplits=N' 'HideDiffRows=N' \
    'HideBestSplits=N' 'HideCurrentSplits=N' 'HideAttemptCounters=N' \
    'BestSplitMinElapsedSec=0' 'Theme=kept'
echo "PASS: split file and settings as expected"
