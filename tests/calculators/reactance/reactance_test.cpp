// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "calculators/reactance/reactance.h"

#include <bit>
#include <cstdint>
#include <limits>

#include <gtest/gtest.h>

#include "runtime/errors.h"
#include "runtime/fpenv.h"

namespace cepomer::calc {
namespace {

constexpr rt::Single kInf = std::numeric_limits<rt::Single>::infinity();
constexpr rt::Double kInfD = std::numeric_limits<rt::Double>::infinity();

using Reactance = rt::Double (*)(rt::Single, rt::Single);

struct Case {
    const char* what;
    Reactance reactance;
    rt::Single f, x;
    rt::Double expected; // exact: the literals round-trip to the one Double
};

TEST(Reactance, ValuesAreExactDoubles)
{
    // 6.28 is the nearest Double, not 2π; the inputs are Singles (0.1f is
    // 0.100000001490116...), widened exactly.
    const Case cases[] = {
        {"XL 50 Hz, 1 H", inductiveReactance, 50.0f, 1.0f, 314.0},
        {"XL 50 Hz, 0.1 H", inductiveReactance, 50.0f, 0.1f, 31.400000467896461},
        {"XL empty L", inductiveReactance, 50.0f, 0.0f, 0.0},
        {"XL empty F", inductiveReactance, 0.0f, 1.0f, 0.0},
        {"XL negative F", inductiveReactance, -50.0f, 1.0f, -314.0},
        {"XL largest Singles", inductiveReactance, 1e38f, 1e38f, 6.2799995984388361e+76},
        {"XL infinite F", inductiveReactance, kInf, 1.0f, kInfD},
        {"XL -infinite F", inductiveReactance, -kInf, 1.0f, -kInfD},
        {"XC 50 Hz, 100 uF", capacitiveReactance, 50.0f, 1e-4f, 31.847134562488073},
        {"XC 1 kHz, 10 uF", capacitiveReactance, 1000.0f, 1e-5f, 15.923567281244036},
        {"XC 50 Hz, 0.5 F", capacitiveReactance, 50.0f, 0.5f, 0.006369426751592357},
        {"XC negative F", capacitiveReactance, -50.0f, 1e-4f, -31.847134562488073},
        {"XC smallest Singles", capacitiveReactance, 1e-45f, 1e-45f, 8.1092196510130812e+88},
        {"XC infinite F", capacitiveReactance, kInf, 1.0f, 0.0},
        {"XC infinite C", capacitiveReactance, 1.0f, kInf, 0.0},
        {"XC both infinite", capacitiveReactance, kInf, kInf, 0.0},
    };
    for (const Case& c : cases) {
        rt::clearFpFlags();
        EXPECT_EQ(std::bit_cast<std::uint64_t>(c.reactance(c.f, c.x)),
                  std::bit_cast<std::uint64_t>(c.expected))
            << c.what;
    }
}

TEST(Reactance, CheckReportsTheArithmeticFaults)
{
    const struct {
        const char* what;
        Reactance reactance;
        rt::Single f, x;
        int error;
    } cases[] = {
        {"XC empty C", capacitiveReactance, 50.0f, 0.0f, rt::kDivisionByZero},
        {"XC empty F", capacitiveReactance, 0.0f, 1e-4f, rt::kDivisionByZero},
        {"XC nothing typed", capacitiveReactance, 0.0f, 0.0f, rt::kDivisionByZero},
        {"XC -0", capacitiveReactance, 50.0f, -0.0f, rt::kDivisionByZero},
        {"XC infinite F times 0", capacitiveReactance, kInf, 0.0f, rt::kOverflow},
        {"XC 0 times infinite C", capacitiveReactance, 0.0f, kInf, rt::kOverflow},
        {"XL infinite F times 0", inductiveReactance, kInf, 0.0f, rt::kOverflow},
        {"XL 0 times infinite L", inductiveReactance, 0.0f, -kInf, rt::kOverflow},
    };
    for (const auto& c : cases) {
        rt::clearFpFlags();
        try {
            c.reactance(c.f, c.x);
            ADD_FAILURE() << c.what << ": no error";
        } catch (const rt::RuntimeError& e) {
            EXPECT_EQ(e.number(), c.error) << c.what;
        }
    }
}

TEST(Reactance, CheckAlsoSeesAFlagLeftBeforeTheCall)
{
    // Nothing in between clears the flags: the overflow of a rounding to
    // Single just before is reported by the check that follows.
    rt::clearFpFlags();
    const rt::Single f = rt::toSingle(1e39);
    EXPECT_THROW(inductiveReactance(f, 1.0f), rt::RuntimeError);
}

} // namespace
} // namespace cepomer::calc
