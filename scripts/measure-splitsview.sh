#!/bin/bash
# Measures the Splits view on a private X server (Xvfb 1920x1080, no window manager), alone in
# the window of bench/splitsview_host, with a route of 1,000 splits (make-split-file.py: 12
# columns) at 200 %: key press to split visible, share of one core while the clock runs, and
# the resident memory the view adds (the same window with the route loaded and no view in it,
# against the window with the view). With the application's binary given as well, its resident
# memory in the grid view on the same route and zoom, the figure the view's budget is set
# against.
#
#   scripts/measure-splitsview.sh [HOST_BINARY [QUORVEL_BINARY]]
#       default build/release/bench/splitsview_host and build/release/quorvel
#   ZOOM=100 LAT_RUNS=3 CPU_RUNS=3 CPU_SECONDS=10 ROWS=1000 scripts/measure-splitsview.sh
#
# Uses scripts/measure/ (split-latency.py, cpu-use.py, memory.sh); needs Xvfb and Debian's
# python3-xlib. The CPU is shared: figures come with their spread and the load average.
set -euo pipefail

HERE=$(cd "$(dirname "$0")" && pwd)
HOST=$(realpath "${1:-$HERE/../build/release/bench/splitsview_host}")
APP=${2:-$HERE/../build/release/quorvel}
TOOLS=$HERE/measure
ZOOM=${ZOOM:-200}
ROWS=${ROWS:-1000}
LAT_RUNS=${LAT_RUNS:-3}
CPU_RUNS=${CPU_RUNS:-3}
CPU_SECONDS=${CPU_SECONDS:-10}
MEM_RUNS=${MEM_RUNS:-5}
PY=/usr/bin/python3

