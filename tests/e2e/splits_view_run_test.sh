#!/usr/bin/env bash
# Ctrl+L switches to the Splits view and F10 hides the menu bar, each kept in the settings at
# once; a whole run played there (the keys work without the bar) beats the kept run, stays on
# screen in the personal best's colour, and a kill -9 right after loses neither the run (in
# the split file since the last split) nor the layout.
. "$(dirname "$0")/xsession.sh"
xs_scenario "$1" import

# The window's pixels of exactly one colour (rrggbb), counted in a picture of it.
xs_pixels() {
    import -window "$XS_WIN" -depth 8 ppm:- 2>/dev/null | python3 -c '
import sys
data = sys.stdin.buffer.read()
fields, start = [], 0
while len(fields) < 4:  # P6, width, height, maximum, each after whitespace
    while data[start:start + 1].isspace(): start += 1
    end = start
    while not data[end:end + 1].isspace(): end += 1
    fields.append(data[start:end]); start = end
pixels = data[start + 1:]
want = bytes.fromhex(sys.argv[1])
print(sum(1 for i in range(0, len(pixels), 3) if pixels[i:i + 3] == want))' "$1"
}
personal_best_shown() { [ "$(xs_pixels 29b6f6)" -ge 100 ]; }  # the clock's colour

xs_settings '[Misc]' 'AutoSaveBestRun=Y' 'AskBeforeLosingResults=N' '' '[Window]' 'Left=0' 'Top=0'
xs_start_route
xs_key ctrl+l
xs_wait_for "Layout=Splits in the settings" grep -qx 'Layout=Splits' "$ini"
xs_key F10
xs_wait_for "HideMenuBar=Y in the settings" grep -qx 'HideMenuBar=Y' "$ini"
! personal_best_shown || fail "the personal best's colour before any run"
xs_play 5 # start, then four splits: seconds against the kept 4:00.00
xs_wait_for "the finished run in the personal best's colour" personal_best_shown

kill -9 "$app_pid"
wait "$app_pid" 2>/dev/null || true
app_pid=""
xs_run_kept
xs_ini_has 'Layout=Splits' 'HideMenuBar=Y'
echo "PASS: a run in the Splits view stays on screen and in the split file"
