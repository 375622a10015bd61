"""End-to-end test of the real program in a real window, driven with xdotool
under the X server of the test run: start-up from the data folder, the first
frame, keys, mouse, full screen and back, both dialogs and the exit.

Screenshots (ImageMagick's import) are checked by features: a bright disc
where the planet must be, HUD text pixels of the clock's colour in the
corners, changes where the view must change.  The settings go to a fresh
XDG_CONFIG_HOME, so the user's are never touched.

usage: window_test.py --program PATH --data DIR
"""
import argparse
import os
import shutil
import subprocess
import sys
import tempfile
import time

from e2elib import (Failure, bright, check, count_pixels, differing_pixels, environment,
                    green_text, orange_text, report_run, screenshot)

CLIENT_WIDTH, CLIENT_HEIGHT = 640, 480


def xdotool(*arguments, timeout=10):
    """xdotool's output, or None when it failed or hung (a window that never
    takes the focus makes --sync wait for ever)."""
    try:
        out = subprocess.run(["xdotool", *map(str, arguments)], capture_output=True, text=True,
                             timeout=timeout)
    except subprocess.TimeoutExpired:
        return None
    return out.stdout.strip() if out.returncode == 0 else None


def wait_for(condition, seconds, what):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        value = condition()
        if value:
            return value
        time.sleep(0.1)
    raise Failure(f"timed out after {seconds} s waiting for {what}")


def settle(check_shot, what, seconds=10):
    """The first screenshot for which check_shot(shot) holds: frames may come
    slowly on a busy machine, so each change is waited for, not assumed."""
    return wait_for(lambda: (lambda shot: shot if check_shot(shot) else None)(screenshot()),
                    seconds, what)


def find_window(name):
    found = xdotool("search", "--onlyvisible", "--name", name)
    return found.split()[0] if found else None


def geometry(window):
    text = xdotool("getwindowgeometry", "--shell", window)
    if not text:
        return None
    values = dict(line.split("=") for line in text.splitlines() if "=" in line)
    return int(values["X"]), int(values["Y"]), int(values["WIDTH"]), int(values["HEIGHT"])


