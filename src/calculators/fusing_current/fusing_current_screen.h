// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "engine/screen_def.h"

namespace cepomer::calc {

// "токи плавления проводов": the fusing-current screen. Its choices live only in
// the enabled flags of its buttons; "главное меню" unloads it, so every visit
// starts afresh.
const engine::ScreenDef& fusingCurrentScreen();

} // namespace cepomer::calc
