#!/usr/bin/env python3

# SPDX-FileCopyrightText: Cepomer developers
# SPDX-License-Identifier: GPL-3.0-or-later

"""Builds the site's page from its source, so that it shows the main menu as
soon as it is read, with no other file to wait for.

    make_page.py PAGE STYLE OUTPUT COMMAND...

PAGE is the page's source; its link to STYLE (a file beside it) becomes the
style sheet itself, followed by what COMMAND prints when given the argument
"layout" (the rules that place every window and control of the screens), and
its comment "<!-- the startup window -->" becomes what COMMAND prints: the
startup window as the engine draws it at start, and the windows its buttons
open, as text for the page to insert. Its <html> tag gets the
fingerprint of the screen tables (what COMMAND prints given "tables") as
data-tables. The page is written to OUTPUT.
"""
import pathlib
import re
import subprocess
import sys

MARK = "<!-- the startup window -->"


def replace_once(page, old, new, what):
    if page.count(old) != 1:
        sys.exit(f"make_page.py: the page must hold {what} exactly once: {old}")
    return page.replace(old, new)


def main(argv):
    if len(argv) < 4:
        sys.exit(__doc__.strip().split("\n\n")[1])
    source, style, output, *command = argv
    source = pathlib.Path(source)
    page = source.read_text(encoding="utf-8")
    sheet = (source.parent / style).read_text(encoding="utf-8")
    layout = subprocess.run(command + ["layout"], check=True, stdout=subprocess.PIPE,
                            encoding="utf-8").stdout
    if not layout.startswith(".window"):
        sys.exit(f"make_page.py: {command[0]} printed no layout")
    sheet += "\n/* Where the screens' windows and controls stand (from their tables). */\n" + layout
    # What only a reader of the sources needs stays there: the comments and
    # indentation of the style sheet and the comment lines of the page's
    # scripts (unless a script has a template literal, where such a line may
    # be text).
    sheet = re.sub(r"/\*.*?\*/\n?", "", sheet, flags=re.S)
    sheet = re.sub(r"^[ \t]+|\n(?=\n)", "", sheet, flags=re.M).lstrip()
    page = re.sub(r"<script>.*?</script>", lambda m: m.group(0) if "`" in m.group(0) else
                  re.sub(r"^[ \t]*//.*\n", "", m.group(0), flags=re.M), page, flags=re.S)
    if "</style" in sheet.lower():
        sys.exit(f"make_page.py: {style} cannot stand in a <style> element")
    page = replace_once(page, f'<link rel="stylesheet" href="{style}">',
                        f"<style>\n{sheet}</style>", "the link to its style sheet")
    window = subprocess.run(command, check=True, stdout=subprocess.PIPE,
                            encoding="utf-8").stdout.strip()
    if not window.startswith("<section"):
        sys.exit(f"make_page.py: {command[0]} printed no window")
    page = replace_once(page, MARK, window, "the place of the startup window")
    tables = subprocess.run(command + ["tables"], check=True, stdout=subprocess.PIPE,
                            encoding="utf-8").stdout.strip()
    if not re.fullmatch(r"[0-9a-f]{16}", tables):
        sys.exit(f"make_page.py: {command[0]} printed no fingerprint of the tables")
    page = replace_once(page, '<html lang="ru">', f'<html lang="ru" data-tables="{tables}">',
                        "its <html> tag")
    pathlib.Path(output).write_text(page, encoding="utf-8")


if __name__ == "__main__":
    main(sys.argv[1:])
