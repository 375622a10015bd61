"""Black-box tests of orbivista-render: the state after scripted keys, the
image it writes, its settings store and its refusals of bad arguments.

usage: runner_test.py --runner PATH --data DIR   (needs a display: xvfb-run)
"""
import argparse
import json
import os
import struct
import subprocess
import tempfile

from e2elib import (Failure, bright, check, count_pixels, environment, green_text, pixel,
                    read_png, run_tests)

args = None


def f32(value):
    """value rounded to single precision, as the program's float fields hold it."""
    return struct.unpack("f", struct.pack("f", value))[0]


def render(*arguments, expect=0, workdir=None, env=None):
    command = [args.runner, "--workdir", workdir or args.data, *arguments]
    out = subprocess.run(command, capture_output=True, text=True, timeout=50,
                         env=env or environment())
    check(out.returncode == expect,
          f"{' '.join(command)} exited {out.returncode}, expected {expect}\n{out.stderr}")
    return out


def state_after(*arguments, workdir=None):
    with tempfile.TemporaryDirectory() as folder:
        path = os.path.join(folder, "state.json")
        render("--size", "160x120", "--state", path, *arguments, workdir=workdir)
        with open(path) as f:
            return json.load(f)


def item(state, command):
    for entry in state["menu"]:
        if entry["id"] == command:
            return entry
    raise Failure(f"menu item {command} is missing")


def test_default_state():
    s = state_after("--frames", "3", "--step", "0.5")
    check(s["planet"] == 3 and s["moon"] == 0 and s["viewMode"] == "FixedSolar",
          f"default selection: {s['planet']} {s['moon']} {s['viewMode']}")
    check(s["labelMode"] == 2 and s["showStars"] and not s["paused"], "default toggles")
    # Three frames of 0.5 s at 0.5 days a second: 0.75 days.
    check(s["dayNumber"] == 0 and abs(s["dayFraction"] - 0.75) < 1e-6,
          f"clock after 1.5 s: {s['dayNumber']} {s['dayFraction']}")
    check(s["appTime"] == 1.5, f"appTime {s['appTime']}")
    check(s["distance"] == 1500.0 and s["yaw"] == f32(2.3561945), "default camera")
    check(s["starCount"] > 0 and s["pointCount"] > 0, "the SAO stars are loaded and in view")
    check(s["bottomLeftTexts"][0] == "Earth", f"target text {s['bottomLeftTexts']}")
    check(s["bottomLeftTexts"][4] == " 20.00 deg FOV", f"fov text {s['bottomLeftTexts'][4]!r}")
    # 0.75 days after the epoch: the first minute of day 000.
    check(s["dateText"] == "0000 000 00:00", f"date text {s['dateText']!r}")
    check(item(s, 40072)["checked"] and not item(s, 40073)["checked"], "SAO checked, PPM not")
    check("stars)" in item(s, 40072)["text"], item(s, 40072)["text"])


def test_keys_change_the_state():
    s = state_after("--frames", "2", "--keys", "6 L Pause")
    check(s["planet"] == 6, f"planet {s['planet']}")
    check(s["labelMode"] == 3 and item(s, 40069)["checked"], "L from 2 gives 3, checked")
    check(s["paused"] and item(s, 40070)["checked"], "Pause stops the clock, item checked")
    check(s["dayFraction"] == 0 and s["dayNumber"] == 0, "a stopped clock stays at 0")
    check(s["bottomLeftTexts"][0] == "Saturn", f"target {s['bottomLeftTexts'][0]}")


def test_planet_change_relabels_moons():
    # Key 5 while looking at the Earth's Moon: Jupiter, no moon, the solar view,
    # and a Moon menu of four moons and three grayed empty slots.
    s = state_after("--frames", "2", "--keys", "Ctrl+1 F5", "--at", "2:5")
    check(s["planet"] == 5 and s["moon"] == 0 and s["viewMode"] == "FixedSolar",
          f"{s['planet']} {s['moon']} {s['viewMode']}")
    moons = [item(s, 40021 + k) for k in range(7)]
    for k, entry in enumerate(moons[:4], start=1):
        check(entry["enabled"] and entry["text"].endswith(f"\tCtrl-{k}") and
              not entry["text"].startswith("-"), f"moon item {k}: {entry}")
    for k, entry in enumerate(moons[4:], start=5):
        check(entry == {"id": 40020 + k, "text": f"-  none  -\tCtrl-{k}", "checked": False,
                        "enabled": False}, f"empty moon item {k}: {entry}")


def test_keys_before_a_later_frame():
    s = state_after("--frames", "3", "--keys", "L", "--at", "3:L Ctrl+T")
    check(s["labelMode"] == 0 and not item(s, 40069)["checked"], "L twice: 3 then 0")
    check(s["tutorial"] and item(s, 40086)["checked"], "Ctrl+T shows the tutorial")


