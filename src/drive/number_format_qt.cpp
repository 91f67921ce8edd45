// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The native programs' locale data: Qt's own copy of the Unicode locale data.
#include <QLocale>

#include "drive/number_format.h"

namespace cepomer::drive {

rt::NumberFormat userNumberFormat()
{
    return rt::NumberFormat{QLocale::system().decimalPoint().toStdString()};
}

} // namespace cepomer::drive
