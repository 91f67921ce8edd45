# SPDX-FileCopyrightText: Cepomer developers
# SPDX-License-Identifier: GPL-3.0-or-later

# Instrumented builds.
#
#   -DCEPOMER_SANITIZE=ON  everything with AddressSanitizer (leaks included) and
#                          UndefinedBehaviorSanitizer; the first report aborts.
#   -DCEPOMER_FUZZ=ON      additionally the libFuzzer targets under fuzz/ (clang
#                          only; implies CEPOMER_SANITIZE), with every library
#                          instrumented for coverage.
#
# The run-time options and the leak suppressions are compiled into every
# executable (sanitize/defaults.cpp), so the test binaries, the scenario runs
# and the fuzzers report the same way without any environment.
option(CEPOMER_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
option(CEPOMER_FUZZ "Build the libFuzzer targets (clang; implies CEPOMER_SANITIZE)" OFF)

if(CEPOMER_FUZZ)
    if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
        message(FATAL_ERROR "CEPOMER_FUZZ needs clang (libFuzzer): -DCMAKE_CXX_COMPILER=clang++-14")
    endif()
    include(CheckCXXSourceCompiles)
    set(CMAKE_REQUIRED_FLAGS -fsanitize=fuzzer)
    set(CMAKE_REQUIRED_LINK_OPTIONS -fsanitize=fuzzer)
    check_cxx_source_compiles([[
        #include <cstddef>
        #include <cstdint>
        extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t*, std::size_t) { return 0; }
    ]] CEPOMER_HAVE_LIBFUZZER)
    unset(CMAKE_REQUIRED_FLAGS)
    unset(CMAKE_REQUIRED_LINK_OPTIONS)
    if(NOT CEPOMER_HAVE_LIBFUZZER)
        message(WARNING "clang has no libFuzzer here (Debian: libclang-rt-14-dev): "
                        "the sanitizer build goes on without the fuzz targets")
        set(CEPOMER_FUZZ OFF)
    endif()
    set(CEPOMER_SANITIZE ON CACHE BOOL "" FORCE)
endif()

if(CEPOMER_SANITIZE)
    if(NOT CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
        message(FATAL_ERROR "CEPOMER_SANITIZE needs gcc or clang")
    endif()
    set(cepomer_sanitizers -fsanitize=address,undefined)
    if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
        # Clang's "undefined" covers float-to-integer overflow; gcc's does not.
        list(APPEND cepomer_sanitizers -fsanitize=float-cast-overflow)
    endif()
    # Division by zero of floating-point numbers is IEEE arithmetic that the
    # program relies on, and neither compiler counts it as undefined.
    add_compile_options(${cepomer_sanitizers} -fno-sanitize-recover=all -fno-omit-frame-pointer)
    add_link_options(${cepomer_sanitizers} -fno-sanitize-recover=all)
    if(CEPOMER_FUZZ)
        add_compile_options(-fsanitize=fuzzer-no-link)
    endif()

    # Every executable made after this point gets the defaults.
    add_library(cepomer_sanitizer_defaults OBJECT ${CMAKE_CURRENT_LIST_DIR}/sanitize/defaults.cpp)
    target_compile_definitions(cepomer_sanitizer_defaults PRIVATE
        CEPOMER_LSAN_SUPPRESSIONS="${CMAKE_CURRENT_LIST_DIR}/sanitize/lsan.supp")
    link_libraries(cepomer_sanitizer_defaults)
endif()
