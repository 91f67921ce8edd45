# SPDX-FileCopyrightText: Cepomer developers
# SPDX-License-Identifier: GPL-3.0-or-later

# The hardening a Linux distribution builds its programs with (Debian's
# dpkg-buildflags with hardening=+all): position-independent executables,
# stack protector, fortified C library calls, and a read-only relocation table
# resolved at start (relro, bindnow). None of these changes code generation
# for floating-point arithmetic.
#
# Linux ELF builds with gcc or clang only: not Windows, and not the sanitizer
# build, whose run-time library brings its own checks.
option(CEPOMER_HARDENING "Build with the hardening flags of Linux distributions" ON)

if(CEPOMER_HARDENING AND CMAKE_SYSTEM_NAME STREQUAL "Linux"
   AND CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang" AND NOT CEPOMER_SANITIZE)
    include(CheckPIESupported)
    check_pie_supported(LANGUAGES CXX)
    set(CMAKE_POSITION_INDEPENDENT_CODE ON)

    add_compile_options(-fstack-protector-strong)
    # The C library's fortified functions need optimisation (and warn without
    # it); flags given by the builder (dpkg-buildflags) take precedence. The
    # compiler's own default, where it has one, is replaced rather than
    # redefined.
    if(NOT CMAKE_CXX_FLAGS MATCHES "_FORTIFY_SOURCE")
        add_compile_options("$<$<NOT:$<CONFIG:Debug>>:-U_FORTIFY_SOURCE;-D_FORTIFY_SOURCE=2>")
    endif()
    add_link_options(LINKER:-z,relro LINKER:-z,now)
endif()
