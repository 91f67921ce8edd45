// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "runtime/convert.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdint>

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

// Bounds of the exact integers below, in base 10^9: a Double's exact decimal
// value (its mantissa times 5^1074 at most: 767 digits), and the two sides of
// the reader's comparison, a decimal of at most kMaxDigits + 1 digits and a
// point halfway between two Doubles, scaled to integers alike (at most 1 441
// digits, for a halfway point near the largest Double against a decimal of
// kMaxDigits digits near the smallest).
constexpr int kLimbs = 162;
constexpr std::uint32_t kLimbBase = 1'000'000'000;

// An unsigned integer in base 10^9, the lowest limb first.
class BigDecimal {
  public:
    explicit BigDecimal(std::uint64_t value)
    {
        for (; value != 0; value /= kLimbBase)
            limbs_[size_++] = static_cast<std::uint32_t>(value % kLimbBase);
    }

    // Decimal digits, the first not 0.
    explicit BigDecimal(std::string_view digits)
    {
        for (std::size_t end = digits.size(); end > 0;) {
            const std::size_t begin = end > 9 ? end - 9 : 0;
            std::uint32_t limb = 0;
            for (std::size_t i = begin; i < end; ++i)
                limb = limb * 10 + static_cast<std::uint32_t>(digits[i] - '0');
            limbs_[size_++] = limb;
            end = begin;
        }
    }

    // Multiplies by base^count, base 2 or 5.
    void multiplyByPower(std::uint32_t base, int count)
    {
        // The largest powers whose product with a limb fits 64 bits.
        const int chunk = base == 2 ? 29 : 13;
        const std::uint32_t chunkPower = base == 2 ? 1u << 29 : 1'220'703'125;
        for (; count >= chunk; count -= chunk)
            multiply(chunkPower);
        std::uint32_t rest = 1;
        for (; count > 0; --count)
            rest *= base;
        multiply(rest);
    }

    // -1, 0 or 1 as this is below, equal to or above other.
    int compare(const BigDecimal& other) const
    {
        if (size_ != other.size_)
            return size_ < other.size_ ? -1 : 1;
        for (int i = size_ - 1; i >= 0; --i) {
            if (limbs_[i] != other.limbs_[i])
                return limbs_[i] < other.limbs_[i] ? -1 : 1;
        }
        return 0;
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
    void multiply(std::uint32_t factor)
    {
        std::uint64_t carry = 0;
        for (int i = 0; i < size_; ++i) {
            carry += std::uint64_t{limbs_[i]} * factor;
            limbs_[i] = static_cast<std::uint32_t>(carry % kLimbBase);
            carry /= kLimbBase;
        }
        for (; carry != 0; carry /= kLimbBase)
            limbs_[size_++] = static_cast<std::uint32_t>(carry % kLimbBase);
    }

    std::array<std::uint32_t, kLimbs> limbs_{};
    int size_ = 0;
};

// A finite Double of at least 0, by its bits: mantissa x 2^exponent exactly.
struct Binary {
    std::uint64_t mantissa;
    int exponent;
};

Binary binaryOf(std::uint64_t bits)
{
    const auto biased = static_cast<int>(bits >> 52);
    const std::uint64_t fraction = bits & ((std::uint64_t{1} << 52) - 1);
    if (biased == 0)
        return {fraction, -1074};
    return {fraction | std::uint64_t{1} << 52, biased - 1075};
}

constexpr std::uint64_t kInfinityBits = 0x7FF0000000000000;

// Significant digits kept for the conversion. A halfway point between two
// Doubles has at most 767 significant digits, so a longer mantissa is cut here
// and a nonzero digit appended for what was cut: it lies on the same side of
// every halfway point as the full one.
constexpr std::size_t kMaxDigits = 800;

// Bound of the written exponent, far beyond any Double, so that adding it to
// the position of the separator cannot overflow.
constexpr std::int64_t kExponentLimit = 100'000'000'000'000'000;

// DIGITS x 10^scale against the point halfway between the Double of these
// bits and the next: -1, 0 or 1 as it lies below, on or above it. Both are
// scaled to integers and compared exactly.
int compareWithHalfway(std::string_view digits, int scale, std::uint64_t bits)
{
    // The halfway point is (2 mantissa + 1) x 2^(exponent - 1).
    const Binary below = binaryOf(bits);
    BigDecimal value(digits);
    BigDecimal halfway(2 * below.mantissa + 1);
    const int twos = scale - (below.exponent - 1);
    value.multiplyByPower(5, std::max(scale, 0));
    halfway.multiplyByPower(5, std::max(-scale, 0));
    value.multiplyByPower(2, std::max(twos, 0));
    halfway.multiplyByPower(2, std::max(-twos, 0));
    return value.compare(halfway);
}

// DIGITS x 10^scale within a few units in the last place, from the first 19
// digits by a few roundings; one alone where the digits are 15 at most and
// the power of ten at most 22. A value to be divided more than once is scaled
// by 2^200 on the way, so that no step leaves the range of normal Doubles.
Double estimate(std::string_view digits, int scale)
{
    constexpr std::array<Double, 23> kPowersOfTen = {
        1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
        1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22}; // exact
    const std::size_t used = std::min<std::size_t>(digits.size(), 19);
    std::uint64_t leading = 0;
    for (char c : digits.substr(0, used))
        leading = leading * 10 + static_cast<std::uint64_t>(c - '0');
    int power = scale + static_cast<int>(digits.size() - used);
    const bool divided = power < -22;
    auto value = static_cast<Double>(leading);
    if (divided)
        value = std::ldexp(value, 200);
    for (; power >= 22; power -= 22)
        value *= 1e22;
    for (; power <= -22; power += 22)
        value /= 1e22;
    value = power >= 0 ? value * kPowersOfTen[static_cast<std::size_t>(power)]
                       : value / kPowersOfTen[static_cast<std::size_t>(-power)];
    return divided ? std::ldexp(value, -200) : value;
}

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
    // The value is DIGITS x 10^scale.
    const int scale = static_cast<int>(exponent) - static_cast<int>(digits.size());

