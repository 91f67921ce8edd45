// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "shell/platform.h"

#include <cstdio>
#include <cstdlib>
#include <iostream>

#include <QGuiApplication>

namespace cepomer::shell {
namespace {

bool onWayland()
{
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

} // namespace

bool platformPlacesWindows()
{
    return onWayland();
}

int leaveEventLoop(int status)
{
    if (onWayland()) {
        std::cout.flush();
        std::fflush(nullptr);
        std::_Exit(status);
    }
    return status;
}

} // namespace cepomer::shell
