// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The look every window shares: the bundled dialog font and the style.
#pragma once

#include <QFont>

#include "runtime/convert.h"

class QApplication;

namespace cepomer::desktop {

// Loads the bundled font and makes it, with the Fusion style and small button
// padding, the application's default; sets the program's icon. The screen tables were drawn for a
// narrow 8-point dialog font; this one fits every caption in its box.
void applyAppearance(QApplication& app);

// The font of every control.
QFont dialogFont();

// Numbers are written with the decimal separator of the user's numeric locale.
rt::NumberFormat systemNumberFormat();

} // namespace cepomer::desktop