    // Most texts: at most 15 digits, a Double exactly, times or divided by a
    // power of ten that is one too, in one correctly rounded step.
    if (digits.size() <= 15 && scale >= -22 && scale <= 22) {
        const Double value = estimate(digits, scale);
        return negative ? -value : value;
    }

    // Rounded to the nearest Double, ties to even: the first one whose
    // halfway point to the next lies above the value, or on it for an even
    // one. Positive Doubles are ordered as their bits, so that one is found
    // by bisection, between bounds close around an estimate where they hold
    // it (as they do), else over them all.
    const auto roundsUp = [&](std::uint64_t bits) {
        const int order = compareWithHalfway(digits, scale, bits);
        return order > 0 || (order == 0 && bits % 2 != 0);
    };
    constexpr std::uint64_t kSlack = 64;
    const auto guess = std::bit_cast<std::uint64_t>(estimate(digits, scale));
    std::uint64_t low = guess > kSlack ? guess - kSlack : 0;
    std::uint64_t high = std::min(guess + kSlack, kInfinityBits);
    if (low > 0 && !roundsUp(low - 1))
        low = 0;
    if (high < kInfinityBits && roundsUp(high))
        high = kInfinityBits;
    while (low < high) {
        const std::uint64_t middle = low + (high - low) / 2;
        if (roundsUp(middle))
            low = middle + 1;
        else
            high = middle;
    }
    // Beyond the largest Double by half a unit or more: an infinity.
    if (low == kInfinityBits)
        throw RuntimeError(kOverflow);
    const auto value = std::bit_cast<Double>(low);
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

} // namespace

RoundedDecimal roundDecimal(Double value, int precision)
{
    auto [mantissa, exponent] = binaryOf(std::bit_cast<std::uint64_t>(std::fabs(value)));
    while (mantissa % 2 == 0 && exponent < 0) {
        mantissa /= 2;
        ++exponent;
    }

    // Its exact decimal digits: mantissa x 2^exponent, or, for a negative
    // exponent, mantissa x 5^-exponent x 10^exponent.
    BigDecimal exact(mantissa);
    int scale = 0;
    if (exponent >= 0) {
        exact.multiplyByPower(2, exponent);
    } else {
        exact.multiplyByPower(5, -exponent);
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
