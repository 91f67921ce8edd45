// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "runtime/convert.h"

namespace cepomer::drive {

// Numbers are written with the decimal separator of the user's numeric
// locale: the one named by LC_ALL, else LC_NUMERIC, else LANG, by the
// locale's standard data whether or not it is installed (on Windows, the
// user's locale).
rt::NumberFormat userNumberFormat();

} // namespace cepomer::drive
