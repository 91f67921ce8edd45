#!/usr/bin/python3

# SPDX-FileCopyrightText: Cepomer developers
# SPDX-License-Identifier: GPL-3.0-or-later

"""Makes the web app's font out of the narrow font the desktop program bundles.

    subset_font.py FONT.ttf OUT.woff2

Keeps the characters the screens and their messages can show (Latin, Cyrillic,
digits, the punctuation and the symbols of the captions), drops the hinting
(browsers on most systems ignore it, and it was two thirds of the bytes) and
writes WOFF2. The result is a modified font, which its licence forbids to
distribute under its original name or a name containing it, so the family is
renamed; the copyright notice and the trademark notice stay. The same input
gives the same bytes.
"""
import sys

from fontTools import subset

FAMILY = "Cepomer Narrow"
POSTSCRIPT = "CepomerNarrow-Regular"

UNICODES = [
    *range(0x0020, 0x007F),  # Basic Latin
    *range(0x00A0, 0x0100),  # Latin-1: « » ² ³ · × ° ±
    *range(0x0400, 0x0460),  # Cyrillic: Russian with Ё, and its neighbours
    0x0490, 0x0491,  # Ґ ґ
    0x03A9, 0x03BC,  # Ω μ
    0x2013, 0x2014,  # – —
    *range(0x2018, 0x201F),  # ‘ ’ ‚ “ ” „
    0x2022, 0x2026, 0x2030, 0x2039, 0x203A,  # • … ‰ ‹ ›
    0x20BD, 0x2116, 0x2122,  # ₽ № ™
    0x2212, 0x221A, 0x221E,  # − √ ∞
]

# Names that carry the family's name, and what they become.
NEW_NAMES = {
    1: FAMILY,  # family
    3: f"Cepomer: {FAMILY}",  # unique identifier
    4: FAMILY,  # full name
    6: POSTSCRIPT,
    16: FAMILY,  # typographic family
    18: FAMILY,  # compatible full name (Macintosh)
    21: FAMILY,  # WWS family
}


def main(argv):
    if len(argv) != 3:
        print(__doc__.strip().split("\n\n")[1], file=sys.stderr)
        return 2
    source, target = argv[1:]

    options = subset.Options()
    options.flavor = "woff2"
    options.hinting = False
    options.name_IDs = ["*"]
    options.name_languages = ["*"]
    options.recalc_timestamp = False

    font = subset.load_font(source, options)
    subsetter = subset.Subsetter(options)
    subsetter.populate(unicodes=UNICODES)
    subsetter.subset(font)

    names = font["name"]
    for record in names.names:
        if record.nameID in NEW_NAMES:
            record.string = NEW_NAMES[record.nameID]
    # The description praises the old family by name; the copyright (0), the
    # trademark (7), the makers (8, 9, 11, 12) and the licence (13, 14) stay.
    names.names = [r for r in names.names if r.nameID != 10]

    missing = [hex(u) for u in (0x0401, 0x0451, 0x00B2, 0x221A) if u not in font.getBestCmap()]
    if missing:
        raise SystemExit(f"subset_font.py: the font lacks {', '.join(missing)}")

    subset.save_font(font, target, options)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
