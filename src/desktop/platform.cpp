// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "desktop/platform.h"

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string_view>

#include <QApplication>
#include <QString>

namespace cepomer::desktop {
namespace {

bool onWayland()
{
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

} // namespace

namespace {

// Qt's messages while the application object is made: a platform that cannot
// start is a fatal one, after warnings that say why.
QString startMessages;
const char* programName = "";

void whileStarting(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (!startMessages.isEmpty())
        startMessages += QLatin1Char('\n');
    startMessages += message;
    if (type != QtFatalMsg)
        return;
    // The first line names the cause ("could not connect to display :9"); the
    // fatal one only advises reinstalling.
    const QString cause = startMessages.section(QLatin1Char('\n'), 0, 0);
    std::fprintf(stderr, "%s: cannot open the display (%s); start it in a graphical session\n",
                 programName, cause.toLocal8Bit().constData());
    std::_Exit(1);
}

#if !defined(_WIN32) && !defined(__APPLE__)
bool isSet(const char* variable)
{
    const char* value = std::getenv(variable);
    return value && *value;
}
#endif

} // namespace

std::unique_ptr<QApplication> openDisplay(const char* program, int& argc, char** argv)
{
#if !defined(_WIN32) && !defined(__APPLE__)
    // Qt would connect to an X server or a Wayland compositor: say at once
    // when nothing names one.
    bool named = isSet("DISPLAY") || isSet("WAYLAND_DISPLAY") || isSet("QT_QPA_PLATFORM");
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        named = named || arg == "-platform" || arg == "-display" || arg == "--platform" ||
                arg == "--display";
    }
    if (!named) {
        std::fprintf(stderr,
                     "%s: no display to show its windows on (neither DISPLAY nor "
                     "WAYLAND_DISPLAY is set); start it in a graphical session\n",
                     program);
        std::exit(1);
    }
#endif
    programName = program;
    const QtMessageHandler previous = qInstallMessageHandler(whileStarting);
    auto app = std::make_unique<QApplication>(argc, argv);
    qInstallMessageHandler(previous);
    // What Qt said on the way, when it did start, is said as it would have been.
    if (!startMessages.isEmpty())
        std::fprintf(stderr, "%s\n", startMessages.toLocal8Bit().constData());
    startMessages.clear();
    return app;
}

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

} // namespace cepomer::desktop
