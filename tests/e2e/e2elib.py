"""Helpers of the end-to-end tests: reading PNG and PPM images, pixel
features (bright discs, coloured text), running programs with a deadline.

Standard library only.  Images are (width, height, rows) with rows a list of
bytes objects, three bytes (R, G, B) a pixel.
"""
import os
import struct
import subprocess
import sys
import zlib


class Failure(Exception):
    pass


def check(condition, message):
    if not condition:
        raise Failure(message)


def read_png(path):
    """An 8-bit, non-interlaced RGB or RGBA PNG as RGB rows."""
    with open(path, "rb") as f:
        data = f.read()
    check(data[:8] == b"\x89PNG\r\n\x1a\n", f"{path} is not a PNG file")
    pos, idat, header = 8, b"", None
    while pos < len(data):
        (length,) = struct.unpack(">I", data[pos:pos + 4])
        kind = data[pos + 4:pos + 8]
        body = data[pos + 8:pos + 8 + length]
        pos += 12 + length
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            idat += body
        elif kind == b"IEND":
            break
    check(header is not None, f"{path} has no IHDR")
    width, height, depth, colour, _, _, interlace = header
    check(depth == 8 and colour in (2, 6) and interlace == 0,
          f"{path}: unexpected PNG kind depth={depth} colour={colour}")
    channels = 3 if colour == 2 else 4
    raw = zlib.decompress(idat)
    stride = width * channels
    rows, previous, pos = [], bytearray(stride), 0
    for _ in range(height):
        kind = raw[pos]
        line = bytearray(raw[pos + 1:pos + 1 + stride])
        pos += 1 + stride
        for i in range(stride):
            a = line[i - channels] if i >= channels else 0
            b = previous[i]
            c = previous[i - channels] if i >= channels else 0
            if kind == 1:
                line[i] = (line[i] + a) & 0xFF
            elif kind == 2:
                line[i] = (line[i] + b) & 0xFF
            elif kind == 3:
                line[i] = (line[i] + (a + b) // 2) & 0xFF
            elif kind == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                predictor = a if pa <= pb and pa <= pc else (b if pb <= pc else c)
                line[i] = (line[i] + predictor) & 0xFF
        previous = line
        if channels == 4:
            rgb = bytearray()
            for x in range(width):
                rgb += line[4 * x:4 * x + 3]
            rows.append(bytes(rgb))
        else:
            rows.append(bytes(line))
    return width, height, rows


def read_ppm(data):
    """A binary PPM (P6, maxval 255) as RGB rows."""
    fields, pos = [], 0
    while len(fields) < 4:
        while data[pos:pos + 1].isspace():
            pos += 1
        if data[pos:pos + 1] == b"#":
            while data[pos:pos + 1] not in (b"\n", b""):
                pos += 1
            continue
        start = pos
        while not data[pos:pos + 1].isspace():
            pos += 1
        fields.append(data[start:pos])
    pos += 1
    check(fields[0] == b"P6" and int(fields[3]) == 255, "not a P6 PPM image")
    width, height = int(fields[1]), int(fields[2])
    rows = [data[pos + 3 * width * y:pos + 3 * width * (y + 1)] for y in range(height)]
    return width, height, rows


def screenshot(display_window="root"):
    """The X screen as an image (ImageMagick's import)."""
    out = subprocess.run(["import", "-window", display_window, "-depth", "8", "ppm:-"],
                         capture_output=True, timeout=20)
    check(out.returncode == 0, f"import failed: {out.stderr.decode(errors='replace')}")
    return read_ppm(out.stdout)


def pixel(image, x, y):
    _, _, rows = image
    return tuple(rows[y][3 * x:3 * x + 3])


def count_pixels(image, box, predicate):
    """Pixels in box (x0, y0, x1, y1; x1, y1 excluded) for which predicate(r, g, b)."""
    _, _, rows = image
    x0, y0, x1, y1 = box
    count = 0
    for y in range(y0, y1):
        row = rows[y]
        for x in range(x0, x1):
            if predicate(row[3 * x], row[3 * x + 1], row[3 * x + 2]):
                count += 1
    return count


def bright(r, g, b):
    return max(r, g, b) > 40


def green_text(r, g, b):
    # The running clock's colour 0x00AF00 (and its anti-aliased edges).
    return g > 100 and r < 0.6 * g and b < 0.6 * g


def orange_text(r, g, b):
    # The stopped clock's colour 0xFF8F00.
    return r > 150 and 0.35 * r < g < 0.75 * r and b < 0.3 * r


def differing_pixels(a, b, box, threshold=30):
    _, _, rows_a = a
    _, _, rows_b = b
    x0, y0, x1, y1 = box
    count = 0
    for y in range(y0, y1):
        ra, rb = rows_a[y], rows_b[y]
        for x in range(x0, x1):
            i = 3 * x
            if max(abs(ra[i] - rb[i]), abs(ra[i + 1] - rb[i + 1]), abs(ra[i + 2] - rb[i + 2])) > threshold:
                count += 1
    return count


def run_tests(tests):
    """Runs each test function and reports; exit status 1 when any failed."""
    failed = 0
    for test in tests:
        try:
            test()
            print(f"[ OK ] {test.__name__}")
        except Failure as failure:
            failed += 1
            print(f"[FAIL] {test.__name__}: {failure}")
        sys.stdout.flush()
    print(f"{len(tests) - failed} of {len(tests)} passed")
    return 1 if failed else 0


def report_run(run, *arguments):
    """Runs one scenario; exit status 1, with the failure printed, when it fails."""
    try:
        run(*arguments)
    except Failure as failure:
        print(f"[FAIL] {failure}")
        return 1
    return 0


def environment(**extra):
    env = dict(os.environ)
    env.setdefault("LIBGL_ALWAYS_SOFTWARE", "1")
    env.setdefault("QT_QPA_PLATFORM", "xcb")
    env.update(extra)
    return env
