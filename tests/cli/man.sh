#!/usr/bin/env bash

# SPDX-FileCopyrightText: Cepomer developers
# SPDX-License-Identifier: GPL-3.0-or-later

# Every manual page renders without a warning: with groff at its strictest,
# and, where man-db is installed, as lintian renders it, with a NAME section
# that gives the page's whatis entry.
#
#   man.sh PAGE...
set -uo pipefail

if [ $# -lt 1 ]; then
    echo "usage: $0 PAGE..." >&2
    exit 2
fi
failures=0

check() {
    local page=$1 what=$2
    shift 2
    local messages
    messages=$("$@" 2>&1 >/dev/null)
    if [ $? -ne 0 ] || [ -n "$messages" ]; then
        echo "FAIL: $page: $what:" >&2
        echo "$messages" >&2
        failures=$((failures + 1))
    fi
}

for page in "$@"; do
    check "$page" groff groff -k -ww -man -Tutf8 "$page"
    if command -v man >/dev/null; then
        check "$page" man env LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 \
            man --warnings -E UTF-8 -l -Tutf8 -Z "$page"
    fi
    if command -v lexgrog >/dev/null; then
        whatis=$(lexgrog "$page" 2>&1)
        grep -q ': ".* - .*"$' <<<"$whatis" ||
            { echo "FAIL: $page: no whatis entry: $whatis" >&2; failures=$((failures + 1)); }
    fi
done

[ "$failures" -eq 0 ] || exit 1
echo "$# manual pages render without a warning"
