#!/usr/bin/env bash
# A run split halfway and killed with SIGKILL (a crash, a power cut). Started again, the
# application asks whether to take the run up again; Return (Resume) and Space finish it. The
# split file holds the whole run as the kept run, the splits before the kill at exactly their
# times, the attempt counted once; the split-state file is gone.
. "$(dirname "$0")/xsession.sh"
xs_scenario "$1"

xs_settings '[Misc]' 'AutoSaveBestRun=Y' 'AutoSaveBestSplits=N' 'AutoSaveSplitState=Y' '' \
    '[Window]' 'Left=40' 'Top=60'
state="$work/route-SplitState.txt"
state_with() { [ -f "$state" ] && [ "$(xs_row "$state" 2 | cut -f2)" = "$1" ]; } # N done
title="Quorvel - route.txt - Test route"

# ---- First life: start, two splits (each acknowledged by the split-state file), SIGKILL ----
xs_start_route "$title"
xs_play 1
xs_press "xs_key space" state_with 1
xs_press "xs_key space" state_with 2
kill -KILL "$app_pid" && wait "$app_pid" 2>/dev/null || app_pid="" # killed: 137
first=$(xs_row "$state" 3) second=$(xs_row "$state" 4)
[ -n "$first" ] && [ -n "$second" ] || fail "split state without split times"
[ "$(xs_attempts "$route")" = "8" ] || fail "attempt count after the kill is not 8"

# ---- Second life: the question before the main window, Return, then the rest of the run ----
xs_launch "$route"
xs_wait_window "$app_pid" 60 || fail "no question appeared"
[ "$(xdotool getwindowname "$XS_WIN" 2>/dev/null || true)" != "$title" ] ||
    fail "the main window came up without a question"
xs_key Return
xs_wait_titled "$app_pid" "$title" || fail "the window did not appear"
xs_play 3 # resume, then the last two splits: the last finishes and keeps the run
xs_quit

# ---- What reached the disk: counted once, the splits before the kill as they were ----
xs_run_kept
[ "$(xs_kept 1) $(xs_kept 2)" = "$first $second" ] ||
    fail "splits 1 and 2 are '$(xs_kept 1) $(xs_kept 2)', were '$first $second'"
xs_seconds "$(xs_kept 3)" || fail "split 3 of the kept run is '$(xs_kept 3)'"
[ ! -e "$state" ] || fail "the split-state file outlived the finished run"
echo "PASS: resumed run kept whole: $first $second $(xs_kept 3) $(xs_kept 4)"
