// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "calculators/cross_section/cross_section.h"

#include <bit>
#include <cstdint>
#include <limits>

#include <gtest/gtest.h>

#include "runtime/errors.h"
#include "runtime/fpenv.h"

namespace cepomer::calc {
namespace {

struct Case {
    rt::Single d;
    std::uint64_t bits; // the exact Double of S
};

TEST(CrossSection, AreaIsTheSquareTimesTheTextbookFactor)
{
    // 0.7854 as the nearest Double, not π/4; the square of a Single is exact.
    const Case cases[] = {
        {1.0f, 0x3FE921FF2E48E8A7},                         // 0.7854 itself
        {2.0f, std::bit_cast<std::uint64_t>(4.0 * 0.7854)}, // 3.1416
        {-2.0f, std::bit_cast<std::uint64_t>(4.0 * 0.7854)},
        {0.1f, std::bit_cast<std::uint64_t>(double(0.1f) * double(0.1f) * 0.7854)},
        {0.0f, 0},
    };
    for (const Case& c : cases) {
        rt::clearFpFlags();
        EXPECT_EQ(std::bit_cast<std::uint64_t>(crossSection(c.d)), c.bits) << c.d;
    }
}

TEST(CrossSection, AnySingleGivesAFiniteArea)
{
    rt::clearFpFlags();
    EXPECT_GT(crossSection(std::numeric_limits<rt::Single>::max()), 9e76);
    EXPECT_GT(crossSection(std::numeric_limits<rt::Single>::denorm_min()), -1.0);
}

int errorOf(rt::Single d)
{
    try {
        crossSection(d);
    } catch (const rt::RuntimeError& e) {
        return e.number();
    }
    return 0;
}

TEST(CrossSection, CheckCoversTheRoundingOfTheDiameter)
{
    // The rounding of a typed 1e39 to Single overflows before the call; the
    // check at the end of the calculation reports it.
    rt::clearFpFlags();
    const rt::Single huge = rt::toSingle(1e39);
    EXPECT_EQ(errorOf(huge), rt::kOverflow);
    // An infinity that arrived without a pending flag squares to infinity
    // without a fault of its own.
    rt::clearFpFlags();
    EXPECT_EQ(errorOf(huge), 0);
}

} // namespace
} // namespace cepomer::calc
