# SPDX-FileCopyrightText: Cepomer developers
# SPDX-License-Identifier: GPL-3.0-or-later
#
# Linux on 64-bit ARM with Debian's cross compilers and the arm64 libraries of
# the multiarch archive (tools/arm64/debian-packages.txt). Qt's host tools
# (moc, rcc, uic) are the build machine's: configure with
#   -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake
# Programs built with it run here under qemu (tools/arm64/test.sh does all this).
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)

set(arm64_triple aarch64-linux-gnu)
set(CMAKE_C_COMPILER ${arm64_triple}-gcc)
set(CMAKE_CXX_COMPILER ${arm64_triple}-g++)
set(CMAKE_LIBRARY_ARCHITECTURE ${arm64_triple})

# Headers and libraries of the target only; programs of the build machine.
set(CMAKE_FIND_ROOT_PATH / /usr/${arm64_triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(CMAKE_PREFIX_PATH /usr/lib/${arm64_triple}/cmake)

# The arm64 C library sits at / through multiarch, so qemu needs no sysroot.
set(CMAKE_CROSSCOMPILING_EMULATOR qemu-aarch64)
