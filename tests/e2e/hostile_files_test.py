"""Files that are not what their names promise, through the real programs:
a FIFO or a device node where a catalogue or the settings file should be,
a symbolic link as the settings file, and a sparse catalogue whose header
declares 2^31 - 1 stars over 100 million entries, under an address-space
limit.  Nothing may block, abort or be replaced: a FIFO catalogue shows as
unavailable and start-up stays quick, a device node given as the settings
file is still a device node afterwards, a link to a settings file keeps
working (its target is written).  Also a saved window size as large as
the screen.

The FIFOs and device nodes are made in a temporary folder (mknod needs root;
without it those cases are left out).

usage: hostile_files_test.py --runner PATH --program PATH --data DIR
                             [--only sparse | --skip sparse] [--sanitized]
"""
import argparse
import json
import os
import resource
import shutil
import stat
import struct
import subprocess
import sys
import tempfile
import time

from e2elib import Failure, check, environment, run_tests

args = None
STAR_ENTRY = 24  # right ascension, declination, type, magnitude, 2 bytes unused


def make_device(path):
    """A character device like /dev/null at path; False when not allowed."""
    try:
        os.mknod(path, 0o666 | stat.S_IFCHR, os.makedev(1, 3))
        return True
    except PermissionError:
        return False


def run_runner(workdir, *arguments, limit=None, timeout=20):
    """orbivista-render's state after one frame, its wall-clock seconds and its
    bench figures."""
    scratch = tempfile.TemporaryDirectory()
    state = os.path.join(scratch.name, "state.json")
    command = [args.runner, "--workdir", workdir, "--size", "160x120", "--state", state,
               "--bench", *arguments]

    def limit_address_space():
        resource.setrlimit(resource.RLIMIT_AS, (limit, limit))

    started = time.monotonic()
    try:
        out = subprocess.run(command, capture_output=True, text=True, timeout=timeout,
                             env=environment(), preexec_fn=limit_address_space if limit else None)
    except subprocess.TimeoutExpired:
        raise Failure(f"{' '.join(command)} still running after {timeout} s")
    seconds = time.monotonic() - started
    check(out.returncode == 0, f"{' '.join(command)} exited {out.returncode}\n{out.stderr}")
    with scratch, open(state) as f:
        return json.load(f), seconds, out.stdout


def item(state, command):
    return next(entry for entry in state["menu"] if entry["id"] == command)


def first_frame_seconds(bench):
    for line in bench.splitlines():
        if line.startswith("process start to first presented frame:"):
            return float(line.split(":")[1].split()[0])
    raise Failure(f"no start-up figure in {bench!r}")


def test_fifo_catalogue_and_device_settings():
    with tempfile.TemporaryDirectory() as folder:
        os.mkfifo(os.path.join(folder, "sao.pc"))
        shutil.copy(os.path.join(args.data, "ppm.pc"), folder)
        settings = os.path.join(folder, "null")
        device = make_device(settings)
        extra = ["--settings", settings] if device else []
        state, seconds, bench = run_runner(folder, "--device", "recording", *extra)
        sao, ppm = item(state, 40072), item(state, 40073)
        check(sao["text"] == "SAO Catalog\t(unavailable)" and not sao["enabled"],
              f"the FIFO's item: {sao}")
        check(ppm["checked"] and state["starCount"] == 41411, f"PPM loaded instead: {ppm}")
        startup = first_frame_seconds(bench)
        print(f"  start-up with a FIFO catalogue: {startup:.3f} s to the first frame, "
              f"{seconds:.2f} s in all")
        check(startup < 1.0 or args.sanitized, f"start-up took {startup:.3f} s")
        check(stat.S_ISFIFO(os.stat(os.path.join(folder, "sao.pc")).st_mode), "the FIFO is gone")
        if device:
            check(stat.S_ISCHR(os.lstat(settings).st_mode), "the device node was replaced")
            check(not [name for name in os.listdir(folder) if name.startswith("null")
                       and name != "null"], f"files beside the device: {os.listdir(folder)}")
        else:
            print("  (no mknod: the device node case is left out)")


def test_fifo_settings_and_linked_settings():
    with tempfile.TemporaryDirectory() as folder:
        fifo = os.path.join(folder, "fifo.ini")
        os.mkfifo(fifo)
        state, _, _ = run_runner(args.data, "--settings", fifo, timeout=20)
        check(state["mipMapping"] == 1, "defaults with a FIFO as the settings file")
        check(stat.S_ISFIFO(os.stat(fifo).st_mode), "the FIFO was replaced")

        target = os.path.join(folder, "real.ini")
        with open(target, "w") as f:
            f.write("[General]\nMipMapping=0\n")
        link = os.path.join(folder, "link.ini")
        os.symlink("real.ini", link)
        state, _, _ = run_runner(args.data, "--settings", link)
        check(state["mipMapping"] == 0, "the setting read through the link")
        check(os.path.islink(link), "the link was replaced")
        with open(target) as f:
            text = f.read()
        check("Width=160" in text and "MipMapping=0" in text, f"the target holds {text!r}")


