#!/usr/bin/python3
"""Share of one core that a process (and, if given, the X server) uses over a window of
time, from the user and system ticks in /proc/PID/stat, and the process's wake-ups per
second (voluntary and involuntary context switches in /proc/PID/status).

    cpu-use.py PID [XSERVER_PID] [SECONDS]      (SECONDS: 20 by default)
    -> cpu=1.85% xserver=0.40% wakeups=14.2/s

A process that ends during the window is reported as gone.
"""
import os
import sys
import time

TICKS = os.sysconf("SC_CLK_TCK")


def cpu_ticks(pid):
    with open("/proc/%d/stat" % pid) as f:
        # The command name may hold spaces: the fields after it start past the last ')'.
        fields = f.read().rsplit(")", 1)[1].split()
    return int(fields[11]) + int(fields[12])  # utime, stime (fields 14 and 15)


def switches(pid):
    total = 0
    with open("/proc/%d/status" % pid) as f:
        for line in f:
            if line.startswith(("voluntary_ctxt_switches", "nonvoluntary_ctxt_switches")):
                total += int(line.split()[1])
    return total


args = sys.argv[1:]
if not args:
    sys.exit(__doc__)
pid = int(args[0])
xserver = int(args[1]) if len(args) > 1 and args[1] != "-" else None
seconds = float(args[2]) if len(args) > 2 else 20.0
try:
    start = (time.monotonic(), cpu_ticks(pid), switches(pid),
             cpu_ticks(xserver) if xserver else 0)
    time.sleep(seconds)
    end = (time.monotonic(), cpu_ticks(pid), switches(pid),
           cpu_ticks(xserver) if xserver else 0)
except FileNotFoundError:
    sys.exit("process gone")
elapsed = end[0] - start[0]
share = lambda ticks: 100.0 * ticks / TICKS / elapsed  # noqa: E731
line = "cpu=%.2f%%" % share(end[1] - start[1])
if xserver:
    line += " xserver=%.2f%%" % share(end[3] - start[3])
line += " wakeups=%.1f/s" % ((end[2] - start[2]) / elapsed)
print(line)
