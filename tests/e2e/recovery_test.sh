#!/usr/bin/env bash
# A run split halfway and killed with SIGKILL (a crash, a power cut). Started again, the
# application asks whether to take the run up again; Return (Resume) and Space finish it. The
# split file holds the whole run as the kept run, the splits before the kill at exactly their
# times, the attempt counted once; the split-state file is gone.
set -euo pipefail
. "$(dirname "$0")/xsession.sh"
xs_scenario "$1"

xs_settings '[Misc]' 'AutoSaveBestRun=Y' 'AutoSaveBestSplits=N' 'AutoSaveSplitState=Y' '' \
    '[Window]' 'Left=40' 'Top=60'
route="$work/route.txt"
state="$work/route-SplitState.txt"
xs_write_route "$route"
state_with() { [ -f "$state" ] && [ "$(xs_row "$state" 2 | cut -f2)" = "$1" ]; } # N done
kept_of_row() { xs_row "$route" $((2 * $1 + 1)) | cut -f3; }                    # 1-based
xs_start_server || fail "no X server"

# ---- First life: start, two splits (each acknowledged by the split-state file), SIGKILL ----
xs_launch "$route"
xs_wait_titled "$app_pid" "Quorvel - route.txt - Test route" || fail "the window did not appear"
xs_play 1
xs_press "xs_key space" state_with 1
xs_press "xs_key space" state_with 2
kill -KILL "$app_pid"
wait "$app_pid" 2>/dev/null || true
app_pid=""
first=$(xs_row "$state" 3)
second=$(xs_row "$state" 4)
[ -n "$first" ] && [ -n "$second" ] || fail "split state without split times"
[ "$(xs_attempts "$route")" = "8" ] || fail "attempt count after the kill is not 8"

# ---- Second life: the question before the main window, Return, then the rest of the run ----
xs_launch "$route"
xs_wait_window "$app_pid" 60 || fail "no question appeared"
[ "$(xdotool getwindowname "$XS_WIN" 2>/dev/null || true)" != "Quorvel - route.txt - Test route" ] ||
    fail "the main window came up without a question"
xs_key Return
xs_wait_titled "$app_pid" "Quorvel - route.txt - Test route" || fail "the window did not appear"
xs_play 3 # resume, then the last two splits: the last finishes and keeps the run
xs_quit

# ---- What reached the disk ----
[ "$(xs_attempts "$route")" = "8" ] || fail "attempt count is not 8 (counted once)"
[ "$(kept_of_row 1)" = "$first" ] || fail "split 1 is '$(kept_of_row 1)', was '$first'"
[ "$(kept_of_row 2)" = "$second" ] || fail "split 2 is '$(kept_of_row 2)', was '$second'"
for row in 3 4; do
    xs_seconds "$(kept_of_row "$row")" || fail "split $row of the kept run is '$(kept_of_row "$row")'"
done
[ ! -e "$state" ] || fail "the split-state file outlived the finished run"
echo "PASS: resumed run kept whole: $first $second $(kept_of_row 3) $(kept_of_row 4)"
