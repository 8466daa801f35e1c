# Shared by the measuring tools: the X connection and the top-level window of a process.
# Needs Debian's python3-xlib; the X server is $DISPLAY (a private Xvfb, no window manager).
import sys
import time

from Xlib import X, display

DISPLAY = display.Display()
ROOT = DISPLAY.screen().root
WM_PID = DISPLAY.intern_atom("_NET_WM_PID")


def pid_of(window):
    """The _NET_WM_PID of a window, or None."""
    try:
        prop = window.get_full_property(WM_PID, X.AnyPropertyType)
    except Exception:  # the window went away
        return None
    return prop.value[0] if prop else None


def find_window(pid, timeout=10.0):
    """The mapped top-level window of pid; exits with a message after timeout seconds."""
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        for window in ROOT.query_tree().children:
            if pid_of(window) == pid and window.get_attributes().map_state == X.IsViewable:
                return window
        time.sleep(0.02)
    sys.exit("no window of process %d" % pid)


def frame_of(window):
    """(x, y, width, height) of the window on the screen."""
    geometry = window.get_geometry()
    origin = window.translate_coords(ROOT, 0, 0)
    return -origin.x, -origin.y, geometry.width, geometry.height


def grab(x, y, width, height):
    """The screen's pixels in the rectangle, 4 bytes (B, G, R, pad) each."""
    return ROOT.get_image(x, y, width, height, X.ZPixmap, 0xFFFFFFFF).data
