// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The arithmetic helpers, the flag check and the run-time errors.
#include <cfloat>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "runtime/arith.h"
#include "runtime/errors.h"
#include "runtime/fpenv.h"

namespace cepomer::rt {
namespace {

constexpr Double kInf = std::numeric_limits<Double>::infinity();
constexpr Double kNaN = std::numeric_limits<Double>::quiet_NaN();

// The number of the RuntimeError the call throws, 0 when it throws none.
template <class F> int errorOf(F&& call)
{
    try {
        call();
    } catch (const RuntimeError& e) {
        return e.number();
    }
    return 0;
}

// Same value, NaN matching NaN and the sign of zero compared.
::testing::AssertionResult sameValue(Double actual, Double expected)
{
    if (std::isnan(actual) && std::isnan(expected))
        return ::testing::AssertionSuccess();
    if (actual == expected && std::signbit(actual) == std::signbit(expected))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << actual << " (expected " << expected << ")";
}

TEST(RuntimeError, NumberAndText)
{
    const struct {
        int number;
        std::string what;
    } cases[] = {
        {5, "Ошибка выполнения 5: Недопустимый вызов процедуры или аргумент"},
        {6, "Ошибка выполнения 6: Переполнение"},
        {11, "Ошибка выполнения 11: Деление на ноль"},
        {1234, "Ошибка выполнения 1234: Ошибка приложения"},
    };
    for (const auto& c : cases) {
        const RuntimeError error(c.number);
        EXPECT_EQ(error.number(), c.number);
        EXPECT_EQ(std::string(error.what()), c.what);
    }
}

// The flags a step leaves behind, as the check reports them.
struct FlagCase {
    const char* name;
    Double (*step)(Double, Double);
    Double a, b;
    int expected; // error number of the check, 0 when it passes
};

const std::vector<FlagCase> kFlagCases = {
    {"1/0 divides by zero", div, 1.0, 0.0, 11},
    {"-1/-0 divides by zero", div, -1.0, -0.0, 11},
    {"0/0 is invalid", div, 0.0, 0.0, 6},
    {"inf*0 is invalid", mul, kInf, 0.0, 6},
    {"inf-inf is invalid", sub, kInf, kInf, 6},
    {"DBL_MAX*2 overflows", mul, DBL_MAX, 2.0, 6},
    {"DBL_MAX+DBL_MAX overflows", add, DBL_MAX, DBL_MAX, 6},
    {"-DBL_MAX-DBL_MAX overflows", sub, -DBL_MAX, DBL_MAX, 6},
    {"1/denormal overflows", div, 1.0, 1e-310, 6},
    {"Variant product overflows later", vbaVarMul, DBL_MAX, 2.0, 6},
    {"underflow is no fault", mul, 1e-300, 1e-300, 0},
    {"inexact is no fault", div, 1.0, 3.0, 0},
    {"a quiet NaN flows on unreported", add, kNaN, 1.0, 0},
    {"an infinity flows on unreported", mul, kInf, 2.0, 0},
    {"toSingle beyond the Single range overflows",
     [](Double a, Double) -> Double { return toSingle(a); }, 1e39, 0.0, 6},
    {"toSingle below the Single range underflows only",
     [](Double a, Double) -> Double { return toSingle(a); }, 1e-50, 0.0, 0},
    {"toSingle of a NaN is no fault", [](Double a, Double) -> Double { return toSingle(a); }, kNaN,
     0.0, 0},
    {"division by zero with overflow is 11",
     [](Double a, Double b) { return add(mul(a, a), div(1.0, b)); }, DBL_MAX, 0.0, 11},
    {"division by zero with invalid is 11",
     [](Double a, Double b) { return add(div(b, b), div(a, b)); }, 1.0, 0.0, 11},
    {"power: 0^-1 divides by zero", vbaPowerR8, 0.0, -1.0, 11},
    {"power: overflow of a cube", vbaPowerR8, 1e200, 3.0, 6},
    {"power: overflow of a square", vbaPowerR8, 1e200, 2.0, 6},
    {"power: overflow of the general case", vbaPowerR8, 10.0, 400.0, 6},
};

TEST(FpCheck, ReportsEachFaultOfAStep)
{
    for (const auto& c : kFlagCases) {
        clearFpFlags();
        const Double result = c.step(c.a, c.b);
        const int reported = errorOf([] { fpCheck(); });
        EXPECT_EQ(reported, c.expected) << c.name << " (result " << result << ")";
    }
}

TEST(FpCheck, ErrorNumberForRaisedFlags)
{
    // Each IEEE 754 exception, raised by a step that raises it and no fault
    // besides.
    enum : unsigned {
        kInvalid = 1u << 0,
        kOverflow = 1u << 1,
        kDivByZero = 1u << 2,
        kUnderflow = 1u << 3,
        kInexact = 1u << 4,
        kAll = (1u << 5) - 1,
    };
    const struct {
        unsigned flag;
        Double (*step)(Double, Double);
        Double a, b;
    } raising[] = {
        {kInvalid, div, 0.0, 0.0},   {kOverflow, mul, DBL_MAX, 2.0},
        {kDivByZero, div, 1.0, 0.0}, {kUnderflow, mul, 1e-300, 1e-300},
        {kInexact, div, 1.0, 3.0},
    };
    const struct {
        unsigned flags;
        int expected;
    } cases[] = {
        {kInvalid, 6},
        {kOverflow, 6},
        {kDivByZero, 11},
        {kUnderflow, 0},
        {kInexact, 0},
        {kUnderflow | kInexact, 0},
        {kOverflow | kInexact, 6},
        {kInvalid | kOverflow, 6},
        {kDivByZero | kOverflow, 11},
        {kInvalid | kDivByZero, 11},
        {kAll, 11},
    };
    for (const auto& c : cases) {
        clearFpFlags();
        for (const auto& r : raising)
            if ((c.flags & r.flag) != 0)
                r.step(r.a, r.b);
        EXPECT_EQ(fpFaultPending(), c.expected != 0) << "flags " << c.flags;
        EXPECT_EQ(errorOf([] { fpCheck(); }), c.expected) << "flags " << c.flags;
    }
}

// Each fault by its definition, on both sides of its edge: overflow is an
// infinite result from finite operands, invalid a NaN from operands that are
// not NaN, division by zero a finite nonzero dividend over a zero or a zero to
// a negative power. Comparing a NaN is no fault.
TEST(FpCheck, FaultsAtTheEdgesOfTheirDefinitions)
{
    const auto single = [](Double a, Double) -> Double { return toSingle(a); };
    const Double dblMaxHalfUlp = 0x1p970;
    const std::vector<FlagCase> cases = {
        {"DBL_MAX + half an ulp rounds to the infinity (ties to even)", add, DBL_MAX, dblMaxHalfUlp,
         6},
        {"DBL_MAX + less than half an ulp stays finite", add, DBL_MAX, dblMaxHalfUlp / 2, 0},
        {"-DBL_MAX - half an ulp overflows", sub, -DBL_MAX, dblMaxHalfUlp, 6},
        {"toSingle halfway above FLT_MAX overflows", single, 0x1.ffffffp127, 0.0, 6},
        {"toSingle just below halfway above FLT_MAX is FLT_MAX", single, 0x1.fffffefffffffp127, 0.0,
         0},
        {"toSingle of -1e39 overflows", single, -1e39, 0.0, 6},
        {"toSingle of an infinity is no fault", single, kInf, 0.0, 0},
        {"inf+inf is no fault", add, kInf, kInf, 0},
        {"inf-(-inf) is no fault", sub, kInf, -kInf, 0},
        {"inf+(-inf) is invalid", add, kInf, -kInf, 6},
        {"inf*(-inf) is no fault", mul, kInf, -kInf, 0},
        {"0*NaN is no fault", mul, 0.0, kNaN, 0},
        {"inf/0 is no fault", div, kInf, 0.0, 0},
        {"NaN/0 is no fault", div, kNaN, 0.0, 0},
        {"-0/0 is invalid", div, -0.0, 0.0, 6},
        {"inf/inf is invalid", div, kInf, -kInf, 6},
        {"denormal/0 divides by zero", div, 1e-310, 0.0, 11},
        {"DBL_MAX/-0 divides by zero", div, DBL_MAX, -0.0, 11},
        {"DBL_MAX/0.5 overflows", div, DBL_MAX, 0.5, 6},
        {"1/inf is no fault", div, 1.0, kInf, 0},
        {"power: 0^-inf divides by zero", vbaPowerR8, 0.0, -kInf, 11},
        {"power: -0^-3 divides by zero", vbaPowerR8, -0.0, -3.0, 11},
        {"power: -0^-0.5 divides by zero", vbaPowerR8, -0.0, -0.5, 11},
        {"power: 0^0 is no fault", vbaPowerR8, 0.0, 0.0, 0},
        {"power: 0^NaN is no fault", vbaPowerR8, 0.0, kNaN, 0},
        {"power: NaN^-1 is no fault", vbaPowerR8, kNaN, -1.0, 0},
        {"power: NaN^2 is no fault", vbaPowerR8, kNaN, 2.0, 0},
        {"power: NaN^0.666 is no fault", vbaPowerR8, kNaN, 0.666, 0},
        {"power: inf^-1 is no fault", vbaPowerR8, kInf, -1.0, 0},
        {"power: 0.5^-inf is no fault", vbaPowerR8, 0.5, -kInf, 0},
        {"power: 10^-400 underflows only", vbaPowerR8, 10.0, -400.0, 0},
        {"power: -2^1025 overflows", vbaPowerR8, -2.0, 1025.0, 6},
        {"power: a square overflowing to inf", vbaPowerR8, -1e155, 2.0, 6},
        {"power: a cube whose square overflows", vbaPowerR8, -1e103, 3.0, 6},
        {"power: the cube of an infinity is no fault", vbaPowerR8, -kInf, 3.0, 0},
        {"square root of a NaN is no fault", [](Double a, Double) -> Double { return rtcSqr(a); },
         kNaN, 0.0, 0},
    };
    for (const auto& c : cases) {
        clearFpFlags();
        const Double result = c.step(c.a, c.b);
        EXPECT_EQ(errorOf([] { fpCheck(); }), c.expected) << c.name << " (result " << result << ")";
    }
}

TEST(FpCheck, ClearingForgetsEarlierFaults)
{
    for (const auto& c : kFlagCases) {
        clearFpFlags();
        c.step(c.a, c.b);
        clearFpFlags();
        EXPECT_FALSE(fpFaultPending()) << c.name;
        EXPECT_EQ(errorOf([] { fpCheck(); }), 0) << c.name;
    }
}

TEST(FpCheck, ReportingKeepsTheFlagsForTheNextClear)
{
    clearFpFlags();
    div(1.0, 0.0);
    EXPECT_EQ(errorOf([] { vbaFPException(); }), 11);
    EXPECT_TRUE(fpFaultPending());
    clearFpFlags();
    EXPECT_FALSE(fpFaultPending());
}

// The operands come in as parameters so that nothing is known at compile time.
// Each step stays on its side of the clear: a multiply before the clear is not
// reported, a multiply after it is.
bool faultAfterMulThenClear(Double a, Double b)
{
    clearFpFlags();
    const Double product = mul(a, b);
    clearFpFlags();
    const bool pending = fpFaultPending();
    return pending && product == product; // keeps the product alive
}

bool faultAfterClearThenMul(Double a, Double b)
{
    clearFpFlags();
    const Double product = mul(a, b);
    const bool pending = fpFaultPending();
    return pending && product == product;
}

int checkAfterClearThenSingle(Double a)
{
    clearFpFlags();
    const Single narrowed = toSingle(a);
    const int reported = errorOf([] { fpCheck(); });
    return narrowed == narrowed ? reported : -1;
}

TEST(FpCheck, StepsStayOnTheirSideOfAClear)
{
    EXPECT_FALSE(faultAfterMulThenClear(DBL_MAX, 2.0));
    EXPECT_TRUE(faultAfterClearThenMul(DBL_MAX, 2.0));
    EXPECT_FALSE(faultAfterClearThenMul(2.0, 3.0));
    EXPECT_EQ(checkAfterClearThenSingle(1e39), 6);
    EXPECT_EQ(checkAfterClearThenSingle(-1e39), 6);
    EXPECT_EQ(checkAfterClearThenSingle(0.1), 0);
}

TEST(Arith, ToSingleRoundsToNearest)
{
    const struct {
        Double in;
        Single expected;
    } cases[] = {
        {0.1, 0.1f},
        {-2.5, -2.5f},
        {1.0 + 0x1p-24, 1.0f},                      // tie to even, down
        {1.0 + 0x1p-23 + 0x1p-24, 1.0f + 0x1p-22f}, // tie to even, up
        {FLT_MAX, FLT_MAX},
        {1e39, std::numeric_limits<Single>::infinity()},
        {-1e39, -std::numeric_limits<Single>::infinity()},
        {1e-50, 0.0f},
        {1e-45, 0x1p-149f}, // nearest denormal
    };
    for (const auto& c : cases) {
        EXPECT_EQ(toSingle(c.in), c.expected) << c.in;
    }
    EXPECT_TRUE(std::isnan(toSingle(kNaN)));
}

TEST(Arith, Power)
{
    const struct {
        Double base, exponent;
        Double expected;
        int error; // thrown at once
    } cases[] = {
        {3.0, 2.0, 9.0, 0},
        {-3.0, 2.0, 9.0, 0},
        {-2.0, 3.0, -8.0, 0},
        {1.5, 3.0, 3.375, 0},
        {4.0, 0.5, 2.0, 0},
        {0.0, 0.666, 0.0, 0},
        {-0.0, 0.5, 0.0, 0},
        {-0.0, 3.0, -0.0, 0},
        {-2.0, -1.0, -0.5, 0},
        {kNaN, 0.0, 1.0, 0},
        {kNaN, 2.0, kNaN, 0},
        {kNaN, 0.666, kNaN, 0},
        {-2.0, kNaN, kNaN, 0},
        {-2.0, kInf, kInf, 0},
        {-0.5, kInf, 0.0, 0},
        {-kInf, 2.0, kInf, 0},
        {-kInf, 3.0, -kInf, 0},
        {-2.0, 0.5, 0.0, 5},
        {-8.0, 1.0 / 3.0, 0.0, 5},
        {-1e-300, 0.666, 0.0, 5},
        {-kInf, 0.5, 0.0, 5},
        // Squares and cubes of Singles, against the exact value rounded once.
        {0.1f, 2.0, 0x1.47ae151eb852p-7, 0},
        {0.1f, 3.0, 0x1.0624ddf3b645dp-10, 0},
        {1.1f, 3.0, 0x1.54bc6bf2b0215p+0, 0},
    };
    for (const auto& c : cases) {
        Double result = 0.0;
        const int error = errorOf([&] { result = vbaPowerR8(c.base, c.exponent); });
        EXPECT_EQ(error, c.error) << c.base << " ^ " << c.exponent;
        if (c.error == 0) {
            EXPECT_TRUE(sameValue(result, c.expected)) << c.base << " ^ " << c.exponent;
        }
    }
}

TEST(Arith, SquareRoot)
{
    const struct {
        Double in;
        Double expected;
        int error;
    } cases[] = {
        {4.0, 2.0, 0},
        {2.0, 1.4142135623730951, 0},
        {0.0, 0.0, 0},
        {-0.0, -0.0, 0},
        {kInf, kInf, 0},
        {kNaN, kNaN, 0},
        {0x1p-1060, 0x1p-530, 0},
        {-1.0, 0.0, 5},
        {-1e-310, 0.0, 5},
        {-kInf, 0.0, 5},
    };
    for (const auto& c : cases) {
        clearFpFlags();
        Double result = 0.0;
        const int error = errorOf([&] { result = rtcSqr(c.in); });
        EXPECT_EQ(error, c.error) << c.in;
        if (c.error == 0) {
            EXPECT_TRUE(sameValue(result, c.expected)) << c.in;
            EXPECT_FALSE(fpFaultPending()) << c.in;
        }
    }
}

TEST(Arith, VariantDivision)
{
    const struct {
        Double a, b;
        Double expected;
        int error; // thrown at once
        int check; // reported by the check afterwards
    } cases[] = {
        {6.0, 3.0, 2.0, 0, 0},   {1.0, 4.0, 0.25, 0, 0},    {-1.0, 8.0, -0.125, 0, 0},
        {1.0, 0.0, 0.0, 11, 0},  {1.0, -0.0, 0.0, 11, 0},   {0.0, 0.0, 0.0, 11, 0},
        {kNaN, 0.0, 0.0, 11, 0}, {1.0, 1e-310, kInf, 0, 6}, {kInf, kInf, kNaN, 0, 6},
        {1.0, kNaN, kNaN, 0, 0},
    };
    for (const auto& c : cases) {
        clearFpFlags();
        Double result = 0.0;
        const int error = errorOf([&] { result = vbaVarDiv(c.a, c.b); });
        EXPECT_EQ(error, c.error) << c.a << " / " << c.b;
        if (c.error == 0) {
            EXPECT_TRUE(sameValue(result, c.expected)) << c.a << " / " << c.b;
        }
        EXPECT_EQ(errorOf([] { fpCheck(); }), c.check) << c.a << " / " << c.b;
    }
}

} // namespace
} // namespace cepomer::rt