def test_camera_keys_and_wheel():
    s = state_after("--keys", "Ctrl+Up")
    # From 1500: n = 4499 steps of the float 0.01.
    check(abs(s["distance"] - (1500 - 4499 * f32(0.01))) < 1e-9, f"distance {s['distance']}")
    s = state_after("--keys", "Ctrl+Wheel+1")
    check(abs(s["distance"] - (1500 - 7500 * f32(0.01))) < 1e-9, f"wheel {s['distance']}")
    s = state_after("--keys", "Wheel+2 Wheel-1")
    check(abs(s["fieldOfView"] - 19 * 0.017453293005625408) < 1e-12, f"fov {s['fieldOfView']}")
    s = state_after("--keys", "Right Right F3")
    check(abs(s["clockRate"] - 0.5 * 1.05 * 1.05) < 1e-12 and s["viewMode"] == "FixedSidereal",
          f"rate {s['clockRate']} mode {s['viewMode']}")


def test_moon_views():
    s = state_after("--keys", "Ctrl+1 F6")
    check(s["moon"] == 1 and s["viewMode"] == "FromMoon", f"{s['moon']} {s['viewMode']}")
    s = state_after("--keys", "1 Ctrl+2 F5")
    check(s["planet"] == 1 and s["moon"] == 0 and s["viewMode"] == "FixedSolar",
          "Mercury has no moons: nothing changes")


def test_drag_turns_the_view():
    s = state_after("--frames", "2", "--keys", "Drag:100,-50")
    check(abs(s["yaw"] - (f32(2.3561945) - 100 * f32(0.001))) < 1e-6, f"yaw {s['yaw']}")
    check(abs(s["pitch"] - (f32(0.08726647) + 50 * f32(0.001))) < 1e-6, f"pitch {s['pitch']}")


def test_image():
    with tempfile.TemporaryDirectory() as folder:
        path = os.path.join(folder, "frame.png")
        render("--size", "320x240", "--frames", "2", "--keys", "6", "--out", path)
        image = read_png(path)
        width, height, _ = image
        check((width, height) == (320, 240), f"image size {width}x{height}")
        centre = count_pixels(image, (150, 110, 170, 130), bright)
        check(centre > 100, f"Saturn's disc in the middle: {centre} bright pixels of 400")
        # The bottom-left block: target name, captions, distance and FOV in green.
        text = count_pixels(image, (0, 140, 160, 240), green_text)
        check(text > 50, f"green HUD text bottom left: {text} pixels")
        date = count_pixels(image, (200, 200, 320, 240), green_text)
        check(date > 20, f"green date bottom right: {date} pixels")
        check(max(pixel(image, 2, 2)) < 200, "no overlay in the top-left corner")


def test_without_x_server():
    # Off screen the runner needs no X server: with no DISPLAY, or one that
    # nobody answers, it draws through EGL with no window system, and the
    # frame and the state are those of a run on the X server (when the test
    # has one).
    scene = ("--size", "320x240", "--frames", "3", "--keys", "6 L Ctrl+T")
    with tempfile.TemporaryDirectory() as folder:
        outputs = {}
        cases = [("no DISPLAY", None), ("DISPLAY unanswered", ":9876")]
        if os.environ.get("DISPLAY"):
            cases.append(("X server", os.environ["DISPLAY"]))
        for name, display in cases:
            env = environment()
            env.pop("DISPLAY", None)
            if display:
                env["DISPLAY"] = display
            image, state = (os.path.join(folder, f"{len(outputs)}.{kind}")
                            for kind in ("png", "json"))
            render(*scene, "--out", image, "--state", state, env=env)
            with open(image, "rb") as f, open(state) as g:
                outputs[name] = (f.read(), json.load(g))
        picture = read_png(os.path.join(folder, "0.png"))
        centre = count_pixels(picture, (150, 110, 170, 130), bright)
        check(centre > 100, f"Saturn without an X server: {centre} bright pixels of 400")
        check(count_pixels(picture, (0, 0, 320, 240), green_text) > 200, "the HUD and tutorial")
        s = outputs["no DISPLAY"][1]
        check(s["planet"] == 6 and s["labelMode"] == 3 and s["tutorial"]
              and s["backBufferWidth"] == 320,
              f"state without an X server: planet {s['planet']}, labels {s['labelMode']}")
        for name, output in outputs.items():
            check(output == outputs["no DISPLAY"], f"{name}: not the frame and state of no DISPLAY")


def test_settings_are_read_and_written():
    with tempfile.TemporaryDirectory() as folder:
        store = os.path.join(folder, "settings.conf")
        with open(store, "w") as f:
            f.write("[General]\nMipMapping=0\n")
        state = os.path.join(folder, "state.json")
        render("--size", "200x100", "--settings", store, "--state", state)
        with open(state) as f:
            check(json.load(f)["mipMapping"] is False, "MipMapping=0 is read")
        with open(store) as f:
            text = f.read()
        check("Width=200" in text and "Height=100" in text and "MipMapping=0" in text,
              f"settings written at exit:\n{text}")


