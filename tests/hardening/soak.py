#!/usr/bin/env python3
"""Soak run of orbivista-render: many frames of random input (every command
of the accelerator table that a headless run takes, wheel turns and drags)
with the clock driven to its fastest rates, checked for a clean exit, no
sanitizer report, a finite state and flat memory.

    soak.py --render build/release/tools/render/orbivista-render \
            --frames 6000 --size 200x150 --seed 1

The runner reports its resident memory and C heap every --frames / 40
frames (--memory-every).  After a warm-up (the first quarter: the driver
compiles its shader variants and fills its caches as the input reaches new
states), the lowest figure of the last quarter may exceed the lowest of the
second quarter by at most --memory-slack MB; the bench's per-frame timings,
24 bytes a frame, are allowed for.  The heap in use gets the same bound
where the allocator reports it (not under AddressSanitizer).  Lowest
figures are compared because the peaks follow the state the input reaches,
while anything kept for good (a leak, a heap that fragments) raises every
sample.  A second, short run takes the clock past the last day the 32-bit
day count holds (a large --step at the fastest rate) and checks that it
stopped there.  Standard library only.
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


MEMORY = re.compile(r"^memory frame (\d+): resident ([0-9.]+) MB, heap in use ([0-9.]+) MB, "
                    r"heap held ([0-9.]+) MB", re.MULTILINE)


def memory_samples(output):
    """(frame, resident MB, heap in use MB, heap held MB) of each memory line."""
    return [(int(m.group(1)), float(m.group(2)), float(m.group(3)), float(m.group(4)))
            for m in MEMORY.finditer(output)]


def quarters(samples, frames, column):
    """The figures of column in the second quarter (after the warm-up) and in
    the last quarter of the run, or None with too few samples."""
    settled = [s[column] for s in samples if frames / 4 < s[0] <= frames / 2]
    late = [s[column] for s in samples if s[0] > frames * 3 / 4]
    return (settled, late) if settled and late else None


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
            "memory": memory_samples(output), "state": state, "problems": problems,
            "output": output}


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
    parser.add_argument("--memory-slack", type=float, default=8.0,
                        help="MB the late peak may exceed the settled one by")
    parser.add_argument("--device", default="gl", choices=["gl", "recording"],
                        help="recording: no GL, the program's own memory alone")
    parser.add_argument("--print-memory", action="store_true",
                        help="print every memory sample of the run")
    parser.add_argument("--timeout", type=float, default=3600)
    options = parser.parse_args()

    root = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
    workdir = options.workdir or os.path.join(root, "data")
    common = ["--size", options.size, "--step", options.step, "--workdir", workdir]
    failed = False
    with tempfile.TemporaryDirectory(prefix="orbivista-soak-") as folder:
        rng = random.Random(options.seed)
        every = max(1, options.frames // 40)
        arguments = common + ["--frames", str(options.frames), "--memory-every", str(every),
                              "--device", options.device,
                              "--settings", os.path.join(folder, "soak.conf")]
        script_arguments = script(rng, options.frames, options.every)
        arguments += script_arguments
        r = run(options.render, arguments, folder, options.timeout)
        print("soak: %d frames, %d inputs, in %.1f s, peak %s MB%s" % (
            options.frames, len(script_arguments) // 2, r["seconds"], r["peak_mb"],
            "" if not r["problems"] else "; " + "; ".join(r["problems"])))
        if r["problems"]:
            failed = True
            sys.stdout.write(r["output"][-4000:])
        if options.print_memory:
            for frame, resident, in_use, held in r["memory"]:
                print("  frame %7d: resident %7.1f MB, heap in use %7.1f MB, held %7.1f MB" % (
                    frame, resident, in_use, held))

        # The lowest figure of a quarter is the memory every state of the
        # run keeps: what a leak or a fragmenting heap raises, while the peaks
        # move with the state the random input happens to reach (a view
        # with more stars, mip-mapped textures).
        allowed = options.memory_slack + 24.0 * options.frames / 2 ** 20
        for column, name in ((1, "resident"), (2, "heap in use")):
            figures = quarters(r["memory"], options.frames, column)
            if figures is None:
                print("soak memory: too few samples of %s (%d)" % (name, len(r["memory"])))
                failed = True
                continue
            settled, late = figures
            if max(late) == 0:
                continue  # the allocator gives no figures (AddressSanitizer's)
            growth = min(late) - min(settled)
            print("soak memory, %s: lowest %.1f MB after the warm-up, %.1f MB in the last "
                  "quarter: %+.1f MB (allowed %.1f); peaks %.1f and %.1f MB" % (
                      name, min(settled), min(late), growth, allowed, max(settled), max(late)))
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
