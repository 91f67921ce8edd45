#pragma once

#include "shell/screen_def.h"

namespace cepomer::calc {

// "расчёт реактивных сопротивлений": the inductive or the capacitive reactance
// at a frequency. The kind chosen stays fixed until the screen is unloaded.
const shell::ScreenDef& reactanceScreen();

} // namespace cepomer::calc