class Program:
    def __init__(self, program, data, config):
        self.started = time.monotonic()
        self.process = subprocess.Popen([program], cwd=data,
                                        env=environment(XDG_CONFIG_HOME=config),
                                        stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
        self.window = wait_for(lambda: self.alive() and find_window("^Orbivista"), 20,
                               "the main window")

    def alive(self):
        check(self.process.poll() is None, f"the program ended early ({self.process.returncode})")
        return True

    def client_box(self, shot):
        """The GL client area: the window less the menu bar above it, found as the
        first row from the top of the window's middle column that is scene black."""
        x, y, width, height = geometry(self.window)
        column = x + width // 2
        for row in range(y, y + height):
            r, g, b = shot[2][row][3 * column:3 * column + 3]
            if max(r, g, b) < 30:
                break
        return column - width // 2, row, column + width // 2, y + height

    def key(self, *keys):
        xdotool("windowfocus", "--sync", self.window)
        for key in keys:
            xdotool("key", "--clearmodifiers", key)
            time.sleep(0.05)
        time.sleep(0.6)  # a few frames

    def close(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait()


def centre_box(box, half):
    x0, y0, x1, y1 = box
    cx, cy = (x0 + x1) // 2, (y0 + y1) // 2
    return cx - half, cy - half, cx + half, cy + half


def bottom_left(box):
    x0, y0, x1, y1 = box
    return x0, y1 - (y1 - y0) // 3, x0 + (x1 - x0) // 3, y1


def sky(box):
    """The upper part of the client area, clear of the planet and of the HUD."""
    x0, y0, x1, y1 = box
    return x0 + 10, y0 + 40, x1 - 10, y0 + (y1 - y0) // 3


def run(program_path, data):
    config = tempfile.mkdtemp(prefix="orbivista-e2e-")
    try:
        os.makedirs(os.path.join(config, "Brellcove"))
        with open(os.path.join(config, "Brellcove", "Orbivista.ini"), "w") as f:
            f.write(f"[General]\nWidth={CLIENT_WIDTH}\nHeight={CLIENT_HEIGHT}\n")
        program = Program(program_path, data, config)
        try:
            steps(program)
        finally:
            program.close()
        check(program.process.returncode == 0, f"exit status {program.process.returncode}")
        written = [os.path.join(root, name) for root, _, names in os.walk(config) for name in names]
        text = "".join(open(path).read() for path in written)
        check("MipMapping=1" in text and f"Width={CLIENT_WIDTH}" in text, f"settings: {text!r}")
        print("[ OK ] exit with status 0, settings written")
    finally:
        shutil.rmtree(config, ignore_errors=True)


def steps(program):
    # The first frame: Earth small in the middle, the HUD in green.
    def first_frame():
        shot = screenshot()
        box = program.client_box(shot)
        disc = count_pixels(shot, centre_box(box, 8), bright)
        text = count_pixels(shot, bottom_left(box), green_text)
        return (shot, box) if disc > 10 and text > 50 else None
    shot, box = wait_for(first_frame, 20, "the first frame (planet disc and HUD text)")
    print(f"[ OK ] first frame {time.monotonic() - program.started:.2f} s after the start")
    check(box[2] - box[0] == CLIENT_WIDTH, f"client width {box[2] - box[0]} (settings read)")

    # Planet 6: Saturn's disc is ten times the Earth's.
    earth = count_pixels(shot, centre_box(box, 60), bright)
    program.key("6")
    settle(lambda s: count_pixels(s, centre_box(box, 60), bright) > max(5 * earth, 1500),
           f"Saturn's disc (Earth's: {earth} pixels)")
    print("[ OK ] key 6 selects Saturn")

    # Pause: the clock's colour turns from green to orange.
    program.key("Pause")
    shot = settle(lambda s: count_pixels(s, bottom_left(box), orange_text) > 50 and
                  count_pixels(s, bottom_left(box), green_text) < 10, "the orange HUD")
    time.sleep(0.3)
    shot = screenshot()  # a frame or two later: the view stands still now
    print("[ OK ] Pause stops the clock (orange HUD)")

    # S: the stars go and come back (the clock stands, so only they change).
    program.key("s")
    stars_off = settle(lambda s: differing_pixels(shot, s, sky(box), threshold=10) > 20,
                       "the stars to go")
    gone = differing_pixels(shot, stars_off, sky(box), threshold=10)
    program.key("s")
    settle(lambda s: differing_pixels(shot, s, sky(box), threshold=10) < gone / 4,
           "the stars to come back")
    print("[ OK ] S toggles the stars")

    # Right-drag turns the view: the star field moves.
    before = screenshot()
    cx, cy = (box[0] + box[2]) // 2, (box[1] + box[3]) // 2
    xdotool("mousemove", cx, cy)
    xdotool("mousedown", "3")
    time.sleep(0.3)
    for _ in range(8):
        xdotool("mousemove_relative", "--", "15", "0")
        time.sleep(0.08)
    xdotool("mouseup", "3")
    after = settle(lambda s: differing_pixels(before, s, sky(box)) > 30,
                   "the sky to turn after the drag")
    print("[ OK ] right-drag turns the view")

    # Wheel forward: the field of view narrows, the disc grows.
    disc_before = count_pixels(after, centre_box(box, 120), bright)
    xdotool("mousemove", cx, cy)
    for _ in range(6):
        xdotool("click", "4")
        time.sleep(0.05)
    settle(lambda s: count_pixels(s, centre_box(box, 120), bright) > 1.3 * disc_before,
           f"the disc ({disc_before} pixels) to grow after the wheel")
    print("[ OK ] the wheel zooms in")

    # Alt+Return: full screen over the whole X screen, and back.
    screen = (xdotool("getdisplaygeometry") or "").split()
    check(len(screen) == 2, "xdotool cannot read the screen size")
    program.key("alt+Return")
    wait_for(lambda: geometry(program.window)[2:] == (int(screen[0]), int(screen[1])), 10,
             "the full-screen window")
    time.sleep(0.5)
    full = screenshot()
    sw, sh = int(screen[0]), int(screen[1])
    check(count_pixels(full, (sw // 2 - 60, sh // 2 - 60, sw // 2 + 60, sh // 2 + 60), bright)
          > 1000, "the planet fills the middle of the full screen")
    program.key("alt+Return")
    wait_for(lambda: geometry(program.window)[2] == CLIENT_WIDTH, 10, "the window again")
    print("[ OK ] Alt+Return switches to full screen and back")

    # F2: the Select Device dialog, left with Cancel.
    program.key("F2")
    dialog = wait_for(lambda: find_window("^Select Device$"), 10, "the Select Device dialog")
    # The Cancel button's centre in the dialog template (400 x 223 units, the
    # button at 315, 49, 75 x 23), scaled as the dialog is to its font.
    x, y, width, height = geometry(dialog)
    xdotool("mousemove", x + round(width * 352.5 / 400), y + round(height * 60.5 / 223))
    xdotool("click", "1")
    wait_for(lambda: not find_window("^Select Device$"), 10, "the dialog to close")
    program.alive()
    print("[ OK ] F2 opens the device dialog, Cancel closes it")

    # F1: the About box, left with OK (its default button).
    program.key("F1")
    about = wait_for(lambda: find_window("^About$"), 10, "the About box")
    xdotool("windowfocus", "--sync", about)
    xdotool("key", "Return")
    wait_for(lambda: not find_window("^About$"), 10, "the About box to close")
    program.alive()
    print("[ OK ] F1 shows the About box, OK closes it")

    # Esc: the program ends.
    program.key("Escape")
    program.process.wait(timeout=15)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--program", required=True)
    parser.add_argument("--data", required=True)
    args = parser.parse_args()
    for tool in ("xdotool", "import"):
        if not shutil.which(tool):
            print(f"{tool} is missing: install it (scripts/setup)")
            return 77
    if not os.environ.get("DISPLAY"):
        print("no X display: run under xvfb-run (scripts/test)")
        return 77
    return report_run(run, args.program, args.data)


if __name__ == "__main__":
    sys.exit(main())
