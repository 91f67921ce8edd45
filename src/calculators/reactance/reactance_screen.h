#pragma once

#include "shell/screen_def.h"

namespace cepomer::calc {

const shell::ScreenDef& reactanceScreen();

} // namespace cepomer::calc
