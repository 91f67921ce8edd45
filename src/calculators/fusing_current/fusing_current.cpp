// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "calculators/fusing_current/fusing_current.h"

#include "runtime/fpenv.h"

namespace cepomer::calc {
namespace {

constexpr rt::Double kThinOffset = 0.005; // mm, the diameter of a wire that carries nothing
constexpr rt::Double kCube = 3.0;
constexpr rt::Double kInverseExponent = 0.666; // the textbook's, not 2/3

// Rounds a result to Single and checks it.
rt::Single stored(rt::Double value)
{
    const rt::Single result = rt::toSingle(value);
    rt::fpCheck();
    return result;
}

} // namespace

rt::Single thinCurrent(rt::Single d, rt::Single a)
{
    return stored(rt::div(rt::sub(d, kThinOffset), a));
}

rt::Single thinDiameter(rt::Single current, rt::Single a)
{
    const rt::Double t = rt::mul(a, current);
    rt::fpCheck();
    return stored(rt::add(t, kThinOffset));
}

rt::Single thickCurrent(rt::Single d, rt::Single b)
{
    const rt::Double cube = rt::vbaPowerR8(d, kCube);
    const rt::Double root = rt::rtcSqr(cube);
    return stored(rt::mul(b, root));
}

rt::Single thickDiameter(rt::Single current, rt::Single c)
{
    const rt::Double power = rt::vbaPowerR8(current, kInverseExponent);
    return stored(rt::mul(power, c));
}

} // namespace cepomer::calc
