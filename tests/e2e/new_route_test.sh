#!/usr/bin/env bash
# A first launch with no split file makes a route in the window (Ctrl+N, a file name, three
# splits typed into the editor, OK) and runs it; the split file holds the route and the run.
. "$(dirname "$0")/xsession.sh"
xs_scenario "$1"

xs_settings '[Misc]' 'AutoSaveBestRun=Y' 'AutoSaveBestSplits=Y' '' '[Window]' 'Left=40' 'Top=60'
route="$work/tower.txt"
xs_start_server || fail "no X server"
xs_launch ""
xs_wait_titled "$app_pid" "Quorvel" || fail "the window did not appear"
main_win=$XS_WIN

xs_key ctrl+n
xs_wait_titled "$app_pid" "New Route" || fail "no save dialog after Ctrl+N"
# The name field has the focus with its suggestion selected: a full path replaces it.
xdotool type --delay 30 "$route"
xs_key Return
xs_wait_titled "$app_pid" "New Route: tower.txt" || fail "no split editor after the file name"

# The editor starts on the first split's name; Tab goes cell by cell, row after row: name,
# best split, Personal Best, notes. A typed key starts editing the cell.
for cell in 'Level 1' 40.10 'Level 2' 1:30.00 'Level 3' 2:20.00; do
    xdotool type --delay 30 "$cell"
    xs_key Tab Tab
done
# The last Tab left an editor open on the first name: Return closes it, the next Return is
# OK, the default button.
xs_key Return Return
xs_wait_titled "$app_pid" "Quorvel - tower.txt" || fail "the new split file was not opened"
XS_WIN=$main_win
[ -f "$route" ] || fail "no split file written"

xs_play 4 # start, then three splits
xs_quit

# The route as typed, and the run in place of the typed Personal Best.
[ "$(xs_row "$route" 2)" = $'\tBest Splits\tPersonal Best' ] || fail "header: $(xs_row "$route" 2)"
[ "$(xs_attempts "$route")" = 1 ] || fail "attempt count is '$(xs_attempts "$route")', expected 1"
for n in 1 2 3; do
    IFS=$'\t' read -r name best kept <<<"$(xs_row "$route" $((1 + 2 * n)))"
    [ "$name" = "Level $n" ] && [ "$best" != "0.00" ] && xs_seconds "$kept" ||
        fail "row $n is '$name $best $kept': not as typed, or no best segment or run's time taken"
done
grep -qx 'LastSplitFile=.*tower.txt' "$ini" || fail "LastSplitFile not written"
echo "PASS: a route made in the window holds the run"
