// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

// cepomer-drive: the real screens without a display, worked through standard
// input and output. See the README and cepomer-drive(1) for the protocol.
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
#include "shell/command_line.h"
#include "shell/platform.h"

#ifdef _WIN32
#include <windows.h>

#include <fcntl.h>
#include <io.h>
#endif

namespace {

// Qt's platform chatter ("This plugin does not support raise()") is no answer
// of ours; only real failures reach standard error.
void quietMessages(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::cerr << message.toStdString() << '\n';
}

#ifdef _WIN32
// Bytes in and out as on Linux: no CR added to the answers' line ends, and
// commands typed at a console come as UTF-8 whatever its code page, which is
// given back at the end. The driver itself drops the CR of a CR LF line end,
// on every platform.
class Utf8BinaryStreams {
  public:
    Utf8BinaryStreams() : input_(GetConsoleCP()), output_(GetConsoleOutputCP())
    {
        _setmode(_fileno(stdin), _O_BINARY);
        _setmode(_fileno(stdout), _O_BINARY);
        SetConsoleCP(CP_UTF8);
        SetConsoleOutputCP(CP_UTF8);
    }
    ~Utf8BinaryStreams()
    {
        if (input_ != 0)
            SetConsoleCP(input_);
        if (output_ != 0)
            SetConsoleOutputCP(output_);
    }
    Utf8BinaryStreams(const Utf8BinaryStreams&) = delete;
    Utf8BinaryStreams& operator=(const Utf8BinaryStreams&) = delete;

  private:
    UINT input_, output_; // 0 without a console
};
#endif

} // namespace

int main(int argc, char* argv[])
{
#ifdef _WIN32
    const Utf8BinaryStreams streams;
#endif
    cepomer::shell::CommandLine commandLine(
        argc, argv, "cepomer-drive",
        "Works the screens of cepomer without a display, one command a line on standard input.");
    if (const auto status = commandLine.exitStatus())
        return *status;

    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(quietMessages);
    QApplication app(commandLine.argc(), commandLine.argv());
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
    return cepomer::shell::leaveEventLoop(status);
}
