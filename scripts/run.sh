#!/usr/bin/env bash
# Opens the application on the sample split file, put into the running folder if it is not
# there yet. With no display at hand it plays a short scripted run in a private X server and
# leaves screenshots under build/screenshots/.
#
#   scripts/run.sh BUILD_DIR
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-build/dev}
case "$build" in /*) ;; *) build="$root/$build" ;; esac
app="$build/quorvel"
[ -x "$app" ] || { echo "no application at $app: run 'make build' first" >&2; exit 1; }

# The running folder, as the application works it out.
config=${XDG_CONFIG_HOME:-}
home=${HOME:-$(getent passwd "$(id -u)" | cut -d: -f6)}
case "$config" in /*) ;; *) config="$home/.config" ;; esac
folder="$config/quorvel"
sample="$folder/sample-route.txt"
if [ ! -d "$folder" ]; then
    # A first launch: the settings the application itself would write (every option off but
    # the split-state autosave), since it writes none into a folder that already exists.
    mkdir -p "$folder"
    printf '%s\n' '[Misc]' 'AutoSaveBestRun=N' 'AutoSaveBestSplits=N' 'AutoSaveSplitState=Y' 'BestSplitMinElapsedSec=0' \
        '' '[Window]' 'HideAttemptCounters=N' 'HideBestSplits=N' 'HideCurrentSplits=N' \
        'HideDiffRows=N' >"$folder/Quorvel.ini"
fi
if [ ! -e "$sample" ]; then
    cp "$root/examples/sample-route.txt" "$sample"
    echo "Put the sample split file into $folder/"
fi

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
    exec "$app" "$sample"
fi

# ---- No display: a scripted run in Xvfb ----
# shellcheck source=../tests/e2e/xsession.sh
. "$root/tests/e2e/xsession.sh"
shots="$root/build/screenshots"
mkdir -p "$shots"
app_pid=""
cleanup() {
    if [ -n "$app_pid" ] && kill -0 "$app_pid" 2>/dev/null; then
        kill "$app_pid" 2>/dev/null || true
    fi
    xs_stop_server
}
trap cleanup EXIT

echo "No display: playing a short run in Xvfb."
xs_start_server
"$app" "$sample" &
app_pid=$!
xs_wait_window "$app_pid" 60
shot() {
    import -window "$XS_WIN" "$shots/$1.png"
    echo "  $shots/$1.png"
}
sleep 0.5
shot 1-opened
xs_key space                     # start: the lead-in counts up to 0
sleep 2.2
for _ in 1 2 3 4 5; do
    xs_key space                 # split
    sleep 0.7
done
shot 2-mid-run
xs_key p                         # pause
sleep 0.5
shot 3-paused
xs_key BackSpace                 # reset
sleep 0.4
shot 4-reset
xs_key ctrl+q
xs_wait_exit "$app_pid" 20 || echo "the application did not quit on Ctrl+Q" >&2
app_pid=""
echo "Screenshots are in $shots/"
