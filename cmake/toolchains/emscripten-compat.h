// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

// What Debian's Emscripten (3.1.6, libc++ 13) lacks of the C++20 library the
// project uses, included before every C++ file of the WebAssembly build
// (cmake/toolchains/emscripten.cmake). Each piece stands only where the
// library does not have it, as libc++ 14 and later define it.
#pragma once

#if defined(__cplusplus) && __cplusplus >= 202002L
#include <bit>

#ifndef __cpp_lib_bit_cast
namespace std {
// The builtin itself refuses types of other sizes or not trivially copyable.
template <class To, class From> [[nodiscard]] constexpr To bit_cast(const From& from) noexcept
{
    return __builtin_bit_cast(To, from);
}
} // namespace std
#endif
#endif
