#!/usr/bin/env bash
# SIGTERM (a logout, a shutdown) and SIGHUP sent to the running application: it keeps the
# unfinished run as its split state (even with the split-state autosave off) and its settings,
# and ends with status 0; SIGHUP with the Hotkeys dialog open in front of the window too.
. "$(dirname "$0")/xsession.sh"
xs_scenario "$1"

xs_settings '[Misc]' 'AutoSaveBestRun=Y' 'AutoSaveBestSplits=Y' 'AutoSaveSplitState=N' '' \
    '[Window]' 'Left=40' 'Top=60'
state="$work/route-SplitState.txt"
title="Quorvel - route.txt - Test route"
dialog_shown() { [ -n "$(xdotool search --onlyvisible --name '^Hotkeys$' 2>/dev/null)" ]; }
# SIGNAL: sent, then the exit awaited; its status must be 0.
quit_by() {
    kill "-$1" "$app_pid"
    xs_wait_exit "$app_pid" 30 || fail "SIG$1 did not end the application"
    local status=0
    wait "$app_pid" || status=$?
    app_pid=""
    [ "$status" = 0 ] || fail "exit status $status after SIG$1"
}
done_splits() { xs_row "$state" 2 | cut -f2; }

# ---- SIGTERM mid-run: the start and two splits ----
xs_start_route "$title"
xs_play 3
quit_by TERM
[ "$(done_splits)" = 2 ] || fail "the split state holds '$(done_splits)' splits, not 2"
xs_ini_has 'Zoom=100' 'AutoSaveSplitState=N'

# ---- SIGHUP with a dialog open: a new run, one split, then Ctrl+K ----
rm -f "$state" "$work/stderr"
xs_launch "$route"
xs_wait_titled "$app_pid" "$title" || fail "the window did not appear again"
xs_play 2
xs_key ctrl+k
xs_wait_for "the hotkeys dialog" dialog_shown
quit_by HUP
[ "$(done_splits)" = 1 ] || fail "the split state holds '$(done_splits)' splits, not 1"
[ "$(xs_attempts "$route")" = 9 ] || fail "attempt count is '$(xs_attempts "$route")', not 9"
echo "PASS: SIGTERM and SIGHUP kept the run and the settings and ended with 0"
