#!/usr/bin/env python3
"""Writes the star catalogue files data/sao.pc and data/ppm.pc from the
Hipparcos catalogue as packaged in the npm package d3-celestial 0.7.35.

    python3 tools/stars/convert_hipparcos.py d3-celestial-0.7.35.tgz data/

The first argument is the package tarball (from `npm pack d3-celestial@0.7.35`)
or the folder it unpacks to. sao.pc comes from package/data/stars.14.json (all
118,216 stars), ppm.pc from package/data/stars.8.json (the 41,411 stars to
magnitude 8). Standard library only; the output is byte-identical on every run.

File format (little-endian): a header of seven int32 (0, firstStarNumber 1,
lastStarNumber = star count, idFlag 1, 0, 0, entrySize 24), then one 24-byte
entry per star: Hipparcos number (int32), right ascension and declination in
radians (float64), spectral class letter and a blank, magnitude in hundredths
(int16). Entries run in 18 declination zones of 10 degrees
from +90 down, each in increasing right ascension in [0, 2 pi); the program
finds the zone starts from the drops in right ascension, which this script
checks before writing.
"""

import json
import math
import os
import struct
import sys
import tarfile

PACKAGE_VERSION = "0.7.35"
OUTPUTS = (("sao.pc", "stars.14.json", 118216), ("ppm.pc", "stars.8.json", 41411))

ZONE_COUNT = 18
ENTRY_SIZE = 24
HEADER = struct.Struct("<7i")
ENTRY = struct.Struct("<idd2sh")
assert ENTRY.size == ENTRY_SIZE

# The reader's right ascension before the first entry (single-precision 2 pi).
READER_START_RA = 6.2831854820251465

# Upper limits of B-V for each spectral class; above the last limit: M.
CLASS_LIMITS = ((-0.30, "O", False), (-0.02, "B", True), (0.30, "A", True), (0.58, "F", True),
                (0.81, "G", True), (1.40, "K", True))


def spectral_class(bv_text):
    """Class letter from the B-V colour index; blank when it is missing."""
    if bv_text is None or str(bv_text).strip() == "":
        return " "
    bv = float(bv_text)
    for limit, letter, inclusive in CLASS_LIMITS:
        if bv < limit or (inclusive and bv == limit):
            return letter
    return "M"


def zone_of(declination_degrees):
    """Zone 0 holds declinations (80, 90], zone 17 [-90, -80]."""
    zone = math.floor((90.0 - declination_degrees) / 10.0)
    return min(max(zone, 0), ZONE_COUNT - 1)


def right_ascension(longitude_degrees):
    """The package's longitude in -180..180 degrees as radians in [0, 2 pi)."""
    degrees = longitude_degrees % 360.0
    radians = math.radians(degrees)
    if degrees >= 360.0 or radians >= 2.0 * math.pi:
        radians = 0.0
    return radians


def magnitude_hundredths(magnitude):
    value = math.floor(float(magnitude) * 100.0 + 0.5)
    return min(max(value, -32768), 32767)


def stars_from(features):
    stars = []
    for feature in features:
        hip = int(feature["id"])
        longitude, declination = feature["geometry"]["coordinates"][:2]
        properties = feature["properties"]
        stars.append((zone_of(declination), right_ascension(longitude), hip,
                      math.radians(declination), spectral_class(properties.get("bv")),
                      magnitude_hundredths(properties["mag"])))
    stars.sort(key=lambda star: (star[0], star[1], star[2]))
    return stars


def check_zones(stars):
    """The reader must find exactly the 18 zones, each at its first star."""
    expected = [next(i for i, star in enumerate(stars) if star[0] == zone)
                for zone in range(ZONE_COUNT)]
    found, previous = [], READER_START_RA
    for index, star in enumerate(stars):
        if star[1] + 1.0 < previous:
            found.append(index)
        previous = star[1]
    if found != expected:
        raise SystemExit(f"zone starts the reader would find {found} differ from {expected}")


def catalogue_bytes(stars):
    out = bytearray(HEADER.pack(0, 1, len(stars), 1, 0, 0, ENTRY_SIZE))
    for _zone, ra, hip, dec, letter, magnitude in stars:
        out += ENTRY.pack(hip, ra, dec, (letter + " ").encode("ascii"), magnitude)
    return bytes(out)


class Package:
    """Files of the npm package, from its tarball or its unpacked folder."""

    def __init__(self, source):
        self.tar = tarfile.open(source, "r:gz") if os.path.isfile(source) else None
        self.root = source

    def read(self, name):
        if self.tar:
            return self.tar.extractfile("package/" + name).read()
        root = self.root
        if os.path.isdir(os.path.join(root, "package")):
            root = os.path.join(root, "package")
        with open(os.path.join(root, name), "rb") as file:
            return file.read()


def main(argv):
    if len(argv) != 3:
        raise SystemExit(__doc__)
    package = Package(argv[1])
    version = json.loads(package.read("package.json"))["version"]
    if version != PACKAGE_VERSION:
        raise SystemExit(f"expected d3-celestial {PACKAGE_VERSION}, found {version}")
    os.makedirs(argv[2], exist_ok=True)
    for output, source, count in OUTPUTS:
        features = json.loads(package.read("data/" + source))["features"]
        stars = stars_from(features)
        if len(stars) != count:
            raise SystemExit(f"{source}: expected {count} stars, found {len(stars)}")
        check_zones(stars)
        path = os.path.join(argv[2], output)
        with open(path, "wb") as file:
            file.write(catalogue_bytes(stars))
        print(f"{path}: {len(stars)} stars from {source}")


if __name__ == "__main__":
    main(sys.argv)
