#!/usr/bin/env bash

# SPDX-FileCopyrightText: Cepomer developers
# SPDX-License-Identifier: GPL-3.0-or-later

# The whole test suite on a 64-bit ARM build, under qemu: cross-builds
# build-arm64/ with Debian's aarch64 compilers and arm64 Qt, then runs CTest
# there, each test program (and every program a test script starts) through
# qemu-aarch64; the driver's answers are compared with the native driver's,
# build/cepomer-drive (built when missing or out of date). Run from anywhere
# once the packages of tools/setup.sh test-arm64 are installed; that command
# does both. Exits non-zero on any failure.
set -euo pipefail
cd "$(dirname "$0")/../.."

# The native driver, as tools/setup.sh builds it.
if [ ! -f build/CMakeCache.txt ]; then
    cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DCEPOMER_WERROR=ON
fi
cmake --build build --parallel "$(nproc)" --target cepomer-drive

build="build-arm64"
# Qt's host tools (moc, rcc, uic) come from the build machine's Qt.
host_cmake=/usr/lib/$(gcc -print-multiarch)/cmake

cmake -S . -B "$build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/toolchains/aarch64-linux-gnu.cmake" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR="$host_cmake" \
    -DCMAKE_BUILD_TYPE=Release -DCEPOMER_WERROR=ON -DCEPOMER_REFERENCE_DRIVE="$PWD/build/cepomer-drive"
cmake --build "$build" --parallel "$(nproc)"
ctest --test-dir "$build" --output-on-failure --parallel "$(nproc)"
