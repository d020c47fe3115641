#!/usr/bin/env python3
# SPDX-License-Identifier: Apache-2.0
"""Measures the Corvane window from outside, on an X display (Xvfb): the time from process start
to the first fully painted window, and the peak memory of the running window after some use.

The window is watched through plain Xlib calls (ctypes): a few pixel rows are read back until
they show what the settled window shows. The program under test gets no switch or variable.
"""
import argparse
import ctypes
import ctypes.util
import os
import signal
import statistics
import subprocess
import sys
import time

X11 = ctypes.cdll.LoadLibrary(ctypes.util.find_library("X11") or "libX11.so.6")
XTST = ctypes.cdll.LoadLibrary(ctypes.util.find_library("Xtst") or "libXtst.so.6")

WINDOW_TITLE = b"Corvane"
ZPIXMAP = 2
ALL_PLANES = ctypes.c_ulong(~0 & 0xFFFFFFFFFFFFFFFF)
# Pixel rows of the client area that cross every part of the window (groups, chart, readout,
# schematic, grid, graph parameters) but not the drop-down that holds the focus and blinks.
SAMPLE_ROWS = (4, 60, 150, 250, 330, 400, 480)
SETTLE_SECONDS = 1.5


class XImage(ctypes.Structure):
    _fields_ = [("width", ctypes.c_int), ("height", ctypes.c_int), ("xoffset", ctypes.c_int),
                ("format", ctypes.c_int), ("data", ctypes.POINTER(ctypes.c_char)),
                ("byte_order", ctypes.c_int), ("bitmap_unit", ctypes.c_int),
                ("bitmap_bit_order", ctypes.c_int), ("bitmap_pad", ctypes.c_int),
                ("depth", ctypes.c_int), ("bytes_per_line", ctypes.c_int),
                ("bits_per_pixel", ctypes.c_int)]


X11.XOpenDisplay.restype = ctypes.c_void_p
X11.XOpenDisplay.argtypes = [ctypes.c_char_p]
X11.XDefaultRootWindow.restype = ctypes.c_ulong
X11.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
X11.XQueryTree.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.POINTER(ctypes.c_ulong),
                           ctypes.POINTER(ctypes.c_ulong), ctypes.POINTER(ctypes.POINTER(ctypes.c_ulong)),
                           ctypes.POINTER(ctypes.c_uint)]
X11.XFetchName.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.POINTER(ctypes.c_char_p)]
X11.XGetImage.restype = ctypes.POINTER(XImage)
X11.XGetImage.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int, ctypes.c_uint,
                          ctypes.c_uint, ctypes.c_ulong, ctypes.c_int]
X11.XDestroyImage.argtypes = [ctypes.POINTER(XImage)]
X11.XFree.argtypes = [ctypes.c_void_p]
X11.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
X11.XFlush.argtypes = [ctypes.c_void_p]
X11.XGetGeometry.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.POINTER(ctypes.c_ulong)] + \
    [ctypes.POINTER(ctypes.c_int)] * 2 + [ctypes.POINTER(ctypes.c_uint)] * 4
XTST.XTestFakeMotionEvent.argtypes = [ctypes.c_void_p, ctypes.c_int, ctypes.c_int, ctypes.c_int, ctypes.c_ulong]
XTST.XTestFakeButtonEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int, ctypes.c_ulong]

# A window that goes away or is not yet viewable makes XGetImage fail: that is expected here.
ERROR_HANDLER = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p, ctypes.c_void_p)(lambda d, e: 0)
X11.XSetErrorHandler(ERROR_HANDLER)


class Display:
    def __init__(self):
        self.dpy = X11.XOpenDisplay(None)
        if not self.dpy:
            sys.exit("cannot open the X display " + os.environ.get("DISPLAY", "(unset)"))
        self.root = X11.XDefaultRootWindow(self.dpy)

    def find_window(self):
        root, parent = ctypes.c_ulong(), ctypes.c_ulong()
        children, count = ctypes.POINTER(ctypes.c_ulong)(), ctypes.c_uint()
        if not X11.XQueryTree(self.dpy, self.root, ctypes.byref(root), ctypes.byref(parent),
                              ctypes.byref(children), ctypes.byref(count)):
            return None
        # Qt also names its 1 x 1 client-leader window after the application: take the largest.
        found, area = None, 1
        for i in range(count.value):
            name = ctypes.c_char_p()
            if X11.XFetchName(self.dpy, children[i], ctypes.byref(name)) and name.value:
                if name.value == WINDOW_TITLE:
                    _, _, width, height = self.origin(children[i])
                    if width * height > area:
                        found, area = children[i], width * height
                X11.XFree(name)
        if children:
            X11.XFree(children)
        return found

    def origin(self, window):
        root = ctypes.c_ulong()
        x, y = ctypes.c_int(), ctypes.c_int()
        w, h, b, d = ctypes.c_uint(), ctypes.c_uint(), ctypes.c_uint(), ctypes.c_uint()
        X11.XGetGeometry(self.dpy, window, ctypes.byref(root), ctypes.byref(x), ctypes.byref(y),
                         ctypes.byref(w), ctypes.byref(h), ctypes.byref(b), ctypes.byref(d))
        return x.value, y.value, w.value, h.value

    def rows(self, window, width, rows):
        """The raw pixels of some rows of a window, or None while it cannot be read."""
        pixels = []
        for y in rows:
            image = X11.XGetImage(self.dpy, window, 0, y, width, 1, ALL_PLANES, ZPIXMAP)
            if not image:
                return None
            pixels.append(ctypes.string_at(image.contents.data, image.contents.bytes_per_line))
            X11.XDestroyImage(image)
        return b"".join(pixels)

    def click(self, x, y):
        XTST.XTestFakeMotionEvent(self.dpy, -1, x, y, 0)
        XTST.XTestFakeButtonEvent(self.dpy, 1, 1, 0)
        XTST.XTestFakeButtonEvent(self.dpy, 1, 0, 0)
        X11.XSync(self.dpy, 0)

    def move(self, x, y):
        XTST.XTestFakeMotionEvent(self.dpy, -1, x, y, 0)
        X11.XSync(self.dpy, 0)


