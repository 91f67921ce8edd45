// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "calculators/fusing_current/fusing_current.h"

#include <bit>
#include <cstdint>
#include <limits>
#include <vector>

#include <gtest/gtest.h>

#include "runtime/errors.h"
#include "runtime/fpenv.h"

namespace cepomer::calc {
namespace {

using Law = rt::Single (*)(rt::Single, rt::Single);

constexpr rt::Single kInf = std::numeric_limits<rt::Single>::infinity();
constexpr rt::Single kMax = std::numeric_limits<rt::Single>::max();

std::uint32_t bitsOf(rt::Single x)
{
    return std::bit_cast<std::uint32_t>(x);
}

rt::Single fromBits(std::uint32_t bits)
{
    return std::bit_cast<rt::Single>(bits);
}

// The coefficients as the Singles nearest to the textbook's decimals.
const rt::Single aCopper = fromBits(0x3D0B4396);    // 0.034
const rt::Single aBrass = fromBits(0x3D4CCCCD);     // 0.05
const rt::Single aIron = fromBits(0x3E020C4A);      // 0.127
const rt::Single bCopper = fromBits(0x42A00000);    // 80
const rt::Single bAluminium = fromBits(0x426CCCCD); // 59.2
const rt::Single bIron = fromBits(0x41C4CCCD);      // 24.6
const rt::Single cCopper = fromBits(0x3D5C5D64);    // 0.0538
const rt::Single cAluminium = fromBits(0x3D86C227); // 0.0658
const rt::Single cIron = fromBits(0x3DF1A9FC);      // 0.118

TEST(FusingCurrentCoefficients, NineTestsInOrderWithTheirBits)
{
    const struct {
        Material material;
        rt::Single Coefficients::*coefficient;
        std::uint32_t bits;
    } expected[] = {
        {Material::Copper, &Coefficients::a, 0x3D0B4396},
        {Material::Brass, &Coefficients::a, 0x3D4CCCCD},
        {Material::Iron, &Coefficients::a, 0x3E020C4A},
        {Material::Copper, &Coefficients::b, 0x42A00000},
        {Material::Aluminium, &Coefficients::b, 0x426CCCCD},
        {Material::Iron, &Coefficients::b, 0x41C4CCCD},
        {Material::Copper, &Coefficients::c, 0x3D5C5D64},
        {Material::Aluminium, &Coefficients::c, 0x3D86C227},
        {Material::Iron, &Coefficients::c, 0x3DF1A9FC},
    };
    ASSERT_EQ(std::size(expected), kMaterialTests.size());
    for (std::size_t i = 0; i < kMaterialTests.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(kMaterialTests[i].material, expected[i].material);
        EXPECT_EQ(kMaterialTests[i].coefficient, expected[i].coefficient);
        EXPECT_EQ(bitsOf(kMaterialTests[i].value), expected[i].bits);
    }
}

TEST(FusingCurrentCoefficients, EachButtonIsAskedAfreshInTheOrderOfTheTests)
{
    std::vector<Material> asked;
    materialCoefficients([&asked](Material m) {
        asked.push_back(m);
        return false;
    });
    using enum Material;
    EXPECT_EQ(asked,
              (std::vector{Copper, Brass, Iron, Copper, Aluminium, Iron, Copper, Aluminium, Iron}));
}

TEST(FusingCurrentCoefficients, TheLastEnabledMaterialOfEachKindWins)
{
    using enum Material;
    const struct {
        std::vector<Material> enabled;
        Coefficients expected;
    } cases[] = {
        {{Copper}, {aCopper, bCopper, cCopper}},
        {{Brass}, {aBrass, 0, 0}},
        {{Iron}, {aIron, bIron, cIron}},
        {{Aluminium}, {0, bAluminium, cAluminium}},
        // Nothing chosen yet: iron's, in either range and before any range.
        {{Copper, Brass, Iron, Aluminium}, {aIron, bIron, cIron}},
        {{Copper, Brass, Iron}, {aIron, bIron, cIron}},
        {{Copper, Iron, Aluminium}, {aIron, bIron, cIron}},
        // Aluminium then the thin range, brass then the thick range: nothing left.
        {{}, {0, 0, 0}},
        // Mixtures no sequence of clicks leaves, for the order of the tests.
        {{Copper, Brass}, {aBrass, bCopper, cCopper}},
        {{Copper, Aluminium}, {aCopper, bAluminium, cAluminium}},
        {{Brass, Aluminium}, {aBrass, bAluminium, cAluminium}},
    };
    for (const auto& c : cases) {
        const Coefficients k = materialCoefficients([&c](Material m) {
            for (Material e : c.enabled)
                if (e == m)
                    return true;
            return false;
        });
        SCOPED_TRACE(c.enabled.size());
        EXPECT_EQ(bitsOf(k.a), bitsOf(c.expected.a));
        EXPECT_EQ(bitsOf(k.b), bitsOf(c.expected.b));
        EXPECT_EQ(bitsOf(k.c), bitsOf(c.expected.c));
    }
}

struct LawCase {
    const char* what;
    Law law;
    rt::Single given;
    rt::Single coefficient;
    std::uint32_t bits; // the exact Single of the result
};

TEST(FusingCurrentLaws, ResultsToTheBit)
{
    const LawCase cases[] = {
        {"thin, copper, d=0.2", thinCurrent, 0.2f, aCopper, 0x40B78787},     // 5.735294
        {"thin, brass, d=0.2", thinCurrent, 0.2f, aBrass, 0x4079999A},       // 3.9
        {"thin, iron, d=0.2", thinCurrent, 0.2f, aIron, 0x3FC48912},         // 1.535433
        {"thin, copper, d=0.005", thinCurrent, 0.005f, aCopper, 0xB161E1E1}, // -3.287021E-09
        {"thin, copper, d=0", thinCurrent, 0.0f, aCopper, 0xBE169696},       // -0.1470588
        {"thin, copper, d=0.5", thinCurrent, 0.5f, aCopper, 0x4168F0F0},     // 14.55882
        {"thin, iron, d=-1", thinCurrent, -1.0f, aIron, 0xC0FD3A74},         // -7.913385
        {"thin, copper, d=inf", thinCurrent, kInf, aCopper, 0x7F800000},
        {"thin, iron, I=1", thinDiameter, 1.0f, aIron, 0x3E072B02},       // 0.132
        {"thin, copper, I=5", thinDiameter, 5.0f, aCopper, 0x3E333334},   // 0.175
        {"thin, brass, I=5", thinDiameter, 5.0f, aBrass, 0x3E828F5C},     // 0.255
        {"thin, copper, I=-5", thinDiameter, -5.0f, aCopper, 0xBE28F5C3}, // -0.165
        {"thin, a=0, I=12345", thinDiameter, 12345.0f, 0, 0x3BA3D70A},    // 0.005
        {"thin, iron, I=max", thinDiameter, kMax, aIron, 0x7E020C49},     // 4.321586E+37
        {"thin, copper, I=inf", thinDiameter, kInf, aCopper, 0x7F800000},
        {"thick, copper, d=1", thickCurrent, 1.0f, bCopper, 0x42A00000},       // 80
        {"thick, copper, d=0.5", thickCurrent, 0.5f, bCopper, 0x41E24630},     // 28.28427
        {"thick, aluminium, d=1", thickCurrent, 1.0f, bAluminium, 0x426CCCCD}, // 59.2
        {"thick, iron, d=2", thickCurrent, 2.0f, bIron, 0x428B289B},           // 69.57931
        {"thick, b=0, d=5", thickCurrent, 5.0f, 0, 0},
        {"thick, b=0, d=1e30", thickCurrent, 1e30f, 0, 0},
        {"thick, copper, d=-0", thickCurrent, -0.0f, bCopper, 0x80000000},
        {"thick, copper, d=inf", thickCurrent, kInf, bCopper, 0x7F800000},
        {"thick, copper, I=80", thickDiameter, 80.0f, cCopper, 0x3F7EF6FC},       // 0.9959562
        {"thick, aluminium, I=10", thickDiameter, 10.0f, cAluminium, 0x3E9C2228}, // 0.3049481
        {"thick, iron, I=100", thickDiameter, 100.0f, cIron, 0x40223444},         // 2.53444
        {"thick, copper, I=0", thickDiameter, 0.0f, cCopper, 0},
        {"thick, c=0, I=5", thickDiameter, 5.0f, 0, 0},
        {"thick, iron, I=max", thickDiameter, kMax, cIron, 0x688F7EC6}, // 5.421096E+24
    };
    for (const LawCase& c : cases) {
        rt::clearFpFlags();
        EXPECT_EQ(bitsOf(c.law(c.given, c.coefficient)), c.bits) << c.what;
    }
}

struct FailureCase {
    const char* what;
    Law law;
    rt::Single given;
    rt::Single coefficient;
    int error;
};

TEST(FusingCurrentLaws, Failures)
{
    const FailureCase cases[] = {
        // No thin-range material left: the dividend is never 0 within the Single range.
        {"thin, a=0, d=0.2", thinCurrent, 0.2f, 0, rt::kDivisionByZero},
        {"thin, a=0, d=0", thinCurrent, 0.0f, 0, rt::kDivisionByZero},
        {"thin, a=0, d=0.005", thinCurrent, 0.005f, 0, rt::kDivisionByZero},
        {"thin, copper, d=max", thinCurrent, kMax, aCopper, rt::kOverflow},
        {"thin, a=0, I=inf", thinDiameter, kInf, 0, rt::kOverflow}, // 0·∞ is invalid
        {"thick, copper, d=1e30", thickCurrent, 1e30f, bCopper, rt::kOverflow},
        {"thick, copper, d=-1", thickCurrent, -1.0f, bCopper, rt::kInvalidCall},
        {"thick, b=0, d=-1", thickCurrent, -1.0f, 0, rt::kInvalidCall},
        {"thick, b=0, d=inf", thickCurrent, kInf, 0, rt::kOverflow},
        {"thick, copper, I=-80", thickDiameter, -80.0f, cCopper, rt::kInvalidCall},
        {"thick, c=0, I=-1", thickDiameter, -1.0f, 0, rt::kInvalidCall},
        {"thick, c=0, I=inf", thickDiameter, kInf, 0, rt::kOverflow},
    };
    for (const FailureCase& c : cases) {
        rt::clearFpFlags();
        int error = 0;
        try {
            c.law(c.given, c.coefficient);
        } catch (const rt::RuntimeError& e) {
            error = e.number();
        }
        EXPECT_EQ(error, c.error) << c.what;
    }
}

} // namespace
} // namespace cepomer::calc
