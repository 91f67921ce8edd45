#pragma once

#include <span>

#include "shell/screen_def.h"

namespace cepomer::shell {

// The program's screens in their order; the first is the startup screen.
std::span<const ScreenDef* const> programScreens();

} // namespace cepomer::shell
