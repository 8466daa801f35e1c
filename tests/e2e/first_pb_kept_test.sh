#!/usr/bin/env bash
# End to end in a private X server: a first launch with no settings at all, a whole run that
# beats the kept run, then Backspace (Reset). The defaults of a first launch keep a personal
# best; should the reset still ask, its default answer, Save, is taken with Return. Either
# way the new run must be in the split file.
#
#   first_pb_kept_test.sh PATH/TO/quorvel
set -euo pipefail

app=$1
# shellcheck source=xsession.sh
. "$(cd "$(dirname "$0")" && pwd)/xsession.sh"
xs_require Xvfb xdotool python3
xs_begin

route="$work/route.txt"
xs_write_route "$route"
xs_start_server || fail "no X server"
xs_launch "$route"
xs_wait_window "$app_pid" 60 || fail "the window did not appear"
main_window=$XS_WIN
for n in 1 2 3 4 5; do # start, then four splits: seconds against the kept 4:00.00
    xs_press "xs_key space" xs_traced "$n"
done
xs_key BackSpace
# The run kept, or a question first: a second window of the application, where Return saves.
kept_or_answered() {
    xs_seconds "$(xs_row "$route" 9 | cut -f3)" && return 0
    local question
    question=$(xdotool search --onlyvisible --pid "$app_pid" 2>/dev/null |
        grep -vx "$main_window" | head -n 1 || true)
    [ -n "$question" ] || return 1
    xs_focus "$question" || true
    xdotool key Return
    return 1
}
xs_wait_for "the personal best in the split file" kept_or_answered
XS_WIN=$main_window
xs_quit
ini="$work/config/quorvel/Quorvel.ini"
xs_ini_has 'AutoSaveBestRun=Y' 'AutoSaveBestSplits=Y' 'AskBeforeLosingResults=Y'
echo "PASS: the first launch's personal best is in the split file"
