#!/usr/bin/env bash
# Takes the documentation screenshot of the split editor: the real application in a private X
# server with a short practice route open, and Edit ▸ Edit Splits… (Ctrl+E) on top of it.
#
#   scripts/screenshot-editor.sh build/dev/quorvel docs/screenshot-editor.png
set -euo pipefail

app=$1
out=$2
root=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source=../tests/e2e/xsession.sh
. "$root/tests/e2e/xsession.sh"

xs_begin

mkdir -p "$work/config/quorvel"
printf '%s\n' '[Window]' 'Left=0' 'Top=0' >"$work/config/quorvel/Quorvel.ini"
route="$work/practice-route.txt"
cp "$root/examples/practice-route.txt" "$route"  # a copy: a run writes to it

xs_start_server
XDG_CONFIG_HOME="$work/config" "$app" "$route" >/dev/null 2>&1 &
app_pid=$!
xs_wait_window "$app_pid" 60
xs_key ctrl+e
editor=""
for _ in $(seq 1 300); do
    editor=$(xdotool search --onlyvisible --name '^Edit Splits$' 2>/dev/null | head -n 1 || true)
    [ -n "$editor" ] && break
    sleep 0.1
done
[ -n "$editor" ] || fail "no split editor after Ctrl+E"
xdotool windowmove "$editor" 120 140
xdotool windowfocus "$editor" 2>/dev/null || true
sleep 0.5   # the move is drawn
import -window root -crop 820x670+0+0 "$out"
echo "wrote $out"
xdotool key Escape  # the editor has the focus; it closes without writing
xs_key ctrl+q
xs_wait_exit "$app_pid" 20 || true
