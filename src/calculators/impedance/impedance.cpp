// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "calculators/impedance/impedance.h"

#include <array>

#include "calculators/reactance/reactance.h"
#include "runtime/fpenv.h"

namespace cepomer::calc {
namespace {

using rt::Double;

Double square(Double x)
{
    return rt::vbaPowerR8(x, 2.0);
}

// The sides shared by the series circuits: Z = √(R² + X²) and cos φ = R / Z,
// R entering the Variant division with its Single value.
struct Hypotenuse {
    Double z, cos;
};

Hypotenuse hypotenuse(rt::Single r, Double x)
{
    const Double s = rt::add(square(r), square(x));
    rt::fpCheck();
    const Double z = rt::rtcSqr(s);
    return {z, rt::vbaVarDiv(r, z)};
}

// Series R, C: Xc = 1 / W with W = (F × 6.28) × C; sin φ = 1 / (W × Z) with an
// integer 1 in Variant arithmetic, tan φ = 1 / (W × R).
Impedance seriesRC(const Elements& e)
{
    const Double xc = rt::div(1.0, omegaTimes(e.f, e.c));
    rt::fpCheck();
    const auto [z, cos] = hypotenuse(e.r, xc);
    const Double w = omegaTimes(e.f, e.c);
    rt::fpCheck();
    const Double sin = rt::vbaVarDiv(1.0, rt::vbaVarMul(w, z));
    const Double tan = rt::div(1.0, rt::mul(omegaTimes(e.f, e.c), e.r));
    rt::fpCheck();
    return {z, Phase{cos, sin, tan}};
}

Double inductive(const Elements& e)
{
    return omegaTimes(e.f, e.l);
}

// X = (F × 6.28) × L − 1 / ((F × 6.28) × C), negative when the capacitance
// dominates.
Double inductiveLessCapacitive(const Elements& e)
{
    return rt::sub(omegaTimes(e.f, e.l), rt::div(1.0, omegaTimes(e.f, e.c)));
}

// Series R, L and R, L, C: the reactance X is computed afresh for each of Z,
// sin φ = X / Z and tan φ = X / R.
template <Double (*reactance)(const Elements&)> Impedance seriesReactive(const Elements& e)
{
    const Double x = reactance(e);
    rt::fpCheck();
    const auto [z, cos] = hypotenuse(e.r, x);
    const Double again = reactance(e);
    rt::fpCheck();
    const Double sin = rt::vbaVarDiv(again, z);
    const Double tan = rt::div(reactance(e), e.r);
    rt::fpCheck();
    return {z, Phase{cos, sin, tan}};
}

// ω² = (F × 6.28)².
Double omegaSquared(const Elements& e)
{
    const Double w2 = square(rt::mul(e.f, kTwoPi));
    rt::fpCheck();
    return w2;
}

// Parallel R, C: Z = R / √(((R² × ω²) × C²) + 1); never a zero divisor.
Impedance parallelRC(const Elements& e)
{
    const Double w2 = omegaSquared(e);
    const Double q = rt::add(rt::mul(rt::mul(square(e.r), w2), square(e.c)), 1.0);
    rt::fpCheck();
    const Double z = rt::div(e.r, rt::rtcSqr(q));
    rt::fpCheck();
    return {z, std::nullopt};
}

// Parallel R, L: Z = (((R × 6.28) × F) × L) / √(R² + (L² × ω²)).
Impedance parallelRL(const Elements& e)
{
    const Double w2 = omegaSquared(e);
    const Double q = rt::add(square(e.r), rt::mul(square(e.l), w2));
    rt::fpCheck();
    const Double numerator = rt::mul(rt::mul(rt::mul(e.r, kTwoPi), e.f), e.l);
    const Double z = rt::div(numerator, rt::rtcSqr(q));
    rt::fpCheck();
    return {z, std::nullopt};
}

// By circuit code.
constexpr std::array<Impedance (*)(const Elements&), 5> kFormulas{
    seriesRC,   seriesReactive<inductive>, seriesReactive<inductiveLessCapacitive>, parallelRC,
    parallelRL,
};

} // namespace

Impedance impedance(Circuit circuit, const Elements& e)
{
    return kFormulas.at(static_cast<std::size_t>(circuit))(e);
}

} // namespace cepomer::calc
