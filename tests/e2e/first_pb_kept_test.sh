#!/usr/bin/env bash
# End to end in a private X server: a first launch with no settings at all, a whole run that
# beats the kept run, then Backspace (Reset). The defaults of a first launch keep a personal
# best; should the reset still ask, its default answer, Save, is taken with Return. Either
# way the new run must be in the split file.
#
#   first_pb_kept_test.sh PATH/TO/quorvel
set -euo pipefail

app=$1
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=xsession.sh
. "$here/xsession.sh"

xs_require Xvfb xdotool
xs_begin

split_file="$work/route.txt"
xs_write_route "$split_file"
xs_start_server || fail "no X server"

QUORVEL_TRACE_SPLITS=1 XDG_CONFIG_HOME="$work/config" "$app" "$split_file" >"$work/stdout" 2>"$work/stderr" &
app_pid=$!
xs_wait_window "$app_pid" 60 || fail "the window did not appear"
main_window=$XS_WIN

sleep "$XS_LOCKOUT"
for n in 1 2 3 4 5; do  # start, then four splits: seconds against the kept 4:00.00
    xs_press "xs_key space" xs_traced "$n"
done
xs_key BackSpace
# A question, if one comes up, is a second window of the application: Return takes Save.
for _ in $(seq 1 20); do
    dialog=$(xdotool search --onlyvisible --pid "$app_pid" 2>/dev/null | grep -vx "$main_window" | head -n 1 || true)
    if [ -n "$dialog" ]; then
        xdotool windowfocus "$dialog" 2>/dev/null || true
        xdotool key Return
        break
    fi
    kept=$(sed -n '9p' "$split_file" | cut -f3)
    [ "$kept" != "4:00.00" ] && break
    sleep 0.1
done

kept_run_saved() {
    local kept
    kept=$(sed -n '9p' "$split_file" | cut -f3)
    case "$kept" in [0-9].[0-9][0-9] | [0-9][0-9].[0-9][0-9]) return 0 ;; esac
    return 1
}
xs_wait_for "the personal best in the split file" kept_run_saved
XS_WIN=$main_window
xs_quit

ini="$work/config/quorvel/Quorvel.ini"
for line in 'AutoSaveBestRun=Y' 'AutoSaveBestSplits=Y' 'AskBeforeLosingResults=Y'; do
    grep -qx "$line" "$ini" || { cat "$ini" >&2; fail "Quorvel.ini lacks $line"; }
done
echo "PASS: the first launch's personal best is in the split file"
