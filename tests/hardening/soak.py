#!/usr/bin/env python3
"""Soak run of orbivista-render: many frames of random input (every command
of the accelerator table that a headless run takes, wheel turns and drags)
with the clock driven to its fastest rates, checked for a clean exit, no
sanitizer report, a finite state and flat memory.

    soak.py --render build/release/tools/render/orbivista-render \
            --frames 2000 --size 200x150 --seed 1

The run is made twice, with --frames / 2 and --frames frames and the same
kind of input; the peak resident memory of the long run may exceed the short
one's by at most --memory-slack MB (the bench's per-frame timings, 24 bytes a
frame, are allowed for).  A third, short run takes the clock past the last
day the 32-bit day count holds (a large --step at the fastest rate) and
checks that it stopped there.  Standard library only.
"""
import argparse
import json
import os
import random
import re
import subprocess
import sys
import tempfile
import time

# Every accelerator a headless run accepts (F1, F2, Alt+Return and the exit
# keys open dialogs, change the display or end the program).
KEYS = (["1", "2", "3", "4", "5", "6", "7", "8", "9"]
        + ["Ctrl+%d" % n for n in range(1, 8)]
        + ["Alt+%d" % n for n in range(1, 10)]
        + ["Up", "Down", "Ctrl+Up", "Ctrl+Down", "Right", "Left", "Ctrl+Right",
           "Ctrl+Left", "Pause", "F3", "F4", "F5", "F6", "R", "P", "O", "S", "L",
           "Ctrl+T", "M", "Ctrl+Alt+D", "Ctrl+W"])

# Text a sanitizer writes when it finds something.
REPORT = re.compile(r"ERROR: AddressSanitizer|ERROR: LeakSanitizer|runtime error:|"
                    r"SUMMARY: UndefinedBehaviorSanitizer")


def random_tokens(rng):
    """One frame's input: keys, wheel notches, a drag, or a burst of clock keys."""
    choice = rng.random()
    if choice < 0.08:  # to the fastest rate, forwards or backwards
        return [rng.choice(["Right", "Left"])] * rng.randint(150, 320)
    if choice < 0.15:
        return ["Wheel%+d" % rng.choice([-5, -3, -1, 1, 2, 4])]
    if choice < 0.20:
        return ["Ctrl+Wheel%+d" % rng.choice([-2, -1, 1, 3])]
    if choice < 0.27:
        return ["Drag:%d,%d" % (rng.randint(-400, 400), rng.randint(-300, 300))]
    return [rng.choice(KEYS) for _ in range(rng.randint(1, 4))]


def script(rng, frames, every):
    """--at arguments: input before roughly one frame in `every`."""
    arguments = []
    frame = rng.randint(1, every)
    while frame <= frames:
        arguments += ["--at", "%d:%s" % (frame, " ".join(random_tokens(rng)))]
        frame += rng.randint(1, 2 * every)
    return arguments


def non_finite(value, path="state"):
    """The paths of the numbers in a JSON value that came out as null."""
    found = []
    if value is None:
        found.append(path)
    elif isinstance(value, dict):
        for key, item in value.items():
            if key in ("menu", "overlay", "texts"):
                continue  # texts, not numbers
            found += non_finite(item, path + "." + key)
    elif isinstance(value, list):
        for i, item in enumerate(value):
            found += non_finite(item, "%s[%d]" % (path, i))
    return found


def run(render, arguments, folder, timeout):
    state_file = os.path.join(folder, "state.json")
    command = [render] + arguments + ["--state", state_file, "--bench"]
    began = time.monotonic()
    result = subprocess.run(command, capture_output=True, text=True, timeout=timeout)
    seconds = time.monotonic() - began
    output = result.stdout + result.stderr
    problems = []
    if result.returncode != 0:
        problems.append("exit status %d" % result.returncode)
    if REPORT.search(output):
        problems.append("sanitizer report")
    state = None
    try:
        with open(state_file) as f:
            state = json.load(f)
    except (OSError, ValueError) as error:
        problems.append("no state: %s" % error)
    if state is not None:
        bad = non_finite(state)
        if bad:
            problems.append("not finite: " + ", ".join(bad[:10]))
    peak = re.search(r"peak resident memory: ([0-9.]+) MB", output)
    return {"seconds": seconds, "peak_mb": float(peak.group(1)) if peak else None,
            "state": state, "problems": problems, "output": output}


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--render", required=True)
    parser.add_argument("--frames", type=int, default=2000)
    parser.add_argument("--size", default="200x150")
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--every", type=int, default=8,
                        help="input before about one frame in EVERY")
    parser.add_argument("--step", default="1/60")
    parser.add_argument("--workdir", default=None,
                        help="folder of the catalogues (default: the repository's data/)")
    parser.add_argument("--memory-slack", type=float, default=16.0)
    parser.add_argument("--timeout", type=float, default=3600)
    options = parser.parse_args()

    root = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
    workdir = options.workdir or os.path.join(root, "data")
    common = ["--size", options.size, "--step", options.step, "--workdir", workdir]
    failed = False
    with tempfile.TemporaryDirectory(prefix="orbivista-soak-") as folder:
        results = {}
        for label, frames in (("short", max(1, options.frames // 2)), ("long", options.frames)):
            rng = random.Random(options.seed)
            arguments = common + ["--frames", str(frames),
                                  "--settings", os.path.join(folder, label + ".conf")]
            arguments += script(rng, frames, options.every)
            r = run(options.render, arguments, folder, options.timeout)
            results[label] = r
            print("soak %s: %d frames in %.1f s, peak %s MB%s" % (
                label, frames, r["seconds"], r["peak_mb"],
                "" if not r["problems"] else "; " + "; ".join(r["problems"])))
            if r["problems"]:
                failed = True
                sys.stdout.write(r["output"][-4000:])

        short, long_ = results["short"], results["long"]
        if short["peak_mb"] is not None and long_["peak_mb"] is not None:
            allowed = options.memory_slack + 24.0 * options.frames / 2 ** 20
            growth = long_["peak_mb"] - short["peak_mb"]
            print("soak memory: %.1f MB more over %d more frames (allowed %.1f)" % (
                growth, options.frames - options.frames // 2, allowed))
            if growth > allowed:
                failed = True

        # Past the end of the day count: an hour a frame at the fastest rate
        # is 3.6e8 days a frame, so the 2^31st day comes within 6 frames.
        arguments = common[:4] + ["--workdir", workdir, "--frames", "30", "--step", "3600",
                                  "--settings", os.path.join(folder, "limit.conf"),
                                  "--keys", " ".join(["Right"] * 320)]
        r = run(options.render, arguments, folder, options.timeout)
        state = r["state"] or {}
        held = (state.get("dayNumber") == 2 ** 31 - 1 and state.get("paused") is True
                and state.get("clockRate") == 100000)
        print("soak clock limit: dayNumber %s, paused %s, rate %s%s" % (
            state.get("dayNumber"), state.get("paused"), state.get("clockRate"),
            "" if not r["problems"] else "; " + "; ".join(r["problems"])))
        if r["problems"] or not held:
            failed = True
            sys.stdout.write(r["output"][-4000:])
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
