#!/usr/bin/env bash
# Two instances on one split file. The second is told the file is open in another window and
# opens it read-only (the default, Return); its key presses write nothing. The first plays a
# whole run, which lands in the file whole.
. "$(dirname "$0")/xsession.sh"
xs_scenario "$1"

xs_start_route "Quorvel - route.txt - Test route"
first_pid=$app_pid first_window=$XS_WIN

# ---- The second: read-only; its start and split, each traced, write nothing ----
XS_TRACE="$work/stderr2"
xs_launch "$route" "$XS_TRACE"
xs_wait_window "$app_pid" 60 || fail "the second instance showed nothing"
xdotool key Return # the question: "Open Read-Only" is the default
xs_wait_titled "$app_pid" "Quorvel - route.txt - Test route (read-only)" || fail "not read-only"
xs_play 2
[ "$(xs_attempts "$route")" = "7" ] || fail "the read-only window wrote the attempt count"
xs_end "$app_pid"

# ---- The first plays a whole run ----
app_pid=$first_pid XS_TRACE="$work/stderr" XS_WIN=$first_window XS_SHOWN_NS=0
xs_play 5
xs_quit
xs_run_kept
[ ! -e "$work/route-SplitState.txt" ] || fail "a split state was left for a finished run"
echo "PASS: the second window was read-only and the first one's run landed whole"
