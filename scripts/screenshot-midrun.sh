#!/usr/bin/env bash
# Takes the documentation screenshot: the real application in a private X server, part way
# through a run of a short practice route, some splits ahead and some behind.
#
#   scripts/screenshot-midrun.sh build/dev/quorvel docs/screenshot-midrun.png
#   ZOOM=200 scripts/screenshot-midrun.sh ...              the window drawn at 200 %
#   BACKGROUND='#00b140' scripts/screenshot-midrun.sh ...  on the chroma green
#   LAYOUT=Splits scripts/screenshot-midrun.sh ...         the Splits view (View > Layout)
set -euo pipefail

app=$1
out=$2
root=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source=../tests/e2e/xsession.sh
. "$root/tests/e2e/xsession.sh"

xs_begin

mkdir -p "$work/config/quorvel"
printf '%s\n' '[Window]' 'Left=0' 'Top=0' "Zoom=${ZOOM:-100}" \
    "Background=${BACKGROUND:-#1a1a1f}" "Layout=${LAYOUT:-Grid}" >"$work/config/quorvel/Quorvel.ini"
route="$work/practice-route.txt"
cp "$root/examples/practice-route.txt" "$route"  # a copy: a run writes to it

xs_start_server
XDG_CONFIG_HOME="$work/config" "$app" "$route" >/dev/null 2>&1 &
app_pid=$!
xs_wait_window "$app_pid" 60
sleep 0.6
xs_key space                          # start: one second of lead-in
sleep 1.0
for segment in 2.1 2.6 1.9 2.4; do    # against 2.30, 2.40, 2.00, 2.20 in the kept run
    sleep "$segment"
    xs_key space
done
sleep 1.6
import -window "$XS_WIN" "$out"
echo "wrote $out"
xs_key ctrl+q
xs_wait_exit "$app_pid" 20 || true
