// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "runtime/arith.h"

#include <cfenv>
#include <cmath>

#include "runtime/errors.h"
#include "runtime/fpenv.h"

namespace cepomer::rt {

namespace {

// Pins both operands before the operation and its result after it.
template <class Op> Double fenced(Double a, Double b, Op op)
{
    fpFence(a);
    fpFence(b);
    Double result = op(a, b);
    fpFence(result);
    return result;
}

} // namespace

Single toSingle(Double value) noexcept
{
    fpFence(value);
    Single result = static_cast<Single>(value);
    fpFence(result);
    return result;
}

Double add(Double a, Double b) noexcept
{
    return fenced(a, b, [](Double x, Double y) { return x + y; });
}

Double sub(Double a, Double b) noexcept
{
    return fenced(a, b, [](Double x, Double y) { return x - y; });
}

Double mul(Double a, Double b) noexcept
{
    return fenced(a, b, [](Double x, Double y) { return x * y; });
}

Double div(Double a, Double b) noexcept
{
    return fenced(a, b, [](Double x, Double y) { return x / y; });
}

Double vbaPowerR8(Double base, Double exponent)
{
    return fenced(base, exponent, [](Double x, Double y) {
        // Quiet comparisons: a NaN operand passes through without raising the
        // invalid flag. A NaN or infinite exponent is not a fractional one.
        if (std::isless(x, 0.0) && std::isfinite(y) && std::trunc(y) != y)
            throw RuntimeError(kInvalidCall);
        // The product of two Singles is exact in Double, so the square of a
        // widened Single is exact and its cube is rounded only once.
        if (y == 2.0)
            return x * x;
        if (y == 3.0)
            return (x * x) * x;
        const Double result = std::pow(x, y);
        // A zero to a negative power divides by zero. Not every C library
        // raises the flag for it (MinGW-w64's returns the infinity quietly),
        // so it is raised here, the same on every platform.
        if (x == 0.0 && y < 0.0)
            std::feraiseexcept(FE_DIVBYZERO);
        return result;
    });
}

Double rtcSqr(Double value)
{
    fpFence(value);
    if (std::isless(value, 0.0))
        throw RuntimeError(kInvalidCall);
    Double result = std::sqrt(value);
    fpFence(result);
    return result;
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
