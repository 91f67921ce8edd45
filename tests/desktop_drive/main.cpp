// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

// cepomer-desktop-drive: the driver's protocol with the desktop front end
// showing every screen, on whatever platform Qt is given (offscreen unless
// told). For the tests that need real windows driven by a script, such as the
// run on a Wayland compositor; not installed.
//
// Commands run on the user-interface thread inside the ordinary event loop, so
// the windows are laid out and painted between commands as in the program; a
// reader thread only hands the lines over.
#include <iostream>
#include <memory>
#include <string>
#include <thread>

#include <QApplication>
#include <QMetaObject>

#include "desktop/appearance.h"
#include "desktop/command_line.h"
#include "desktop/desktop.h"
#include "desktop/platform.h"
#include "drive/driver.h"

namespace {

// Qt's platform chatter ("This plugin does not support raise()") is no answer
// of ours; only real failures reach standard error.
void quietMessages(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::cerr << message.toStdString() << '\n';
}

} // namespace

int main(int argc, char* argv[])
{
    cepomer::desktop::CommandLine commandLine(
        argc, argv, "cepomer-desktop-drive",
        "Works the screens of cepomer on the desktop front end, one command a line on standard "
        "input.");
    if (const auto status = commandLine.exitStatus())
        return *status;

    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(quietMessages);
    QApplication app(commandLine.argc(), commandLine.argv());
    QApplication::setQuitOnLastWindowClosed(false);
    cepomer::desktop::applyAppearance(app);

    std::unique_ptr<cepomer::desktop::Desktop> desktop;
    cepomer::drive::Driver driver(
        cepomer::desktop::systemNumberFormat(), [&desktop](cepomer::engine::Program& program) {
            desktop = std::make_unique<cepomer::desktop::Desktop>(program);
        });

    std::thread reader([&app, &driver] {
        std::string line;
        while (std::getline(std::cin, line)) {
            bool more = true;
            QMetaObject::invokeMethod(
                &app,
                [&driver, &more, line] {
                    std::cout << driver.execute(line) << std::flush;
                    // Windows unloaded by a handler go now, as in the event loop.
                    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
                    more = !driver.ended();
                    if (!more)
                        QCoreApplication::exit(0);
                },
                Qt::BlockingQueuedConnection);
            if (!more)
                return;
        }
        QMetaObject::invokeMethod(
            &app, [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);
    });
    const int status = QApplication::exec();
    reader.join();
    desktop.reset();
    return cepomer::desktop::leaveEventLoop(status);
}
