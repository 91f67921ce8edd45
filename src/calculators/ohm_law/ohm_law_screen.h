// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "engine/screen_def.h"

namespace cepomer::calc {

// "расчёт I,U,R,P": one of I, U, R, P from a known pair of the other three. The
// choice lives in the Enabled flags of the quantity and pair buttons; the return
// button unloads the screen, so every visit starts afresh.
const engine::ScreenDef& ohmLawScreen();

} // namespace cepomer::calc
