#!/usr/bin/python3
"""Key press to split visible: starts a program with a split file, starts the run with the
space key (sent through the XTEST extension to the focused window), then presses space for
each split, CADENCE seconds apart (0.5 by default), and for the first K of them measures
the time until the screen shows the split: the first grab in which the window's last grid
column (the run being timed) differs from the grab just before the press. The rows that
change on their own (the running clock) are found before the run and left out.

    split-latency.py K TOTAL CMD [ARGS...]     (splits made: the larger of K and TOTAL)
    -> pid 12345
       split 1 12.8 500.4     split number, ms to visible ("-" unwatched or not seen in
       split 2 10.1 1001.0    2 s), ms of the key press after the start key's press

The pointer rests in the screen's bottom-right corner, off the window, as when the runner
plays the game; POINTER=over leaves it over the grid, where the grid's scroll bar shows and
each scroll paints the visible grid again instead of moving it on the screen.

STRIP_INSET=N watches a strip N pixels in from the right edge instead, for a window whose
times end inside a margin (the Splits view's).

Polling the screen keeps the X server busy: run with K=0 for key times undisturbed. The
program is left running; the caller ends it. Needs $DISPLAY, XTEST and python3-xlib.
"""
import os
import subprocess
import sys
import time

from Xlib import X, XK
from Xlib.ext import xtest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import xwindow  # noqa: E402

# The strip watched: the right edge of the last column, where its right-aligned times end
# ("---" becomes "1:02.35"). Narrow, so that each grab holds the X server, which also draws
# the program's window, as briefly as it can: a strip 55 pixels wide and as tall as the
# screen took 0.5 to 0.8 ms a grab and added about 2 ms to every figure.
STRIP_WIDTH = 12
MENU_BAR = 22


def press(keycode):
    """Presses and releases the key; returns the time the press was sent."""
    sent = time.monotonic()
    xtest.fake_input(xwindow.DISPLAY, X.KeyPress, keycode)
    xtest.fake_input(xwindow.DISPLAY, X.KeyRelease, keycode)
    xwindow.DISPLAY.sync()
    return sent


def rows(pixels, width):
    stride = width * 4
    return [pixels[r * stride:(r + 1) * stride] for r in range(len(pixels) // stride)]


if len(sys.argv) < 4:
    sys.exit(__doc__)
watched, total = int(sys.argv[1]), int(sys.argv[2])
cadence = float(os.environ.get("CADENCE", "0.5"))
process = subprocess.Popen(sys.argv[3:], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
print("pid", process.pid, flush=True)
window = xwindow.find_window(process.pid)
time.sleep(1)  # laid out and painted
x, y, width, height = xwindow.frame_of(window)
if os.environ.get("POINTER") == "over":
    xwindow.ROOT.warp_pointer(x + width // 2, y + height // 2)
else:
    screen = xwindow.ROOT.get_geometry()
    xwindow.ROOT.warp_pointer(screen.width - 1, screen.height - 1)
window.set_input_focus(X.RevertToParent, X.CurrentTime)
xwindow.DISPLAY.sync()
time.sleep(0.2)
space = xwindow.DISPLAY.keysym_to_keycode(XK.string_to_keysym("space"))

# STRIP_INSET=N moves the strip N pixels in from the right edge, for a window whose times end
# before it (a margin).
inset = int(os.environ.get("STRIP_INSET", "0"))
strip = (x + width - STRIP_WIDTH - inset, y + MENU_BAR, STRIP_WIDTH, height - MENU_BAR)
start = press(space)
# Rows that change while nothing is pressed: the clock, ticking every 75 ms.
time.sleep(0.3)
noisy = set()
before = rows(xwindow.grab(*strip), STRIP_WIDTH)
for _ in range(6):
    time.sleep(0.05)
    now = rows(xwindow.grab(*strip), STRIP_WIDTH)
    noisy.update(r for r in range(len(now)) if now[r] != before[r])
    before = now
quiet = [r for r in range(len(before)) if r not in noisy]

for split in range(1, max(watched, total) + 1):
    time.sleep(cadence)
    before = rows(xwindow.grab(*strip), STRIP_WIDTH)
    pressed = press(space)
    latency = "-"
    if split <= watched:
        while time.monotonic() - pressed < 2:
            now = rows(xwindow.grab(*strip), STRIP_WIDTH)
            if any(now[r] != before[r] for r in quiet):
                latency = "%.1f" % ((time.monotonic() - pressed) * 1000)
                break
    print("split", split, latency, "%.1f" % ((pressed - start) * 1000), flush=True)
