#!/usr/bin/env bash
# The split key set in Options > Hotkeys... by pressing it, OK saving it at once; then, with
# another client's window holding the focus, that key starts the run through the global hotkeys.
. "$(dirname "$0")/xsession.sh"
xs_scenario "$1" xmessage

xs_settings '[Hotkeys]' 'GlobalHotkeys=Y' 'Split=Num+1' '' '[Misc]' 'AutoSaveSplitState=N' '' \
    '[Window]' 'Left=40' 'Top=60' 'Zoom=100'
dialog() { xdotool search --onlyvisible --name '^Hotkeys$' 2>/dev/null | head -n 1; }
dialog_shown() { dialog_win=$(dialog || true) && [ -n "$dialog_win" ]; }
dialog_gone() { [ -z "$(dialog || true)" ]; }
split_is_f9() { grep -qx 'Split=F9' "$ini"; }
traced_global() { grep -q '^quorvel-trace split=0 route=global' "$work/stderr"; }

xs_start_route
app_win=$XS_WIN

# ---- The dialog: F9 pressed in the first field (Start / Split), then Return for OK ----
xs_key ctrl+k
xs_wait_for "the hotkeys dialog" dialog_shown
xs_focus "$dialog_win"
xdotool key --delay 40 F9 Return
xs_wait_for "the dialog's OK" dialog_gone
xs_wait_for "Split=F9 in Quorvel.ini" split_is_f9
xs_ini_has 'GlobalHotkeys=Y'

# ---- The new key with the game focused ----
xs_game
xs_press "xs_game_key F9" traced_global
xs_game_focused
xs_end_game
XS_WIN=$app_win
xs_quit
xs_ini_has 'Split=F9' # the quit kept it
echo "PASS: a hotkey set in the dialog is saved at once and splits from another window"