def test_without_catalogues():
    with tempfile.TemporaryDirectory() as folder:
        s = state_after("--keys", "S", workdir=folder)
        check(s["starCount"] == 0 and not s["showStars"], "no stars without catalogues")
        sao = item(s, 40072)
        check(sao["text"] == "SAO Catalog\t(unavailable)" and not sao["enabled"], str(sao))
        check(not item(s, 40039)["checked"] and not item(s, 40039)["enabled"], "Show Stars")


def test_bad_arguments():
    cases = [
        ["--size", "0x10"], ["--size", "800"], ["--frames", "0"], ["--frames", "x"],
        ["--step", "0"], ["--step", "-1"], ["--keys", "Foo"], ["--keys", "F1"],
        ["--keys", "F2"], ["--keys", "Alt+Return"], ["--keys", "Alt+Enter"],
        ["--keys", "Wheel+0"], ["--keys", "Drag:1"], ["--frames", "2", "--at", "3:1"],
        ["--at", "x:1"], ["--bogus"], ["--out"], ["--workdir", "/nonexistent/folder"],
    ]
    for case in cases:
        out = subprocess.run([args.runner, *case], capture_output=True, text=True, timeout=30,
                             env=environment())
        check(out.returncode == 2, f"{case} exited {out.returncode}, expected 2")
        check("orbivista-render:" in out.stderr, f"{case}: no message: {out.stderr!r}")


def test_window_mode():
    # The same run in a real window: the desktop platform, the window's GL
    # surface and Present, and still the fixed step and the script.
    with tempfile.TemporaryDirectory() as folder:
        state, image = os.path.join(folder, "state.json"), os.path.join(folder, "frame.png")
        render("--window", "--size", "320x240", "--frames", "3", "--step", "0.5", "--keys", "6",
               "--state", state, "--out", image)
        with open(state) as f:
            s = json.load(f)
        check(s["planet"] == 6 and abs(s["dayFraction"] - 0.75) < 1e-6,
              f"window run: planet {s['planet']}, day fraction {s['dayFraction']}")
        check((s["backBufferWidth"], s["backBufferHeight"]) == (320, 240),
              f"window back buffer {s['backBufferWidth']}x{s['backBufferHeight']}")
        width, height, _ = picture = read_png(image)
        check((width, height) == (320, 240), f"image size {width}x{height}")
        check(count_pixels(picture, (150, 110, 170, 130), bright) > 100, "Saturn in the window")


def test_every_command_on_a_gl_debug_context():
    """A frame after each key of the accelerator table that a scripted run
    may press (every command that has a key, every view), then moon views,
    the tutorial, a drag and the wheel, on a GL debug context: the driver
    reports no error (a stricter driver would refuse what it names)."""
    table = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "resources",
                         "accelerators", "113.json")
    with open(table) as f:
        keys = [entry["key"] for entry in json.load(f)
                if entry["key"] not in ("F1", "F2", "Alt+Return", "Esc", "Alt+X", "Alt+F4")]
    keys += ["3", "Ctrl+1", "F5", "F6", "6", "Ctrl+3", "F6", "F4", "Ctrl+T", "Drag:30,20",
             "Wheel+3", "Ctrl+Wheel-2", "M", "Ctrl+W", "Ctrl+Alt+D"]
    script = []
    for frame, key in enumerate(keys, start=1):
        script += ["--at", f"{frame}:{key}"]
    out = render("--size", "320x240", "--frames", str(len(keys) + 1), *script,
                 env=environment(ORBIVISTA_GL_DEBUG="1"))
    check("GL debug output on" in out.stderr, f"no GL debug output:\n{out.stderr}")
    errors = [line for line in out.stderr.splitlines() if "GL debug error" in line]
    check(not errors, "the driver reported:\n" + "\n".join(errors[:10]))


def test_bench():
    # Off screen the benchmark needs no X server: it runs with none.
    env = environment()
    env.pop("DISPLAY", None)
    env.pop("WAYLAND_DISPLAY", None)
    out = render("--size", "320x240", "--frames", "20", "--bench", env=env)
    for line in ("advanceFrame CPU", "renderFrame CPU", "fps", "peak resident memory"):
        check(line in out.stdout, f"bench report lacks {line!r}:\n{out.stdout}")


def main():
    global args
    parser = argparse.ArgumentParser()
    parser.add_argument("--runner", required=True)
    parser.add_argument("--data", required=True)
    parser.add_argument("--only", nargs="*", help="names of the tests to run (default all)")
    args = parser.parse_args()
    tests = [
        test_default_state, test_keys_change_the_state, test_planet_change_relabels_moons,
        test_keys_before_a_later_frame, test_camera_keys_and_wheel, test_moon_views,
        test_drag_turns_the_view, test_image, test_settings_are_read_and_written,
        test_without_catalogues, test_bad_arguments, test_bench, test_window_mode,
        test_every_command_on_a_gl_debug_context,
        test_without_x_server,
    ]
    if args.only:
        tests = [t for t in tests if t.__name__.removeprefix("test_") in args.only]
        check(tests, f"no test is named {args.only}")
    return run_tests(tests)


if __name__ == "__main__":
    raise SystemExit(main())
