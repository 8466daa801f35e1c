#!/bin/sh
# Resident memory of a running process, from /proc/PID/status: now and at its peak, in kB.
#   memory.sh PID  ->  rss_kb=48212 peak_kb=51340
[ -r "/proc/$1/status" ] || { echo "no process $1" >&2; exit 1; }
awk '/^VmRSS:/ {rss = $2} /^VmHWM:/ {peak = $2} END {printf "rss_kb=%d peak_kb=%d\n", rss, peak}' \
    "/proc/$1/status"
