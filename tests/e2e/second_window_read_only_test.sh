#!/usr/bin/env bash
# End to end in a private X server: two instances on one split file. The second is told the
# file is open in another window and opens it read-only (the default, taken with Return);
# its key presses write nothing. The first plays a whole run, which lands in the file whole.
#
#   second_window_read_only_test.sh PATH/TO/quorvel
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
xs_wait_titled "$app_pid" "Quorvel - route.txt - Test route" || fail "the first window did not appear"
first_window=$XS_WIN

XDG_CONFIG_HOME="$work/config" "$app" "$split_file" >"$work/stdout2" 2>"$work/stderr2" &
second_pid=$!
xs_wait_window "$second_pid" 60 || fail "the second instance showed nothing"
xdotool key Return  # the question: "Open Read-Only" is the default
xs_wait_titled "$second_pid" "Quorvel - route.txt - Test route (read-only)" ||
    fail "the second window is not read-only"
sleep "$XS_LOCKOUT"
xs_key space  # a start in the read-only window: no attempt is counted in the file
sleep "$XS_LOCKOUT"
xs_key space
IFS=$'\t' read -r attempts _ <"$split_file"
[ "$attempts" = "7" ] || fail "the read-only window wrote the attempt count ($attempts)"
kill "$second_pid"
wait "$second_pid" 2>/dev/null || true

XS_WIN=$first_window
timeout 5 xdotool windowfocus --sync "$XS_WIN" 2>/dev/null || true
for n in 1 2 3 4 5; do
    xs_press "xs_key space" xs_traced "$n"
done
xs_quit

IFS=$'\t' read -r attempts _ <"$split_file"
[ "$attempts" = "8" ] || fail "attempt count is '$attempts', expected 8"
kept=$(sed -n '9p' "$split_file" | cut -f3)
case "$kept" in
    [0-9].[0-9][0-9] | [0-9][0-9].[0-9][0-9]) ;;
    *) fail "the first window's run is not the kept run: '$kept'" ;;
esac
[ ! -e "$work/route-SplitState.txt" ] || fail "a split state was left for a finished run"
echo "PASS: the second window was read-only and the first one's run landed whole"