[ -x "$HOST" ] || { echo "no binary at $HOST" >&2; exit 1; }
WORK=$(mktemp -d /tmp/quorvel-splitsview-XXXXXX)
PIDS=()
XVFB_PID=
cleanup() {
    for p in "${PIDS[@]}"; do kill "$p" 2>/dev/null || true; done
    [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null || true
    rm -rf "$WORK"
}
trap cleanup EXIT

exec 3>"$WORK/display"
Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp >"$WORK/xvfb.log" 2>&1 &
XVFB_PID=$!
exec 3>&-
for _ in $(seq 100); do [ -s "$WORK/display" ] && break; sleep 0.05; done
export DISPLAY=:$(cat "$WORK/display")
export XDG_CONFIG_HOME=$WORK/config
mkdir -p "$XDG_CONFIG_HOME/quorvel"
printf '[Window]\nLeft=80\nTop=0\nZoom=%s\n' "$ZOOM" >"$XDG_CONFIG_HOME/quorvel/Quorvel.ini"
"$PY" "$HERE/make-split-file.py" "$ROWS" "$WORK/run.txt" --offset 0.00

stats() {
    "$PY" -c '
import sys, statistics
v = sorted(float(x) for x in sys.stdin.read().split())
if not v: print("-"); sys.exit()
print("%.4g (%.4g-%.4g, n=%d)" % (statistics.median(v), v[0], v[-1], len(v)))'
}
load() { cut -d' ' -f1 /proc/loadavg; }
rss_mb() { sh "$TOOLS/memory.sh" "$1" | sed 's/^rss_kb=\([0-9]*\).*/\1/' | awk '{print $1/1024}'; }
started() {  # started CMD...: runs it, waits for its window, sets PID
    "$@" >/dev/null 2>&1 &
    PID=$!
    PIDS+=("$PID")
    "$PY" -c "import sys; sys.path.insert(0, '$TOOLS'); import xwindow; xwindow.find_window($PID)"
    sleep 1
}
: >"$WORK/results"

# ---- Key press to split visible ----
: >"$WORK/lat"
for run in $(seq "$LAT_RUNS"); do
    cp "$WORK/run.txt" "$WORK/lat.txt"
    # The strip watched ends where the times end, inside the view's margin (6 points).
    CADENCE=0.5 STRIP_INSET=$((ZOOM * 6 / 100 + 2)) timeout 120 "$PY" "$TOOLS/split-latency.py" 20 0 \
        "$HOST" --zoom "$ZOOM" "$WORK/lat.txt" >"$WORK/splitlat" || true
    pid=$(awk '/^pid/{print $2}' "$WORK/splitlat")
    [ -n "$pid" ] && kill "$pid" 2>/dev/null || true
    awk '/^split/ && $3 != "-" {print $3}' "$WORK/splitlat" >>"$WORK/lat"
done
echo "latency_ms $(stats <"$WORK/lat") load=$(load)" >>"$WORK/results"

# ---- CPU while the clock runs ----
started "$HOST" --zoom "$ZOOM" "$WORK/run.txt"
"$PY" -c "
import sys, time; sys.path.insert(0, '$TOOLS'); import xwindow
from Xlib import X, XK
from Xlib.ext import xtest
w = xwindow.find_window($PID); d = xwindow.DISPLAY
w.set_input_focus(X.RevertToParent, X.CurrentTime); d.sync(); time.sleep(0.2)
k = d.keysym_to_keycode(XK.string_to_keysym('space'))
xtest.fake_input(d, X.KeyPress, k); xtest.fake_input(d, X.KeyRelease, k); d.sync()"
sleep 2
: >"$WORK/cpu"; : >"$WORK/xcpu"; : >"$WORK/wake"
for run in $(seq "$CPU_RUNS"); do
    line=$("$PY" "$TOOLS/cpu-use.py" "$PID" "$XVFB_PID" "$CPU_SECONDS")
    echo "$line" | sed 's/^cpu=\([0-9.]*\)%.*/\1/' >>"$WORK/cpu"
    echo "$line" | sed 's/.* xserver=\([0-9.]*\)%.*/\1/' >>"$WORK/xcpu"
    echo "$line" | sed 's/.* wakeups=\([0-9.]*\)\/s.*/\1/' >>"$WORK/wake"
done
echo "cpu_running_pct $(stats <"$WORK/cpu") load=$(load)" >>"$WORK/results"
echo "xserver_running_pct $(stats <"$WORK/xcpu")" >>"$WORK/results"
echo "wakeups_running $(stats <"$WORK/wake")" >>"$WORK/results"
kill "$PID" 2>/dev/null || true

# ---- Resident memory: the view's share, and the grid view's whole ----
: >"$WORK/with"; : >"$WORK/without"; : >"$WORK/grid"
for run in $(seq "$MEM_RUNS"); do
    started "$HOST" --zoom "$ZOOM" "$WORK/run.txt"
    rss_mb "$PID" >>"$WORK/with"
    kill "$PID" 2>/dev/null || true
    started "$HOST" --zoom "$ZOOM" --no-view "$WORK/run.txt"
    rss_mb "$PID" >>"$WORK/without"
    kill "$PID" 2>/dev/null || true
    if [ -x "$APP" ]; then
        started "$APP" "$WORK/run.txt"
        rss_mb "$PID" >>"$WORK/grid"
        kill "$PID" 2>/dev/null || true
    fi
done
echo "rss_with_view_mb $(stats <"$WORK/with")" >>"$WORK/results"
echo "rss_without_view_mb $(stats <"$WORK/without")" >>"$WORK/results"
paste "$WORK/with" "$WORK/without" | awk '{print $1 - $2}' >"$WORK/added"
echo "rss_view_adds_mb $(stats <"$WORK/added")" >>"$WORK/results"
[ -s "$WORK/grid" ] && echo "rss_app_grid_view_mb $(stats <"$WORK/grid")" >>"$WORK/results"

echo "Splits view ($(basename "$HOST")) on Xvfb $DISPLAY, $ROWS splits at $ZOOM %, $(nproc) cores"
printf '%-22s %s\n' figure "value: median (min-max, n)"
while read -r name rest; do printf '%-22s %s\n' "$name" "$rest"; done <"$WORK/results"
