# SPDX-FileCopyrightText: Cepomer developers
# SPDX-License-Identifier: GPL-3.0-or-later

# Flags every target of the project gets.
#
# The calculators rely on the floating-point exception flags: the compiler must
# neither fold nor reorder arithmetic that may raise them, and must never assume
# finite values. Nor may it fuse a multiplication and an addition into one
# rounding (GCC does on targets with a fused multiply-add, such as AArch64):
# every step is rounded on its own, on every machine.
function(cepomer_target_flags target)
    if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
        target_compile_options(${target} PRIVATE
            -Wall -Wextra -Wpedantic
            -frounding-math -ftrapping-math -fno-fast-math -ffp-contract=off)
        if(CEPOMER_WERROR)
            target_compile_options(${target} PRIVATE -Werror)
        endif()
    elseif(MSVC)
        target_compile_options(${target} PRIVATE /W4 /fp:strict /utf-8
            $<$<BOOL:${CEPOMER_WERROR}>:/WX>)
    endif()
endfunction()
