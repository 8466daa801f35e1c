#!/usr/bin/env bash
# With "Global Hotkeys" on, a whole run played with the keypad split key (Num+1) while another
# client's window holds the focus reaches the split file; with the item off, nothing changes.
set -euo pipefail
. "$(dirname "$0")/xsession.sh"
xs_scenario "$1" xmessage

# Start and four splits on the keypad into the game's window, each acknowledged by its trace
# when the item is on; with it off, the quit that follows reaches the application after them.
play_run_on_keypad() { # SPLIT_FILE Y|N
    xs_settings '[Hotkeys]' "GlobalHotkeys=$2" 'Split=Num+1' '' '[Misc]' 'AutoSaveBestRun=Y' \
        'AutoSaveSplitState=N' '' '[Window]' 'Left=40' 'Top=60'
    xs_write_route "$1"
    cp "$1" "$work/before.txt"
    xs_launch "$1"
    xs_wait_window "$app_pid" 60 || fail "the window did not appear"
    xs_game
    local n
    for n in 1 2 3 4 5; do
        if [ "$2" = Y ]; then xs_press "xs_game_key KP_1" xs_traced "$n"; else xs_game_key KP_1; fi
    done
    xs_game_focused
    xs_end_game
    xs_quit
}
xs_start_server || fail "no X server"

# ---- On: the run reaches the split file ----
route="$work/route.txt"
play_run_on_keypad "$route" Y
[ "$(xs_attempts "$route")" = "8" ] || fail "attempt count is not 8"
IFS=$'\t' read -r name _ kept <<<"$(xs_row "$route" 9)"
[ "$name" = "Last" ] || fail "row 4 is '$(xs_row "$route" 9)'"
xs_seconds "$kept" || fail "the kept run's final time is '$kept', not the run played here"
! grep -q 'not available' "$work/stderr" || fail "the hotkeys did not start"
xs_ini_has 'GlobalHotkeys=Y' 'Split=Num+1' 'Skip=Num+2' 'Undo=Num+8' 'Pause=Num+5' 'Reset=Num+3'

# ---- Off: the same presses change nothing ----
play_run_on_keypad "$work/untouched.txt" N
cmp -s "$work/untouched.txt" "$work/before.txt" || fail "with the item off the split file changed"
xs_ini_has 'GlobalHotkeys=N'
echo "PASS: global hotkeys split from another window, and only while the item is on"