def start_program(config, data):
    """The real program with the user settings folder config; its window id."""
    process = subprocess.Popen([args.program], cwd=data, env=environment(XDG_CONFIG_HOME=config),
                               stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    deadline = time.monotonic() + 20
    while time.monotonic() < deadline:
        if process.poll() is not None:
            raise Failure(f"the program ended early ({process.returncode})\n"
                          f"{process.stderr.read().decode(errors='replace')}")
        found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^Orbivista"],
                               capture_output=True, text=True).stdout.split()
        if found:
            return process, found[0]
        time.sleep(0.1)
    process.kill()
    process.wait()
    raise Failure("no window within 20 s")


def exit_program(process, window):
    time.sleep(0.5)
    subprocess.run(["xdotool", "windowfocus", "--sync", window], capture_output=True, timeout=10)
    subprocess.run(["xdotool", "key", "Escape"], capture_output=True, timeout=10)
    try:
        process.wait(timeout=15)
    except subprocess.TimeoutExpired:
        process.kill()
        process.wait()
        raise Failure("Esc did not end the program")
    check(process.returncode == 0, f"exit status {process.returncode}")


def test_program_with_hostile_settings_files():
    if not shutil.which("xdotool"):
        print("  (no xdotool: left out)")
        return
    with tempfile.TemporaryDirectory() as config:
        folder = os.path.join(config, "Brellcove")
        os.makedirs(folder)
        ini = os.path.join(folder, "Orbivista.ini")
        os.mkfifo(ini)
        process, window = start_program(config, args.data)
        exit_program(process, window)
        check(stat.S_ISFIFO(os.stat(ini).st_mode), "the FIFO settings file was replaced")
        os.remove(ini)

        device = os.path.join(config, "null")
        if not make_device(device):
            print("  (no mknod: the linked device node is left out)")
            return
        os.symlink(device, ini)
        process, window = start_program(config, args.data)
        exit_program(process, window)
        check(stat.S_ISCHR(os.lstat(device).st_mode), "the device node was replaced")
        check(os.path.islink(ini), "the link to the device node was replaced")


def test_window_as_large_as_the_screen():
    """A saved size as large as the screen: the window with its menu bar (and
    frame, where a window manager adds one) fits the screen, and the size
    saved at exit is still the one the user had."""
    if not shutil.which("xdotool"):
        print("  (no xdotool: left out)")
        return
    screen = subprocess.run(["xdotool", "getdisplaygeometry"], capture_output=True,
                            text=True).stdout.split()
    width, height = int(screen[0]), int(screen[1])
    with tempfile.TemporaryDirectory() as config:
        ini = os.path.join(config, "Brellcove", "Orbivista.ini")
        os.makedirs(os.path.dirname(ini))
        with open(ini, "w") as f:
            f.write(f"[General]\nWidth={width}\nHeight={height}\n")
        process, window = start_program(config, args.data)
        time.sleep(1)
        shell = subprocess.run(["xdotool", "getwindowgeometry", "--shell", window],
                               capture_output=True, text=True).stdout
        box = dict(line.split("=") for line in shell.splitlines() if "=" in line)
        x, y, w, h = (int(box[key]) for key in ("X", "Y", "WIDTH", "HEIGHT"))
        exit_program(process, window)
        check(x >= 0 and y >= 0 and x + w <= width and y + h <= height,
              f"window {w}x{h} at {x},{y} on a {width}x{height} screen")
        with open(ini) as f:
            text = f.read()
        check(f"Width={width}" in text and f"Height={height}" in text, f"saved: {text!r}")


def test_sparse_catalogue_under_an_address_space_limit():
    if args.sanitized:
        print("  (a sanitized build reserves terabytes of address space: left out)")
        return
    with tempfile.TemporaryDirectory() as folder:
        with open(os.path.join(folder, "sao.pc"), "wb") as f:
            f.write(struct.pack("<7i", 0, 1, 2**31 - 1, 0, 0, 0, STAR_ENTRY))
            f.truncate(28 + 100_000_000 * STAR_ENTRY)  # 2.4 GB, none of it on disk
        shutil.copy(os.path.join(args.data, "ppm.pc"), folder)
        state, seconds, bench = run_runner(folder, "--device", "recording",
                                           limit=4_000_000 * 1024, timeout=280)
        print(f"  started in {seconds:.1f} s under a 4 GB limit")
        sao = item(state, 40072)
        check(sao["text"] == "SAO Catalog\t(unavailable)" and not sao["enabled"],
              f"the catalogue that does not fit: {sao}")
        check(state["starCount"] == 41411, "PPM loaded instead")


def main():
    global args
    parser = argparse.ArgumentParser()
    parser.add_argument("--runner", required=True)
    parser.add_argument("--program", required=True)
    parser.add_argument("--data", required=True)
    parser.add_argument("--only")
    parser.add_argument("--skip")
    parser.add_argument("--sanitized", action="store_true")
    args = parser.parse_args()
    if not os.environ.get("DISPLAY"):
        print("no X display: run under xvfb-run (scripts/test)")
        return 77
    sparse = test_sparse_catalogue_under_an_address_space_limit
    tests = [test_fifo_catalogue_and_device_settings, test_fifo_settings_and_linked_settings,
             test_program_with_hostile_settings_files, test_window_as_large_as_the_screen, sparse]
    if args.only == "sparse":
        tests = [sparse]
    if args.skip == "sparse":
        tests.remove(sparse)
    return run_tests(tests)


if __name__ == "__main__":
    sys.exit(main())
