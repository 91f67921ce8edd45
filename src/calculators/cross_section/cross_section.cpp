// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "calculators/cross_section/cross_section.h"

#include "runtime/fpenv.h"

namespace cepomer::calc {

rt::Double crossSection(rt::Single d)
{
    constexpr rt::Double kQuarterPi = 0.7854; // the textbook factor, not π/4
    const rt::Double square = rt::vbaPowerR8(d, 2.0);
    const rt::Double s = rt::mul(square, kQuarterPi);
    rt::fpCheck();
    return s;
}

} // namespace cepomer::calc
