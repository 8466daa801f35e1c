#!/usr/bin/env bash
# Takes the documentation screenshot: the real application in a private X server, part way
# through a run of a short practice route, some splits ahead and some behind.
#
#   scripts/screenshot-midrun.sh build/dev/quorvel docs/screenshot-midrun.png
#   ZOOM=200 scripts/screenshot-midrun.sh ...              the window drawn at 200 %
#   BACKGROUND='#00b140' scripts/screenshot-midrun.sh ...  on the chroma green
set -euo pipefail

app=$1
out=$2
root=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source=../tests/e2e/xsession.sh
. "$root/tests/e2e/xsession.sh"

xs_begin

mkdir -p "$work/config/quorvel"
printf '%s\n' '[Window]' 'Left=0' 'Top=0' "Zoom=${ZOOM:-100}" \
    "Background=${BACKGROUND:-#1a1a1f}" >"$work/config/quorvel/Quorvel.ini"
route="$work/bell-tower.txt"
printf '%s\n' $'41\t-1.00' $'Bell Tower drill\tBest Splits\tLast Week\tPersonal Best' \
    $'Stairs\t2.20\t2.61\t2.30' $'\t\t\tjump the rail' \
    $'Rope\t2.21\t5.32\t4.70' $'\t\t\t' \
    $'Bells\t1.70\t7.40\t6.70' $'\t\tlate on the swing\t' \
    $'Beam\t2.00\t9.91\t8.90' $'\t\t\t' \
    $'Crank\t2.31\t12.74\t11.40' $'\t\t\t' \
    $'Spire\t1.92\t14.90\t13.41' $'\t\t\t' \
    $'Roof\t2.60\t17.95\t16.32' $'\t\t\t' \
    $'Descent\t3.05\t21.50\t19.60' $'\t\t\t' >"$route"

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
