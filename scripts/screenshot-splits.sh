#!/usr/bin/env bash
# Takes a picture of the Splits view alone (bench/splitsview_host, a Release build) in a
# private X server: the 33-split route of examples/long-route.txt part way through a run.
#
#   scripts/screenshot-splits.sh build/release/bench/splitsview_host out.png
#   ZOOM=200 PRESET=chroma-green PLAY=12 scripts/screenshot-splits.sh ...   (the defaults)
#   PRESET=default|chroma-green|chroma-magenta, PLAY: splits made (-1: before the start)
set -euo pipefail

host=$1
out=$2
root=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source=../tests/e2e/xsession.sh
. "$root/tests/e2e/xsession.sh"

xs_begin
route="$work/long-route.txt"
cp "$root/examples/long-route.txt" "$route"
xs_start_server
"$host" --zoom "${ZOOM:-200}" --preset "${PRESET:-chroma-green}" --play "${PLAY:-12}" \
    "$route" >/dev/null 2>&1 &
app_pid=$!
xs_wait_window "$app_pid" 60
sleep 0.5
import -window "$XS_WIN" "$out"
echo "wrote $out"
