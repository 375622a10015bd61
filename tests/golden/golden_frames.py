"""Golden frames: a fixed set of scenes rendered by orbivista-render, each
compared pixel for pixel (and its reported state field for field) with the
image and state committed next to this script.

This is the net under every change of the renderer, the overlay and the
device layer: a change that is not meant to alter a picture must leave all
of them as they are.  A change that is meant to alter pictures regenerates
them (scripts/update-golden-frames) and says why in its commit.

The comparison is exact.  The images come from Mesa's llvmpipe, which is
deterministic for one Mesa version and one CPU feature set; the program's
frame clock is the runner's fixed step, so nothing depends on timing.

With --window every scene is drawn in a real window instead of off screen
and compared with the same committed images: a frame in a window is drawn
straight into the window's own buffers, and must come out the same.

usage: golden_frames.py --runner PATH --data DIR [--update] [--only NAME ...]
                        [--failures DIR] [--window]
(LIBGL_ALWAYS_SOFTWARE=1; off screen no X server is needed, --window needs
one: xvfb-run)
"""
import argparse
import json
import os
import shutil
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
from e2elib import environment, read_png  # noqa: E402

HERE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "frames")
SIZE = "200x150"

# name: (runner arguments, catalogue files in the work folder).  Frames run
# at the runner's default step (1/60 s) unless a scene says otherwise.
SAO = ("sao.pc", "ppm.pc")
SCENES = {
    # Each planet system in the default view (fixed solar, labels of all).
    "mercury": (["--frames", "2", "--keys", "1"], SAO),
    "venus": (["--frames", "2", "--keys", "2"], SAO),
    "earth": (["--frames", "2"], SAO),
    "mars": (["--frames", "2", "--keys", "4"], SAO),
    "jupiter": (["--frames", "2", "--keys", "5"], SAO),
    "saturn_rings": (["--frames", "2", "--keys", "6"], SAO),
    "uranus": (["--frames", "2", "--keys", "7"], SAO),
    "neptune": (["--frames", "2", "--keys", "8"], SAO),
    "pluto": (["--frames", "2", "--keys", "9"], SAO),
    # The other view modes.
    "earth_sidereal": (["--frames", "2", "--keys", "F3"], SAO),
    "earth_at_moon": (["--frames", "2", "--keys", "Ctrl+1 F5"], SAO),
    "jupiter_from_europa": (["--frames", "2", "--keys", "5 Ctrl+2 F6"], SAO),
    # The Sun and its glow behind the Earth, seen from Jupiter's side.
    "earth_from_jupiter_sun": (["--frames", "2", "--keys", "Alt+5"], SAO),
    # Mouse-look: the view turned by a right-button drag.
    "saturn_mouse_look": (["--frames", "2", "--keys", "6 Drag:3142,150"], SAO),
    # Label modes 3 (moons), 0 (none) and 1 (Sun and planets).
    "labels_moons": (["--frames", "2", "--keys", "5 L"], SAO),
    "labels_none": (["--frames", "2", "--keys", "5 L L"], SAO),
    "labels_planets": (["--frames", "2", "--keys", "5 L L L"], SAO),
    "tutorial": (["--frames", "2", "--keys", "Ctrl+T"], SAO),
    "no_grid_no_orbits": (["--frames", "2", "--keys", "R P O"], SAO),
    # A fast clock over many frames: the moons' trails and the date move.
    "trails_fast_clock": (["--frames", "40", "--step", "1",
                           "--keys", "5 Right Right Right Right"], SAO),
    "paused_clock": (["--frames", "20", "--step", "1", "--keys", "Pause"], SAO),
    "wide_field": (["--frames", "2", "--keys", " ".join(["Down"] * 20)], SAO),
    "narrow_field": (["--frames", "2", "--keys", "6 " + " ".join(["Up"] * 8)], SAO),
    "wireframe_no_mipmaps": (["--frames", "2", "--keys", "6 Ctrl+W M"], SAO),
    # The PPM catalogue is the one loaded when it is the only one there.
    "ppm_catalogue": (["--frames", "2", "--keys", "L L"], ("ppm.pc",)),
    "no_catalogue": (["--frames", "2"], ()),
}


