// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "engine/screen_def.h"

namespace cepomer::screens {

// The main menu "Цепомер": five calculators and "выход".
const engine::ScreenDef& mainMenuScreen();

} // namespace cepomer::screens
