"""End-to-end test of the real program at a display scale of 2
(QT_SCALE_FACTOR=2) on the X server of the test run: the back buffer
counts device pixels, so the 400 x 300 window is 800 x 600 on the screen
and its picture is drawn at that size, sharp (one-pixel stars) and with the
HUD text as high as in the frame orbivista-render draws at 800 x 600, not a
400 x 300 picture scaled up.  The size saved at exit stays 400 x 300.

usage: hidpi_test.py --program PATH --runner PATH --data DIR [--shots DIR]
"""
import argparse
import os
import sys

import window_manager_test as wm
from desktop import missing_tools, single_pixel_points
from e2elib import check, report_run

SCALE = 2
CLIENT_WIDTH, CLIENT_HEIGHT = 400, 300


def steps(program):
    shot, box = wm.frame(program, "the first frame at 2x")
    wm.keep("hidpi-2x", shot)
    width, height = box[2] - box[0], box[3] - box[1]
    check((width, height) == (SCALE * CLIENT_WIDTH, SCALE * CLIENT_HEIGHT),
          f"client area {width} x {height} device pixels at 2x")
    title = wm.title_height(shot, box)
    expected = wm.reference_title(width, height)
    check(abs(title - expected) <= 1,
          f"HUD title {title} px high, {expected} px in a frame of {width} x {height} "
          f"(a 400 x 300 picture scaled up has {2 * wm.reference_title(CLIENT_WIDTH, CLIENT_HEIGHT)})")
    points = single_pixel_points(shot, box)
    check(points >= 5, f"{points} one-pixel stars (a picture scaled up has none)")
    print(f"[ OK ] 2x: {width} x {height} device pixels, HUD title {title} px as in a frame of "
          f"that size, {points} one-pixel stars")
    wm.key(program, "Escape")
    program.process.wait(timeout=15)


def run(program_path, data):
    os.environ["QT_SCALE_FACTOR"] = str(SCALE)
    try:
        wm.run_with_saved_size(program_path, data, steps, "orbivista-hidpi-")
    finally:
        os.environ.pop("QT_SCALE_FACTOR", None)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--program", required=True)
    parser.add_argument("--runner", required=True, help="orbivista-render")
    parser.add_argument("--data", required=True)
    parser.add_argument("--shots", help="keep the screenshots here (PPM)")
    args = parser.parse_args()
    missing = missing_tools("xdotool", "xwininfo", "import")
    if missing:
        print(f"missing {', '.join(missing)}: install them (scripts/setup)")
        return 77
    if not os.environ.get("DISPLAY"):
        print("no X display: run under xvfb-run (scripts/test)")
        return 77
    wm.runner, wm.data_dir, wm.shots_dir = args.runner, args.data, args.shots
    if args.shots:
        os.makedirs(args.shots, exist_ok=True)
    return report_run(run, args.program, args.data)


if __name__ == "__main__":
    sys.exit(main())
