// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The text-to-number reader and the number-to-text writers.
//
// Reader, on the input as text:
// - it never crashes, gives a finite value or raises run-time error 6 only;
// - it agrees with a second, plain statement of the reading rule (blanks
//   dropped, then the longest prefix that is a number, converted by strtod);
// - text after the number never changes its value: cutting the text at any
//   character that cannot continue a number (the number has ended there, or
//   never began) reads the same.
// Writers, on the input's first bytes as a Single and as a Double:
// - the text is a plain or exponent number, no blank, no plus, no trailing zero;
// - read back (point or comma), it is the number again within half a unit of
//   the last digit written (7 for a Single, 15 for a Double);
// - a Double written, read back and written again gives the same text.
#include <cctype>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>
#include <string_view>

#include "number_text.h"
#include "runtime/convert.h"
#include "runtime/errors.h"

namespace {

using cepomer::rt::Double;
using cepomer::rt::Single;

[[noreturn]] void fail(const char* what, std::string_view text)
{
    std::fprintf(stderr, "property broken: %s\ntext (%zu bytes): \"", what, text.size());
    for (const char c : text)
        std::fprintf(stderr, std::isprint(static_cast<unsigned char>(c)) ? "%c" : "\\x%02x",
                     static_cast<unsigned char>(c));
    std::fprintf(stderr, "\"\n");
    std::abort();
}

// A reading: the value's bits, or the run-time error number.
struct Reading {
    std::uint64_t bits = 0;
    int error = 0;
    bool operator==(const Reading&) const = default;
};

Reading bitsOf(Double value)
{
    Reading r;
    std::memcpy(&r.bits, &value, sizeof value);
    return r;
}

Reading read(std::string_view text)
{
    try {
        const Double value = cepomer::rt::rtcR8ValFromBstr(text);
        if (!std::isfinite(value))
            fail("the reader gave an infinity or NaN", text);
        return bitsOf(value);
    } catch (const cepomer::rt::RuntimeError& e) {
        if (e.number() != 6)
            fail("the reader raised an error other than 6", text);
        return Reading{0, e.number()};
    }
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// The reading rule as written for users, step by step and independently of
// the runtime: drop every blank, tab and line feed; "&H"/"&O" integers; else
// the longest prefix of the form sign, digits with one separator, exponent.
Reading reference(std::string_view text)
{
    std::string s;
    for (const char c : text)
        if (c != ' ' && c != '\t' && c != '\n')
            s += c;
    if (!s.empty() && s[0] == '&') {
        const char kind = s.size() > 1 ? s[1] : '\0';
        const int base = (kind == 'H' || kind == 'h') ? 16 : (kind == 'O' || kind == 'o') ? 8 : 0;
        if (base == 0)
            return bitsOf(0.0);
        std::uint64_t value = 0;
        for (std::size_t i = 2; i < s.size(); ++i) {
            const char c = s[i];
            int digit = -1;
            if (isDigit(c))
                digit = c - '0';
            else if (base == 16 && c >= 'a' && c <= 'f')
                digit = c - 'a' + 10;
            else if (base == 16 && c >= 'A' && c <= 'F')
                digit = c - 'A' + 10;
            if (digit < 0 || digit >= base)
                break;
            value = value * static_cast<unsigned>(base) + static_cast<unsigned>(digit);
            if (value > 0xFFFFFFFFu)
                return Reading{0, 6};
        }
        if (value <= 0xFFFFu)
            return bitsOf(static_cast<std::int16_t>(static_cast<std::uint16_t>(value)));
        return bitsOf(static_cast<std::int32_t>(static_cast<std::uint32_t>(value)));
    }

    std::size_t i = 0;
    std::string number; // for strtod: sign, digits, '.', digits, 'e', sign, digits
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
        number += s[i++];
    bool digits = false;
    bool separator = false;
    for (; i < s.size(); ++i) {
        if (isDigit(s[i])) {
            digits = true;
            number += s[i];
        } else if ((s[i] == '.' || s[i] == ',') && !separator) {
            separator = true;
            number += '.';
        } else {
            break;
        }
    }
    if (!digits)
        return bitsOf(0.0);
    if (i < s.size() && (s[i] == 'E' || s[i] == 'e' || s[i] == 'D' || s[i] == 'd')) {
        std::size_t j = i + 1;
        std::string exponent = "e";
        if (j < s.size() && (s[j] == '+' || s[j] == '-'))
            exponent += s[j++];
        const std::size_t first = j;
        while (j < s.size() && isDigit(s[j]))
            exponent += s[j++];
        if (j > first)
            number += exponent;
    }
    const Double value = std::strtod(number.c_str(), nullptr);
    if (std::isinf(value))
        return Reading{0, 6};
    return bitsOf(value);
}

// Characters that can continue some number: blanks, digits, signs,
// separators, exponent letters, and what makes up "&H"/"&O" integers.
bool canContinue(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || isDigit(c) ||
           (c != '\0' && std::strchr("+-.,EeDd&HhOoABCFabcf", c) != nullptr);
}

void checkReader(std::string_view text)
{
    const Reading whole = read(text);
    if (!(whole == reference(text)))
        fail("the reader disagrees with the reading rule", text);
    for (std::size_t k = 0; k < text.size(); ++k) {
        if (!canContinue(text[k])) {
            if (!(read(text.substr(0, k)) == whole))
                fail("text after the number changed its value", text);
            break;
        }
    }
}

void checkWritten(const std::string& text, Double value, std::size_t digits,
                  const cepomer::rt::NumberFormat& format)
{
    const double halfUnit = 0.5 * std::pow(10.0, 1 - static_cast<double>(digits));
    if (!cepomer::test::looksWritten(text, format.decimalSeparator, digits))
        fail("a number was written in a wrong shape", text);
    if (std::isnan(value)) {
        if (text != "не число")
            fail("NaN was not written as не число", text);
        return;
    }
    if (std::isinf(value)) {
        if (text != (value > 0 ? "∞" : "-∞"))
            fail("an infinity was written wrongly", text);
        return;
    }
    Double back = 0.0;
    try {
        back = cepomer::rt::rtcR8ValFromBstr(text);
    } catch (const cepomer::rt::RuntimeError&) {
        // Only a number that the last digit written rounds beyond the Double
        // range ("1.79769313486232E+308") reads as an overflow.
        if (!(std::fabs(value) * (1 + halfUnit) > DBL_MAX))
            fail("a written number did not read back", text);
        return;
    }
    // Half a unit of the last digit, relative, and the rounding of the decimal
    // to the nearest Double, absolute below the normal range.
    const double bound =
        (halfUnit + DBL_EPSILON) * std::fabs(value) + std::numeric_limits<double>::denorm_min();
    if (!(std::fabs(back - value) <= bound))
        fail("a written number read back as another number", text);
}

void checkWriters(const std::uint8_t* data, std::size_t size)
{
    const cepomer::rt::NumberFormat point{"."};
    const cepomer::rt::NumberFormat comma{","};
    if (size >= sizeof(Single)) {
        Single f;
        std::memcpy(&f, data, sizeof f);
        checkWritten(cepomer::rt::vbaStrR4(f, point), f, 7, point);
        checkWritten(cepomer::rt::vbaStrR4(f, comma), f, 7, comma);
    }
    if (size >= sizeof(Double)) {
        Double d;
        std::memcpy(&d, data, sizeof d);
        const std::string text = cepomer::rt::vbaStrVarVal(d, point);
        checkWritten(text, d, 15, point);
        checkWritten(cepomer::rt::vbaStrVarVal(d, comma), d, 15, comma);
        if (std::isfinite(d) && std::fabs(d) * (1 + 5e-15) <= DBL_MAX &&
            cepomer::rt::vbaStrVarVal(cepomer::rt::rtcR8ValFromBstr(text), point) != text)
            fail("a Double written, read back and written again changed", text);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    checkReader(std::string_view(reinterpret_cast<const char*>(data), size));
    checkWriters(data, size);
    return 0;
}
