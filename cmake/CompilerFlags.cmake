# SPDX-FileCopyrightText: Cepomer developers
# SPDX-License-Identifier: GPL-3.0-or-later

# Flags every target of the project gets.
#
# The calculators' results must have the same digits on every machine: the
# compiler must never assume finite values or reassociate (no fast math), nor
# fuse a multiplication and an addition into one rounding (GCC does on targets
# with a fused multiply-add, such as AArch64): every step is rounded on its
# own. The faults the arithmetic check reports are recorded by the runtime's
# helpers themselves (runtime/fpenv.h), so no option for the processor's
# exception flags or rounding modes is needed.
function(cepomer_target_flags target)
    if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
        target_compile_options(${target} PRIVATE
            -Wall -Wextra -Wpedantic -fno-fast-math -ffp-contract=off)
        if(CEPOMER_WERROR)
            target_compile_options(${target} PRIVATE -Werror)
        endif()
    elseif(MSVC)
        target_compile_options(${target} PRIVATE /W4 /fp:strict /utf-8
            $<$<BOOL:${CEPOMER_WERROR}>:/WX>)
    endif()
endfunction()
