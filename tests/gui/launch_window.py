"""Starts the program on the current X display, finds its window by caption, saves a
screenshot, asks the window to close as its close box would, and checks the exit status.

usage: launch_window.py PROGRAM SCREENSHOT.png
"""

import struct
import subprocess
import sys
import time
import zlib

from Xlib import X, Xatom, display, error, protocol

CAPTION = "Linear Simultaneous Equations by Quorvelt"
ORIGIN = (324, 220)
SIZE = (636, 491)
PATIENCE = 120  # seconds; generous, since a sanitizer build starts slowly


def wait_for(what, probe):
    deadline = time.monotonic() + PATIENCE
    while time.monotonic() < deadline:
        found = probe()
        if found:
            return found
        time.sleep(0.1)
    sys.exit(f"FAIL: no {what} within {PATIENCE} s")


def caption_of(disp, window):
    try:
        utf8 = disp.intern_atom("UTF8_STRING")
        prop = window.get_full_property(disp.intern_atom("_NET_WM_NAME"), utf8)
        if prop:
            return prop.value.decode("utf-8", "replace")
        return window.get_wm_name()
    except error.BadWindow:
        return None


def find_window(disp, parent):
    # A window that the starting program, or another client, destroys during the walk is
    # passed over rather than failing the test: whether the walk meets one is timing.
    try:
        children = parent.query_tree().children
    except error.BadWindow:
        return None
    for child in children:
        if caption_of(disp, child) == CAPTION:
            return child
        found = find_window(disp, child)
        if found:
            return found
    return None


def grab(window):
    geometry = window.get_geometry()
    image = window.get_image(0, 0, geometry.width, geometry.height, X.ZPixmap, 0xFFFFFFFF)
    return geometry.width, geometry.height, image.data


def write_png(path, width, height, bgrx):
    rows = b"".join(
        b"\0" + bytes(px for i in range(y * width * 4, (y + 1) * width * 4, 4)
                      for px in (bgrx[i + 2], bgrx[i + 1], bgrx[i]))
        for y in range(height))

    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data
                + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))

    with open(path, "wb") as out:
        out.write(b"\x89PNG\r\n\x1a\n")
        out.write(chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)))
        out.write(chunk(b"IDAT", zlib.compress(rows, 9)))
        out.write(chunk(b"IEND", b""))


def settled_image(window):
    """The window's contents once painting has stopped changing them."""
    last = [None]

    def probe():
        shot = grab(window)
        pixels = set(shot[2][i:i + 3] for i in range(0, len(shot[2]), 4 * 97))
        steady = shot == last[0] and len(pixels) > 2
        last[0] = shot
        return shot if steady else None

    return wait_for("painted window", probe)


def main():
    program, screenshot = sys.argv[1], sys.argv[2]
    disp = display.Display()
    root = disp.screen().root
    proc = subprocess.Popen([program], stdin=subprocess.DEVNULL)
    try:
        window = wait_for("window captioned " + repr(CAPTION), lambda: find_window(disp, root))
        wait_for("mapped window",
                 lambda: window.get_attributes().map_state == X.IsViewable)

        geometry = window.get_geometry()
        origin = window.translate_coords(root, 0, 0)
        place = (-origin.x, -origin.y)
        hints = window.get_wm_normal_hints()
        print(f"window at {place}, {geometry.width} x {geometry.height}")
        failures = []
        if (geometry.width, geometry.height) != SIZE:
            failures.append(f"client area {geometry.width} x {geometry.height}, not {SIZE}")
        if place != ORIGIN:
            failures.append(f"client area at {place}, not {ORIGIN}")
        if (hints.min_width, hints.min_height, hints.max_width, hints.max_height) != SIZE * 2:
            failures.append("size hints do not fix the size")
        if disp.intern_atom("WM_DELETE_WINDOW") not in (window.get_wm_protocols() or []):
            failures.append("window does not take WM_DELETE_WINDOW")
        if not window.get_full_property(disp.intern_atom("_NET_WM_ICON"), X.AnyPropertyType):
            failures.append("window has no icon")

        width, height, pixels = settled_image(window)
        write_png(screenshot, width, height, pixels)
        print(f"screenshot saved to {screenshot}")

        # What a window manager sends when the close box is clicked.
        protocols = disp.intern_atom("WM_PROTOCOLS")
        delete = disp.intern_atom("WM_DELETE_WINDOW")
        window.send_event(protocol.event.ClientMessage(
            window=window, client_type=protocols,
            data=(32, [delete, X.CurrentTime, 0, 0, 0])), event_mask=X.NoEventMask)
        disp.flush()
        status = proc.wait(timeout=PATIENCE)
        print(f"program exited with status {status}")
        if status != 0:
            failures.append(f"exit status {status}, not 0")
    finally:
        if proc.poll() is None:
            proc.kill()
            proc.wait()
    for failure in failures:
        print("FAIL:", failure)
    sys.exit(1 if failures else 0)


if __name__ == "__main__":
    main()
