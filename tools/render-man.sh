#!/usr/bin/env bash
# SPDX-FileCopyrightText: Cepomer developers
# SPDX-License-Identifier: GPL-3.0-or-later
#
# The English manual pages as plain text in docs/, for readers of the
# project's pages:
#   tools/render-man.sh MAN_BUILD_DIR           writes docs/cepomer.1.txt and
#                                               docs/cepomer-drive.1.txt
#   tools/render-man.sh --check MAN_BUILD_DIR   fails if they are not current
set -euo pipefail
check=false
if [ "${1:-}" = --check ]; then
    check=true
    shift
fi
docs=$(dirname "$0")/../docs
status=0
for page in cepomer.1 cepomer-drive.1; do
    text=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --no-hyphenation --no-justification -l "$1/$page" | col -bx)
    if ! $check; then
        printf '%s\n' "$text" >"$docs/$page.txt"
    elif [ "$text" != "$(cat "$docs/$page.txt")" ]; then
        echo "docs/$page.txt is not the current $page: run tools/render-man.sh build/man" >&2
        status=1
    fi
done
exit "$status"
