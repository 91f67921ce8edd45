#!/usr/bin/env python3
# SPDX-FileCopyrightText: Cepomer developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""The architecture as the includes show it.

Every folder of src/ is a layer; a file includes files of its own layer and of
the layers below, never of one above or of another front end. Only the desktop
front end and its program include Qt: the engine, the calculators and the list
of screens are plain C++ that every front end builds on, and the driver and the
web page need nothing more.

    layers.py SRC_DIR
"""
import pathlib
import re
import sys

# Layer of each folder, from the bottom.
RANK = {"runtime": 0, "engine": 1, "calculators": 2, "screens": 3,
        "drive": 4, "desktop": 4, "web": 4, "app": 5}
FRONT_ENDS = {"drive", "desktop", "web"}
INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]', re.M)


def main():
    src = pathlib.Path(sys.argv[1])
    problems = []
    files = [p for p in src.rglob("*") if p.suffix in (".h", ".cpp")]
    for path in files:
        name = path.relative_to(src).as_posix()
        layer = name.split("/")[0]
        if layer not in RANK:
            problems.append(f"{name}: in no known layer")
            continue
        for bracket, included in INCLUDE.findall(path.read_text(encoding="utf-8")):
            top = included.split("/")[0]
            if bracket == "<" and re.match(r"Q[A-Za-z]*($|/)", top):
                if layer not in ("desktop", "app"):
                    problems.append(f"{name}: includes Qt's <{included}>")
            elif bracket == '"' and top in RANK:
                if RANK[top] > RANK[layer] or (
                        top in FRONT_ENDS and layer in FRONT_ENDS and top != layer):
                    problems.append(f"{name}: {layer} includes {included} from {top}")
    for p in problems:
        print(p)
    if problems:
        sys.exit(1)
    print(f"{len(files)} files: every include points down, no Qt below the front ends")


if __name__ == "__main__":
    main()
