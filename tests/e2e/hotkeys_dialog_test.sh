#!/usr/bin/env bash
# End to end in a private X server: the runner sets the split key in Options > Hotkeys... by
# pressing it in the dialog, and OK saves it at once; then, with another client's window
# holding the keyboard focus, that key starts the run through the global hotkeys.
#
#   hotkeys_dialog_test.sh PATH/TO/quorvel
set -euo pipefail

app=$1
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=xsession.sh
. "$here/xsession.sh"

xs_require Xvfb xdotool xmessage
xs_begin

folder="$work/config/quorvel"
mkdir -p "$folder"
ini="$folder/Quorvel.ini"
printf '%s\n' '[Hotkeys]' 'GlobalHotkeys=Y' 'Split=Num+1' '' '[Misc]' 'AutoSaveSplitState=N' '' \
    '[Window]' 'Left=40' 'Top=60' 'Zoom=100' >"$ini"

find_game() {
    game_win=$(xdotool search --onlyvisible --class Xmessage 2>/dev/null | head -n 1 || true)
    [ -n "$game_win" ]
}
find_dialog() {
    dialog_win=$(xdotool search --onlyvisible --name '^Hotkeys$' 2>/dev/null |
        head -n 1 || true)
    [ -n "$dialog_win" ]
}
dialog_gone() { ! xdotool search --onlyvisible --name '^Hotkeys$' >/dev/null 2>&1; }
split_is_f9() { grep -qx 'Split=F9' "$ini"; }
traced_global() { grep -q '^quorvel-trace split=0 route=global' "$work/stderr"; }

xs_start_server || fail "no X server"
route="$work/route.txt"
xs_write_route "$route"
QUORVEL_TRACE_SPLITS=1 XDG_CONFIG_HOME="$work/config" "$app" "$route" >"$work/stdout" \
    2>"$work/stderr" &
app_pid=$!
xs_wait_window "$app_pid" 60 || fail "the window did not appear"
app_win=$XS_WIN

# ---- The dialog: F9 pressed in the first field (Start / Split), then Return for OK ----
xs_key ctrl+k
xs_wait_for "the hotkeys dialog" find_dialog
timeout 5 xdotool windowfocus --sync "$dialog_win" 2>/dev/null || xdotool windowfocus "$dialog_win"
xdotool key --delay 40 F9
xdotool key --delay 40 Return
xs_wait_for "the dialog's OK" dialog_gone
xs_wait_for "Split=F9 in Quorvel.ini" split_is_f9
grep -qx 'GlobalHotkeys=Y' "$ini" || fail "Quorvel.ini lacks GlobalHotkeys=Y"

# ---- The new key with the game focused ----
xmessage -geometry 300x100+700+500 "the game" &
game_pid=$!
xs_wait_for "the second window" find_game
timeout 5 xdotool windowfocus --sync "$game_win" 2>/dev/null || xdotool windowfocus "$game_win"
sleep "$XS_LOCKOUT"
[ "$(xdotool getwindowfocus)" = "$game_win" ] || fail "the game does not have the focus"
xdotool key --delay 40 F9
xs_wait_for "the run started by F9" traced_global
[ "$(xdotool getwindowfocus)" = "$game_win" ] || fail "the focus left the game"

kill "$game_pid" 2>/dev/null || true
wait "$game_pid" 2>/dev/null || true
XS_WIN=$app_win
xs_quit
grep -qx 'Split=F9' "$ini" || fail "the quit lost Split=F9"
echo "PASS: a hotkey set in the dialog is saved at once and splits from another window"
