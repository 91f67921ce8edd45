#!/usr/bin/env bash

# SPDX-FileCopyrightText: Cepomer developers
# SPDX-License-Identifier: GPL-3.0-or-later

# The whole test suite on a 64-bit ARM build, under qemu: cross-builds
# build-arm64/ with Debian's aarch64 compilers and arm64 Qt, then runs CTest
# there, each test program (and every program a test script starts) through
# qemu-aarch64. Run from the repository root once the packages of
# tools/debian-packages.txt and tools/arm64/debian-packages.txt are installed;
# tools/setup.sh test-arm64 does both. Exits non-zero on any failure.
set -euo pipefail
cd "$(dirname "$0")/../.."

build="build-arm64"
# Qt's host tools (moc, rcc, uic) come from the build machine's Qt.
host_cmake=/usr/lib/$(gcc -print-multiarch)/cmake

cmake -S . -B "$build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/toolchains/aarch64-linux-gnu.cmake" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR="$host_cmake" \
    -DCMAKE_BUILD_TYPE=Release -DCEPOMER_WERROR=ON
cmake --build "$build" --parallel "$(nproc)"
ctest --test-dir "$build" --output-on-failure --parallel "$(nproc)"
