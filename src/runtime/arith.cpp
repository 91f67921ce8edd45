// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "runtime/arith.h"

#include <cmath>

#include "runtime/errors.h"
#include "runtime/fpenv.h"

namespace cepomer::rt {

namespace {

// Records the faults of a step that made `result` of `a` and `b`, by IEEE 754's
// definitions under rounding to nearest:
// - overflow: the rounded result lies beyond the largest finite number, which
//   rounding to nearest makes an infinity; from an infinite operand the
//   infinity is exact and no fault;
// - invalid: a NaN from operands that are not NaN (0/0, ∞/∞, ∞ − ∞, 0 · ∞); a
//   NaN operand only passes through. No step or conversion of the program makes
//   a signalling NaN, so every NaN operand is a quiet one.
// Division by zero, the other infinity from finite operands, is told apart by
// the steps that can divide before they come here.
void recordStep(Double a, Double b, Double result) noexcept
{
    if (std::isinf(result)) {
        if (std::isfinite(a) && std::isfinite(b))
            raiseFpFlags(kFpOverflow);
    } else if (std::isnan(result) && !std::isnan(a) && !std::isnan(b)) {
        raiseFpFlags(kFpInvalid);
    }
}

} // namespace

Single toSingle(Double value) noexcept
{
    const Single result = static_cast<Single>(value);
    if (std::isinf(result) && std::isfinite(value))
        raiseFpFlags(kFpOverflow);
    return result;
}

Double add(Double a, Double b) noexcept
{
    const Double result = a + b;
    recordStep(a, b, result);
    return result;
}

Double sub(Double a, Double b) noexcept
{
    const Double result = a - b;
    recordStep(a, b, result);
    return result;
}

Double mul(Double a, Double b) noexcept
{
    const Double result = a * b;
    recordStep(a, b, result);
    return result;
}

Double div(Double a, Double b) noexcept
{
    const Double result = a / b;
    // A finite nonzero dividend over a zero of either sign: the exact infinity
    // of a division by zero. An infinity over zero stays exact, 0/0 is invalid.
    if (b == 0.0 && std::isfinite(a) && a != 0.0)
        raiseFpFlags(kFpDivisionByZero);
    else
        recordStep(a, b, result);
    return result;
}

Double vbaPowerR8(Double base, Double exponent)
{
    // Quiet comparisons throughout: a NaN operand passes through. A NaN or
    // infinite exponent is not a fractional one.
    if (std::isless(base, 0.0) && std::isfinite(exponent) && std::trunc(exponent) != exponent)
        throw RuntimeError(kInvalidCall);
    // The product of two Singles is exact in Double, so the square of a widened
    // Single is exact and its cube is rounded only once.
    if (exponent == 2.0)
        return mul(base, base);
    if (exponent == 3.0)
        return mul(mul(base, base), base);
    const Double result = std::pow(base, exponent);
    // A zero to a negative power (−∞ included) is IEEE 754's division by zero,
    // whatever flags the C library's pow leaves.
    if (base == 0.0 && std::isless(exponent, 0.0))
        raiseFpFlags(kFpDivisionByZero);
    else
        recordStep(base, exponent, result);
    return result;
}

Double rtcSqr(Double value)
{
    if (std::isless(value, 0.0))
        throw RuntimeError(kInvalidCall);
    // No fault is left: a NaN passes through, the root of +∞ is +∞ and that of
    // −0 is −0, exactly.
    return std::sqrt(value);
}

Double vbaVarMul(Double a, Double b) noexcept
{
    return mul(a, b);
}

Double vbaVarDiv(Double a, Double b)
{
    if (b == 0.0)
        throw RuntimeError(kDivisionByZero);
    return div(a, b);
}

} // namespace cepomer::rt
