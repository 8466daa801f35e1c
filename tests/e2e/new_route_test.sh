#!/usr/bin/env bash
# End to end in a private X server: a first launch with no split file makes a route in the
# window and runs it. File ▸ New Route… (Ctrl+N), a file name typed into the save dialog, three
# split names and times typed into the split editor, OK; then Space starts the run and splits
# it to the end. Checks the split file: the route as typed and the run kept in it.
#
#   new_route_test.sh PATH/TO/quorvel
set -euo pipefail

app=$1
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=xsession.sh
. "$here/xsession.sh"

xs_begin

folder="$work/config/quorvel"
mkdir -p "$folder"
printf '%s\n' '[Misc]' 'AutoSaveBestRun=Y' 'AutoSaveBestSplits=Y' '' \
    '[Window]' 'Left=40' 'Top=60' >"$folder/Quorvel.ini"
route="$work/tower.txt"

# Waits until a visible window's title matches the pattern; sets found_win.
wait_title() {
    local pattern=$1 i
    found_win=""
    for i in $(seq 1 300); do
        found_win=$(xdotool search --onlyvisible --name "$pattern" 2>/dev/null | head -n 1 || true)
        [ -n "$found_win" ] && return 0
        kill -0 "$app_pid" 2>/dev/null || return 1
        sleep 0.1
    done
    return 1
}

# Types into the window found last (the dialogs are windows of their own).
type_into() {
    xdotool windowfocus "$found_win" 2>/dev/null || true
    xdotool type --delay 30 "$1"
}
keys_into() {
    xdotool windowfocus "$found_win" 2>/dev/null || true
    xdotool key --delay 40 "$@"
}

xs_start_server || fail "no X server"
XDG_CONFIG_HOME="$work/config" QUORVEL_TRACE_SPLITS=1 "$app" >"$work/stdout" 2>"$work/stderr" &
app_pid=$!
xs_wait_window "$app_pid" 60 || fail "the window did not appear"

xs_key ctrl+n
wait_title '^New Route$' || fail "no save dialog after Ctrl+N"
# The name field has the focus with its suggestion selected: a full path replaces it.
type_into "$route"
keys_into Return
wait_title '^New Route: tower.txt$' || fail "no split editor after the file name"

# The editor starts on the first split's name; Tab goes cell by cell, row after row:
# name, best split, Personal Best, notes.
for row in 'Level 1|40.10' 'Level 2|1:30.00' 'Level 3|2:20.00'; do
    type_into "${row%%|*}"
    keys_into Tab Tab
    type_into "${row##*|}"
    keys_into Tab Tab
done
keys_into Return   # OK, the default button
wait_title 'tower\.txt' || fail "the new split file was not opened"
[ -f "$route" ] || fail "no split file written"

# Start and three splits. Each press waits for the trace line of the one before, and for the
# input lockout (a third of a second after an accepted press) to run out.
press_and_wait() {
    local lines=$1
    xs_key space
    for _ in $(seq 1 100); do
        [ "$(grep -c '^quorvel-trace split=' "$work/stderr" || true)" -ge "$lines" ] && return 0
        sleep 0.1
    done
    fail "press $lines was not taken"
}
sleep 0.4
for n in 1 2 3 4; do
    press_and_wait "$n"
    sleep 0.4
done

xs_key ctrl+q
xs_wait_exit "$app_pid" 30 || fail "the application did not quit on Ctrl+Q"
status=0
wait "$app_pid" || status=$?
app_pid=""
[ "$status" -eq 0 ] || fail "exit status $status"

# The route as typed, and the run in place of the typed Personal Best.
sed -n '2p' "$route" | grep -qx $'\tBest Splits\tPersonal Best' || fail "header line: $(sed -n 2p "$route")"
IFS=$'\t' read -r attempts _ <"$route"
[ "$attempts" = "1" ] || fail "attempt count is '$attempts', expected 1"
for n in 1 2 3; do
    line=$(sed -n "$((1 + 2 * n))p" "$route")
    IFS=$'\t' read -r name best kept <<<"$line"
    [ "$name" = "Level $n" ] || fail "row $n is '$line'"
    case "$kept" in
        [0-9].[0-9][0-9] | [0-9][0-9].[0-9][0-9]) ;;
        *) fail "row $n: the kept time is '$kept', expected the run's seconds" ;;
    esac
    [ "$best" != "0.00" ] || fail "row $n: no best segment taken over"
done
echo "PASS: a route made in the window holds the run"
