"""Orbivista on Wayland: weston's headless compositor (software renderer) in
a private runtime folder, started and stopped here by process id.

  1. The real program on Wayland only (no X display): its window shows the
     scene (weston's screenshot: black sky, green HUD text).
  2. orbivista-render in the real window on Wayland, as the user chose with
     QT_QPA_PLATFORM although an X display is there: a right-drag turns the
     view by the pointer's motion (0.001 rad a pixel, the pointer cannot be
     parked there), the wheel zooms, and the window closes with status 0.
  3. A Wayland session with an X display beside it (the test's Xvfb stands
     in for XWayland) and no QT_QPA_PLATFORM: the program goes to X11.

Weston's headless backend has no input devices, so the drag and the wheel
are the runner's scripted input: the drag's motion arrives as Qt mouse
events on the GL surface, the path the compositor's motion takes.

usage: wayland_test.py --program P --runner R --data DIR   (DISPLAY: xvfb-run)
"""
import argparse
import json
import os
import shutil
import signal
import struct
import subprocess
import sys
import tempfile
import time

from e2elib import Failure, check, count_pixels, green_text, read_png

SHOTS = os.environ.get("ORBIVISTA_SHOTS")  # keep the screenshot there when set


def f32(value):
    return struct.unpack("f", struct.pack("f", value))[0]


def wait_for(condition, seconds, what):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        value = condition()
        if value:
            return value
        time.sleep(0.2)
    raise Failure(f"timed out after {seconds} s waiting for {what}")


class Weston:
    """weston --backend=headless-backend.so on a socket of its own."""

    def __init__(self, folder):
        self.runtime = os.path.join(folder, "runtime")
        os.mkdir(self.runtime, 0o700)
        self.socket = f"orbivista-test-{os.getpid()}"
        self.log = open(os.path.join(folder, "weston.log"), "w")
        env = dict(os.environ, XDG_RUNTIME_DIR=self.runtime)
        env.pop("DISPLAY", None)
        env.pop("WAYLAND_DISPLAY", None)
        self.process = subprocess.Popen(
            ["weston", "--backend=headless-backend.so", "--use-pixman", f"--socket={self.socket}",
             "--width=800", "--height=600", "--idle-time=0", "--debug"],
            env=env, stdout=self.log, stderr=subprocess.STDOUT)
        wait_for(lambda: os.path.exists(os.path.join(self.runtime, self.socket)) or
                 self.process.poll() is not None, 20, "weston's socket")
        check(self.process.poll() is None, "weston did not start (see weston.log)")

    def environment(self, **extra):
        env = dict(os.environ, XDG_RUNTIME_DIR=self.runtime, WAYLAND_DISPLAY=self.socket,
                   XDG_SESSION_TYPE="wayland", LIBGL_ALWAYS_SOFTWARE="1")
        env.pop("QT_QPA_PLATFORM", None)
        for name, value in extra.items():
            if value is None:
                env.pop(name, None)
            else:
                env[name] = value
        return env

    def screenshot(self, folder):
        """The compositor's output as an image, or None."""
        for name in os.listdir(folder):
            if name.startswith("wayland-screenshot"):
                os.remove(os.path.join(folder, name))
        try:
            subprocess.run(["weston-screenshooter"], cwd=folder, env=self.environment(),
                           capture_output=True, timeout=10)
        except subprocess.TimeoutExpired:
            return None
        shots = [n for n in os.listdir(folder) if n.startswith("wayland-screenshot")]
        return os.path.join(folder, shots[0]) if shots else None

    def stop(self):
        self.process.send_signal(signal.SIGTERM)
        try:
            self.process.wait(timeout=10)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()
        self.log.close()


def stop(process):
    if process.poll() is None:
        process.terminate()
        try:
            process.wait(timeout=10)
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait()


def scene_shown(path):
    """The window's client area is on screen: the HUD's green text over a
    black sky (weston's desktop is grey, its panel dark grey)."""
    image = read_png(path)
    width, height, _ = image
    green = count_pixels(image, (0, 0, width, height), green_text)
    black = count_pixels(image, (0, 0, width, height), lambda r, g, b: max(r, g, b) < 12)
    return green > 300 and black > 40000, (green, black)


