#!/usr/bin/env bash

# SPDX-FileCopyrightText: Cepomer developers
# SPDX-License-Identifier: GPL-3.0-or-later

# Makes the Debian package of a build tree in a scratch directory and checks it
# with lintian, as a distribution would: any error or warning fails, and
# every tag found is printed (informational ones pass).
#   packaging/lint-deb.sh CPACK CPACK_CONFIG SCRATCH_DIR
set -euo pipefail
cpack=$1 config=$2 scratch=$3

rm -rf "$scratch"
mkdir -p "$scratch"
if ! "$cpack" --config "$config" -G DEB -B "$scratch" >"$scratch/cpack.log" 2>&1; then
    cat "$scratch/cpack.log"
    exit 1
fi
debs=("$scratch"/*.deb)
[ -f "${debs[0]}" ] || { echo "cpack made no package"; exit 1; }

status=0
out=$(lintian --display-info --fail-on error,warning "${debs[@]}" 2>&1) || status=$?
tags=$(grep -v '^running with root privileges' <<<"$out" || true)
echo "lintian on ${debs[*]##*/}:"
echo "${tags:-  no tags}"
exit "$status"
