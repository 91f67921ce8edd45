#!/usr/bin/env bash
# SPDX-FileCopyrightText: Cepomer developers
# SPDX-License-Identifier: GPL-3.0-or-later
#
# Builds Qt's base module for Windows as static libraries, from Debian's own
# qt6-base source package, with Debian's MinGW-w64. It takes about 45 minutes
# on two cores, so the result is kept outside the work tree, in
#   ${CEPOMER_CACHE:-/var/cache/cepomer}/qt-VERSION-mingw-static-KEY
# where KEY stands for the options below and the compiler's version; a later
# run with the same key reuses it. Prints the installation prefix.
#
# Needs a deb-src entry (tools/setup.sh adds one) and the packages of
# tools/windows/debian-packages.txt.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
cache=${CEPOMER_CACHE:-/var/cache/cepomer}
jobs=${CEPOMER_JOBS:-$(nproc)}

# What cepomer needs of Qt and nothing else: Core, Gui, Widgets and Test; the
# windows, offscreen and minimal platforms; the third-party libraries built in.
options=(
    -DCMAKE_BUILD_TYPE=Release
    -DBUILD_SHARED_LIBS=OFF
    # -Os: the program spends its time waiting for the user, and Qt is
    # most of the size of a static executable.
    -DFEATURE_optimize_size=ON
    -DQT_BUILD_EXAMPLES=OFF
    -DQT_BUILD_TESTS=OFF
    -DQT_BUILD_BENCHMARKS=OFF
    # No OpenGL at all. (FEATURE_opengl=OFF alone leaves dynamicgl on, and the
    # windows platform then does not compile.)
    -DINPUT_opengl=no
    -DFEATURE_vulkan=OFF
    # The separate Direct2D platform plug-in; the windows one keeps Direct2D
    # and DirectWrite.
    -DFEATURE_direct2d1_1=OFF
    # Tablets need wintab.h, which neither MinGW nor Debian's source ships.
    -DFEATURE_tabletevent=OFF
    -DFEATURE_dbus=OFF
    -DFEATURE_network=OFF
    -DFEATURE_sql=OFF
    -DFEATURE_printsupport=OFF
    -DFEATURE_concurrent=OFF
    -DFEATURE_xml=OFF
    -DFEATURE_icu=OFF
    -DFEATURE_jpeg=OFF
    -DFEATURE_gif=OFF
    -DFEATURE_ico=OFF
    -DFEATURE_style_windowsvista=OFF
    -DFEATURE_system_zlib=OFF
    -DFEATURE_system_png=OFF
    -DFEATURE_system_freetype=OFF
    -DFEATURE_system_harfbuzz=OFF
    -DFEATURE_system_pcre2=OFF
    -DFEATURE_system_doubleconversion=OFF
    -DFEATURE_testlib=ON
)

compiler=$(x86_64-w64-mingw32-g++-posix -dumpfullversion)
key=$( (printf '%s\n' "${options[@]}"; echo "$compiler") | sha256sum | cut -c1-10)

src=$cache/src
mkdir -p "$src"
if ! ls "$src"/qt6-base_*.orig.tar.xz >/dev/null 2>&1; then
    (cd "$src" && apt-get source --download-only qt6-base >&2)
fi
tarball=$(ls "$src"/qt6-base_*.orig.tar.xz | head -n1)
version=$(basename "$tarball" | sed -E 's/^qt6-base_([0-9.]+).*/\1/')
prefix=$cache/qt-$version-mingw-static-$key
if [ -f "$prefix/.complete" ]; then
    echo "$prefix"
    exit 0
fi

tree=$src/qtbase-everywhere-src-$version
[ -d "$tree" ] || tar -C "$src" -xf "$tarball"

# The toolchain file is copied beside the result: Qt's own toolchain file
# refers to it, and the work tree that built Qt may be gone.
work=$prefix.build
rm -rf "$work" "$prefix"
mkdir -p "$work" "$prefix"
cp "$here/../../cmake/toolchains/mingw-w64-x86_64.cmake" "$prefix/mingw-w64-x86_64.cmake"
sed -i '/CMAKE_CROSSCOMPILING_EMULATOR/d' "$prefix/mingw-w64-x86_64.cmake"

echo "Building Qt $version for Windows into $prefix (about 45 minutes)" >&2
cmake -S "$tree" -B "$work" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$prefix/mingw-w64-x86_64.cmake" \
    -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DQT_HOST_PATH=/usr \
    -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    "${options[@]}" >"$work/configure.log" 2>&1 || {
    tail -n 40 "$work/configure.log" >&2
    exit 1
}
cmake --build "$work" --parallel "$jobs" >"$work/build.log" 2>&1 || {
    tail -n 40 "$work/build.log" >&2
    exit 1
}
cmake --install "$work" >"$work/install.log" 2>&1
touch "$prefix/.complete"
rm -rf "$work"
echo "$prefix"
