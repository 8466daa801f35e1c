#!/usr/bin/env bash
# With "Global Hotkeys" on, a whole run played with the keypad split key (Num+1) while another
# client's window holds the focus reaches the split file; with the item off, nothing changes.
. "$(dirname "$0")/xsession.sh"
xs_scenario "$1" xmessage

# Start and four splits on the keypad into the game's window, each acknowledged by its trace
# when the item is on; with it off, the quit that follows reaches the application after them.
play_run_on_keypad() { # Y|N
    xs_settings '[Hotkeys]' "GlobalHotkeys=$1" 'Split=Num+1' '' '[Misc]' 'AutoSaveBestRun=Y' \
        'AutoSaveSplitState=N' '' '[Window]' 'Left=40' 'Top=60'
    xs_write_route "$route"
    cp "$route" "$work/before.txt"
    xs_launch "$route"
    xs_wait_window "$app_pid" 60 || fail "the window did not appear"
    xs_game
    for n in 1 2 3 4 5; do
        if [ "$1" = Y ]; then xs_press "xs_game_key KP_1" xs_traced "$n"; else xs_game_key KP_1; fi
    done
    xs_game_focused
    xs_end_game
    xs_quit
}
xs_start_server || fail "no X server"

# ---- On: the run reaches the split file ----
play_run_on_keypad Y
xs_run_kept
! grep -q 'not available' "$work/stderr" || fail "the hotkeys did not start"
xs_ini_has 'GlobalHotkeys=Y' 'Split=Num+1' 'Skip=Num+2' 'Undo=Num+8' 'Pause=Num+5' 'Reset=Num+3'

# ---- Off: the same presses change nothing ----
play_run_on_keypad N
cmp -s "$route" "$work/before.txt" || fail "with the item off the split file changed"
xs_ini_has 'GlobalHotkeys=N'
echo "PASS: global hotkeys split from another window, and only while the item is on"
