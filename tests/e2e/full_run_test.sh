#!/usr/bin/env bash
# A whole run played with the keyboard on a split file from the command line, then Ctrl+Q:
# the attempt count raised, the faster run kept in place of the old one (AutoSaveBestRun=Y),
# and the settings file with the window position, the flags and a key of its own.
. "$(dirname "$0")/xsession.sh"
xs_scenario "$1"

xs_settings '[Misc]' 'AutoSaveBestRun=Y' 'AutoSaveBestSplits=N' 'BestSplitMinElapsedSec=0' \
    'Theme=kept' '' '[Window]' 'HideBestSplits=N' 'HideCurrentSplits=N' 'HideDiffRows=y' \
    'HideAttemptCounters=N' 'Left=40' 'Top=60'
xs_start_route
xs_play 5 # start, then four splits
xs_quit

[ "$(xs_row "$route" 1)" = $'8\t0.00' ] || fail "counter line is '$(xs_row "$route" 1)'"
xs_run_kept
[ "$(xs_row "$route" 9 | cut -f2)" != "1:00.00" ] || fail "the last best segment was not taken over"
xs_ini_has 'Left=40' 'Top=60' 'AutoSaveBestRun=Y' 'AutoSaveBestSplits=N' 'HideDiffRows=N' \
    'HideBestSplits=N' 'HideCurrentSplits=N' 'HideAttemptCounters=N' \
    'BestSplitMinElapsedSec=0' 'Theme=kept'
echo "PASS: split file and settings as expected"
