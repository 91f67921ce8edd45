#pragma once

#include "shell/screen_def.h"

namespace cepomer::calc {

const shell::ScreenDef& ohmLawScreen();

} // namespace cepomer::calc
