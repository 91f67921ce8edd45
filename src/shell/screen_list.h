// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <span>

#include "shell/screen_def.h"

namespace cepomer::shell {

// The program's screens in their order; the first is the startup screen.
std::span<const ScreenDef* const> programScreens();

} // namespace cepomer::shell
