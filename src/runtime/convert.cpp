// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "runtime/convert.h"

#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <system_error>

#include <fast_float/fast_float.h>

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

// Bounds of the exact decimal value of a Double held as an integer in base
// 10^9: the mantissa times 5^1074 (the smallest denormal's scale) has 767
// digits, the largest Double 309.
constexpr int kLimbs = 86;
constexpr std::uint32_t kLimbBase = 1'000'000'000;

// An unsigned integer of up to kLimbs digits in base 10^9, the lowest first.
class BigDecimal {
  public:
    explicit BigDecimal(std::uint64_t value)
    {
        for (; value != 0; value /= kLimbBase)
            limbs_[size_++] = static_cast<std::uint32_t>(value % kLimbBase);
    }

    // Multiplies by factor^count; factor x 10^9 must fit 64 bits.
    void multiply(std::uint32_t factor, int count)
    {
        for (; count > 0; --count) {
            std::uint64_t carry = 0;
            for (int i = 0; i < size_; ++i) {
                carry += std::uint64_t{limbs_[i]} * factor;
                limbs_[i] = static_cast<std::uint32_t>(carry % kLimbBase);
                carry /= kLimbBase;
            }
            for (; carry != 0; carry /= kLimbBase)
                limbs_[size_++] = static_cast<std::uint32_t>(carry % kLimbBase);
        }
    }

    // The decimal digits, without leading zeros.
    std::string digits() const
    {
        std::string out;
        for (int i = size_ - 1; i >= 0; --i) {
            char limb[9];
            std::uint32_t value = limbs_[i];
            for (int d = 8; d >= 0; --d, value /= 10)
                limb[d] = static_cast<char>('0' + value % 10);
            out.append(limb, 9);
        }
        out.erase(0, out.find_first_not_of('0'));
        return out;
    }

  private:
    std::array<std::uint32_t, kLimbs> limbs_{};
    int size_ = 0;
};

} // namespace

RoundedDecimal roundDecimal(Double value, int precision)
{
    // value = mantissa x 2^exponent exactly.
    const auto bits = std::bit_cast<std::uint64_t>(std::fabs(value));
    const auto biased = static_cast<int>(bits >> 52);
    std::uint64_t mantissa = bits & ((std::uint64_t{1} << 52) - 1);
    int exponent = -1074;
    if (biased != 0) {
        mantissa |= std::uint64_t{1} << 52;
        exponent = biased - 1075;
    }
    while (mantissa % 2 == 0 && exponent < 0) {
        mantissa /= 2;
        ++exponent;
    }

    // Its exact decimal digits: mantissa x 2^exponent, or, for a negative
    // exponent, mantissa x 5^-exponent x 10^exponent.
    BigDecimal exact(mantissa);
    int scale = 0;
    if (exponent >= 0) {
        exact.multiply(1u << 29, exponent / 29);
        exact.multiply(1u << (exponent % 29), 1);
    } else {
        constexpr std::uint32_t kFivePow13 = 1'220'703'125;
        exact.multiply(kFivePow13, -exponent / 13);
        exact.multiply(5, -exponent % 13);
        scale = exponent;
    }
    std::string digits = exact.digits();
    RoundedDecimal out{"", static_cast<int>(digits.size()) - 1 + scale};

    // Rounded to `precision` digits, ties to even.
    const auto kept = static_cast<std::size_t>(precision);
    if (digits.size() > kept) {
        const char next = digits[kept];
        const bool beyond = digits.find_first_not_of('0', kept + 1) != std::string::npos;
        const bool odd = (digits[kept - 1] - '0') % 2 != 0;
        digits.resize(kept);
        if (next > '5' || (next == '5' && (beyond || odd))) {
            std::size_t i = kept;
            while (i > 0 && digits[i - 1] == '9')
                digits[--i] = '0';
            if (i == 0) {
                digits.insert(0, 1, '1');
                digits.pop_back();
                ++out.exponent;
            } else {
                ++digits[i - 1];
            }
        }
    }
    digits.erase(digits.find_last_not_of('0') + 1);
    out.digits = std::move(digits);
    return out;
}

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

    const auto [digits, exponent] = roundDecimal(value, precision);
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

std::string vbaStrR4(Single value, const NumberFormat& format)
{
    return formatNumber(static_cast<Double>(value), 7, format);
}

std::string vbaStrVarVal(Double value, const NumberFormat& format)
{
    return formatNumber(value, 15, format);
}

} // namespace cepomer::rt
