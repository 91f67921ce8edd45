// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Cross-section of a round wire from its diameter.
#pragma once

#include "runtime/arith.h"

namespace cepomer::calc {

// S = d² · 0.7854 in mm² for d in mm; 0.7854 stands for π/4 and is used as it
// is, not π/4 itself. Ends with the arithmetic check, which also covers the
// rounding of d to Single when nothing touched a control since.
rt::Double crossSection(rt::Single d);

} // namespace cepomer::calc
