// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "runtime/convert.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <system_error>

#include <fast_float/fast_float.h>
#include <fmt/format.h>

#include "runtime/errors.h"

namespace cepomer::rt {

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n';
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Walks a text, skipping blanks wherever they stand.
class Reader {
  public:
    explicit Reader(std::string_view text) : text_(text) {}

    // The next character that is not a blank, or '\0' at the end.
    char peek()
    {
        while (pos_ < text_.size() && isBlank(text_[pos_]))
            ++pos_;
        return pos_ < text_.size() ? text_[pos_] : '\0';
    }
    void next() { ++pos_; }

  private:
    std::string_view text_;
    std::size_t pos_ = 0;
};

// The value of c as a digit of the given base, or -1.
int digitValue(char c, int base)
{
    int value = -1;
    if (isDigit(c))
        value = c - '0';
    else if (c >= 'A' && c <= 'F')
        value = c - 'A' + 10;
    else if (c >= 'a' && c <= 'f')
        value = c - 'a' + 10;
    return value < base ? value : -1;
}

// "&H..." / "&O..." after the ampersand.
Double readRadixInteger(Reader& in)
{
    int base = 0;
    switch (in.peek()) {
    case 'H':
    case 'h':
        base = 16;
        break;
    case 'O':
    case 'o':
        base = 8;
        break;
    default:
        return 0.0;
    }
    in.next();
    std::uint64_t value = 0;
    for (int digit; (digit = digitValue(in.peek(), base)) >= 0; in.next()) {
        value = value * static_cast<unsigned>(base) + static_cast<unsigned>(digit);
        if (value > 0xFFFFFFFFu)
            throw RuntimeError(kOverflow);
    }
    if (value <= 0xFFFFu)
        return static_cast<std::int16_t>(value);
    return static_cast<std::int32_t>(value);
}

// Significant digits kept for the conversion. A halfway point between two
// Doubles has at most 767 significant digits, so a longer mantissa is cut here
// and a nonzero digit appended for what was cut: it lies on the same side of
// every halfway point as the full one.
constexpr std::size_t kMaxDigits = 800;

// Bound of the written exponent, far beyond any Double, so that adding it to
// the position of the separator cannot overflow.
constexpr std::int64_t kExponentLimit = 100'000'000'000'000'000;

// 0.DIGITS x 10^exponent, DIGITS without leading or trailing zeros.
Double decimalToDouble(std::string& digits, std::int64_t exponent, bool negative)
{
    const Double zero = negative ? -0.0 : 0.0;
    if (digits.empty())
        return zero;
    // The value lies in [10^(exponent-1), 10^exponent).
    if (exponent > 310)
        throw RuntimeError(kOverflow);
    if (exponent < -330) // below half the smallest denormal
        return zero;
    if (digits.size() > kMaxDigits) {
        digits.resize(kMaxDigits);
        digits += '1';
    }
    const auto count = static_cast<std::int64_t>(digits.size());
    digits += 'e';
    digits += std::to_string(exponent - count); // DIGITS x 10^(exponent - count)

    // fast_float reads the decimal correctly rounded, ties to even, also where
    // the C++ library has no floating-point from_chars. Beyond the largest
    // Double it gives an infinity; nearer to 0 than to the smallest denormal,
    // or halfway between them, it gives 0.
    Double value = 0.0;
    const char* const end = digits.data() + digits.size();
    const auto [ptr, ec] = fast_float::from_chars(digits.data(), end, value);
    if (ec != std::errc() || ptr != end || std::isinf(value))
        throw RuntimeError(kOverflow); // only an infinity is reached with the text built above
    return negative ? -value : value;
}

} // namespace

