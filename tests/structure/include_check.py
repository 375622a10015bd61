"""The include check: every #include in src/ points down the layers.

    app  ->  render, overlay  ->  scene  ->  model  ->  gfx
    app  ->  framework  ->  platform (Qt-free headers), gfx

A file may include its own layer and the layers its row below allows; Qt
headers only in src/platform/ and the GL backend src/gfx/gl/.  Exits 1 and
names every include that crosses a forbidden arrow.

usage: include_check.py [SOURCE_ROOT]   (default: the src/ beside tests/)
"""
import os
import re
import sys

# Layer: the layers its files must not include.
FORBIDDEN = {
    "app": set(),
    "render": {"app", "overlay", "framework", "platform"},
    "overlay": {"app", "render", "framework", "platform"},
    "scene": {"app", "render", "overlay", "framework", "platform"},
    "framework": {"app", "render", "overlay", "scene", "model"},
    "model": {"app", "render", "overlay", "scene", "framework", "platform"},
    "platform": {"app", "render", "overlay", "scene", "framework", "model"},
    "gfx": {"app", "render", "overlay", "scene", "framework", "platform", "model"},
}

# The folders whose files may include Qt.
QT_ALLOWED = ("platform/", "gfx/gl/")
# Files allowed, for a while, to include Qt outside those folders (none
# now); the check fails when one of them no longer does, so that the list
# only shrinks.
QT_KNOWN = set()

PROJECT_INCLUDE = re.compile(r'^\s*#\s*include\s+"([a-z]+)/')
QT_INCLUDE = re.compile(r"^\s*#\s*include\s+<(Q[A-Za-z]*|Qt[A-Za-z]*/[^>]*)>")


def check(root):
    problems = []
    qt_users = set()
    for folder, _, files in os.walk(root):
        for name in sorted(files):
            if not name.endswith((".h", ".cpp")):
                continue
            path = os.path.join(folder, name)
            relative = os.path.relpath(path, root).replace(os.sep, "/")
            layer = relative.split("/")[0] if "/" in relative else None
            with open(path, encoding="utf-8") as f:
                lines = f.readlines()
            for number, line in enumerate(lines, 1):
                included = PROJECT_INCLUDE.match(line)
                if included and layer in FORBIDDEN and included.group(1) in FORBIDDEN[layer]:
                    problems.append(f"src/{relative}:{number}: {layer} includes "
                                    f"{included.group(1)}: {line.strip()}")
                if QT_INCLUDE.match(line) and not relative.startswith(QT_ALLOWED):
                    qt_users.add(relative)
                    if relative not in QT_KNOWN:
                        problems.append(f"src/{relative}:{number}: Qt outside platform and "
                                        f"gfx/gl: {line.strip()}")
    for gone in sorted(QT_KNOWN - qt_users):
        problems.append(f"src/{gone} no longer includes Qt: take it off QT_KNOWN")
    return problems


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "..", "src")
    problems = check(os.path.abspath(root))
    for problem in problems:
        print(problem)
    print(f"include check: {len(problems)} forbidden includes")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
