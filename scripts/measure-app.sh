#!/bin/bash
# Measures the running application on a private X server (Xvfb 1920x1080, no window manager)
# and prints a table: launch to window mapped and to first frame, resident memory, share of one
# core idle and while the timer runs, key press to split visible, and how far the split times
# saved in the split file lie from the key presses. Each figure for a route of 20 and of 1,000
# splits (files made by make-split-file.py: 12 columns, a note in one cell in ten).
#
#   scripts/measure-app.sh [QUORVEL_BINARY]      # default build/h-measure/quorvel (Release)
#   RUNS=20 CPU_RUNS=10 CPU_SECONDS=30 scripts/measure-app.sh
#   PARTS=latency LAT_RUNS=1 scripts/measure-app.sh      # one part only
#   AUTOSAVE_STATE=N PARTS=latency scripts/measure-app.sh # without the split-state autosave
#   ZOOM=200 scripts/measure-app.sh                       # the window drawn at 200 %
#   LAYOUT=Splits ZOOM=200 scripts/measure-app.sh         # in the Splits view (View > Layout)
#   POINTER=over PARTS=latency scripts/measure-app.sh     # the pointer over the grid
#   PARTS=kill KILL_ROUNDS=20 KILL_MS=10 scripts/measure-app.sh  # splits kept through a kill
#   FLOOD=100000 PARTS=latency scripts/measure-app.sh     # key to split visible while another
#                                 # process floods the local control socket with queries, in
#                                 # batches of 100,000, and the window's memory meanwhile
#
# Uses the measuring tools in scripts/measure/ (launch-time.py, cpu-use.py, memory.sh,
# split-latency.py, split-kill.py); needs Xvfb and Debian's python3-xlib for /usr/bin/python3.
# The CPU is shared: every CPU figure is given with its spread and the load average around it.
set -euo pipefail

HERE=$(cd "$(dirname "$0")" && pwd)
BIN=$(realpath "${1:-$HERE/../build/h-measure/quorvel}")
TOOLS=$HERE/measure
RUNS=${RUNS:-10}                # launches per route
CPU_RUNS=${CPU_RUNS:-5}         # CPU windows per route and state
CPU_SECONDS=${CPU_SECONDS:-20}  # length of one CPU window
LAT_RUNS=${LAT_RUNS:-3}         # split-latency runs per route, 20 splits each
PARTS=${PARTS:-launch cpu latency kill}
KILL_ROUNDS=${KILL_ROUNDS:-10}  # kills per route, each KILL_MS (10) after a split's key
AUTOSAVE_STATE=${AUTOSAVE_STATE:-Y}  # N: no split-state file written at each split
ZOOM=${ZOOM:-100}                    # percent: the "Zoom" setting
FLOOD=${FLOOD:-0}                    # lines a batch of the control socket's flood; 0: none
LAYOUT=${LAYOUT:-Grid}               # the "Layout" setting: Grid or Splits
# The Splits view's times end inside a margin: the strip split-latency.py watches moves in.
[ "$LAYOUT" = Splits ] && export STRIP_INSET=${STRIP_INSET:-$((ZOOM * 6 / 100 + 2))}
PY=/usr/bin/python3

