// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

// What the windowing platform (Qt's platform plug-in) lets a program do, and
// where it needs the program to step around it.
#pragma once

#include <memory>

class QApplication;

namespace cepomer::desktop {

// The application object, made where a display can be opened. Where none can
// (say over SSH, with neither DISPLAY nor WAYLAND_DISPLAY set), the process
// ends with status 1 and one line on standard error that says so, instead of
// Qt's abort. `argv` as the command line hands it to Qt.
std::unique_ptr<QApplication> openDisplay(const char* program, int& argc, char** argv);

// Whether the platform places top-level windows itself. A Wayland compositor
// does, and never tells a program where they are; a position set by the
// program would only be a wrong guess.
bool platformPlacesWindows();

// The status a program ends with once its event loop has returned. On
// Wayland, Qt 6.4's client can hang for good in the application object's
// teardown (its event thread waits for a read that nothing completes), so
// there the process ends at once, its output flushed: nothing of the
// program's needs that teardown.
int leaveEventLoop(int status);

} // namespace cepomer::desktop
