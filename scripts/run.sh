#!/usr/bin/env bash
# Opens the application on the sample split file, put into the running folder if it is not
# there yet. With no display at hand it plays a short scripted run in a private X server, in a
# running folder of its own, and leaves screenshots under build/screenshots/ (or
# $QUORVEL_SCREENSHOTS); it fails when the application asks something or does not quit.
#
#   scripts/run.sh BUILD_DIR
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-build/dev}
case "$build" in /*) ;; *) build="$root/$build" ;; esac
app="$build/quorvel"
[ -x "$app" ] || { echo "no application at $app: run 'make build' first" >&2; exit 1; }

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
    # The running folder, as the application works it out. The settings are the
    # application's own: a first launch writes them.
    config=${XDG_CONFIG_HOME:-}
    home=${HOME:-$(getent passwd "$(id -u)" | cut -d: -f6)}
    case "$config" in /*) ;; *) config="$home/.config" ;; esac
    folder="$config/quorvel"
    sample="$folder/sample-route.txt"
    if [ ! -e "$sample" ]; then
        mkdir -p "$folder"
        cp "$root/examples/sample-route.txt" "$sample"
        echo "Put the sample split file into $folder/"
    fi
    exec "$app" "$sample"
fi

# ---- No display: a scripted run in Xvfb, in a running folder of its own ----
# A first launch there, with the settings a new runner gets. Each step waits for the
# application's answer: a split for its trace line, the reset for the split state it removes.
# shellcheck source=../tests/e2e/xsession.sh
. "$root/tests/e2e/xsession.sh"
shots=${QUORVEL_SCREENSHOTS:-$root/build/screenshots}
mkdir -p "$shots"
xs_begin
cp "$root/examples/sample-route.txt" "$work/sample-route.txt"
state="$work/sample-route-SplitState.txt"
title="Quorvel - sample-route.txt - Lantern Keep - Any%"

# The main window alone: a question or a notice in front of it fails the run, named.
main_alone() {
    local id name
    for id in $(xdotool search --onlyvisible --pid "$app_pid" 2>/dev/null || true); do
        name=$(xdotool getwindowname "$id" 2>/dev/null || true)
        [ "$name" = "$title" ] || fail "the window \"$name\" is open in front of the run"
    done
}
shot() {
    main_alone
    sleep 0.2  # the next tick of the clock drawn
    import -window "$XS_WIN" "$shots/$1.png"
    echo "  $shots/$1.png"
}
# Start / Split until the application has taken the press N: a press in the lead-in is not.
take_split() {
    local tries
    for ((tries = 0; tries < 40; tries++)); do
        xs_wait_for "the input lockout" xs_lockout_over
        xs_key space
        xs_poll 1 xs_traced "$1" && return 0
    done
    fail "the application took no split $1"
}

echo "No display: playing a short run in Xvfb."
xs_start_server || fail "no X server"
xs_launch "$work/sample-route.txt"
xs_wait_titled "$app_pid" "$title" || fail "the window did not appear"
shot 1-opened
for n in 1 2 3 4 5 6; do # the start, then five splits
    take_split "$n"
done
shot 2-mid-run
xs_key p
shot 3-paused
xs_key BackSpace
xs_wait_for "the reset" eval '[ ! -e "$state" ]'
shot 4-reset
xs_quit
grep -qx 'AutoSaveBestRun=Y' "$ini" || fail "the first launch did not keep the best run"
echo "Screenshots are in $shots/"
