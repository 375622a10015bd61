"""The real program where the driver offers no OpenGL 3.3 core context (Mesa
held at 3.1): the fatal message box comes up, closes with Return and the
program ends; standard error names the GL version and renderer found.

usage: no_gl_test.py --program PATH --data DIR   (needs a display: xvfb-run)
"""
import argparse
import os
import shutil
import subprocess
import sys
import tempfile
import time

from e2elib import check, environment, report_run


def xdotool(*arguments):
    out = subprocess.run(["xdotool", *arguments], capture_output=True, text=True, timeout=10)
    return out.stdout.split() if out.returncode == 0 else []


def run(program, data):
    with tempfile.TemporaryDirectory() as home:
        env = environment(MESA_GL_VERSION_OVERRIDE="3.1", HOME=home,
                          XDG_CONFIG_HOME=os.path.join(home, "config"))
        process = subprocess.Popen([program], cwd=data, env=env, stdout=subprocess.PIPE,
                                   stderr=subprocess.PIPE, text=True)
        try:
            deadline = time.monotonic() + 20
            boxes = []
            while not boxes and time.monotonic() < deadline and process.poll() is None:
                time.sleep(0.2)
                boxes = xdotool("search", "--onlyvisible", "--name", "Orbivista")
            check(boxes, "no message box came up")
            xdotool("windowfocus", "--sync", boxes[0])
            xdotool("key", "Return")
            _, errors = process.communicate(timeout=15)
        finally:
            if process.poll() is None:
                process.kill()
                process.wait()
    check("no OpenGL 3.3 core profile context; found OpenGL 3.1" in errors and
          "renderer llvmpipe" in errors, f"standard error does not name what was found:\n{errors}")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--program", required=True)
    parser.add_argument("--data", required=True)
    args = parser.parse_args()
    if not shutil.which("xdotool") or not os.environ.get("DISPLAY"):
        print("needs xdotool and an X display (xvfb-run)")
        return 77
    if report_run(run, args.program, args.data):
        return 1
    print("[PASS] no OpenGL 3.3: message box and diagnostic line")
    return 0


if __name__ == "__main__":
    sys.exit(main())
