#!/usr/bin/env bash
# SPDX-FileCopyrightText: Cepomer developers
# SPDX-License-Identifier: GPL-3.0-or-later
#
# The Windows build, tested under Wine. tools/setup.sh test-windows runs this
# once the packages of tools/windows/debian-packages.txt are installed:
#   1. Qt for Windows, static, built once into the cache (build-qt.sh);
#   2. GoogleTest for MinGW from Debian's own sources, likewise;
#   3. build-windows/: cepomer.exe, cepomer-drive.exe, the tests, the zip and
#      the installer;
#   4. under Wine, with one prefix and one server per locale: the whole CTest
#      suite, with the Windows-only tests (console bytes, the main window, the
#      installer).
# Every process it starts, it ends by its id.
set -euo pipefail
cd "$(dirname "$0")/../.."
cache=${CEPOMER_CACHE:-/var/cache/cepomer}
export CEPOMER_CACHE=$cache
export CEPOMER_WINE_ROOT=${CEPOMER_WINE_ROOT:-$cache/wine}
jobs=$(nproc)
# Tests that name no locale run in C (and so in the C prefix, whose server
# is started below).
export LC_ALL=C
build=build-windows
toolchain=$PWD/cmake/toolchains/mingw-w64-x86_64.cmake

qt=$(tools/windows/build-qt.sh)
qt_version=$(basename "$qt" | sed -E 's/^qt-([0-9.]+)-.*/\1/')

# GoogleTest from the sources of Debian's libgtest-dev, for MinGW.
gtest_version=$(dpkg-query -W -f='${Version}' libgtest-dev)
gtest=$cache/googletest-$gtest_version-mingw
if [ ! -f "$gtest/.complete" ]; then
    rm -rf "$gtest" "$gtest.build"
    cmake -S /usr/src/googletest -B "$gtest.build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_INSTALL_PREFIX="$gtest" \
        -Dgtest_disable_pthreads=OFF >/dev/null
    cmake --build "$gtest.build" --parallel "$jobs" >/dev/null
    cmake --install "$gtest.build" >/dev/null
    touch "$gtest/.complete"
    rm -rf "$gtest.build"
fi

# One Wine prefix per locale the tests use (C for the unit tests and most
# transcripts, ru_RU.UTF-8 for those with a decimal comma), each held for the
# whole run, and ended with all its processes at the end.
locales=(C ru_RU.UTF-8)
holders=()
stop_wine() {
    local pid locale
    for pid in "${holders[@]}"; do
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    for locale in "${locales[@]}"; do
        LC_ALL=$locale tools/windows/wine-run.sh --stop || true
    done
}
trap stop_wine EXIT
for locale in "${locales[@]}"; do
    LC_ALL=$locale tools/windows/wine-run.sh --hold &
    holders+=($!)
    LC_ALL=$locale tools/windows/wine-run.sh --held $!
done

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCEPOMER_WERROR=ON \
    -DCMAKE_TOOLCHAIN_FILE="$qt/lib/cmake/Qt6/qt.toolchain.cmake" \
    -DQT_CHAINLOAD_TOOLCHAIN_FILE="$toolchain" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DGTest_DIR="$gtest/lib/cmake/GTest" \
    -DCEPOMER_QT_SOURCE_DIR="$cache/src/qtbase-everywhere-src-$qt_version"
LC_ALL=C cmake --build "$build" --parallel "$jobs"
# Under Wine the random sessions run at native speed: four times the actions
# of the Linux run. The tests that fail are run once more, and must pass
# then, and are named: once in some thousand runs a program under Wine ended
# at its start, in a hundredth of a second and without a word, which no rerun
# has repeated.
export CEPOMER_SESSION_ACTIONS=${CEPOMER_SESSION_ACTIONS:-100000}
if ! ctest --test-dir "$build" --output-on-failure --parallel "$jobs"; then
    echo "test.sh: the tests that failed above are run once more; they must pass now" >&2
    ctest --test-dir "$build" --output-on-failure --rerun-failed
fi
