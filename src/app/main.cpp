// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

// cepomer: the desktop program.
#include <QApplication>

#include "desktop/appearance.h"
#include "desktop/command_line.h"
#include "desktop/desktop.h"
#include "desktop/platform.h"

#ifdef _WIN32
#include <windows.h>

#include <cstdio>

namespace {

// A program of the Windows GUI subsystem has no console of its own: the
// answers to the options go to the console it was started from, unless they
// are redirected.
void useParentConsole()
{
    const bool out = GetStdHandle(STD_OUTPUT_HANDLE) != nullptr;
    const bool err = GetStdHandle(STD_ERROR_HANDLE) != nullptr;
    if ((out && err) || !AttachConsole(ATTACH_PARENT_PROCESS))
        return;
    if (!out)
        std::freopen("CONOUT$", "w", stdout);
    if (!err)
        std::freopen("CONOUT$", "w", stderr);
}

} // namespace
#endif

int main(int argc, char* argv[])
{
#ifdef _WIN32
    if (argc > 1)
        useParentConsole();
#endif
    cepomer::desktop::CommandLine commandLine(
        argc, argv, "cepomer",
        "Calculator of textbook electrical-engineering formulas, with a Russian interface.");
    if (const auto status = commandLine.exitStatus())
        return *status;

    const auto app =
        cepomer::desktop::openDisplay("cepomer", commandLine.argc(), commandLine.argv());
    // Wayland compositors match the windows to the desktop entry, and so to its icon.
    QGuiApplication::setDesktopFileName("org.cepomer.Cepomer");
    QApplication::setQuitOnLastWindowClosed(false); // only "выход" ends the program
    cepomer::desktop::applyAppearance(*app);

    cepomer::desktop::DesktopProgram desktop(cepomer::desktop::systemNumberFormat());
    desktop.program.onEnded = [] { QCoreApplication::quit(); };
    desktop.program.start();
    return cepomer::desktop::leaveEventLoop(QApplication::exec());
}
