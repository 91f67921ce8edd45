#!/usr/bin/env python3

# SPDX-FileCopyrightText: Cepomer developers
# SPDX-License-Identifier: GPL-3.0-or-later

"""Checks the links of the project's Markdown documents.

    check-links.py [ROOT]

Reads ROOT/README.md and every ROOT/docs/**/*.md (ROOT: the folder above this
script's) and checks each relative link and image, inline (`[text](target)`),
by reference definition (`[name]: target`) or in HTML (`href`, `src`): its
file or folder must exist, and a `#anchor` must name a heading of the Markdown
file it points to (the same file for a bare `#anchor`), by GitHub's rules for
heading anchors, or an `id`/`name` set in its HTML. Links with a scheme
(https:, mailto:) are not followed. Code spans and fenced code blocks are not
read. Prints one line per broken link and exits with status 1 if there is any.
"""
import os
import pathlib
import re
import sys
import unicodedata
import urllib.parse

FENCE = re.compile(r"^ {0,3}(`{3,}|~{3,})")
ATX_HEADING = re.compile(r"^ {0,3}(#{1,6})(?:[ \t]+(.*?))?(?:[ \t]+#+)?[ \t]*$")
SETEXT_UNDERLINE = re.compile(r"^ {0,3}(=+|-+)[ \t]*$")
CODE_SPAN = re.compile(r"(`+)(.+?)\1", re.S)
# [text](target "title") and ![alt](target); the target may be <in brackets>.
INLINE_LINK = re.compile(r"!?\[(?:[^\[\]]|\[[^\]]*\])*\]\(\s*(<[^>]*>|[^\s)]*)(?:\s+(?:\"[^\"]*\"|'[^']*'|\([^)]*\)))?\s*\)")
REFERENCE = re.compile(r"^ {0,3}\[[^\]]+\]:\s*(<[^>]*>|\S+)", re.M)
HTML_TARGET = re.compile(r"""<[a-zA-Z][^>]*?\s(?:href|src)\s*=\s*["']([^"']*)["']""")
HTML_ANCHOR = re.compile(r"""<[a-zA-Z][^>]*?\s(?:id|name)\s*=\s*["']([^"']*)["']""")
SCHEME = re.compile(r"^[a-zA-Z][a-zA-Z0-9+.-]*:")


def heading_text(markdown):
    """A heading's text as GitHub renders it: no inline markup."""
    text = CODE_SPAN.sub(lambda m: m.group(2).strip(), markdown)
    text = re.sub(r"!?\[([^\]]*)\]\([^)]*\)", r"\1", text)  # links and images: their text
    text = re.sub(r"<[^>]+>", "", text)  # inline HTML
    text = re.sub(r"(\*+|(?<!\w)_+|_+(?!\w))", "", text)  # emphasis, not snake_case
    return text.strip()


def slug(text):
    """GitHub's anchor for a heading's text: lower case; letters, marks,
    digits, connector punctuation (_), hyphens and spaces kept, every other
    character dropped; each space made a hyphen."""
    kept = []
    for ch in text.lower():
        category = unicodedata.category(ch)
        if ch in " -" or category[0] in "LMN" or category == "Pc":
            kept.append("-" if ch == " " else ch)
    return "".join(kept)


def prose_lines(text):
    """(number, line) of every line outside fenced code blocks."""
    fence = None
    for number, line in enumerate(text.splitlines(), 1):
        m = FENCE.match(line)
        if fence is None and m:
            fence = m.group(1)
        elif fence is not None:
            if m and m.group(1)[0] == fence[0] and len(m.group(1)) >= len(fence) \
                    and not line.strip()[len(m.group(1)):].strip():
                fence = None
        else:
            yield number, line


def anchors(text):
    """Every anchor a document offers: its headings', numbered as GitHub
    numbers repeats (name, name-1, name-2, ...), and its HTML ids and names."""
    found = set()
    seen = {}
    previous = ""
    for _, line in prose_lines(text):
        heading = None
        m = ATX_HEADING.match(line)
        if m:
            heading = m.group(2) or ""
        elif previous.strip() and SETEXT_UNDERLINE.match(line) and not ATX_HEADING.match(previous) \
                and not previous.lstrip().startswith(("-", "*", "+", ">", "|")):
            heading = previous.strip()
        if heading is not None:
            base = slug(heading_text(heading))
            count = seen.get(base, 0)
            seen[base] = count + 1
            found.add(base if count == 0 else f"{base}-{count}")
        found.update(HTML_ANCHOR.findall(line))
        previous = line
    return found


def targets(text):
    """(line number, target) of every link in the document's prose."""
    for number, line in prose_lines(text):
        line = CODE_SPAN.sub("", line)
        for pattern in (INLINE_LINK, REFERENCE, HTML_TARGET):
            for target in pattern.findall(line):
                yield number, target.strip("<>")


def check(root, document, cache):
    problems = []
    text = document.read_text(encoding="utf-8")
    name = document.relative_to(root)
    for number, target in targets(text):
        if not target or SCHEME.match(target) or target.startswith("//"):
            continue
        path, _, anchor = target.partition("#")
        path = urllib.parse.unquote(path.split("?", 1)[0])
        anchor = urllib.parse.unquote(anchor)
        where = f"{name}:{number}: {target}"
        if path.startswith("/"):
            linked = root / path.lstrip("/")
        else:
            linked = document.parent / path if path else document
        if not linked.exists():
            problems.append(f"{where}: no such file or folder")
            continue
        if not anchor or linked.suffix.lower() != ".md":
            continue
        key = linked.resolve()
        if key not in cache:
            cache[key] = anchors(linked.read_text(encoding="utf-8"))
        if anchor not in cache[key]:
            problems.append(f"{where}: no heading or id '{anchor}' in {os.path.relpath(key, root)}")
    return problems


def main():
    if len(sys.argv) > 2:
        sys.exit("usage: check-links.py [ROOT]")
    default = pathlib.Path(__file__).resolve().parent.parent
    root = pathlib.Path(sys.argv[1]).resolve() if len(sys.argv) > 1 else default
    documents = [root / "README.md"] + sorted((root / "docs").rglob("*.md"))
    cache = {}
    problems = []
    for document in documents:
        if document.is_file():
            problems += check(root, document, cache)
        else:
            problems.append(f"{document.relative_to(root)}: no such file")
    for problem in problems:
        print(problem)
    if problems:
        print(f"{len(problems)} broken link(s) in {len(documents)} document(s)")
        return 1
    print(f"the links of {len(documents)} document(s) resolve")
    return 0


if __name__ == "__main__":
    sys.exit(main())
