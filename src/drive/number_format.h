// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <string>
#include <string_view>

#include "runtime/convert.h"

namespace cepomer::drive {

// The decimal separator of a locale named as POSIX names them
// ("ru_RU.UTF-8", "de_CH", "C"), by the standard locale data.
std::string decimalSeparator(std::string_view locale);

// Numbers are written with the decimal separator of the user's numeric
// locale: the one named by LC_ALL, else LC_NUMERIC, else LANG, by the
// locale's standard data whether or not it is installed (on Windows, the
// user's locale; under Node, the environment's through the same table).
rt::NumberFormat userNumberFormat();

// A variable of the process's environment ("" when unset); under Node,
// Node's.
std::string environmentVariable(const char* name);

} // namespace cepomer::drive
