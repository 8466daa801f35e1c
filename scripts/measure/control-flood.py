#!/usr/bin/python3
"""A flood of outside commands from another process: waits for the window's local control
socket, then sends queries as fast as the window takes them, in batches of COUNT lines, and
reads every reply, until SECONDS have passed (or it is ended). Queries only, so that the run
being measured beside it is not touched. The window's resident memory (found through the
socket's peer) is read before the first batch and after each.

    control-flood.py SOCKET COUNT SECONDS
    -> pid 12345 rss_kb 61234
       batch 1 lines 100000 secs 1.92 rss_kb 61240
       batch 2 lines 100000 secs 1.88 rss_kb 61240
       total lines 200000 replies 200000
"""
import os
import signal
import socket
import struct
import sys
import threading
import time

QUERIES = [b"getcurrenttime\r\n", b"getdelta\r\n", b"getsplitindex\r\n", b"ping\r\n",
           b"getcurrentsplitname\r\n", b"gettimerphase\r\n", b"getlastsplittime\r\n"]


def rss_kb(pid):
    with open("/proc/%d/status" % pid) as status:
        for line in status:
            if line.startswith("VmRSS:"):
                return int(line.split()[1])
    return -1


if len(sys.argv) != 4:
    sys.exit(__doc__)
path, count, seconds = sys.argv[1], int(sys.argv[2]), float(sys.argv[3])
deadline = time.monotonic() + 60
while True:
    try:
        s = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
        s.connect(path)
        s.sendall(b"ping\r\n")
        if s.recv(16).startswith(b"pong"):
            break
    except OSError:
        pass
    if time.monotonic() > deadline:
        sys.exit("no window answers on " + path)
    time.sleep(0.05)
pid = struct.unpack("3i", s.getsockopt(socket.SOL_SOCKET, socket.SO_PEERCRED, 12))[0]
print("pid %d rss_kb %d" % (pid, rss_kb(pid)), flush=True)

replies = 0


def stop(signum, frame):
    raise KeyboardInterrupt


signal.signal(signal.SIGTERM, stop)


def read():
    global replies
    while True:
        try:
            data = s.recv(65536)
        except OSError:
            return
        if not data:
            return
        replies += data.count(b"\n")


threading.Thread(target=read, daemon=True).start()
# One batch as chunks of 700 lines or so (about 10 KiB each).
lines = [QUERIES[i % len(QUERIES)] for i in range(count)]
chunks = [b"".join(lines[i:i + 700]) for i in range(0, count, 700)]
end, sent, batch = time.monotonic() + seconds, 0, 0
try:
    while time.monotonic() < end:
        start = time.monotonic()
        for chunk in chunks:
            s.sendall(chunk)
        sent += count
        batch += 1
        while replies < sent and time.monotonic() < start + 60:
            time.sleep(0.01)
        print("batch %d lines %d secs %.2f rss_kb %d"
              % (batch, count, time.monotonic() - start, rss_kb(pid)), flush=True)
except (OSError, KeyboardInterrupt):
    pass
print("total lines %d replies %d" % (sent, replies), flush=True)
