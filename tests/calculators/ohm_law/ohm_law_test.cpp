// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "calculators/ohm_law/ohm_law.h"

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <stdexcept>
#include <string>

#include <gtest/gtest.h>

#include "runtime/errors.h"
#include "runtime/fpenv.h"

namespace cepomer::calc::ohm {
namespace {

using enum Quantity;
constexpr float kInf = std::numeric_limits<float>::infinity();

struct Inputs {
    float u = 0, r = 0, p = 0, i = 0;
};

Working working(const Inputs& in)
{
    Working w;
    w[U] = in.u;
    w[R] = in.r;
    w[P] = in.p;
    w[I] = in.i;
    return w;
}

const Rule& rule(Quantity q, Pair p)
{
    for (const Rule& r : rules())
        if (r.quantity == q && r.pair == p)
            return r;
    throw std::logic_error("no such rule");
}

// 0 when the evaluation succeeds, else the number of the run-time error.
int errorOf(Quantity q, Pair p, const Inputs& in)
{
    rt::clearFpFlags();
    try {
        evaluate(rule(q, p).formula, working(in));
    } catch (const rt::RuntimeError& e) {
        return e.number();
    }
    return 0;
}

struct ValueCase {
    Quantity quantity;
    Pair pair;
    Inputs in;
    float expected; // the exact Single
};

TEST(OhmLaw, TwelveRulesInOrderGiveTheExactSingle)
{
    // Several inputs are chosen so that a square, quotient or product rounded to
    // Single on the way would give a different last bit.
    const ValueCase cases[] = {
        {I, Pair::UR, {.u = 10, .r = 3}, 0x1.aaaaaap+1f},
        {I, Pair::PR, {.r = 7, .p = 5}, 0x1.b0b80ep-1f},
        {I, Pair::PU, {.u = 7, .p = 1}, 0x1.24924ap-3f},
        {U, Pair::PR, {.r = 5, .p = 0.7f}, 0x1.deeeap+0f},
        {U, Pair::IR, {.r = 3.3f, .i = 1.1f}, 0x1.d0a3d8p+1f},
        {U, Pair::PI, {.p = 6, .i = 0.5f}, 12.0f},
        {R, Pair::PU, {.u = 0.3f, .p = 3}, 0x1.eb8522p-6f},
        {R, Pair::PI, {.p = 1, .i = 0.1f}, 100.0f},
        {R, Pair::IU, {.u = 12345678, .i = 1234567.89f}, 0x1.3ffffep+3f},
        {P, Pair::UR, {.u = 0.3f, .r = 13}, 0x1.c5b5f8p-8f},
        {P, Pair::IR, {.r = 7, .i = 0.3f}, 0x1.428f5ep-1f},
        {P, Pair::IU, {.u = 0.1f, .i = 0.1f}, 0x1.47ae16p-7f},
    };
    ASSERT_EQ(rules().size(), std::size(cases));
    for (std::size_t n = 0; n < std::size(cases); ++n) {
        const ValueCase& c = cases[n];
        const Rule& r = rules()[n];
        SCOPED_TRACE("rule " + std::to_string(n + 1));
        EXPECT_EQ(r.quantity, c.quantity);
        EXPECT_EQ(r.pair, c.pair);
        rt::clearFpFlags();
        const float got = evaluate(r.formula, working(c.in));
        EXPECT_EQ(std::bit_cast<std::uint32_t>(got), std::bit_cast<std::uint32_t>(c.expected))
            << got << " != " << c.expected;
    }
}

struct ErrorCase {
    const char* what;
    Quantity quantity;
    Pair pair;
    Inputs in;
    int error;
};

TEST(OhmLaw, FailuresStopAtTheirStep)
{
    const ErrorCase cases[] = {
        {"U / 0", I, Pair::UR, {.u = 10}, rt::kDivisionByZero},
        {"0 / 0", I, Pair::UR, {}, rt::kOverflow},
        {"beyond Single", I, Pair::UR, {.u = 3e38f, .r = 0.5f}, rt::kOverflow},
        {"root of a negative", I, Pair::PR, {.r = 4, .p = -100}, rt::kInvalidCall},
        {"-P / 0 before the root", I, Pair::PR, {.p = -1}, rt::kDivisionByZero},
        {"0 / 0 before the root", I, Pair::PR, {}, rt::kOverflow},
        {"P / 0", I, Pair::PU, {.p = 6}, rt::kDivisionByZero},
        {"root of a negative", U, Pair::PR, {.r = -4, .p = 100}, rt::kInvalidCall},
        {"∞ · 0 before the root", U, Pair::PR, {.r = kInf}, rt::kOverflow},
        {"∞ · 0", U, Pair::IR, {.r = kInf}, rt::kOverflow},
        {"P / 0", U, Pair::PI, {.p = 6}, rt::kDivisionByZero},
        {"U² / 0", R, Pair::PU, {.u = 12}, rt::kDivisionByZero},
        {"P / 0²", R, Pair::PI, {.p = 100}, rt::kDivisionByZero},
        {"∞ / ∞", R, Pair::IU, {.u = kInf, .i = kInf}, rt::kOverflow},
        {"U² / 0", P, Pair::UR, {.u = 10}, rt::kDivisionByZero},
        {"I² · R beyond Single", P, Pair::IR, {.r = 1000, .i = 1e19f}, rt::kOverflow},
        {"U · I beyond Single", P, Pair::IU, {.u = 1e20f, .i = 1e20f}, rt::kOverflow},
    };
    for (const ErrorCase& c : cases)
        EXPECT_EQ(errorOf(c.quantity, c.pair, c.in), c.error) << c.what;
}

TEST(OhmLaw, ZerosInProductsAndInfinitiesPassUnreported)
{
    const ValueCase cases[] = {
        {U, Pair::PR, {}, 0.0f},
        {U, Pair::IR, {}, 0.0f},
        {P, Pair::IR, {}, 0.0f},
        {P, Pair::IU, {}, 0.0f},
        {R, Pair::PI, {.p = 1, .i = kInf}, 0.0f},
        {U, Pair::IR, {.r = kInf, .i = 2}, kInf},
        {U, Pair::IR, {.r = -kInf, .i = 2}, -kInf},
        {I, Pair::UR, {.u = kInf, .r = 2}, kInf},
        {I, Pair::UR, {.u = 5, .r = kInf}, 0.0f},
        {R, Pair::PI, {.p = kInf, .i = 2}, kInf},
        // underflow is never reported
        {I, Pair::UR, {.u = 1e-30f, .r = 1e10f}, 0x1.16c2p-133f},
        {I, Pair::UR, {.u = 1e-30f, .r = 1e30f}, 0.0f},
        // the largest Single divided by one stays finite
        {I, Pair::UR, {.u = std::numeric_limits<float>::max(), .r = 1}, 0x1.fffffep+127f},
        // no check follows a root: beyond the Single range it is stored as ∞
        {I, Pair::PR, {.r = 1e-40f, .p = 3e38f}, kInf},
    };
    for (const ValueCase& c : cases) {
        rt::clearFpFlags();
        float got = -1;
        EXPECT_NO_THROW(got = evaluate(rule(c.quantity, c.pair).formula, working(c.in)));
        EXPECT_EQ(std::bit_cast<std::uint32_t>(got), std::bit_cast<std::uint32_t>(c.expected))
            << got << " != " << c.expected;
    }
}

TEST(OhmLaw, NegativeZeroProductStaysASignedZero)
{
    rt::clearFpFlags();
    const float got = evaluate(rule(U, Pair::IR).formula, working({.r = 0, .i = -5}));
    EXPECT_TRUE(got == 0.0f && std::signbit(got));
}

TEST(OhmLaw, CheckReportsAnOverflowPendingFromBefore)
{
    // Nothing touched a control since an input overflowed on its way to Single:
    // the next check reports it, even for arithmetic that is fine itself.
    rt::clearFpFlags();
    const float huge = rt::toSingle(1e39);
    EXPECT_THROW(evaluate(rule(U, Pair::IR).formula, working({.r = huge, .i = 2})),
                 rt::RuntimeError);
    rt::clearFpFlags();
    EXPECT_EQ(evaluate(rule(U, Pair::IR).formula, working({.r = huge, .i = 2})), kInf);
}

} // namespace
} // namespace cepomer::calc::ohm