def launch(app):
    return subprocess.Popen([app], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def stop(process):
    process.send_signal(signal.SIGTERM)
    try:
        process.wait(timeout=5)
    except subprocess.TimeoutExpired:
        process.kill()
        process.wait()


def watch_first_paint(display, app, timeout):
    """Starts the program and returns (process, seconds from start to the window's first readable
    content, seconds to its first settled paint, window)."""
    start = time.perf_counter()
    process = launch(app)
    window, width, samples = None, 0, []
    settle_from = None
    while time.perf_counter() - start < timeout:
        now = time.perf_counter()
        if window is None:
            window = display.find_window()
            if window is not None:
                width = display.origin(window)[2]
        if window is not None:
            pixels = display.rows(window, width, SAMPLE_ROWS)
            if pixels is not None:
                samples.append((now - start, pixels))
                settle_from = settle_from or now
                if now - settle_from > SETTLE_SECONDS:
                    break
        time.sleep(0.0005)
    if not samples:
        stop(process)
        sys.exit("the window never appeared")
    final = samples[-1][1]
    first = len(samples) - 1
    while first > 0 and samples[first - 1][1] == final:
        first -= 1
    return process, samples[0][0], samples[first][0], window


def measure_startup(args):
    display = Display()
    mapped, painted = [], []
    for _ in range(args.runs):
        process, shown, seconds, _ = watch_first_paint(display, args.app, args.timeout)
        stop(process)
        mapped.append(shown * 1000.0)
        painted.append(seconds * 1000.0)
        time.sleep(0.2)
    for label, times in (("mapped", mapped), ("first painted", painted)):
        print("start to %s window over %d runs: median %.1f ms, min %.1f ms, max %.1f ms"
              % (label, len(times), statistics.median(times), min(times), max(times)))
    print("first painted, each run (ms): " + " ".join("%.1f" % t for t in painted))


def peak_memory(pid):
    fields = {}
    with open("/proc/%d/status" % pid) as status:
        for line in status:
            key, _, value = line.partition(":")
            fields[key] = value.strip()
    return fields.get("VmHWM", "?"), fields.get("VmRSS", "?")


def measure_memory(args):
    display = Display()
    process, _, seconds, window = watch_first_paint(display, args.app, args.timeout)
    left, top, width, _ = display.origin(window)
    # Client positions: "&Calculate", the chart, "Logarithmic scale" and "Apply".
    calculate, check_box, apply = (143, 322), (524, 466), (591, 498)
    before = display.rows(window, width, (150, 250))
    for _ in range(args.clicks):
        display.click(left + calculate[0], top + calculate[1])
        for x in range(240, 620, 4):
            display.move(left + x, top + 150)
        display.click(left + check_box[0], top + check_box[1])
        display.click(left + apply[0], top + apply[1])
        time.sleep(0.05)
    time.sleep(0.5)
    after = display.rows(window, width, (150, 250))
    hwm, rss = peak_memory(process.pid)
    stop(process)
    print("first painted after %.1f ms; chart changed by the runs: %s" % (seconds * 1000.0, before != after))
    print("peak resident memory (VmHWM) %s, resident at the end (VmRSS) %s" % (hwm, rss))


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("what", choices=("startup", "memory"))
    parser.add_argument("app")
    parser.add_argument("--runs", type=int, default=20)
    parser.add_argument("--clicks", type=int, default=20)
    parser.add_argument("--timeout", type=float, default=20.0)
    args = parser.parse_args()
    if args.what == "startup":
        measure_startup(args)
    else:
        measure_memory(args)


if __name__ == "__main__":
    main()
