// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

// cepomer: the desktop program.
#include <QApplication>

#include "shell/appearance.h"
#include "shell/error_report.h"
#include "shell/program.h"
#include "shell/screen_list.h"

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName("cepomer");
    QApplication::setQuitOnLastWindowClosed(false); // only "выход" ends the program
    cepomer::shell::applyAppearance(app);

    cepomer::shell::MessageBoxReporter reporter;
    cepomer::shell::Program program(cepomer::shell::programScreens(), reporter,
                                    cepomer::shell::systemNumberFormat());
    program.onEnded = [] { QCoreApplication::quit(); };
    program.start();
    return QApplication::exec();
}
