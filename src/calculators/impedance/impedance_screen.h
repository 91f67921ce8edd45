// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "engine/screen_def.h"

namespace cepomer::calc {

// "полное сопротивление цепи": the impedance of one of five circuits and, for
// the series ones, the cosine, sine and tangent of the phase angle. The circuit
// chosen stays fixed until the screen is unloaded. The only resizable screen.
const engine::ScreenDef& impedanceScreen();

} // namespace cepomer::calc
