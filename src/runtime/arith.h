// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Arithmetic of the calculators: Single storage, Double computation.
//
// Every operation records its own faults (invalid operation, division by zero,
// overflow) from its operands and its result, by IEEE 754's definitions, in the
// record of runtime/fpenv.h; the next fpCheck() reports them. Operations that
// fail at once (square root of a negative number, negative base with a
// fractional exponent, Variant division by zero) throw RuntimeError instead.
// Every floating-point operation of the calculators goes through these
// helpers: a test compiles the calculators and fails on any other.
#pragma once

namespace cepomer::rt {

using Single = float;
using Double = double;

// Round a Double to the nearest Single. Beyond the Single range the result is
// an infinity and an overflow is recorded.
Single toSingle(Double value) noexcept;

Double add(Double a, Double b) noexcept;
Double sub(Double a, Double b) noexcept;
Double mul(Double a, Double b) noexcept;
Double div(Double a, Double b) noexcept; // IEEE: x/0 is a division by zero, 0/0 invalid

// base ^ exponent. A negative base (not -0, infinities included) with a
// non-integral exponent throws error 5 at once; a zero base with a negative
// exponent is a division by zero. The square of a Single and the cube of a
// Single come out correctly rounded.
Double vbaPowerR8(Double base, Double exponent);

// Square root; a negative argument (not -0) throws error 5 at once.
Double rtcSqr(Double value);

// Variant product and quotient of Double (or Single, or integer) operands.
// The quotient throws error 11 at once for a zero divisor (0/0 included);
// otherwise both are ordinary Double steps whose faults wait for the next check.
Double vbaVarMul(Double a, Double b) noexcept;
Double vbaVarDiv(Double a, Double b);

} // namespace cepomer::rt
