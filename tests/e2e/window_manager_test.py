"""End-to-end test of the real program under a window manager: its own Xvfb
(1600 x 900, so that the full-screen mode 1024 x 768 has another aspect
than the screen) with openbox, both started here and stopped by their
process ids.

The program runs with decorations, as a user has it: maximise and restore
(wmctrl), minimise, move, full screen and back, the View menu, the Select
Device dialog and the About box.  Checked from screenshots and the X server:
the maximised picture is sharp and its HUD text is as high as in the frame
orbivista-render draws at that size (fonts of 20 x H / 600, at least 20, for
the new back buffer, not the old one stretched); the window comes back
from full screen exactly where and as large as it was; full screen shows the
4:3 mode between black bars and the cursor made from the window icon (with
its mark), hidden during a right-drag; an open menu or dialog and a
minimised window cost at most 2 % of a core (/proc).

usage: window_manager_test.py --program PATH --runner PATH --data DIR [--shots DIR]
"""
import argparse
import os
import shutil
import subprocess
import sys
import tempfile
import time

from desktop import (Desktop, client_area, cpu_share, cursor_image, has_mark, missing_tools,
                     opaque_pixels, save, single_pixel_points, text_lines, window_geometry)
from e2elib import (Failure, bright, check, count_pixels, environment, green_text, read_png,
                    report_run, screenshot)
from window_test import Program, bottom_left, centre_box, find_window, wait_for, xdotool

SCREEN_WIDTH, SCREEN_HEIGHT = 1600, 900
CLIENT_WIDTH, CLIENT_HEIGHT = 400, 300
MODE_WIDTH, MODE_HEIGHT = 1024, 768  # the full-screen mode the program starts with
IDLE_SHARE = 0.02  # of one core, with frames paused

shots_dir = None
runner = None  # orbivista-render, for frames of a given size to compare with
data_dir = None


def keep(name, shot):
    if shots_dir:
        save(shot, os.path.join(shots_dir, f"{name}.ppm"))


def wmctrl(*arguments):
    out = subprocess.run(["wmctrl", *map(str, arguments)], capture_output=True, text=True,
                         timeout=10)
    check(out.returncode == 0, f"wmctrl {' '.join(map(str, arguments))}: {out.stderr}")


def window_state(window):
    out = subprocess.run(["xprop", "-id", str(window), "_NET_WM_STATE"], capture_output=True,
                         text=True, timeout=10)
    return out.stdout


def key(program, *keys):
    xdotool("windowactivate", "--sync", program.window)
    for name in keys:
        xdotool("key", "--clearmodifiers", name)
        time.sleep(0.05)


def frame(program, what="a frame (planet disc and HUD text)", seconds=20):
    """The next screenshot showing the scene: the planet's disc in the
    middle of the client area and the HUD text at its bottom left."""
    def drawn():
        shot = screenshot()
        box = client_area(shot, window_geometry(program.window))
        if box and (count_pixels(shot, centre_box(box, 8), bright) > 10 and
                count_pixels(shot, bottom_left(box), green_text) > 50):
            return shot, box
        return None
    return wait_for(drawn, seconds, what)


def title_height(shot, box):
    """Height of the first HUD line: the planet's name in the large font."""
    lines = text_lines(shot, bottom_left(box), green_text)
    check(lines, "no HUD text at the bottom left")
    return lines[0][1]


def reference_title(width, height):
    """The HUD title's height in the frame orbivista-render draws into a
    back buffer of width x height: what the window must show at that size."""
    with tempfile.TemporaryDirectory(prefix="orbivista-wm-ref-") as folder:
        out = os.path.join(folder, "frame.png")
        done = subprocess.run([runner, "--workdir", data_dir, "--size", f"{width}x{height}",
                               "--out", out], capture_output=True, text=True, timeout=60,
                              env=environment())
        check(done.returncode == 0, f"orbivista-render: {done.stderr}")
        image = read_png(out)
    return title_height(image, (0, 0, width, height))


def idle_share(program, what):
    share = cpu_share(program.process.pid, 3.0)
    print(f"       {what}: {100 * share:.1f} % of a core")
    check(share <= IDLE_SHARE, f"{what}: {100 * share:.1f} % of a core (at most "
          f"{100 * IDLE_SHARE:.0f} %)")


def menu_open(shot, box):
    """The View menu's light popup over the top left of the dark scene."""
    x0, y0 = box[0], box[1]
    return count_pixels(shot, (x0 + 5, y0 + 5, x0 + 120, y0 + 60),
                        lambda r, g, b: min(r, g, b) > 180) > 1500


