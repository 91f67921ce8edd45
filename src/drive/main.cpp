// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

// cepomer-drive: the real screens without a display, worked through standard
// input and output. See the README for the protocol.
//
// Commands run on the user-interface thread inside the ordinary event loop, so
// the windows are laid out and painted between commands as in the program; a
// reader thread only hands the lines over.
#include <iostream>
#include <string>
#include <thread>

#include <QApplication>
#include <QMetaObject>

#include "drive/driver.h"
#include "shell/appearance.h"

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
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(quietMessages);
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    cepomer::shell::applyAppearance(app);

    cepomer::drive::Driver driver(cepomer::shell::systemNumberFormat());

    std::thread reader([&app, &driver] {
        std::string line;
        while (std::getline(std::cin, line)) {
            bool more = true;
            QMetaObject::invokeMethod(
                &app,
                [&driver, &more, line] {
                    std::cout << driver.execute(line) << std::flush;
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
    return status;
}
