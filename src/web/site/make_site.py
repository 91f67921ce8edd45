#!/usr/bin/env python3

# SPDX-FileCopyrightText: Cepomer developers
# SPDX-License-Identifier: GPL-3.0-or-later

"""Assembles the web site from its files under their plain names.

    make_site.py STAGE SITE --version V --worker SW_JS_IN --nginx NGINX_CONF_IN
                 [--salt TEXT]

STAGE holds the site as built: index.html, manifest.webmanifest,
fonts/LICENSE.txt, and the files they name (cepomer.js, cepomer.wasm, the
font, the icons). SITE (emptied first) gets the same files, each of the others
named by a hash of its contents (cepomer.js becomes cepomer.<hash>.js), and
everything that names them named anew: the page (its script, its style sheet,
its links), the manifest and cepomer.js (its module's name). A page can then
never meet a script or module of another build, whatever a cache holds, and
those files can be cached for good.

The page gets its content security policy as a <meta> element: its own inline
scripts and style sheets allowed by their hashes, everything else only from the
site. SITE/sw.js, the service worker, is made from SW_JS_IN with the list of
the files, a name for this version's store and the fingerprint of the screen
tables the page names (data-tables); SITE/../nginx.conf from NGINX_CONF_IN
with the policy as a header, the same for every version (the page's own
hashes are its <meta>'s alone), so that a server set up once serves every
later version unchanged.

--salt changes every hashed file's contents without changing what it does (a
custom section in the module, a comment in the script, an unused block in the
font and in each icon), so that a test gets a second, different build of the
same sources; never for a build that is shipped.
"""
import argparse
import base64
import hashlib
import pathlib
import re
import shutil
import struct
import sys
import zlib

# Named by the same address from one version to the next: the page, what the
# page names as its manifest, and the font's licence, a text for people.
FIXED = {"index.html", "manifest.webmanifest", "fonts/LICENSE.txt"}
# The files that name others, each rewritten before its own hash is taken.
NAMERS = ["cepomer.js", "manifest.webmanifest", "index.html"]
HASH_DIGITS = 8


def fail(message):
    sys.exit(f"make_site.py: {message}")


def leb128(n):
    out = bytearray()
    while True:
        byte = n & 0x7F
        n >>= 7
        out.append(byte | (0x80 if n else 0))
        if not n:
            return bytes(out)


def salted(name, data, salt):
    """The file's bytes changed by the salt, still read as before."""
    payload = salt.encode("utf-8")
    if name.endswith(".wasm"):
        # A custom section, which no engine reads.
        title = b"cepomer-salt"
        body = leb128(len(title)) + title + payload
        return data + b"\0" + leb128(len(body)) + body
    if name.endswith(".js"):
        return data + b"\n// salt: " + payload.replace(b"\n", b" ") + b"\n"
    if name.endswith(".png"):
        # A text chunk before the closing IEND chunk (its last 12 bytes).
        chunk = b"tEXt" + b"Comment\0" + payload
        text = struct.pack(">I", len(payload) + 8) + chunk + struct.pack(">I", zlib.crc32(chunk))
        return data[:-12] + text + data[-12:]
    if name.endswith(".woff2"):
        # A private data block at the end, on a 4-byte boundary; the header
        # gives its place and the file's new length.
        if struct.unpack_from(">I", data, 40)[0] != 0:
            fail(f"{name} has a private block already")
        data = data + b"\0" * (-len(data) % 4)
        offset = len(data)
        data = data + payload
        header = bytearray(data[:48])
        struct.pack_into(">I", header, 8, len(data))
        struct.pack_into(">II", header, 40, offset, len(payload))
        return bytes(header) + data[48:]
    fail(f"no way to salt {name}")


def hashed_name(name, data):
    digest = hashlib.sha256(data).hexdigest()[:HASH_DIGITS]
    folder, _, base = name.rpartition("/")
    stem, _, extension = base.partition(".")
    return f"{folder}/" * bool(folder) + f"{stem}.{digest}.{extension}"


def rename_in(text, names, used):
    """Every quoted or url() mention of a plain name replaced by its hashed
    name."""
    for plain, hashed in names.items():
        pattern = re.compile(r"""(["'(])""" + re.escape(plain) + r"""(["')])""")
        text, count = pattern.subn(lambda m: m.group(1) + hashed + m.group(2), text)
        if count:
            used.add(plain)
    return text


def source_hash(text):
    digest = hashlib.sha256(text.encode("utf-8")).digest()
    return "'sha256-" + base64.b64encode(digest).decode() + "'"


def directives(scripts, styles):
    """A content security policy: scripts from the site and those inline ones,
    WebAssembly compiled from the site's module, only those inline style
    sheets; images, fonts, downloads, the manifest and workers only from the
    site; no plug-in, <base> or form target."""
    return "; ".join(["default-src 'none'", "script-src 'self' 'wasm-unsafe-eval' " + scripts,
                      "style-src " + styles, "img-src 'self'", "font-src 'self'",
                      "connect-src 'self'", "manifest-src 'self'", "worker-src 'self'",
                      "object-src 'none'", "base-uri 'none'", "form-action 'none'"])


