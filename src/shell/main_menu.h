#pragma once

#include "shell/screen_def.h"

namespace cepomer::shell {

// The main menu "Цепомер": five calculators and "выход".
const ScreenDef& mainMenuScreen();

} // namespace cepomer::shell