Double rtcR8ValFromBstr(std::string_view text)
{
    Reader in(text);
    if (in.peek() == '&') {
        in.next();
        return readRadixInteger(in);
    }

    bool negative = false;
    if (in.peek() == '-' || in.peek() == '+') {
        negative = in.peek() == '-';
        in.next();
    }

    // Mantissa: the value is 0.digits x 10^exponent.
    std::string digits;
    std::int64_t exponent = 0;
    bool anyDigit = false;
    bool separator = false;
    for (char c = in.peek();; in.next(), c = in.peek()) {
        if (isDigit(c)) {
            anyDigit = true;
            if (c == '0' && digits.empty()) {
                if (separator)
                    --exponent; // a leading zero after the separator
            } else {
                digits += c;
                if (!separator)
                    ++exponent;
            }
        } else if ((c == '.' || c == ',') && !separator) {
            separator = true;
        } else {
            break;
        }
    }
    if (!anyDigit)
        return 0.0;
    while (!digits.empty() && digits.back() == '0') {
        digits.pop_back();
    }

    // Exponent: ignored when no digit follows the letter.
    const char letter = in.peek();
    if (letter == 'E' || letter == 'e' || letter == 'D' || letter == 'd') {
        in.next();
        bool negativeExponent = false;
        if (in.peek() == '-' || in.peek() == '+') {
            negativeExponent = in.peek() == '-';
            in.next();
        }
        std::int64_t written = 0;
        for (char c = in.peek(); isDigit(c); in.next(), c = in.peek()) {
            if (written < kExponentLimit)
                written = written * 10 + (c - '0');
        }
        exponent += negativeExponent ? -written : written;
    }
    return decimalToDouble(digits, exponent, negative);
}

namespace {

constexpr std::string_view kNotANumber = "не число";
constexpr std::string_view kInfinity = "∞";

// value rounded to `precision` significant digits (ties to even on the exact
// binary value), in plain notation below 10^precision and down to 1E-11,
// otherwise in exponent notation.
std::string formatNumber(Double value, int precision, const NumberFormat& format)
{
    if (std::isnan(value))
        return std::string(kNotANumber);
    const bool negative = std::signbit(value);
    std::string out = negative ? "-" : "";
    if (std::isinf(value))
        return out.append(kInfinity);
    if (value == 0.0)
        return "0";

    // "d.ddde+XX": the mantissa digits and the exponent after rounding. {fmt}
    // computes the digits at a precision exactly, from the binary value.
    char buffer[64];
    const auto written =
        fmt::format_to_n(buffer, sizeof buffer, "{:.{}e}", std::fabs(value), precision - 1);
    const std::string_view text(buffer, std::min(written.size, sizeof buffer));
    const std::size_t e = text.find('e');
    std::string digits;
    for (char c : text.substr(0, e)) {
        if (isDigit(c))
            digits += c;
    }
    while (digits.size() > 1 && digits.back() == '0') {
        digits.pop_back();
    }
    // The exponent always has its sign and at least two digits.
    int exponent = 0;
    for (char c : text.substr(e + 2))
        exponent = exponent * 10 + (c - '0');
    if (text[e + 1] == '-')
        exponent = -exponent;

    const std::string& separator =
        format.decimalSeparator.empty() ? NumberFormat{}.decimalSeparator : format.decimalSeparator;

    if (exponent >= precision || exponent < -11) {
        out += digits.front();
        if (digits.size() > 1)
            out.append(separator).append(digits, 1);
        out += exponent < 0 ? "E-" : "E+";
        const int magnitude = exponent < 0 ? -exponent : exponent;
        if (magnitude < 10)
            out += '0';
        out += std::to_string(magnitude);
    } else if (exponent >= 0) {
        const std::size_t integerDigits = static_cast<std::size_t>(exponent) + 1;
        if (digits.size() <= integerDigits) {
            out.append(digits).append(integerDigits - digits.size(), '0');
        } else {
            out.append(digits, 0, integerDigits).append(separator).append(digits, integerDigits);
        }
    } else {
        out.append("0").append(separator);
        out.append(static_cast<std::size_t>(-exponent - 1), '0').append(digits);
    }
    return out;
}

} // namespace

std::string vbaStrR4(Single value, const NumberFormat& format)
{
    return formatNumber(static_cast<Double>(value), 7, format);
}

std::string vbaStrVarVal(Double value, const NumberFormat& format)
{
    return formatNumber(value, 15, format);
}

} // namespace cepomer::rt
