// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "engine/screen_def.h"

namespace cepomer::calc {

// "расчёт реактивных сопротивлений": the inductive or the capacitive reactance
// at a frequency. The kind chosen stays fixed until the screen is unloaded.
const engine::ScreenDef& reactanceScreen();

} // namespace cepomer::calc
