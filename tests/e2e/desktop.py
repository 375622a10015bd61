"""Helpers of the end-to-end tests that run the program on a desktop of their
own: an X server (Xvfb) with a window manager (openbox), both started here
and stopped by their process ids; the X server's cursor image (XFixes); the
CPU time a process uses (/proc); and picture features that tell a sharp
picture from an upscaled one.

Standard library only (the X calls go through ctypes).
"""
import ctypes
import os
import shutil
import subprocess
import tempfile
import time

from e2elib import Failure, check


class Desktop:
    """Xvfb on a free display number, with openbox on it when asked for; the
    display is made the one of this process (DISPLAY) while it runs."""

    def __init__(self, width, height, window_manager=True):
        self.processes = []
        self.previous_display = os.environ.get("DISPLAY")
        try:
            self.display = self._start_server(width, height)
            os.environ["DISPLAY"] = self.display
            if window_manager:
                self._start_window_manager()
        except BaseException:
            self.close()
            raise

    def _start_server(self, width, height):
        for number in range(120, 200):
            if os.path.exists(f"/tmp/.X11-unix/X{number}") or os.path.exists(f"/tmp/.X{number}-lock"):
                continue
            server = subprocess.Popen(
                ["Xvfb", f":{number}", "-screen", "0", f"{width}x{height}x24", "-nolisten", "tcp",
                 "-noreset"],
                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            deadline = time.monotonic() + 10
            while time.monotonic() < deadline and server.poll() is None:
                # Ready once it answers, which is later than its socket appears.
                if os.path.exists(f"/tmp/.X11-unix/X{number}") and subprocess.run(
                        ["xprop", "-display", f":{number}", "-root", "_NET_SUPPORTED"],
                        capture_output=True).returncode == 0:
                    self.processes.append(server)
                    return f":{number}"
                time.sleep(0.05)
            if server.poll() is None:
                server.kill()
            server.wait()
        raise Failure("no free display for Xvfb")

    def _start_window_manager(self):
        log = tempfile.TemporaryFile(mode="w+")
        manager = subprocess.Popen(["openbox", "--sm-disable"], env=dict(os.environ),
                                   stdout=log, stderr=subprocess.STDOUT)
        self.processes.append(manager)
        # openbox owns the screen once it has set _NET_SUPPORTING_WM_CHECK.
        deadline = time.monotonic() + 10
        while time.monotonic() < deadline:
            if manager.poll() is not None:
                log.seek(0)
                raise Failure(f"openbox ended at start ({manager.returncode}): {log.read()}")
            out = subprocess.run(["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"],
                                 capture_output=True, text=True)
            if "window id" in out.stdout:
                return
            time.sleep(0.1)
        raise Failure("openbox did not take the screen")

    def close(self):
        for process in reversed(self.processes):
            if process.poll() is None:
                process.terminate()
                try:
                    process.wait(timeout=5)
                except subprocess.TimeoutExpired:
                    process.kill()
                    process.wait()
        self.processes = []
        if self.previous_display is None:
            os.environ.pop("DISPLAY", None)
        else:
            os.environ["DISPLAY"] = self.previous_display


def missing_tools(*tools):
    return [tool for tool in tools if not shutil.which(tool)]


# ------------------------------------------------------------------ cursor
class _CursorImage(ctypes.Structure):
    _fields_ = [("x", ctypes.c_short), ("y", ctypes.c_short),
                ("width", ctypes.c_ushort), ("height", ctypes.c_ushort),
                ("xhot", ctypes.c_ushort), ("yhot", ctypes.c_ushort),
                ("cursor_serial", ctypes.c_ulong),
                ("pixels", ctypes.POINTER(ctypes.c_ulong)),
                ("atom", ctypes.c_ulong), ("name", ctypes.c_char_p)]


def cursor_image():
    """The X server's current cursor as (width, height, ARGB pixels), or None
    where libXfixes cannot be loaded."""
    try:
        x11 = ctypes.CDLL("libX11.so.6")
        xfixes = ctypes.CDLL("libXfixes.so.3")
    except OSError:
        return None
    x11.XOpenDisplay.restype = ctypes.c_void_p
    x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
    x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
    x11.XFree.argtypes = [ctypes.c_void_p]
    xfixes.XFixesGetCursorImage.restype = ctypes.POINTER(_CursorImage)
    xfixes.XFixesGetCursorImage.argtypes = [ctypes.c_void_p]
    display = x11.XOpenDisplay(None)
    check(display, "cannot open the X display for the cursor image")
    try:
        found = xfixes.XFixesGetCursorImage(display)
        check(found, "XFixes gave no cursor image")
        image = found.contents
        pixels = [image.pixels[i] & 0xFFFFFFFF for i in range(image.width * image.height)]
        result = (image.width, image.height, pixels)
        x11.XFree(found)
        return result
    finally:
        x11.XCloseDisplay(display)


def opaque_pixels(cursor):
    return sum(1 for p in cursor[2] if p >> 24 == 0xFF)


def has_mark(cursor):
    """The grey 12 x 5 mark the program stamps into the top-left corner of
    its full-screen cursor (pattern rows 0xCCC0, 0xA2A0, ...)."""
    width, height, pixels = cursor
    pattern = (0xCCC0, 0xA2A0, 0xA4A0, 0xA2A0, 0xCCC0)
    if width < 12 or height < 5:
        return False
    for y, row in enumerate(pattern):
        for x in range(12):
            if (row >> (15 - x)) & 1 and (pixels[y * width + x] & 0xFF808080) != 0xFF808080:
                return False
    return True


# --------------------------------------------------------------------- CPU
def cpu_share(pid, seconds):
    """The share of one core the process used over the next `seconds`
    (user + system time from /proc/PID/stat)."""
    def used():
        with open(f"/proc/{pid}/stat") as f:
            fields = f.read().rsplit(")", 1)[1].split()
        return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")
    before, start = used(), time.monotonic()
    time.sleep(seconds)
    return (used() - before) / (time.monotonic() - start)


# ---------------------------------------------------------- picture features
def single_pixel_points(image, box, threshold=60):
    """Bright pixels whose four neighbours are all much darker: stars drawn
    one pixel wide.  A picture scaled up from a smaller back buffer has
    none, each of its points being at least two pixels across."""
    _, _, rows = image
    x0, y0, x1, y1 = box
    count = 0
    for y in range(max(y0, 1), min(y1, len(rows) - 1)):
        above, row, below = rows[y - 1], rows[y], rows[y + 1]
        for x in range(max(x0, 1), x1 - 1):
            i = 3 * x
            level = max(row[i:i + 3])
            if level < threshold:
                continue
            limit = level // 2
            if (max(row[i - 3:i]) < limit and max(row[i + 3:i + 6]) < limit and
                    max(above[i:i + 3]) < limit and max(below[i:i + 3]) < limit):
                count += 1
    return count


def text_lines(image, box, predicate):
    """The runs of consecutive rows in box holding pixels for which
    predicate(r, g, b) holds, top to bottom, as (first row, height)."""
    _, _, rows = image
    x0, y0, x1, y1 = box
    lines, start = [], None
    for y in range(y0, y1):
        row = rows[y]
        hit = any(predicate(row[3 * x], row[3 * x + 1], row[3 * x + 2]) for x in range(x0, x1))
        if hit and start is None:
            start = y
        elif not hit and start is not None:
            lines.append((start, y - start))
            start = None
    if start is not None:
        lines.append((start, y1 - start))
    return lines


def window_geometry(window):
    """(x, y, width, height) of a window's own area on the screen, frame
    excluded (xwininfo; xdotool adds a reparenting window manager's frame
    offset to the position once more), or None when it cannot be read."""
    out = subprocess.run(["xwininfo", "-id", str(window)], capture_output=True, text=True,
                         timeout=10)
    if out.returncode != 0:
        return None
    values = {}
    for line in out.stdout.splitlines():
        name, _, value = line.strip().partition(":")
        values[name] = value.strip()
    try:
        return (int(values["Absolute upper-left X"]), int(values["Absolute upper-left Y"]),
                int(values["Width"]), int(values["Height"]))
    except (KeyError, ValueError):
        return None


def client_area(shot, window_geometry):
    """The GL client area of a window (x, y, width, height as xdotool gives
    them): the window less the menu bar above it, found as the first row of
    scene black in the window's rightmost columns, which no menu title
    reaches.  None while the window shows no scene."""
    if not window_geometry:
        return None
    x, y, width, height = window_geometry
    screen_width, screen_height, rows = shot
    if x < 0 or y < 0 or x + width > screen_width or y + height > screen_height or width < 4:
        return None  # on its way somewhere
    column = x + width - 3
    for row in range(y, y + height):
        if max(rows[row][3 * column:3 * column + 3]) < 30:
            return x, row, x + width, y + height
    return None


def save(image, path):
    """Writes an image as a binary PPM (for the shots kept for a look)."""
    width, height, rows = image
    with open(path, "wb") as f:
        f.write(b"P6\n%d %d\n255\n" % (width, height))
        for row in rows:
            f.write(row)
