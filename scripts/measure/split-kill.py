#!/usr/bin/python3
"""A split kept through a kill: starts a program on a split file, starts the run with the space
key, presses space once more for the first split, and KILL_MS milliseconds (10 by default) after
the press sends SIGKILL; then reads the split-state file beside the split file. Each round on a
fresh copy of the split file, ROUNDS rounds (10 by default).

    split-kill.py SPLIT_FILE CMD [ARGS...]      (the split file is appended to CMD)
    -> round 1 kept 10.0       round number, kept or lost, ms from the press to the kill
       ...
       kept 10 of 10

The split-state file's second line is the run time and the splits done: "1" there means the
split was on disk when the process died. Needs $DISPLAY, XTEST and python3-xlib; the program's
settings must have the split-state autosave on.
"""
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time

from Xlib import X, XK
from Xlib.ext import xtest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import xwindow  # noqa: E402


def press(keycode):
    xtest.fake_input(xwindow.DISPLAY, X.KeyPress, keycode)
    xtest.fake_input(xwindow.DISPLAY, X.KeyRelease, keycode)
    xwindow.DISPLAY.sync()
    return time.monotonic()


def done_splits(state):
    try:
        with open(state) as f:
            lines = f.read().split("\n")
        return lines[1].split("\t")[1]
    except (OSError, IndexError):
        return "-"


def wait_for(condition, seconds):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        if condition():
            return True
        time.sleep(0.01)
    return False


if len(sys.argv) < 3:
    sys.exit(__doc__)
source, command = sys.argv[1], sys.argv[2:]
rounds = int(os.environ.get("ROUNDS", "10"))
kill_after = float(os.environ.get("KILL_MS", "10")) / 1000
space = xwindow.DISPLAY.keysym_to_keycode(XK.string_to_keysym("space"))
work = tempfile.mkdtemp(prefix="quorvel-kill-")
kept = 0
try:
    for round_number in range(1, rounds + 1):
        route = os.path.join(work, "route.txt")
        state = os.path.join(work, "route-SplitState.txt")
        shutil.copy(source, route)
        if os.path.exists(state):
            os.remove(state)
        process = subprocess.Popen(command + [route], stdout=subprocess.DEVNULL,
                                   stderr=subprocess.DEVNULL)
        window = xwindow.find_window(process.pid)
        time.sleep(0.5)  # laid out, painted, and past the input lockout of the launch
        window.set_input_focus(X.RevertToParent, X.CurrentTime)
        xwindow.DISPLAY.sync()
        press(space)
        if not wait_for(lambda: done_splits(state) == "0", 5):
            sys.exit("round %d: the start was not saved" % round_number)
        time.sleep(0.4)  # past the input lockout of the start
        pressed = press(space)
        time.sleep(max(0.0, kill_after - (time.monotonic() - pressed)))
        process.send_signal(signal.SIGKILL)
        killed = time.monotonic()
        process.wait()
        result = "kept" if done_splits(state) == "1" else "lost"
        kept += result == "kept"
        print("round", round_number, result, "%.1f" % ((killed - pressed) * 1000), flush=True)
finally:
    shutil.rmtree(work, ignore_errors=True)
print("kept", kept, "of", rounds)
