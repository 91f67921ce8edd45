// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "calculators/reactance/reactance.h"

#include "runtime/fpenv.h"

namespace cepomer::calc {

rt::Double omegaTimes(rt::Single f, rt::Single x)
{
    return rt::mul(rt::mul(f, kTwoPi), x);
}

rt::Double capacitiveReactance(rt::Single f, rt::Single c)
{
    const rt::Double xc = rt::div(1.0, omegaTimes(f, c));
    rt::fpCheck();
    return xc;
}

rt::Double inductiveReactance(rt::Single f, rt::Single l)
{
    const rt::Double xl = omegaTimes(f, l);
    rt::fpCheck();
    return xl;
}

} // namespace cepomer::calc
