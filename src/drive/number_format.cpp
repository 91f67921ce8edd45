// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The native driver's locale: on Windows the user's, elsewhere the one the
// environment names.
#include <cstdlib>
#include <iterator>

#include "drive/number_format.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace cepomer::drive {

rt::NumberFormat userNumberFormat()
{
#ifdef _WIN32
    wchar_t separator[8] = {};
    const int length =
        GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SDECIMAL, separator, std::size(separator));
    if (length > 1) {
        char utf8[32] = {};
        if (WideCharToMultiByte(CP_UTF8, 0, separator, length - 1, utf8, sizeof utf8, nullptr,
                                nullptr) > 0)
            return rt::NumberFormat{utf8};
    }
    return rt::NumberFormat{"."};
#else
    for (const char* variable : {"LC_ALL", "LC_NUMERIC", "LANG"})
        if (const char* value = std::getenv(variable); value && *value)
            return rt::NumberFormat{decimalSeparator(value)};
    return rt::NumberFormat{"."};
#endif
}

std::string environmentVariable(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

} // namespace cepomer::drive
