#pragma once

#include "shell/screen_def.h"

namespace cepomer::calc {

const shell::ScreenDef& fusingCurrentScreen();

} // namespace cepomer::calc
