# SPDX-FileCopyrightText: Cepomer developers
# SPDX-License-Identifier: GPL-3.0-or-later
#
# WebAssembly with Debian's Emscripten (package emscripten): the engine,
# cepomer-drive and the tests without Qt, as command-line programs that Node
# runs (build-web/cepomer-drive.js beside its .wasm). tools/web/test.sh
# configures with it, GoogleTest built for it given as -DGTest_DIR.
#
# Emscripten's own platform file does the rest: the compilers (emcc, em++),
# its sysroot, and ".js" for executables.
set(EMSCRIPTEN_ROOT_PATH /usr/share/emscripten CACHE PATH "Emscripten's root")
include(${EMSCRIPTEN_ROOT_PATH}/cmake/Modules/Platform/Emscripten.cmake)

# Debian's emcc runs its JavaScript optimiser with the machine's node, which
# finds Debian's JavaScript modules (acorn) only through NODE_PATH: every link
# runs with it.
set(CMAKE_C_LINKER_LAUNCHER ${CMAKE_COMMAND} -E env NODE_PATH=/usr/share/nodejs)
set(CMAKE_CXX_LINKER_LAUNCHER ${CMAKE_COMMAND} -E env NODE_PATH=/usr/share/nodejs)

# Tests run their .js programs with Node.
find_program(CEPOMER_NODE NAMES node nodejs REQUIRED)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CEPOMER_NODE})

# Run-time errors travel as C++ exceptions, which Emscripten leaves out
# unless compiled and linked in. Its C++ library is older than the compiler:
# emscripten-compat.h supplies what the project uses of the rest of C++20.
set(CMAKE_C_FLAGS_INIT "-fexceptions")
set(CMAKE_CXX_FLAGS_INIT "-fexceptions -include ${CMAKE_CURRENT_LIST_DIR}/emscripten-compat.h")

# Release builds optimised for size, compiled and linked, across the whole
# program (link-time optimisation): under Node the smaller code also ran the
# driver's commands faster than -O2's (bench/driver.py), and the whole suite
# runs on it, so the tests check the code as the page ships it. The link
# compiles the program, so it gets -ffp-contract=off as well (below): no
# multiplication and addition fused there either.
set(CMAKE_C_FLAGS_RELEASE "-Oz -flto -DNDEBUG" CACHE STRING "Flags of release builds")
set(CMAKE_CXX_FLAGS_RELEASE "-Oz -flto -DNDEBUG" CACHE STRING "Flags of release builds")

# Programs are Node programs, as the driver and the tests are: they start at
# once (the WebAssembly compiled synchronously: the asynchronous loader tries
# fetch() on a file path under Node 18 and later), end when main returns, with
# its status, their output flushed and their destructors run, grow their
# memory as needed, and have no file system beyond their standard streams,
# which are the process's own bytes (emscripten-stdio.js). A program for
# browsers says so in its own link options, which come later and win:
# -sENVIRONMENT=web -sWASM_ASYNC_COMPILATION=1 -sEXIT_RUNTIME=0 (a page lives
# on after main).
string(JOIN " " CMAKE_EXE_LINKER_FLAGS_INIT
       -fexceptions
       -ffp-contract=off
       -sENVIRONMENT=node
       -sWASM_ASYNC_COMPILATION=0
       -sEXIT_RUNTIME=1
       -sALLOW_MEMORY_GROWTH=1
       -sFILESYSTEM=0
       "--js-library ${CMAKE_CURRENT_LIST_DIR}/emscripten-stdio.js")
