// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <span>

#include "engine/screen_def.h"

namespace cepomer::screens {

// The program's screens in their order; the first is the startup screen.
std::span<const engine::ScreenDef* const> programScreens();

} // namespace cepomer::screens
