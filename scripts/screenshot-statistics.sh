#!/usr/bin/env bash
# Takes the documentation screenshot of the statistics window: the real application in a
# private X server with the practice route open, a history of a few weeks of attempts beside
# it, and View ▸ Statistics… (Ctrl+H) on top.
#
#   scripts/screenshot-statistics.sh build/dev/quorvel docs/screenshot-statistics.png
#
# The application makes the history file at the first attempt (a start and a reset); the
# attempts after it are added to that file by python3's sqlite3 module, from a fixed seed, so
# that the picture is the same each time.
set -euo pipefail

app=$1
out=$2
root=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source=../tests/e2e/xsession.sh
. "$root/tests/e2e/xsession.sh"

xs_begin
xs_settings '[Window]' 'Left=0' 'Top=0' '[Misc]' 'AskBeforeLosingResults=N' \
    'AutoSaveSplitState=N'
route="$work/practice-route.txt"
cp "$root/examples/practice-route.txt" "$route"  # a copy: a run writes to it
history="$work/practice-route.history.sqlite"

xs_start_server
xs_launch "$route"
xs_poll 60 xs_window_of "$app_pid" "" || fail "the window did not appear"
xs_press "xs_key space" xs_traced 1
xs_key BackSpace
xs_quit
[ -s "$history" ] || fail "no history after the first attempt"

python3 - "$history" <<'PY'
import random
import sqlite3
import sys

db = sqlite3.connect(sys.argv[1])
splits = [row[0] for row in db.execute("SELECT id FROM route_split ORDER BY position")]
# The practice route's segments as a beginner runs them, in hundredths, and how often a run
# dies in each: the bells and the crank are where it goes wrong.
pace = [260, 300, 250, 230, 300, 220, 300, 340]
dies = [0.02, 0.04, 0.20, 0.03, 0.15, 0.03, 0.05, 0.04]
random.seed(19)
started = 1_790_000_000
number = db.execute("SELECT max(number) FROM attempt").fetchone()[0] or 0
for n in range(1, 61):
    number += 1
    started += random.randint(600, 30000)
    practice = 1.0 - 0.18 * min(n, 45) / 45  # faster with practice
    running = 0
    times = []
    for index, segment in enumerate(pace):
        if random.random() < dies[index] * (1.3 - n / 80):
            break
        running += int(segment * practice * random.uniform(0.93, 1.12))
        times.append((running, running - (times[-1][0] if times else 0)))
    finished = len(times) == len(pace)
    on_clock = running + (0 if finished else random.randint(50, 200))
    cursor = db.execute(
        "INSERT INTO attempt(number, clock, started_utc, ended_utc, ending, final_time, "
        "pause_time) VALUES(?, 0, ?, ?, ?, ?, 0)",
        (number, started, started + on_clock // 100 + 1, 1 if finished else 2, on_clock))
    for index, (run, segment) in enumerate(times):
        db.execute("INSERT INTO split_time(attempt, split, running, segment) VALUES(?, ?, ?, ?)",
                   (cursor.lastrowid, splits[index], run, segment))
db.commit()
db.execute("PRAGMA wal_checkpoint(TRUNCATE)")
db.close()
PY

xs_launch "$route"
xs_poll 60 xs_window_of "$app_pid" "" || fail "the window did not appear"
xs_key ctrl+h
statistics=""
for _ in $(seq 1 300); do
    statistics=$(xdotool search --onlyvisible --name '^Statistics: ' 2>/dev/null | head -n 1 || true)
    [ -n "$statistics" ] && break
    sleep 0.1
done
[ -n "$statistics" ] || fail "no statistics window after Ctrl+H"
xdotool windowsize "$statistics" 820 700
xdotool windowmove "$statistics" 0 0
xdotool windowfocus "$statistics" 2>/dev/null || true
sleep 0.5  # the move is drawn
# 24 colours without dithering: the picture stays under 40 KB.
import -window root -crop 820x700+0+0 "$work/shot.png"
convert "$work/shot.png" +dither -colors 24 -define png:compression-level=9 "PNG8:$out"
echo "wrote $out"
xdotool key Escape  # the statistics window has the focus; it closes
xs_key ctrl+q
xs_wait_exit "$app_pid" 20 || true