def program_draws_on_wayland(weston, program, data, folder):
    env = weston.environment(DISPLAY=None, HOME=folder,
                             XDG_CONFIG_HOME=os.path.join(folder, "config"))
    process = subprocess.Popen([program], cwd=data, env=env, stdout=subprocess.DEVNULL,
                               stderr=subprocess.PIPE, text=True)
    try:
        seen = []

        def shown():
            check(process.poll() is None, f"the program ended: {process.poll()}")
            path = weston.screenshot(folder)
            if not path:
                return None
            ok, figures = scene_shown(path)
            seen.append(figures)
            return path if ok else None

        try:
            path = wait_for(shown, 30, "the scene in the window on Wayland")
        except Failure:
            raise Failure(f"no scene on screen; (green, black) pixels seen: {seen[-3:]}")
        if SHOTS:
            os.makedirs(SHOTS, exist_ok=True)
            shutil.copy(path, os.path.join(SHOTS, "wayland-program.png"))
    finally:
        stop(process)


def runner_drags_and_zooms(weston, runner, data, folder):
    state = os.path.join(folder, "state.json")
    command = [runner, "--window", "--size", "400x300", "--frames", "4",
               "--keys", "Drag:100,-50 Wheel+2", "--state", state, "--workdir", data,
               "--settings", os.path.join(folder, "runner.ini")]
    out = subprocess.run(command, env=weston.environment(QT_QPA_PLATFORM="wayland"),
                         capture_output=True, text=True, timeout=60)
    check(out.returncode == 0, f"the runner exited {out.returncode}:\n{out.stderr}")
    check("cursor position is not possible" not in out.stderr and
          "grabbing the mouse" not in out.stderr,
          f"the program tried to move or grab the pointer on Wayland:\n{out.stderr}")
    with open(state) as f:
        s = json.load(f)
    check(abs(s["yaw"] - (f32(2.3561945) - 100 * f32(0.001))) < 1e-6, f"yaw {s['yaw']}")
    check(abs(s["pitch"] - (f32(0.08726647) + 50 * f32(0.001))) < 1e-6, f"pitch {s['pitch']}")
    check(abs(s["fieldOfView"] - 18 * 0.017453293005625408) < 1e-9, f"fov {s['fieldOfView']}")


def xwayland_preferred(weston, runner, data, folder):
    """With an X display beside Wayland the window opens on X (xdotool sees it)."""
    command = [runner, "--window", "--size", "320x240", "--frames", "100000", "--workdir", data,
               "--settings", os.path.join(folder, "x.ini")]
    process = subprocess.Popen(command, env=weston.environment(), stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL)
    try:
        def on_x():
            check(process.poll() is None, f"the runner ended: {process.poll()}")
            out = subprocess.run(["xdotool", "search", "--pid", str(process.pid)],
                                 capture_output=True, text=True, timeout=10)
            return out.returncode == 0 and out.stdout.strip()
        wait_for(on_x, 20, "the runner's window on the X display")
    finally:
        stop(process)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--program", required=True)
    parser.add_argument("--runner", required=True)
    parser.add_argument("--data", required=True)
    args = parser.parse_args()
    for tool in ("weston", "weston-screenshooter", "xdotool"):
        if not shutil.which(tool):
            print(f"{tool} is missing: install it (scripts/setup)")
            return 77
    if not os.environ.get("DISPLAY"):
        print("no X display: run under xvfb-run (scripts/test)")
        return 77
    failed = 0
    with tempfile.TemporaryDirectory() as folder:
        weston = Weston(folder)
        try:
            for test in (program_draws_on_wayland, runner_drags_and_zooms, xwayland_preferred):
                try:
                    target = args.runner if test is not program_draws_on_wayland else args.program
                    test(weston, target, args.data, folder)
                    print(f"[PASS] {test.__name__}")
                except Failure as failure:
                    failed += 1
                    print(f"[FAIL] {test.__name__}: {failure}")
                sys.stdout.flush()
        finally:
            weston.stop()
            if failed:
                with open(os.path.join(folder, "weston.log")) as f:
                    print("weston.log (end):\n" + "".join(f.readlines()[-15:]))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
