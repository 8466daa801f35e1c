#!/usr/bin/env bash
# `make run` without a display: scripts/run.sh plays its short run on the settings a first
# launch writes, meets no question or notice, quits on Ctrl+Q, and leaves four pictures of the
# window; the runner's own running folder is left alone.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
for p in Xvfb xdotool import convert python3; do
    command -v "$p" >/dev/null 2>&1 || { echo "SKIP: no $p"; exit 77; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

env -u DISPLAY -u WAYLAND_DISPLAY -u XDG_CONFIG_HOME HOME="$work/home" \
    QUORVEL_SCREENSHOTS="$work/shots" bash "$root/scripts/run.sh" "$(dirname "$1")" \
    >"$work/out" 2>&1 || { cat "$work/out" >&2; fail "scripts/run.sh failed"; }
for shot in 1-opened 2-mid-run 3-paused 4-reset; do
    # A black or blank box has no spread of grey; the window's texts give some.
    spread=$(convert "$work/shots/$shot.png" -colorspace Gray -format '%[fx:standard_deviation]' info:)
    python3 -c "import sys; sys.exit(0 if float('$spread') > 0.05 else 1)" ||
        fail "$shot.png shows no window (grey spread $spread)"
done
[ ! -e "$work/home/.config/quorvel" ] || fail "the run wrote into the runner's folder"
echo "PASS: make run played its run on a first launch's settings and quit"
