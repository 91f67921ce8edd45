// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "shell/screen_def.h"

namespace cepomer::shell {

// The main menu "Цепомер": five calculators and "выход".
const ScreenDef& mainMenuScreen();

} // namespace cepomer::shell
