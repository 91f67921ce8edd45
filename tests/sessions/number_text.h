// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

// What a number written by the program looks like: "-"? digits, then the
// separator and digits, then "E", a sign and two or three digits; no plus
// sign, no blank, no leading zero but the one before a separator, no trailing
// zero after it, one nonzero digit before the separator in exponent notation,
// at most `digits` significant digits. Or "∞", "-∞", "не число".
#pragma once

#include <cstddef>
#include <string_view>

namespace cepomer::test {

inline bool looksWritten(std::string_view t, std::string_view separator, std::size_t digits)
{
    if (t == "∞" || t == "-∞" || t == "не число")
        return true;
    const auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    std::size_t i = !t.empty() && t[0] == '-' ? 1 : 0;
    const std::size_t start = i;
    while (i < t.size() && isDigit(t[i]))
        ++i;
    const std::size_t whole = i - start;
    if (whole == 0 || (t[start] == '0' && whole > 1))
        return false;
    std::size_t significant = t[start] == '0' ? 0 : whole;
    bool leading = significant == 0;
    if (t.substr(i, separator.size()) == separator && !separator.empty()) {
        i += separator.size();
        const std::size_t fraction = i;
        for (; i < t.size() && isDigit(t[i]); ++i) {
            leading = leading && t[i] == '0';
            significant += leading ? 0 : 1;
        }
        if (i == fraction || t[i - 1] == '0')
            return false;
    }
    if (i < t.size() && t[i] == 'E') {
        if (whole != 1 || t[start] == '0' || i + 1 >= t.size() ||
            (t[i + 1] != '+' && t[i + 1] != '-'))
            return false;
        i += 2;
        const std::size_t exponent = t.size() - i;
        if (exponent < 2 || exponent > 3)
            return false;
        while (i < t.size() && isDigit(t[i]))
            ++i;
    }
    return i == t.size() && t != "-0" && significant <= digits;
}

} // namespace cepomer::test