[ -x "$BIN" ] || { echo "no binary at $BIN" >&2; exit 1; }
WORK=$(mktemp -d /tmp/quorvel-measure-XXXXXX)
APP_PIDS=()
XVFB_PID=
cleanup() {
    for p in "${APP_PIDS[@]}"; do kill "$p" 2>/dev/null || true; done
    [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null || true
    rm -rf "$WORK"
}
trap cleanup EXIT

# ---- Private X server and settings ----
exec 3>"$WORK/display"
Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp >"$WORK/xvfb.log" 2>&1 &
XVFB_PID=$!
exec 3>&-
for _ in $(seq 100); do [ -s "$WORK/display" ] && break; sleep 0.05; done
export DISPLAY=:$(cat "$WORK/display")
export XDG_CONFIG_HOME=$WORK/config
# The window's local control socket and split-file locks, apart from a Quorvel that runs here.
export XDG_RUNTIME_DIR=$WORK/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"
mkdir -p "$XDG_CONFIG_HOME/quorvel"
# A finished faster run is kept in the split file. The window sits at the top of the screen:
# a route taller than the screen makes a window as tall as the screen, which must not reach
# below it (the split tool grabs the whole window).
printf '[Misc]\nAutoSaveBestRun=Y\nAutoSaveSplitState=%s\n\n[Window]\nLeft=80\nTop=0\nZoom=%s\nLayout=%s\n' \
    "$AUTOSAVE_STATE" "$ZOOM" "$LAYOUT" \
    >"$XDG_CONFIG_HOME/quorvel/Quorvel.ini"

# Routes: as a runner keeps them (lead-in -1.50) and, for the split runs, without a lead-in so
# that the first split is not taken inside it.
for rows in 20 1000; do
    "$PY" "$HERE/make-split-file.py" "$rows" "$WORK/route-$rows.txt"
    "$PY" "$HERE/make-split-file.py" "$rows" "$WORK/run-$rows.txt" --offset 0.00
done

# ---- Helpers ----
cat >"$WORK/win.py" <<'EOF'
# win.py wait PID TOOLS | key PID KEYSYM TOOLS: waits for the window of PID to be mapped;
# gives it the focus and presses a key.
import sys, time
sys.path.insert(0, sys.argv[-1])
import xwindow
from Xlib import X, XK
from Xlib.ext import xtest
cmd, pid = sys.argv[1], int(sys.argv[2]); w = xwindow.find_window(pid)
if cmd == "key":
    d = xwindow.DISPLAY
    w.set_input_focus(X.RevertToParent, X.CurrentTime); d.sync(); time.sleep(0.2)
    kc = d.keysym_to_keycode(XK.string_to_keysym(sys.argv[3]))
    xtest.fake_input(d, X.KeyPress, kc); xtest.fake_input(d, X.KeyRelease, kc); d.sync()
EOF
# A run killed while it runs leaves a split-state file beside its split file, and the next
# launch then asks whether to take the run up again: every launch starts without one.
clean_state() { rm -f "$WORK"/*-SplitState.txt; }
start_app() {  # start_app FILE: starts the application, sets APP
    clean_state
    "$BIN" "$1" >/dev/null 2>&1 &
    APP=$!
    APP_PIDS+=("$APP")
    "$PY" "$WORK/win.py" wait "$APP" "$TOOLS"
}
# The application may be another program's child, which wait does not wait for: it is gone
# (its socket and its split file's lock let go) before the next one starts.
stop_app() {
    kill "$1" 2>/dev/null || true
    wait "$1" 2>/dev/null || true
    for _ in $(seq 100); do kill -0 "$1" 2>/dev/null || return 0; sleep 0.05; done
    kill -9 "$1" 2>/dev/null || true
}
rss_kb() { sh "$TOOLS/memory.sh" "$1" | sed 's/^rss_kb=\([0-9]*\).*/\1/'; }
load() { cut -d' ' -f1 /proc/loadavg; }
# stats: reads numbers, prints "median (min-max, n=N)"
stats() {
    "$PY" -c '
import sys, statistics
v = sorted(float(x) for x in sys.stdin.read().split())
if not v: print("-"); sys.exit()
print("%.4g (%.4g-%.4g, n=%d)" % (statistics.median(v), v[0], v[-1], len(v)))'
}

want() { [[ " $PARTS " == *" $1 "* ]]; }
: >"$WORK/results"

# ---- Launch and memory ----
if want launch; then
"$BIN" "$WORK/route-20.txt" >/dev/null 2>&1 &  # warm the file cache
sleep 2
stop_app $!
for rows in 20 1000; do
    : >"$WORK/map-$rows"; : >"$WORK/paint-$rows"; : >"$WORK/rss-$rows"; hangs=0
    for run in $(seq "$RUNS"); do
        clean_state
        out=$(timeout --foreground 8 "$PY" "$TOOLS/launch-time.py" "$BIN" "$WORK/route-$rows.txt" || true)
        pid=$(echo "$out" | awk 'NR==1{print $1}')
        [ -n "$pid" ] || { echo "launch $run: no window" >&2; continue; }
        APP_PIDS+=("$pid")
        echo "$out" | awk 'NR==1{print $2}' >>"$WORK/map-$rows"
        if echo "$out" | grep -q '^painted [0-9]'; then
            echo "$out" | awk 'NR==2{print $2}' >>"$WORK/paint-$rows"
        else
            hangs=$((hangs + 1))
        fi
        sleep 1
        rss_kb "$pid" >>"$WORK/rss-$rows"
        kill "$pid" 2>/dev/null || true
        sleep 0.3
    done
    echo "map $rows $(stats <"$WORK/map-$rows")" >>"$WORK/results"
    echo "paint $rows $(stats <"$WORK/paint-$rows") frame-before-first-grab=$hangs" >>"$WORK/results"
    echo "rss_mb $rows $(awk '{print $1/1024}' "$WORK/rss-$rows" | stats)" >>"$WORK/results"
done

fi

# ---- CPU, idle and running ----
if want cpu; then
for rows in 20 1000; do
    for state in idle running; do
        start_app "$WORK/route-$rows.txt"
        [ "$state" = running ] && "$PY" "$WORK/win.py" key "$APP" space "$TOOLS"
        sleep 2
        : >"$WORK/cpu"; : >"$WORK/xcpu"; : >"$WORK/wake"; : >"$WORK/load"
        for run in $(seq "$CPU_RUNS"); do
            load >>"$WORK/load"
            line=$("$PY" "$TOOLS/cpu-use.py" "$APP" "$XVFB_PID" "$CPU_SECONDS")
            echo "$line" | sed 's/^cpu=\([0-9.]*\)%.*/\1/' >>"$WORK/cpu"
            echo "$line" | sed 's/.* xserver=\([0-9.]*\)%.*/\1/' >>"$WORK/xcpu"
            echo "$line" | sed 's/.* wakeups=\([0-9.]*\)\/s.*/\1/' >>"$WORK/wake"
        done
        load >>"$WORK/load"
        echo "rss_after_${state}_mb $rows $(echo "$(rss_kb "$APP")" | awk '{print $1/1024}')" \
            >>"$WORK/results"
        stop_app "$APP"
        echo "cpu_$state $rows $(stats <"$WORK/cpu")" >>"$WORK/results"
        echo "xcpu_$state $rows $(stats <"$WORK/xcpu")" >>"$WORK/results"
        echo "wakeups_$state $rows $(stats <"$WORK/wake")" >>"$WORK/results"
        echo "load_$state $rows $(stats <"$WORK/load")" >>"$WORK/results"
    done
done

fi

# ---- Key press to split visible; split times against key presses ----
# Saved running times of the kept (last) column less the key presses' times since the start
# key, in ms: split file $1, split-latency.py output $2.
cat >"$WORK/errors.py" <<'EOF'
import sys
def hundredths(t):
    sign = -1 if t.startswith("-") else 1
    secs = 0.0
    for p in t.lstrip("-").split(":"): secs = secs * 60 + float(p)
    return sign * round(secs * 100)
lines = open(sys.argv[1]).read().split("\n")
saved = [hundredths(l.split("\t")[-1]) * 10 for l in lines[2::2] if l]
keys = [float(l.split()[3]) for l in open(sys.argv[2]) if l.startswith("split")]
for s, k in zip(saved, keys): print("%.3f" % (s - k))
EOF
# splitrun ROWS K TOTAL ERRFILE: one split-latency.py run of K watched splits out of TOTAL (a run of
# all the splits is finished, and so kept in the file).
splitrun() {
    cp "$WORK/run-$1.txt" "$WORK/lat.txt"
    clean_state
    local flood=
    if [ "$FLOOD" -gt 0 ]; then
        "$PY" "$TOOLS/control-flood.py" "$XDG_RUNTIME_DIR/quorvel/control" "$FLOOD" 300 \
            >"$WORK/flood" &
        flood=$!
    fi
    CADENCE=0.5 timeout 120 \
        "$PY" "$TOOLS/split-latency.py" "$2" "$3" "$BIN" "$WORK/lat.txt" >"$WORK/splitlat" || true
    if [ -n "$flood" ]; then
        kill "$flood" 2>/dev/null || true
        wait "$flood" 2>/dev/null || true
        # Lines a second of each batch; the memory after the last batch less before the first.
        awk '/^batch/ {print $4 / $6}' "$WORK/flood" >>"$WORK/floodrate-$1"
        awk '/^pid/ {first = $4} /^batch/ {last = $8} END {if (last) print last - first}' \
            "$WORK/flood" >>"$WORK/floodrss-$1"
        awk '/^batch/ {n++} END {print n + 0}' "$WORK/flood" >>"$WORK/floodbatches-$1"
    fi
    pid=$(awk '/^pid/{print $2}' "$WORK/splitlat")
    [ -n "$pid" ] && stop_app "$pid"
    awk '/^split/ && $3 != "-" {print $3}' "$WORK/splitlat" >>"$WORK/lat-$1"
    [ "$3" = "$1" ] && "$PY" "$WORK/errors.py" "$WORK/lat.txt" "$WORK/splitlat" >>"$4"
    return 0
}
if want latency; then
    for rows in 20 1000; do
        : >"$WORK/lat-$rows"; : >"$WORK/err-watched"; : >"$WORK/err-unwatched"
        : >"$WORK/floodrate-$rows"; : >"$WORK/floodrss-$rows"; : >"$WORK/floodbatches-$rows"
        total=0
        [ "$rows" = 20 ] && total=20
        for run in $(seq "$LAT_RUNS"); do
            splitrun "$rows" 20 "$total" "$WORK/err-watched"
        done
        echo "latency_ms $rows $(stats <"$WORK/lat-$rows") load=$(load)" \
            >>"$WORK/results"
        if [ "$FLOOD" -gt 0 ]; then
            echo "flood_lines_per_s $rows $(stats <"$WORK/floodrate-$rows")" >>"$WORK/results"
            echo "flood_batches $rows $(tr '\n' ' ' <"$WORK/floodbatches-$rows")" >>"$WORK/results"
            echo "flood_rss_growth_kb $rows $(stats <"$WORK/floodrss-$rows")" >>"$WORK/results"
            continue  # the latency under the flood only
        fi
        [ "$rows" = 20 ] || continue
        # The same without the pixel polling, which keeps the X server busy and delays keys.
        for run in $(seq "$LAT_RUNS"); do
            splitrun "$rows" 0 "$total" "$WORK/err-unwatched"
        done
        echo "split_error_ms_watched $rows $(stats <"$WORK/err-watched")" >>"$WORK/results"
        echo "split_error_ms $rows $(stats <"$WORK/err-unwatched")" >>"$WORK/results"
    done
fi

# ---- A split kept through a kill moments after its key ----
if want kill; then
    for rows in 20 1000; do
        clean_state
        kept=$(ROUNDS=$KILL_ROUNDS "$PY" "$TOOLS/split-kill.py" "$WORK/run-$rows.txt" "$BIN" |
            sed -n 's/^kept \([0-9]*\) of \([0-9]*\)$/\1 of \2/p')
        echo "kill_${KILL_MS:-10}ms_kept $rows ${kept:--} load=$(load)" >>"$WORK/results"
    done
fi

# ---- Table ----
echo "Quorvel $(basename "$BIN") on Xvfb $DISPLAY, $(nproc) cores; median (min-max, n)"
printf '%-22s %-6s %s\n' figure rows value
while read -r name rows rest; do
    printf '%-22s %-6s %s\n' "$name" "$rows" "$rest"
done <"$WORK/results"
