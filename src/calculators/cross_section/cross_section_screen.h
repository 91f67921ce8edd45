// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "engine/screen_def.h"

namespace cepomer::calc {

// "сечение": the wire cross-section screen. Only hidden, never unloaded, so it
// keeps the diameter and the result for the whole run.
const engine::ScreenDef& crossSectionScreen();

} // namespace cepomer::calc
