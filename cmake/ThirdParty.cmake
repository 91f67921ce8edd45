# SPDX-FileCopyrightText: Cepomer developers
# SPDX-License-Identifier: GPL-3.0-or-later

# The tests' references for the runtime's own exact number conversions,
# header-only libraries that read and write numbers exactly on every target:
# fast_float (Debian: libfast-float-dev) for reading, {fmt} (Debian:
# libfmt-dev) for writing. No program holds them.
#
# Their headers are taken from the build machine and copied at configure time
# into a folder of their own under the build tree: a cross build (MinGW-w64,
# Emscripten) must not get /usr/include on its include path, which would put
# glibc's headers before its own C library's. The copies are refreshed when the
# installed headers change. Nothing of them is kept in the repository.
set(cepomer_third_party_include ${PROJECT_BINARY_DIR}/third_party/include)

function(cepomer_copy_headers variable header package)
    find_path(${variable} ${header} PATHS /usr/include /usr/local/include
              NO_CMAKE_FIND_ROOT_PATH DOC "Folder holding ${header} (Debian: ${package})")
    if(NOT ${variable})
        message(FATAL_ERROR "${header} not found: install ${package} or set ${variable}")
    endif()
    get_filename_component(folder ${header} DIRECTORY)
    file(GLOB headers ${${variable}}/${folder}/*.h)
    file(COPY ${headers} DESTINATION ${cepomer_third_party_include}/${folder})
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${headers})
endfunction()

cepomer_copy_headers(CEPOMER_FAST_FLOAT_INCLUDE_DIR fast_float/fast_float.h libfast-float-dev)
cepomer_copy_headers(CEPOMER_FMT_INCLUDE_DIR fmt/format.h libfmt-dev)

add_library(cepomer_third_party INTERFACE)
target_include_directories(cepomer_third_party SYSTEM INTERFACE ${cepomer_third_party_include})
target_compile_definitions(cepomer_third_party INTERFACE FMT_HEADER_ONLY)