def policy(page):
    """The page's own policy: its inline scripts and style sheets named by
    their hashes."""
    scripts = re.findall(r"<script>(.*?)</script>", page, re.S)
    styles = re.findall(r"<style>(.*?)</style>", page, re.S)
    # Data blocks (type="text/html": the windows the page inserts itself)
    # are never run.
    if (re.search(r"<script\b(?![^>]*\b(src=|type=\"text/html\"))[^>]+>", page)
            or re.search(r"<style\b[^>]+>", page)):
        fail("index.html has an inline <script> or <style> with attributes, which its policy "
             "does not hash")
    if re.search(r"<[a-z][^<>]*\s(style|on[a-z]+)=", page):
        fail("index.html has a style or event handler attribute, which its policy forbids")
    return directives(" ".join(map(source_hash, scripts)), " ".join(map(source_hash, styles)))


def server_policy():
    """The policy the server sends with every file of every version: the
    same, but inline scripts and style sheets are those the page's own policy
    names (a browser obeys both); and what only a header can say: no site may
    show the page in a frame."""
    return directives("'unsafe-inline'", "'unsafe-inline'") + "; frame-ancestors 'none'"


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("stage")
    parser.add_argument("site")
    parser.add_argument("--version", required=True)
    parser.add_argument("--worker", required=True, help="the service worker's template")
    parser.add_argument("--nginx", required=True, help="the nginx configuration's template")
    parser.add_argument("--salt", help="a test's second build: every hashed file changed")
    args = parser.parse_args(argv)
    stage = pathlib.Path(args.stage)
    site = pathlib.Path(args.site)

    files = sorted(str(p.relative_to(stage)) for p in stage.rglob("*") if p.is_file())
    for name in FIXED | set(NAMERS):
        if name not in files:
            fail(f"{stage} has no {name}")
    contents = {name: (stage / name).read_bytes() for name in files}

    # The files that name none, then those that do, each hashed once the
    # names in it are final.
    names = {}
    used = set()
    for name in [f for f in files if f not in NAMERS] + NAMERS:
        data = contents[name]
        if name in NAMERS:
            data = rename_in(data.decode("utf-8"), names, used).encode("utf-8")
        if name not in FIXED:
            if args.salt:
                data = salted(name, data, args.salt)
            names[name] = hashed_name(name, data)
        contents[name] = data
    unnamed = set(names) - used
    if unnamed:
        fail(f"nothing names {', '.join(sorted(unnamed))}: the site would not use it")

    page = contents["index.html"].decode("utf-8")
    csp = policy(page)
    tables = re.search(r'<html [^>]*data-tables="([0-9a-f]{16})"', page)
    if not tables:
        fail("index.html names no screen tables (data-tables)")
    tables = tables.group(1)
    charset = '<meta charset="utf-8">\n'
    if page.count(charset) != 1:
        fail('index.html must have <meta charset="utf-8"> once, on a line of its own')
    # Before any script or style sheet: a policy covers only what follows it.
    page = page.replace(charset, charset + '<meta http-equiv="Content-Security-Policy" content="'
                        + csp + '">\n')
    contents["index.html"] = page.encode("utf-8")

    if site.exists():
        if any(site.iterdir()) and not (site / "sw.js").exists():
            fail(f"{site} is not empty and holds no site: not emptied")
        shutil.rmtree(site)
    stored = []
    for name in files:
        target = names.get(name, name)
        (site / target).parent.mkdir(parents=True, exist_ok=True)
        (site / target).write_bytes(contents[name])
        stored.append(target)
    stored.sort()

    # The store of this version is named by everything in it.
    sums = "".join(f"{names.get(name, name)} {hashlib.sha256(contents[name]).hexdigest()}\n"
                   for name in files)
    values = {
        "CEPOMER_SITE_VERSION": args.version,
        "CEPOMER_SITE_TABLES": tables,
        "CEPOMER_SITE_HASH": hashlib.sha256(sums.encode()).hexdigest()[:16],
        "CEPOMER_SITE_FILES": ",\n".join(f'  "{name}"' for name in stored),
        "CEPOMER_SITE_FIXED": ", ".join(f'"{name}"' for name in sorted(FIXED)),
        "CEPOMER_HASH_DIGITS": str(HASH_DIGITS),
        "CEPOMER_CSP": server_policy(),
    }

    def configure(template, output):
        text = pathlib.Path(template).read_text(encoding="utf-8")
        text = re.sub(r"@([A-Z_]+)@", lambda m: values[m.group(1)], text)
        pathlib.Path(output).write_text(text, encoding="utf-8")

    configure(args.worker, site / "sw.js")
    # Its comments stay in the sources, but for its licence.
    worker = (site / "sw.js").read_text(encoding="utf-8")
    (site / "sw.js").write_text(re.sub(r"^[ \t]*//(?! SPDX-).*\n|^\n(?=\n)", "", worker, flags=re.M),
                                encoding="utf-8")
    configure(args.nginx, site.parent / "nginx.conf")


if __name__ == "__main__":
    main(sys.argv[1:])
