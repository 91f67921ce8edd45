// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Fusing current of a wire from its diameter, and the diameter that fuses at a
// given current, for copper, brass, iron and aluminium.
//
// Diameters in mm, currents in A. Thin wires (0.002 to 0.2 mm) follow
// d = a·I + 0.005; thick wires (from 0.2 mm) I = b·√(d³), with the textbook
// inverse d = c·I^0.666, which does not invert the forward law exactly.
#pragma once

#include <array>

#include "runtime/arith.h"

namespace cepomer::calc {

enum class Material { Copper, Brass, Iron, Aluminium };

// The coefficients of one calculation; a material without a coefficient of a
// kind leaves it at whatever it was, 0 to begin with.
struct Coefficients {
    rt::Single a = 0; // thin range, mm per A
    rt::Single b = 0; // thick range, A per mm^1.5
    rt::Single c = 0; // thick-range inverse, mm per A^0.666
};

// One test of the coefficient table: when the material's button is enabled,
// the coefficient takes the value.
struct MaterialTest {
    Material material;
    rt::Single Coefficients::*coefficient;
    rt::Single value;
};

// The tests in the order they run; a later one overwrites an earlier one, so
// iron's coefficients win whenever its button is still enabled.
inline constexpr std::array<MaterialTest, 9> kMaterialTests{{
    {Material::Copper, &Coefficients::a, 0.034f},
    {Material::Brass, &Coefficients::a, 0.05f},
    {Material::Iron, &Coefficients::a, 0.127f},
    {Material::Copper, &Coefficients::b, 80.0f},
    {Material::Aluminium, &Coefficients::b, 59.2f},
    {Material::Iron, &Coefficients::b, 24.6f},
    {Material::Copper, &Coefficients::c, 0.0538f},
    {Material::Aluminium, &Coefficients::c, 0.0658f},
    {Material::Iron, &Coefficients::c, 0.118f},
}};

// Runs the tests in order; `enabled(material)` is asked afresh for each test.
template <class IsEnabled> Coefficients materialCoefficients(IsEnabled&& enabled)
{
    Coefficients k;
    for (const MaterialTest& test : kMaterialTests)
        if (enabled(test.material))
            k.*test.coefficient = test.value;
    return k;
}

// The four laws. Each ends with the arithmetic check after the rounding to
// Single, so a result beyond the Single range is an overflow (error 6) and a
// zero coefficient in the thin-range current a division by zero (error 11).

// Thin range: I = (d − 0.005) / a.
rt::Single thinCurrent(rt::Single d, rt::Single a);
// Thin range: d = a·I + 0.005, checked after the product and after the sum.
rt::Single thinDiameter(rt::Single current, rt::Single a);
// Thick range: I = b·√(d³); a negative diameter is error 5 from the root.
rt::Single thickCurrent(rt::Single d, rt::Single b);
// Thick range: d = I^0.666·c; a negative current is error 5 from the power.
rt::Single thickDiameter(rt::Single current, rt::Single c);

} // namespace cepomer::calc
