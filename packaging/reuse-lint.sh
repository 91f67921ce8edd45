#!/usr/bin/env bash
# SPDX-FileCopyrightText: Cepomer developers
# SPDX-License-Identifier: GPL-3.0-or-later
#
# reuse lint over the project's own files, run from the source folder: in a
# git checkout the files git knows; in a source archive, where reuse would
# lint the build folders too, a copy without them.
#   packaging/reuse-lint.sh REUSE
set -euo pipefail
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    exec "$1" lint
fi
copy=$(mktemp -d)
trap 'rm -rf "$copy"' EXIT
tar --exclude='./build*' --exclude=./.git --exclude=node_modules --exclude=__pycache__ -cf - . |
    tar -xf - -C "$copy"
cd "$copy" && "$1" lint
