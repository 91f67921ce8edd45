#!/usr/bin/env bash
# SPDX-FileCopyrightText: Cepomer developers
# SPDX-License-Identifier: GPL-3.0-or-later
#
# The engine built for WebAssembly with Debian's Emscripten and tested under
# Node. Run from anywhere once the packages of tools/setup.sh test-web are
# installed; tools/setup.sh test-web does both. Exits non-zero on any failure.
#   1. GoogleTest for Emscripten from Debian's sources, built once into the
#      cache and built again when Emscripten or the toolchain file changes;
#   2. the native driver, build/cepomer-drive, the reference the web driver's
#      answers are compared with (built when missing or out of date);
#   3. build-web/: cepomer-drive.js with its .wasm and the tests without Qt;
#   4. CTest, every program run by Node and the browser tests in Chromium,
#      Firefox ESR and WebKitGTK;
#      or, with --serve, the site alone (no tests, so neither 1 nor 2, and
#      only tools/web/debian-packages.txt needed) on http://127.0.0.1:8080/,
#      served by nginx with the site's own configuration, as a host serves it.
#
# Debian's Emscripten comes with its C and C++ libraries built, in a cache
# that a build only reads, so it needs no write access there (EM_CACHE may
# point elsewhere all the same).
set -euo pipefail
cd "$(dirname "$0")/../.."
cache=${CEPOMER_CACHE:-/var/cache/cepomer}
jobs=$(nproc)
toolchain=$PWD/cmake/toolchains/emscripten.cmake
build=build-web

if [ "${1:-}" = --serve ]; then
    cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCEPOMER_WERROR=ON \
        -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DBUILD_TESTING=OFF
    cmake --build "$build" --parallel "$jobs"
    exec bash tools/web/nginx.sh "$build/site" 8080
fi

# GoogleTest: its version, Emscripten's and the compiler flags of the
# toolchain decide whether the cached build still fits.
gtest=$cache/googletest-$(dpkg-query -W -f='${Version}' googletest)-emscripten
key="emscripten $(dpkg-query -W -f='${Version}' emscripten)
$(cd cmake/toolchains && sha256sum emscripten.cmake emscripten-compat.h)"
if [ ! -f "$gtest/.complete" ] || [ "$(cat "$gtest/.complete")" != "$key" ]; then
    echo "Building GoogleTest for Emscripten into $gtest"
    mkdir -p "$cache"
    work=$(mktemp -d "$cache/googletest-emscripten.XXXXXX")
    trap 'rm -rf "$work"' EXIT
    cmake -S /usr/src/googletest -B "$work/build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_INSTALL_PREFIX="$work/install" \
        -Dgtest_disable_pthreads=ON >/dev/null
    cmake --build "$work/build" --parallel "$jobs" >/dev/null
    cmake --install "$work/build" >/dev/null
    printf '%s\n' "$key" >"$work/install/.complete"
    rm -rf "$gtest"
    mv -T "$work/install" "$gtest"
    rm -rf "$work"
    trap - EXIT
fi

# The native driver, as tools/setup.sh builds it.
if [ ! -f build/CMakeCache.txt ]; then
    cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DCEPOMER_WERROR=ON
fi
cmake --build build --parallel "$jobs" --target cepomer-drive

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCEPOMER_WERROR=ON \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DBUILD_TESTING=ON \
    -DGTest_DIR="$gtest/lib/cmake/GTest" \
    -DCEPOMER_REFERENCE_DRIVE="$PWD/build/cepomer-drive"
cmake --build "$build" --parallel "$jobs"
ctest --test-dir "$build" --output-on-failure --parallel "$jobs"
