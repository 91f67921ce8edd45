// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Impedance of a two- or three-element circuit at a frequency, and for the
// series circuits the cosine, sine and tangent of its phase angle, taken as
// ratios of the sides of the impedance triangle.
#pragma once

#include <optional>

#include "runtime/arith.h"

namespace cepomer::calc {

// The circuit codes, in the order of the circuit buttons.
enum class Circuit {
    SeriesRC = 0,
    SeriesRL = 1,
    SeriesRLC = 2,
    ParallelRC = 3,
    ParallelRL = 4,
};

struct Elements {
    rt::Single f; // frequency, Hz
    rt::Single r; // resistance, Ohm
    rt::Single c; // capacitance, F
    rt::Single l; // inductance, H
};

struct Phase {
    rt::Double cos, sin, tan;
};

struct Impedance {
    rt::Double z;
    std::optional<Phase> phase; // series circuits only
};

// Every value of the circuit, computed in Double in the order of its formulas
// with the arithmetic check after the guarded steps; ω = F × 6.28. Throws
// rt::RuntimeError at the failing step (a check, or a Variant division by a
// zero Z), before anything is returned.
Impedance impedance(Circuit circuit, const Elements& e);

} // namespace cepomer::calc
