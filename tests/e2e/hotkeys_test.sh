#!/usr/bin/env bash
# End to end in a private X server: the runner plays in another window. With "Global Hotkeys"
# on, a whole run is played with the keypad split key (Num+1) while a second client's window
# holds the keyboard focus, and the finished run reaches the split file (AutoSaveBestRun=Y).
# Then, with the item off, the same presses change nothing at all.
#
#   hotkeys_test.sh PATH/TO/quorvel
set -euo pipefail

app=$1
# shellcheck source=xsession.sh
. "$(cd "$(dirname "$0")" && pwd)/xsession.sh"
xs_require Xvfb xdotool xmessage
xs_begin

settings() { # GLOBAL_HOTKEYS(Y|N)
    xs_settings '[Hotkeys]' "GlobalHotkeys=$1" 'Split=Num+1' '' '[Misc]' 'AutoSaveBestRun=Y' \
        'AutoSaveSplitState=N' '' '[Window]' 'Left=40' 'Top=60'
}

# The second client's window (xmessage does not name its process on its window: found by its
# class), started after the application's and given the focus.
find_game() {
    game_win=$(xdotool search --onlyvisible --class Xmessage 2>/dev/null | head -n 1 || true)
    [ -n "$game_win" ]
}
launch() { # SPLIT_FILE
    xs_launch "$1"
    xs_wait_window "$app_pid" 60 || fail "the window did not appear"
    xmessage -geometry 300x100+700+500 "the game" &
    game_pid=$!
    xs_wait_for "the second window" find_game
    timeout 5 xdotool windowfocus --sync "$game_win" 2>/dev/null ||
        xdotool windowfocus "$game_win"
}

# The focus must stay with the game: the presses are not the application's keyboard input.
expect_game_focused() {
    [ "$(xdotool getwindowfocus)" = "$game_win" ] || fail "the focus moved away from the game"
}

# Start and four splits on the keypad, through XTEST to the focused window, the game's. With
# the item on, each press waits for the application's trace of the split it ran. With it off
# there is nothing to wait for: the quit that follows reaches the application after them.
game_key() {
    expect_game_focused
    xdotool key --delay 40 KP_1
}
play_run_on_keypad() { # on|off
    sleep "$XS_LOCKOUT"
    local n
    for n in 1 2 3 4 5; do
        if [ "$1" = on ]; then xs_press game_key xs_traced "$n"; else game_key; fi
    done
    expect_game_focused
    kill "$game_pid" 2>/dev/null || true
    wait "$game_pid" 2>/dev/null || true
    game_pid=""
    xs_quit
}

xs_start_server || fail "no X server"

# ---- On: the run reaches the split file ----
settings Y
route="$work/route.txt"
xs_write_route "$route"
launch "$route"
play_run_on_keypad on
[ "$(xs_attempts "$route")" = "8" ] || fail "attempt count is not 8"
IFS=$'\t' read -r name _ kept <<<"$(xs_row "$route" 9)"
[ "$name" = "Last" ] || fail "row 4 is '$(xs_row "$route" 9)'"
case "$kept" in
    [0-9].[0-9][0-9]) ;;
    *) fail "the kept run's final time is '$kept', expected the run of a few seconds" ;;
esac
grep -q 'not available' "$work/stderr" && fail "the hotkeys did not start"
for line in 'GlobalHotkeys=Y' 'Split=Num+1' 'Skip=Num+2' 'Undo=Num+8' 'Pause=Num+5' 'Reset=Num+3'; do
    grep -qx "$line" "$ini" || { cat "$ini" >&2; fail "Quorvel.ini lacks $line"; }
done

# ---- Off: the same presses change nothing ----
settings N
untouched="$work/untouched.txt"
xs_write_route "$untouched"
cp "$untouched" "$work/before.txt"
launch "$untouched"
play_run_on_keypad off
cmp -s "$untouched" "$work/before.txt" || fail "with the item off the split file changed"
grep -qx 'GlobalHotkeys=N' "$ini" || fail "Quorvel.ini lacks GlobalHotkeys=N"
echo "PASS: global hotkeys split from another window, and only while the item is on"