def steps(program):
    window = program.window
    hex_id = hex(int(window))

    # ---- windowed, decorated
    try:
        shot, box = frame(program, "the first frame")
    except Failure:
        keep("openbox-no-first-frame", screenshot())
        raise
    keep("openbox-window", shot)
    check((box[2] - box[0], box[3] - box[1]) == (CLIENT_WIDTH, CLIENT_HEIGHT),
          f"client area {box[2] - box[0]} x {box[3] - box[1]}")
    normal = window_geometry(window)
    title = title_height(shot, box)
    print(f"[ OK ] decorated window at {normal}, HUD title {title} px high")

    # ---- maximise: a new back buffer, not the old one stretched
    wmctrl("-i", "-r", hex_id, "-b", "add,maximized_vert,maximized_horz")
    wait_for(lambda: (window_geometry(window) or (0, 0, 0, 0))[2] > SCREEN_WIDTH - 100, 10,
             "the maximised window")
    def resized():
        shot, box = frame(program, "a maximised frame")
        expected = reference_title(box[2] - box[0], box[3] - box[1])
        return (shot, box, expected) if abs(title_height(shot, box) - expected) <= 1 else None
    try:
        shot, box, expected = wait_for(resized, 15, "the HUD at the maximised size")
    except Failure:
        shot = screenshot()
        box = client_area(shot, window_geometry(program.window))
        keep("openbox-maximised", shot)
        check(box, "no scene in the maximised window")
        width, height = box[2] - box[0], box[3] - box[1]
        raise Failure(f"maximised to {width} x {height}: HUD title {title_height(shot, box)} px "
                      f"high, {reference_title(width, height)} px in a frame of that size "
                      f"(a stretched picture has {title * height / CLIENT_HEIGHT:.0f})")
    keep("openbox-maximised", shot)
    points = single_pixel_points(shot, box)
    check(points >= 5, f"maximised picture: {points} one-pixel stars (an upscaled one has none)")
    print(f"[ OK ] maximised to {box[2] - box[0]} x {box[3] - box[1]}: HUD title "
          f"{title_height(shot, box)} px high as in a frame of that size, "
          f"{points} one-pixel stars")

    wmctrl("-i", "-r", hex_id, "-b", "remove,maximized_vert,maximized_horz")
    wait_for(lambda: window_geometry(window) == normal, 10, f"the restored window at {normal}")
    shot, box = frame(program, "a restored frame")
    check(abs(title_height(shot, box) - title) <= 1, "the HUD after restoring")
    print("[ OK ] restored to the same place and size, HUD as before")

    # ---- minimise: no frames, no spinning
    xdotool("windowminimize", window)
    wait_for(lambda: "_NET_WM_STATE_HIDDEN" in window_state(window), 10, "the minimised window")
    time.sleep(0.5)
    idle_share(program, "minimised")
    wmctrl("-i", "-a", hex_id)
    wait_for(lambda: "_NET_WM_STATE_HIDDEN" not in window_state(window), 10, "the window again")
    frame(program, "frames after the restore")
    print("[ OK ] minimised and restored")

    # ---- move, then full screen and back: the same place and size
    xdotool("windowmove", window, 300, 200)
    wait_for(lambda: (window_geometry(window) or normal)[:2] != normal[:2], 10, "the moved window")
    time.sleep(1.0)  # the move gesture settles
    moved = window_geometry(window)
    key(program, "alt+Return")
    wait_for(lambda: window_geometry(window) == (0, 0, SCREEN_WIDTH, SCREEN_HEIGHT), 10,
             "the full-screen window")
    full_box = (0, 0, SCREEN_WIDTH, SCREEN_HEIGHT)
    def pillarboxed():
        shot = screenshot()
        return shot if count_pixels(shot, full_box, green_text) > 200 else None
    shot = wait_for(pillarboxed, 15, "a full-screen frame")
    time.sleep(0.3)
    shot = screenshot()
    keep("openbox-fullscreen", shot)
    bar = (SCREEN_WIDTH - SCREEN_HEIGHT * MODE_WIDTH // MODE_HEIGHT) // 2  # 200
    lit = lambda r, g, b: max(r, g, b) > 8
    left = count_pixels(shot, (0, 0, bar - 2, SCREEN_HEIGHT), lit)
    right = count_pixels(shot, (SCREEN_WIDTH - bar + 2, 0, SCREEN_WIDTH, SCREEN_HEIGHT), lit)
    inside = count_pixels(shot, (bar, 0, SCREEN_WIDTH - bar, SCREEN_HEIGHT), green_text)
    check(left == 0 and right == 0 and inside > 200,
          f"4:3 mode on a 16:9 screen: {left} and {right} lit pixels in the side bars, "
          f"{inside} HUD pixels between them")
    print(f"[ OK ] full screen: the {MODE_WIDTH} x {MODE_HEIGHT} mode between black bars")

    # The full-screen pointer is the device cursor made from the window icon.
    xdotool("mousemove", SCREEN_WIDTH // 2, SCREEN_HEIGHT // 3)
    time.sleep(0.2)
    xdotool("mousemove_relative", "--", "5", "5")
    def icon_cursor():
        cursor = cursor_image()
        return cursor if cursor and opaque_pixels(cursor) > 50 and has_mark(cursor) else None
    cursor = wait_for(icon_cursor, 5, "the icon cursor with its mark in full screen")
    xdotool("mousedown", "3")
    time.sleep(0.2)
    xdotool("mousemove_relative", "--", "20", "0")
    wait_for(lambda: opaque_pixels(cursor_image()) == 0, 5, "the cursor hidden by mouse-look")
    xdotool("mouseup", "3")
    wait_for(icon_cursor, 5, "the icon cursor after mouse-look")
    print(f"[ OK ] full-screen cursor {cursor[0]} x {cursor[1]} from the icon, with its mark; "
          "hidden while dragging")

    key(program, "alt+Return")
    try:
        wait_for(lambda: window_geometry(window) == moved, 10, f"the window back at {moved}")
    except Failure:
        raise Failure(f"back from full screen at {window_geometry(window)}, not at {moved}")
    time.sleep(1.0)
    check(window_geometry(window) == moved, f"the window moved on to {window_geometry(window)}")
    shot, box = frame(program, "a frame back in the window")
    keep("openbox-back-from-fullscreen", shot)
    check((box[2] - box[0], box[3] - box[1]) == (CLIENT_WIDTH, CLIENT_HEIGHT),
          f"client area {box[2] - box[0]} x {box[3] - box[1]} after full screen")
    print(f"[ OK ] back from full screen at {moved}, as before")

    # ---- an open menu: frames paused, the loop waits
    key(program, "alt+v")
    shot = wait_for(lambda: (lambda s: s if menu_open(s, box) else None)(screenshot()), 10,
                    "the View menu")
    keep("openbox-view-menu", shot)
    idle_share(program, "View menu open")
    xdotool("key", "Escape")
    wait_for(lambda: not menu_open(screenshot(), box), 10, "the menu to close")
    program.alive()
    print("[ OK ] View menu open: frames paused, the process idle")

    # ---- the Select Device dialog and the About box
    key(program, "F2")
    dialog = wait_for(lambda: find_window("^Select Device$"), 10, "the Select Device dialog")
    time.sleep(0.5)
    keep("openbox-select-device", screenshot())
    idle_share(program, "Select Device dialog open")
    x, y, width, height = window_geometry(dialog)
    xdotool("mousemove", x + round(width * 352.5 / 400), y + round(height * 60.5 / 223))
    xdotool("click", "1")
    wait_for(lambda: not find_window("^Select Device$"), 10, "the dialog to close")
    program.alive()
    print("[ OK ] F2: the Select Device dialog, Cancel closes it")

    key(program, "F1")
    about = wait_for(lambda: find_window("^About$"), 10, "the About box")
    time.sleep(0.3)
    keep("openbox-about", screenshot())
    xdotool("windowactivate", "--sync", about)
    xdotool("key", "Return")
    wait_for(lambda: not find_window("^About$"), 10, "the About box to close")
    frame(program, "frames after the About box")
    print("[ OK ] F1: the About box, OK closes it")

    key(program, "Escape")
    program.process.wait(timeout=15)


def run_with_saved_size(program_path, data, steps, prefix):
    """Runs the program from a fresh config folder holding the saved size
    CLIENT_WIDTH x CLIENT_HEIGHT, drives it with steps(program), and checks
    that it exits with status 0 and saves that size unchanged."""
    config = tempfile.mkdtemp(prefix=prefix)
    try:
        os.makedirs(os.path.join(config, "Brellcove"))
        settings = os.path.join(config, "Brellcove", "Orbivista.ini")
        with open(settings, "w") as f:
            f.write(f"[General]\nWidth={CLIENT_WIDTH}\nHeight={CLIENT_HEIGHT}\n")
        program = Program(program_path, data, config)
        try:
            steps(program)
        finally:
            program.close()
        check(program.process.returncode == 0, f"exit status {program.process.returncode}")
        text = open(settings).read()
        check(f"Width={CLIENT_WIDTH}" in text and f"Height={CLIENT_HEIGHT}" in text,
              f"the size saved at exit has changed: {text!r}")
        print("[ OK ] exit with status 0, the window size saved unchanged")
    finally:
        shutil.rmtree(config, ignore_errors=True)


def run(program_path, data):
    desktop = Desktop(SCREEN_WIDTH, SCREEN_HEIGHT)
    try:
        run_with_saved_size(program_path, data, steps, "orbivista-wm-")
    finally:
        desktop.close()


def main():
    global shots_dir, runner, data_dir
    parser = argparse.ArgumentParser()
    parser.add_argument("--program", required=True)
    parser.add_argument("--runner", required=True, help="orbivista-render")
    parser.add_argument("--data", required=True)
    parser.add_argument("--shots", help="keep the screenshots here (PPM)")
    args = parser.parse_args()
    missing = missing_tools("Xvfb", "openbox", "wmctrl", "xdotool", "xprop", "import")
    if missing:
        print(f"missing {', '.join(missing)}: install them (scripts/setup)")
        return 77
    shots_dir = args.shots
    runner, data_dir = args.runner, args.data
    if shots_dir:
        os.makedirs(shots_dir, exist_ok=True)
    return report_run(run, args.program, args.data)


if __name__ == "__main__":
    sys.exit(main())
