#!/usr/bin/env python3

# SPDX-FileCopyrightText: Cepomer developers
# SPDX-License-Identifier: GPL-3.0-or-later

"""Serves a folder over HTTP to this machine alone, for the Cepomer web app.

    serve.py [DIR] [--port PORT]

DIR (the current folder if left out) is served on 127.0.0.1 at PORT (8080;
0 picks a free port). The first line printed is the address to open. The
server answers this machine only: it never listens on other interfaces.
Ctrl-C ends it.

A browser runs the app from a web server, not from the files themselves:
WebAssembly is compiled as it downloads only when it comes as
application/wasm, and a service worker (the app working offline) is only
registered on http://127.0.0.1 or https. Every answer asks the browser to check
for a newer file before using its copy, so a rebuilt site shows at once.
"""
import argparse
import functools
import http.server
import os
import sys

HOST = "127.0.0.1"

TYPES = {
    ".html": "text/html; charset=utf-8",
    ".css": "text/css; charset=utf-8",
    ".js": "text/javascript; charset=utf-8",
    ".mjs": "text/javascript; charset=utf-8",
    ".wasm": "application/wasm",
    ".webmanifest": "application/manifest+json; charset=utf-8",
    ".json": "application/json; charset=utf-8",
    ".txt": "text/plain; charset=utf-8",
    ".png": "image/png",
    ".svg": "image/svg+xml",
    ".ico": "image/vnd.microsoft.icon",
    ".woff2": "font/woff2",
}


class Handler(http.server.SimpleHTTPRequestHandler):
    extensions_map = {**http.server.SimpleHTTPRequestHandler.extensions_map, **TYPES}
    # Connections kept open: a page's files come over a few, not one each.
    protocol_version = "HTTP/1.1"
    # Each answer goes out at once: with Nagle's algorithm a file's body waits
    # for the browser to acknowledge its headers, which on a kept-open
    # connection it may hold back for 40 ms.
    disable_nagle_algorithm = True

    def end_headers(self):
        self.send_header("Cache-Control", "no-cache")
        self.send_header("X-Content-Type-Options", "nosniff")
        super().end_headers()

    def log_message(self, format, *args):  # noqa: A002 (the base class names it so)
        if self.server.quiet:
            return
        super().log_message(format, *args)


class Server(http.server.ThreadingHTTPServer):
    daemon_threads = True
    quiet = False

    def handle_error(self, request, client_address):
        # A browser that stops reading (a page closed while loading) is no error.
        if isinstance(sys.exc_info()[1], (BrokenPipeError, ConnectionResetError)):
            return
        super().handle_error(request, client_address)


def main(argv=None):
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("dir", nargs="?", default=".", help="the folder to serve (default: .)")
    parser.add_argument("--port", type=int, default=8080,
                        help="the port on 127.0.0.1 (default: 8080; 0: any free port)")
    parser.add_argument("--quiet", action="store_true",
                        help="print the address alone: nothing per request, nothing at the end")
    args = parser.parse_args(argv)

    if not os.path.isdir(args.dir):
        parser.error(f"{args.dir}: no such folder")
    if not 0 <= args.port <= 65535:
        parser.error(f"{args.port}: not a port number")

    handler = functools.partial(Handler, directory=os.path.abspath(args.dir))
    try:
        server = Server((HOST, args.port), handler)
    except OSError as e:
        print(f"serve.py: cannot listen on {HOST}:{args.port}: {e.strerror}", file=sys.stderr)
        return 1
    server.quiet = args.quiet
    with server:
        host, port = server.server_address[:2]
        print(f"http://{host}:{port}/", flush=True)
        if not args.quiet:
            print(f"Serving {os.path.abspath(args.dir)} to this machine alone; Ctrl-C ends.",
                  file=sys.stderr, flush=True)
        try:
            server.serve_forever()
        except KeyboardInterrupt:
            if not args.quiet:
                print("serve.py: ended", file=sys.stderr)
    return 0


if __name__ == "__main__":
    sys.exit(main())
