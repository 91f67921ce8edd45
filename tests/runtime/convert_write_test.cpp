// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Writing Singles and Doubles as text.
#include <bit>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include <fmt/format.h>
#include <gtest/gtest.h>

#include "runtime/convert.h"

namespace cepomer::rt {
namespace {

const NumberFormat kPoint{"."};
const NumberFormat kComma{","};

template <class T> struct WriteCase {
    T value;
    std::string expected;
};

void expectSingles(const std::vector<WriteCase<Single>>& cases, const NumberFormat& format = kPoint)
{
    for (const auto& c : cases) {
        EXPECT_EQ(vbaStrR4(c.value, format), c.expected) << std::hexfloat << c.value;
    }
}

void expectDoubles(const std::vector<WriteCase<Double>>& cases, const NumberFormat& format = kPoint)
{
    for (const auto& c : cases) {
        EXPECT_EQ(vbaStrVarVal(c.value, format), c.expected) << std::hexfloat << c.value;
    }
}

const Single kFloat0_1 = 0.1f;
const Single kFloat1e_4 = 0.0001f;
const Single kFloat1e_5 = 0.00001f;

TEST(WriteDouble, CalculatorResults)
{
    expectDoubles({
        {0.7854, "0.7854"},
        {3.1416, "3.1416"},
        {2.25 * 0.7854, "1.76715"},
        {6.25 * 0.7854, "4.90875"},
        {100 * 0.7854, "78.54"},
        {Double(kFloat0_1) * Double(kFloat0_1) * 0.7854, "0.00785400023406744"},
        {50 * 6.28 * Double(kFloat0_1), "31.4000004678965"},
        {50 * 6.28 * 1.0, "314"},
        {-(50 * 6.28), "-314"},
        {1 / ((50 * 6.28) * Double(kFloat1e_4)), "31.8471345624881"},
        {1 / ((1000 * 6.28) * Double(kFloat1e_5)), "15.923567281244"},
    });
}

TEST(WriteDouble, PlainAndExponentNotation)
{
    expectDoubles({
        {0.0, "0"},
        {-0.0, "0"},
        {2.0, "2"},
        {0.5, "0.5"},
        {-2.0, "-2"},
        {-0.5, "-0.5"},
        {0.000056789, "0.000056789"},
        {1.0 / 3.0, "0.333333333333333"},
        {2.0 / 3.0, "0.666666666666667"},
        {0.1 + 0.2, "0.3"},
        // Upper switch point: 10^14 plain, 10^15 in exponent notation.
        {1e14, "100000000000000"},
        {123456789012345.0, "123456789012345"},
        {999999999999999.0, "999999999999999"},
        {999999999999999.4, "999999999999999"},
        {9999999.5, "9999999.5"},
        {1234567890123456.0, "1.23456789012346E+15"},
        {1e15, "1E+15"},
        {-1e15, "-1E+15"},
        {999999999999999.5, "1E+15"}, // rounding crosses the switch point
        {std::nextafter(1e15, 0.0), "1E+15"},
        {1.5e15, "1.5E+15"},
        {1e100, "1E+100"},
        {DBL_MAX, "1.79769313486232E+308"},
        {-DBL_MAX, "-1.79769313486232E+308"},
        // Lower switch point: 10^-11 plain, below it exponent notation.
        {1e-11, "0.00000000001"},
        {-1e-11, "-0.00000000001"},
        {1.5e-11, "0.000000000015"},
        {9.87654321e-11, "0.0000000000987654321"},
        {std::nextafter(1e-11, 0.0), "0.00000000001"}, // rounding crosses the switch point
        {9.99999999999999e-12, "9.99999999999999E-12"},
        {1.5e-12, "1.5E-12"},
        {1e-12, "1E-12"},
        {-1e-100, "-1E-100"},
        {DBL_MIN, "2.2250738585072E-308"},
        {std::numeric_limits<Double>::denorm_min(), "4.94065645841247E-324"},
    });
}

TEST(WriteDouble, RoundsTiesToEvenOnTheExactValue)
{
    expectDoubles({
        {0.125, "0.125"},
        {1.0000000000000025, "1"}, // 1 + 2.2e-15, below the tie
        {2.0000000000000049, "2"}, // a hair below 2.000000000000005
        {4503599627370496.5, "4.5035996273705E+15"},
        {100000000000000.5, "100000000000000"}, // exact tie, even stays
        {100000000000001.5, "100000000000002"}, // exact tie, odd rounds up
        {0.30000000000000004, "0.3"},
    });
}

TEST(WriteDouble, InfinityAndNaN)
{
    expectDoubles({
        {std::numeric_limits<Double>::infinity(), "∞"},
        {-std::numeric_limits<Double>::infinity(), "-∞"},
        {std::numeric_limits<Double>::quiet_NaN(), "не число"},
        {-std::numeric_limits<Double>::quiet_NaN(), "не число"},
    });
}

TEST(WriteSingle, CalculatorResults)
{
    expectSingles({
        {5.735294f, "5.735294"},
        {0.9959562f, "0.9959562"},
        {28.28427f, "28.28427"},
        {-3.287021E-09f, "-0.000000003287021"},
        {2.0f, "2"},
        {0.5f, "0.5"},
        {-2.0f, "-2"},
        {kFloat0_1, "0.1"},
        {kFloat1e_4, "0.0001"},
    });
}

TEST(WriteSingle, PlainAndExponentNotation)
{
    expectSingles({
        {0.0f, "0"},
        {-0.0f, "0"},
        {123456.7f, "123456.7"},
        {1234567.0f, "1234567"},
        {1000000.0f, "1000000"},
        {1000000.5f, "1000000"}, // exact tie, even stays
        {1000001.5f, "1000002"}, // exact tie, odd rounds up
        {1000000.25f, "1000000"},
        {9999999.0f, "9999999"},
        {-9999999.0f, "-9999999"},
        {10000000.0f, "1E+07"},
        {-10000000.0f, "-1E+07"},
        {12345678.0f, "1.234568E+07"},
        {16777216.0f, "1.677722E+07"},
        {3.4028235e38f, "3.402823E+38"},
        {-3.4028235e38f, "-3.402823E+38"},
        {1e-11f, "0.00000000001"}, // the Single is 9.99999996E-12: rounding crosses the switch
        {1.5e-11f, "0.000000000015"},
        {1e-12f, "1E-12"},
        {9.999999e-12f, "9.999999E-12"},
        {1.5e-12f, "1.5E-12"},
        {FLT_MIN, "1.175494E-38"},
        {std::numeric_limits<Single>::denorm_min(), "1.401298E-45"},
        {5 * std::numeric_limits<Single>::denorm_min(), "7.006492E-45"},
        {std::numeric_limits<Single>::infinity(), "∞"},
        {-std::numeric_limits<Single>::infinity(), "-∞"},
        {std::numeric_limits<Single>::quiet_NaN(), "не число"},
        {-std::numeric_limits<Single>::quiet_NaN(), "не число"},
    });
}

TEST(WriteNumber, LocaleSeparator)
{
    expectSingles({{0.5f, "0,5"},
                   {-1.5e-12f, "-1,5E-12"},
                   {-3.4028235e38f, "-3,402823E+38"},
                   {2.0f, "2"},
                   {1e7f, "1E+07"}},
                  kComma);
    expectDoubles({{78.54, "78,54"}, {0.000056789, "0,000056789"}, {1.5e15, "1,5E+15"}}, kComma);
    // A separator of more than one byte.
    expectDoubles({{2.5, "2٫5"}, {1.5e-12, "1٫5E-12"}}, NumberFormat{"٫"});
    // An empty separator would glue the fraction to the integer part.
    expectDoubles({{2.5, "2.5"}}, NumberFormat{""});
}

// The digits {fmt} writes at a precision: exactly rounded, ties to even, as
// the program wrote its numbers before it had a rounding of its own.
RoundedDecimal reference(Double value, int precision)
{
    const std::string text = fmt::format("{:.{}e}", std::fabs(value), precision - 1);
    const std::size_t e = text.find('e');
    RoundedDecimal out{"", std::stoi(text.substr(e + 1))};
    for (char c : text.substr(0, e)) {
        if (c != '.')
            out.digits += c;
    }
    out.digits.erase(out.digits.find_last_not_of('0') + 1);
    return out;
}

// Random values of every kind against the reference, at the precisions the
// program writes (7 for Singles, 15 for Doubles, 6 for the page's layout) and
// at any other: bit patterns over the whole range, denormals included; short
// binary fractions, which hold the exact ties; short decimals and their
// neighbours, which lie a hair off a tie.
TEST(WriteNumber, RoundsAsTheExactReferenceDoes)
{
    std::mt19937_64 random(29);
    const auto below = [&](std::uint64_t n) { return random() % n; };
    int failures = 0;
    const auto check = [&](Double value, int precision) {
        if (!std::isfinite(value) || value == 0.0 || failures >= 10)
            return;
        const RoundedDecimal ours = roundDecimal(value, precision);
        const RoundedDecimal exact = reference(value, precision);
        if (ours.digits != exact.digits || ours.exponent != exact.exponent) {
            ++failures;
            ADD_FAILURE() << std::hexfloat << value << " at " << precision << ": " << ours.digits
                          << "E" << ours.exponent << ", not " << exact.digits << "E"
                          << exact.exponent;
        }
    };
    for (int i = 0; i < 40'000; ++i) {
        const int precision = 1 + static_cast<int>(below(17));
        const Double bits = std::bit_cast<Double>(random());
        check(bits, 15);
        check(bits, precision);
        const Single single = std::bit_cast<Single>(static_cast<std::uint32_t>(random()));
        check(single, 7);
        check(single, 6);
        const int shift = -static_cast<int>(below(12));
        check(std::ldexp(Double(below(std::uint64_t{1} << 53)), shift), 15);
        check(std::ldexp(Double(below(std::uint64_t{1} << 53)), shift), precision);
        check(std::ldexp(Double(below(std::uint64_t{1} << 24)), shift), 7);
        const std::string decimal = std::to_string(below(10'000'000'000'000'000)) + "e" +
                                    std::to_string(static_cast<int>(below(600)) - 310);
        const Double near = std::strtod(decimal.c_str(), nullptr);
        for (Double value : {std::nextafter(near, 0.0), near, std::nextafter(near, HUGE_VAL)}) {
            check(value, 15);
            check(value, precision);
        }
    }
}

} // namespace
} // namespace cepomer::rt
