// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Run-time options of the sanitizers, built into every executable of an
// instrumented build. The environment (ASAN_OPTIONS, ...) still overrides them.
extern "C" {

const char* __asan_default_options()
{
    return "detect_leaks=1:check_initialization_order=1:strict_init_order=1:"
           "detect_stack_use_after_return=1:abort_on_error=0:halt_on_error=1";
}

const char* __ubsan_default_options()
{
    return "print_stacktrace=1:halt_on_error=1";
}

// Qt and fontconfig are not instrumented; what they keep until the process
// ends is listed in the suppressions file, by their frames only.
const char* __lsan_default_options()
{
    return "suppressions=" CEPOMER_LSAN_SUPPRESSIONS ":print_suppressions=0";
}

} // extern "C"
