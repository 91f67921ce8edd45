#!/usr/bin/env bash

# SPDX-FileCopyrightText: Cepomer developers
# SPDX-License-Identifier: GPL-3.0-or-later

# Set-up on a fresh Debian 12 machine, as root or through sudo:
#   tools/setup.sh run    installs what is missing, builds, starts cepomer
#   tools/setup.sh test   installs what is missing, builds, runs every test
set -euo pipefail
cd "$(dirname "$0")/.."
mode=${1:-run}

# Install only the packages that are not there yet.
mapfile -t wanted < <(grep -v '^#' tools/debian-packages.txt | grep -v '^$')
missing=()
for p in "${wanted[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    echo "Installing: ${missing[*]}"
    $sudo apt-get update -q
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

build=build
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCEPOMER_WERROR=ON
cmake --build "$build" --parallel "$(nproc)"

case "$mode" in
run)
    exec "$build/cepomer"
    ;;
test)
    ctest --test-dir "$build" --output-on-failure --parallel "$(nproc)"
    # The whole suite again, built by clang with AddressSanitizer and
    # UndefinedBehaviorSanitizer (any report fails), with the libFuzzer
    # targets and a short run of each.
    sanitize=build-sanitize
    cmake -S . -B "$sanitize" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCEPOMER_WERROR=ON \
        -DCMAKE_CXX_COMPILER=clang++-14 -DCEPOMER_FUZZ=ON
    cmake --build "$sanitize" --parallel "$(nproc)"
    ctest --test-dir "$sanitize" --output-on-failure --parallel "$(nproc)"
    ;;
*)
    echo "usage: tools/setup.sh run|test" >&2
    exit 2
    ;;
esac
