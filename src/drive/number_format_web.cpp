// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The WebAssembly driver's locale: the one the environment of the Node process
// names, by the same locale data as the native driver's. The C library's
// environment under Emscripten is not the process's, so the name is read from
// Node.
#include <string>

#include <emscripten.h>

#include "drive/number_format.h"

// The value of the first of the variables named (separated by spaces) that
// is set and not empty, or "": its length in UTF-8, and the value itself into
// `out` when given (`size` bytes with the terminating zero). Outside Node,
// nothing is set.
// clang-format off
EM_JS(int, cepomer_environment, (const char* names, char* out, int size), {
    var env = typeof process === "object" && process.env ? process.env : {};
    var found = UTF8ToString(names).split(" ").map(n => env[n]).find(v => v) || "";
    if (out)
        stringToUTF8(found, out, size);
    return lengthBytesUTF8(found);
});
// clang-format on

namespace cepomer::drive {
namespace {

std::string firstSet(const char* names)
{
    std::string value(static_cast<std::string::size_type>(cepomer_environment(names, nullptr, 0)),
                      '\0');
    if (!value.empty())
        cepomer_environment(names, value.data(), static_cast<int>(value.size() + 1));
    return value;
}

} // namespace

rt::NumberFormat userNumberFormat()
{
    const std::string name = firstSet("LC_ALL LC_NUMERIC LANG");
    return rt::NumberFormat{name.empty() ? "." : decimalSeparator(name)};
}

std::string environmentVariable(const char* name)
{
    return firstSet(name);
}

} // namespace cepomer::drive
