#!/usr/bin/python3
"""Launch time of a program's window: from spawning the program to its window being mapped
(the X server's MapNotify, no polling) and to its first painted frame (the first grab of the
window's top band that shows more than one colour: the menu bar and the clock drawn).

    launch-time.py CMD [ARGS...]
    -> 12345 41.3         pid, milliseconds to the window mapped
       painted 63.8       milliseconds to the first painted frame (after 5 s: "painted -")

The program is left running; the caller ends it. Needs $DISPLAY and python3-xlib.
"""
import os
import subprocess
import sys
import time

from Xlib import X

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import xwindow  # noqa: E402

if len(sys.argv) < 2:
    sys.exit(__doc__)
xwindow.ROOT.change_attributes(event_mask=X.SubstructureNotifyMask)
xwindow.DISPLAY.sync()
t0 = time.monotonic()
process = subprocess.Popen(sys.argv[1:], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

window = None
while window is None:
    if process.poll() is not None:
        sys.exit("the program ended before its window was mapped")
    event = xwindow.DISPLAY.next_event()
    if event.type == X.MapNotify and xwindow.pid_of(event.window) == process.pid:
        window = event.window
t_map = time.monotonic()
print(process.pid, "%.1f" % ((t_map - t0) * 1000), flush=True)

x, y, width, height = xwindow.frame_of(window)
# The top band (menu bar, clock, status line) only: a whole window takes milliseconds to grab.
band = min(height, 102)
deadline = t_map + 5
while time.monotonic() < deadline:
    pixels = xwindow.grab(x, y, width, band)
    # More than one colour (the fourth byte of a pixel is padding): the window has been
    # drawn on, beyond the plain background it is mapped with.
    if any(len(set(pixels[channel::4])) > 1 for channel in range(3)):
        print("painted %.1f" % ((time.monotonic() - t0) * 1000), flush=True)
        break
    time.sleep(0.002)
else:
    print("painted -", flush=True)
