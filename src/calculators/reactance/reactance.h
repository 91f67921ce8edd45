// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Reactances at a frequency: XL = 6.28 · F · L and XC = 1 / (6.28 · F · C).
#pragma once

#include "runtime/arith.h"

namespace cepomer::calc {

// The textbook factor from frequency to angular frequency, used as it is and
// not as 2π.
inline constexpr rt::Double kTwoPi = 6.28;

// (F × 6.28) × X, left to right, in Double: the angular frequency times an
// inductance, a capacitance or a resistance. No check of its own.
rt::Double omegaTimes(rt::Single f, rt::Single x);

// XC = 1 / ((F × 6.28) × C), followed by the arithmetic check.
rt::Double capacitiveReactance(rt::Single f, rt::Single c);

// XL = (F × 6.28) × L, followed by the arithmetic check.
rt::Double inductiveReactance(rt::Single f, rt::Single l);

} // namespace cepomer::calc