def render(runner, data, name, folder, window=False):
    arguments, catalogues = SCENES[name]
    if window:
        arguments = ["--window", *arguments]
    workdir = os.path.join(folder, name + ".data")
    os.makedirs(workdir)
    for catalogue in catalogues:
        os.symlink(os.path.join(data, catalogue), os.path.join(workdir, catalogue))
    image = os.path.join(folder, name + ".png")
    state = os.path.join(folder, name + ".json")
    command = [runner, "--workdir", workdir, "--size", SIZE, "--out", image, "--state", state,
               *arguments]
    out = subprocess.run(command, capture_output=True, text=True, timeout=60, env=environment())
    if out.returncode != 0:
        raise RuntimeError(f"{' '.join(command)} exited {out.returncode}\n{out.stderr}")
    return image, state


def compare_images(expected_path, actual_path):
    """None when equal, otherwise what differs."""
    width, height, expected = read_png(expected_path)
    actual_width, actual_height, actual = read_png(actual_path)
    if (width, height) != (actual_width, actual_height):
        return f"size {actual_width}x{actual_height}, expected {width}x{height}"
    if expected == actual:
        return None
    count, largest, first = 0, 0, None
    for y in range(height):
        a, b = expected[y], actual[y]
        if a == b:
            continue
        for x in range(width):
            d = max(abs(a[3 * x + c] - b[3 * x + c]) for c in range(3))
            if d:
                count += 1
                largest = max(largest, d)
                first = first or (x, y)
    return f"{count} pixels differ (first at {first}, largest channel difference {largest})"


def compare_states(expected_path, actual_path):
    with open(expected_path) as f:
        expected = json.load(f)
    with open(actual_path) as f:
        actual = json.load(f)
    fields = [key for key in sorted(set(expected) | set(actual))
              if expected.get(key) != actual.get(key)]
    return f"state fields differ: {', '.join(fields)}" if fields else None


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--runner", required=True)
    parser.add_argument("--data", required=True)
    parser.add_argument("--update", action="store_true",
                        help="write the images and states here instead of comparing")
    parser.add_argument("--only", nargs="*", default=None)
    parser.add_argument("--failures", help="folder that receives the images that differ")
    parser.add_argument("--window", action="store_true", help="draw each scene in a window")
    args = parser.parse_args()
    names = args.only or list(SCENES)
    if args.window:
        # A drag in a window moves the desktop's own cursor, which the
        # window system may place differently: not a question of pixels.
        names = [name for name in names if "Drag:" not in " ".join(SCENES[name][0])]
    unknown = [name for name in names if name not in SCENES]
    if unknown:
        print(f"unknown scenes: {', '.join(unknown)}")
        return 2
    data = os.path.abspath(args.data)
    failed = 0
    with tempfile.TemporaryDirectory() as folder:
        for name in names:
            image, state = render(args.runner, data, name, folder, args.window)
            expected_image = os.path.join(HERE, name + ".png")
            expected_state = os.path.join(HERE, name + ".json")
            if args.update:
                shutil.copyfile(image, expected_image)
                shutil.copyfile(state, expected_state)
                print(f"[ WROTE ] {name}")
                continue
            if not os.path.exists(expected_image) or not os.path.exists(expected_state):
                problems = ["no golden image or state (run scripts/update-golden-frames)"]
            else:
                problems = [p for p in (compare_images(expected_image, image),
                                        compare_states(expected_state, state)) if p]
            if problems:
                failed += 1
                print(f"[ FAIL ] {name}: {'; '.join(problems)}")
                if args.failures:
                    os.makedirs(args.failures, exist_ok=True)
                    shutil.copyfile(image, os.path.join(args.failures, name + ".png"))
                    shutil.copyfile(state, os.path.join(args.failures, name + ".json"))
            else:
                print(f"[  OK  ] {name}")
            sys.stdout.flush()
    if not args.update:
        print(f"{len(names) - failed} of {len(names)} scenes as committed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
