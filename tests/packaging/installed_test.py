"""The installed program, as a user gets it from the Debian package: the
package unpacked into a scratch root (dpkg-deb -x), the program started from
a folder with no catalogues, with a fresh HOME and XDG_CONFIG_HOME, as a
desktop menu would start it.

It must find the star catalogues in its own data folder (../share/orbivista
beside its bin/), show their stars, end with status 0 on Esc and write its
settings in the XDG config folder.  The unpacked binaries use the system's
Qt; nothing of the scratch root is put on the loader path.

Checks: orbivista-render of the unpacked tree reports the SAO catalogue's
118,216 stars loaded; the real window shows the planet and the HUD, and S
takes stars away from the sky (with the clock stopped, nothing else there
moves).  Run under an X server (scripts/test uses xvfb-run).

usage: installed_test.py --deb orbivista_<version>_amd64.deb
"""
import argparse
import json
import os
import shutil
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
from e2elib import (Failure, bright, check, count_pixels, differing_pixels, environment,  # noqa: E402
                    green_text, screenshot)
from window_test import Program, bottom_left, centre_box, settle, sky, wait_for  # noqa: E402

SAO_STARS = 118216  # data/README.md


def unpack(deb, root):
    out = subprocess.run(["dpkg-deb", "-x", deb, root], capture_output=True, text=True)
    check(out.returncode == 0, f"dpkg-deb -x failed: {out.stderr}")
    for path in ("usr/bin/orbivista", "usr/bin/orbivista-render",
                 "usr/share/orbivista/sao.pc", "usr/share/orbivista/ppm.pc"):
        check(os.path.isfile(os.path.join(root, path)), f"the package lacks {path}")


def render_state(root, folder):
    """The state orbivista-render of the unpacked tree reports, started in `folder`."""
    state = os.path.join(folder, "state.json")
    out = subprocess.run([os.path.join(root, "usr/bin/orbivista-render"), "--device", "recording",
                          "--state", state], cwd=folder, env=environment(), capture_output=True,
                         text=True, timeout=60)
    check(out.returncode == 0, f"orbivista-render: status {out.returncode}: {out.stderr}")
    with open(state) as f:
        report = json.load(f)
    os.remove(state)
    return report


def window_run(root, folder, config):
    program = Program(os.path.join(root, "usr/bin/orbivista"), folder, config)
    try:
        def first_frame():
            shot = screenshot()
            box = program.client_box(shot)
            disc = count_pixels(shot, centre_box(box, 8), bright)
            text = count_pixels(shot, bottom_left(box), green_text)
            return (shot, box) if disc > 10 and text > 30 else None
        _, box = wait_for(first_frame, 30, "the first frame (planet disc and HUD text)")
        print("[ OK ] the installed program shows its first frame")

        program.key("Pause")
        shot = settle(lambda s: count_pixels(s, bottom_left(box), green_text) < 10,
                      "the clock to stop")
        shot = settle(lambda s: differing_pixels(shot, s, sky(box), threshold=10) == 0,
                      "the view to stand still")
        program.key("s")
        settle(lambda s: differing_pixels(shot, s, sky(box), threshold=10) > 20,
               "the stars to go with S (no stars were drawn)")
        print("[ OK ] stars from the data folder, S hides them")

        program.key("Escape")
        program.process.wait(timeout=15)
    finally:
        program.close()
    check(program.process.returncode == 0, f"exit status {program.process.returncode}")
    settings = os.path.join(config, "Brellcove", "Orbivista.ini")
    check(os.path.isfile(settings), f"no settings file at {settings}")
    with open(settings) as f:
        text = f.read()
    check("MipMapping=1" in text and "Width=" in text, f"settings: {text!r}")
    print("[ OK ] Esc ends it with status 0; settings written to $XDG_CONFIG_HOME")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--deb", required=True)
    args = parser.parse_args()
    check(os.environ.get("DISPLAY"), "no X display: run under xvfb-run")
    scratch = tempfile.mkdtemp(prefix="orbivista-installed-")
    try:
        root, folder, home = (os.path.join(scratch, name) for name in ("root", "cwd", "home"))
        for path in (root, folder, home):
            os.mkdir(path)
        unpack(os.path.abspath(args.deb), root)
        config = os.path.join(home, ".config")
        os.environ.update(HOME=home, XDG_CONFIG_HOME=config)
        os.environ.pop("LD_LIBRARY_PATH", None)

        report = render_state(root, folder)
        check(report.get("starCount") == SAO_STARS and report.get("showStars") == 1,
              f"orbivista-render found starCount {report.get('starCount')}, "
              f"showStars {report.get('showStars')}")
        print(f"[ OK ] orbivista-render loads sao.pc from the data folder ({SAO_STARS} stars)")

        window_run(root, folder, config)
        check(os.listdir(folder) == [], f"files left in the working folder: {os.listdir(folder)}")
    except Failure as failure:
        print(f"[FAIL] {failure}")
        return 1
    finally:
        shutil.rmtree(scratch, ignore_errors=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
