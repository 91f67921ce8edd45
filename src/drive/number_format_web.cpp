// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The WebAssembly driver's locale: the one the environment of the Node process
// names, by the same locale data as the native driver's. The C library's
// environment under Emscripten is not the process's, so the name is read from
// Node.
#include <string>

#include <emscripten.h>

#include "drive/number_format.h"

// The first of LC_ALL, LC_NUMERIC and LANG that is set and not empty (or an
// empty name): its length in UTF-8, and the name itself into `out` when given
// (`size` bytes with the terminating zero). Outside Node, no name.
// clang-format off
EM_JS(int, cepomer_locale_name, (char* out, int size), {
    var env = typeof process === "object" && process.env ? process.env : {};
    var name = env.LC_ALL || env.LC_NUMERIC || env.LANG || "";
    if (out)
        stringToUTF8(name, out, size);
    return lengthBytesUTF8(name);
});
// clang-format on

namespace cepomer::drive {

rt::NumberFormat userNumberFormat()
{
    std::string name(static_cast<std::string::size_type>(cepomer_locale_name(nullptr, 0)), '\0');
    if (name.empty())
        return rt::NumberFormat{"."};
    cepomer_locale_name(name.data(), static_cast<int>(name.size() + 1));
    return rt::NumberFormat{decimalSeparator(name)};
}

} // namespace cepomer::drive
