// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Reading the number at the start of a text.
#include <bit>
#include <cfloat>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include <fast_float/fast_float.h>
#include <fmt/format.h>
#include <gtest/gtest.h>

#include "runtime/convert.h"
#include "runtime/errors.h"
#include "runtime/fpenv.h"

namespace cepomer::rt {
namespace {

constexpr Double kDenormMin = std::numeric_limits<Double>::denorm_min();

struct ReadCase {
    std::string text;
    Double expected;
};

// The text as a failure message shows it: long ones cut short.
std::string shown(const std::string& text)
{
    return '"' + (text.size() > 60 ? text.substr(0, 60) + "..." : text) + '"';
}

// Exact value, sign of zero included.
void expectReads(const std::vector<ReadCase>& cases)
{
    for (const auto& c : cases) {
        clearFpFlags();
        const Double value = rtcR8ValFromBstr(c.text);
        EXPECT_FALSE(fpFaultPending()) << shown(c.text);
        EXPECT_TRUE(value == c.expected && std::signbit(value) == std::signbit(c.expected))
            << shown(c.text) << " read as " << value << ", expected " << c.expected;
    }
}

void expectOverflow(const std::vector<std::string>& texts)
{
    for (const auto& text : texts) {
        int number = 0;
        try {
            rtcR8ValFromBstr(text);
        } catch (const RuntimeError& e) {
            number = e.number();
        }
        EXPECT_EQ(number, 6) << shown(text);
    }
}

TEST(ReadNumber, PlainDecimals)
{
    expectReads({
        {"0", 0.0},
        {"5", 5.0},
        {"-5", -5.0},
        {"+5", 5.0},
        {"2.25", 2.25},
        {"0.1", 0.1},
        {"-0.0001", -0.0001},
        {"007", 7.0},
        {"5.", 5.0},
        {".5", 0.5},
        {"-.5", -0.5},
        {"0,5", 0.5},
        {",25", 0.25},
        {"1.2,3", 1.2},
        {"1,2.3", 1.2},
        {"1..2", 1.0},
        {"3.14159265358979323846", 3.141592653589793},
        {"123456789012345678901234567890", 1.2345678901234568e29},
    });
}

TEST(ReadNumber, BlanksAnywhere)
{
    expectReads({
        {" 1 2 3", 123.0},
        {"- 5", -5.0},
        {"1 e 2", 100.0},
        {"\t\n1.5", 1.5},
        {"1 . 5", 1.5},
        {"1e - 2", 0.01},
        {"  ", 0.0},
        {"1\r2", 1.0},
        {"1\v2", 1.0},
        {"\f1", 0.0},
    });
}

TEST(ReadNumber, StopsAtWhatCannotContinue)
{
    expectReads({
        {"", 0.0},
        {"abc", 0.0},
        {"12abc", 12.0},
        {"1-2", 1.0},
        {"1+2", 1.0},
        {"--5", 0.0},
        {"+-5", 0.0},
        {"-", 0.0},
        {"+", 0.0},
        {".", 0.0},
        {",", 0.0},
        {"-.", 0.0},
        {"3,14 мм", 3.14},
        {"мм 3", 0.0},
        {"1\xC2\xA0"
         "2",
         1.0},
        {"\xEF\xBC\x95", 0.0},
        {"1/2", 1.0},
        {"1%", 1.0},
        {"$5", 0.0},
        {std::string("5\0"
                     "5",
                     3),
         5.0},
    });
}

TEST(ReadNumber, Exponent)
{
    expectReads({
        {"1E5", 1e5},
        {"1e5", 1e5},
        {"1D2", 100.0},
        {"1d-2", 0.01},
        {"2.5E+3", 2500},
        {"1e-2", 0.01},
        {"1e", 1.0},
        {"1e+", 1.0},
        {"1e-", 1.0},
        {"1ex", 1.0},
        {"1ee5", 1.0},
        {"1e5.5", 1e5},
        {"1e5e5", 1e5},
        {".e5", 0.0},
        {"e5", 0.0},
        {"-e5", 0.0},
        {"5.e1", 50.0},
        {".5e1", 5.0},
        {"0e999", 0.0},
        {"1e0", 1.0},
        {"1e-0", 1.0},
        {"1e007", 1e7},
        {"12.5e-1", 1.25},
        {"1x5", 1.0},
        {"0e99999999999999999999", 0.0},
        {"1e-99999999999999999999", 0.0},
        {"-1e-99999999999999999999", -0.0},
        {"0." + std::string(399, '0') + "1e400", 1.0},
        {"1" + std::string(400, '0') + "e-400", 1.0},
    });
}

TEST(ReadNumber, SignOfZero)
{
    expectReads({
        {"0", 0.0},
        {"-0", -0.0},
        {"-0.000", -0.0},
        {"-1e-400", -0.0},
        {"-", 0.0},
        {"-x", 0.0},
    });
}

TEST(ReadNumber, CorrectlyRounded)
{
    expectReads({
        {"9007199254740993", 9007199254740992.0}, // tie to even, down
        {"9007199254740995", 9007199254740996.0}, // tie to even, up
        {"9007199254740993.0000000000001", 9007199254740994.0},
        {"9007199254740993." + std::string(1000, '0'), 9007199254740992.0},
        // Far beyond the digits kept: the last digit still decides.
        {"9007199254740993." + std::string(1000, '0') + "1", 9007199254740994.0},
        {"9007199254740992." + std::string(1000, '9'), 9007199254740992.0},
        {"0.30000000000000001666", 0.30000000000000004},
        {"0.30000000000000001665", 0.3},
        {"1.7976931348623157e308", DBL_MAX},
        {"1.7976931348623158e308", DBL_MAX},
        {"-1.7976931348623157E+308", -DBL_MAX},
        {"2.2250738585072014e-308", DBL_MIN},
        {"2.2250738585072011e-308", DBL_MIN - kDenormMin},
        {"1e-310", 1e-310},
        {"-1e-320", -1e-320},
        {"4.9e-324", kDenormMin},
        {"4.9406564584124654e-324", kDenormMin},
        {"2.5e-324", kDenormMin},
        {"2.4703282292062328e-324", kDenormMin},
        {"2.4703282292062327e-324", 0.0},
        {"2.4e-324", 0.0},
        {"1e-330", 0.0},
        {"1e-400", 0.0},
        {"7.3e-324", kDenormMin},
        {"7.5e-324", 2 * kDenormMin},
    });
}

// 2^-1075, half the smallest denormal, written out exactly: 5^1075 x 10^-1075.
std::string halfOfSmallestDenormal()
{
    std::string digits = "1"; // least significant digit first
    for (int i = 0; i < 1075; ++i) {
        int carry = 0;
        for (char& d : digits) {
            const int v = (d - '0') * 5 + carry;
            d = static_cast<char>('0' + v % 10);
            carry = v / 10;
        }
        if (carry != 0)
            digits += static_cast<char>('0' + carry);
    }
    return std::string(digits.rbegin(), digits.rend());
}

TEST(ReadNumber, ExactHalfOfSmallestDenormal)
{
    const std::string half = halfOfSmallestDenormal();
    ASSERT_EQ(half.size(), 752u);
    expectReads({
        {half + "e-1075", 0.0}, // tie to even: 0
        {half + std::string(100, '0') + "1e-1176", kDenormMin},
        {"-" + half + "1e-1076", -kDenormMin},
        {half.substr(0, half.size() - 1) + "4e-1075", 0.0},
    });
}

TEST(ReadNumber, BeyondTheDoubleRangeOverflows)
{
    expectOverflow({
        "1e400",
        "1.8e308",
        "-1.8e308",
        "1.797693134862315808e308", // just above the rounding boundary of DBL_MAX
        "1e309",
        "1e99999999999999999999",
        "0.001e99999999999999999999",
        std::string(400, '1'),
        "-" + std::string(400, '9'),
        "0." + std::string(10, '0') + "1e320",
    });
}

TEST(ReadNumber, LongTextsStayLinear)
{
    const std::size_t n = 100'000;
    const auto start = std::chrono::steady_clock::now();
    expectReads({
        {"0." + std::string(n, '3'), 1.0 / 3.0},
        {"1" + std::string(n, '0') + "e-" + std::to_string(n), 1.0},
        {"0." + std::string(n, '0') + "1e" + std::to_string(n + 10), 1e9},
        {std::string(n, ' ') + "7" + std::string(n, ' '), 7.0},
        {std::string(n, '0') + "42", 42.0},
        {"&H" + std::string(n, '0') + "FF", 255.0},
    });
    expectOverflow({std::string(n, '9'), "&H" + std::string(n, 'F')});
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}

TEST(ReadNumber, HexadecimalAndOctal)
{
    expectReads({
        {"&H10", 16.0},
        {"&h10", 16.0},
        {"&HFF", 255.0},
        {"&Hff", 255.0},
        {"&H7FFF", 32767.0},
        {"&H8000", -32768.0},
        {"&HFFFF", -1.0},
        {"&H10000", 65536.0},
        {"&H7FFFFFFF", 2147483647.0},
        {"&H80000000", -2147483648.0},
        {"&HFFFFFFFF", -1.0},
        {"&H0000000000FF", 255.0},
        {"&O17", 15.0},
        {"&o17", 15.0},
        {"&O177777", -1.0},
        {"&O100000", -32768.0},
        {"&O37777777777", -1.0},
        {"&O78", 7.0},
        {"&O8", 0.0},
        {"&H", 0.0},
        {"&O", 0.0},
        {"&Hg", 0.0},
        {"&H1g", 1.0},
        {"&H1.5", 1.0},
        {"&H1E5", 485.0},
        {"&H 1 0", 16.0},
        {"  &H10", 16.0},
        {"&", 0.0},
        {"& H10", 16.0},
        {"&X10", 0.0},
        {"&10", 0.0},
        {"-&H10", 0.0},
        {"+&H10", 0.0},
        {"&H-10", 0.0},
        {"&HFFFF5", 1048565.0},
    });
    expectOverflow({"&H100000000", "&HFFFFFFFF0", "&O40000000000", "&H" + std::string(100, 'F'),
                    "&H1" + std::string(16, '0')});
}

// Random decimal texts against fast_float, which read the program's numbers
// before it had an exact reading of its own: the decimals of random Doubles
// at every length, exact (up to 767 digits) and a digit off; exact ties
// between two Doubles; random digits of any length, up to the ends of the
// range and beyond. A value fast_float takes to an infinity is error 6.
TEST(ReadNumber, ReadsAsTheExactReferenceDoes)
{
    std::mt19937_64 random(29);
    const auto below = [&](std::uint64_t n) { return random() % n; };
    int failures = 0;
    const auto check = [&](const std::string& text) {
        Double expected = 0.0;
        fast_float::from_chars(text.data(), text.data() + text.size(), expected);
        Double value = HUGE_VAL;
        try {
            value = rtcR8ValFromBstr(text);
        } catch (const RuntimeError& error) {
            EXPECT_EQ(error.number(), kOverflow) << shown(text);
        }
        if (std::bit_cast<std::uint64_t>(value) != std::bit_cast<std::uint64_t>(expected) &&
            ++failures <= 10)
            ADD_FAILURE() << shown(text) << std::hexfloat << " read as " << value << ", not "
                          << expected;
    };
    for (int i = 0; i < 10'000; ++i) {
        Double bits = std::bit_cast<Double>(random() >> 1);
        if (!std::isfinite(bits))
            bits = DBL_MAX;
        check(fmt::format("{:.{}e}", bits, below(20)));
        std::string exact = fmt::format("{:.800e}", bits);
        const std::size_t e = exact.find('e');
        const std::size_t end = exact.find_last_not_of('0', e - 1) + 1;
        exact.erase(end, e - end);
        check(exact);
        char& last = exact[end - 1];
        last = last == '9' ? '8' : last == '.' ? '.' : static_cast<char>(last + 1);
        check(exact);
        // Odd integers between 2^53 and 2^55 lie halfway between Doubles,
        // or on one.
        check(std::to_string((std::uint64_t{1} << 53) + below(std::uint64_t{3} << 53) * 2 + 1));
        std::string digits = std::to_string(1 + below(9));
        for (auto length = below(below(8) == 0 ? 900 : 30); length > 0; --length)
            digits += static_cast<char>('0' + below(10));
        check(digits + "e" + std::to_string(static_cast<int>(below(700)) - 360));
    }
}

} // namespace
} // namespace cepomer::rt
