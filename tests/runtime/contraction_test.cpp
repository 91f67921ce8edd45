// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

// A multiplication followed by an addition is rounded twice, on every machine:
// never fused into one rounding where the processor has a fused multiply-add.
#include <utility>

#include <gtest/gtest.h>

#include "runtime/arith.h"

namespace cepomer::rt {
namespace {

// a · b + c rounded once, as a fused multiply-add gives it, from error-free
// transformations (Dekker's product, Knuth's sum) of separately rounded steps.
// The C library's fma is no reference: MinGW-w64's is not exact.
Double roundedOnce(Double a, Double b, Double c)
{
    const auto halves = [](Double v) {
        const Double scaled = 134217729.0 * v; // 2^27 + 1
        const Double high = scaled - (scaled - v);
        return std::pair{high, v - high};
    };
    const auto [aHigh, aLow] = halves(a);
    const auto [bHigh, bLow] = halves(b);
    const Double product = a * b;
    const Double productError =
        ((aHigh * bHigh - product) + aHigh * bLow + aLow * bHigh) + aLow * bLow;
    const Double sum = product + c;
    const Double back = sum - product;
    const Double sumError = (product - (sum - back)) + (c - back);
    return sum + (sumError + productError);
}

// R² + X² of a series R-L circuit, R = 5 Ω, f = 60 Hz, L = 0,01 H, with
// X = 6,28 · f · L. X · X is inexact; fused with the addition it would round
// once, a unit higher in the last place.
TEST(Contraction, MultiplyThenAddRoundsEachStep)
{
    // Loaded at run time, so that the compiler computes the expressions below
    // as the machine would, with the flags the project is built with.
    volatile Double storedX = 0x1.e24dd23cccccdp+1;
    volatile Double storedSquareR = 25.0;
    const Double x = storedX;
    const Double squareR = storedSquareR;
    const Double separate = 0x1.3995246aa30dcp+5;
    ASSERT_EQ(roundedOnce(x, x, squareR), 0x1.3995246aa30ddp+5)
        << "the case no longer tells them apart";

    EXPECT_EQ(add(mul(x, x), squareR), separate);
    EXPECT_EQ(add(vbaPowerR8(x, 2.0), squareR), separate);
    // The same formula as plain code.
    EXPECT_EQ(x * x + squareR, separate);
}

} // namespace
} // namespace cepomer::rt
