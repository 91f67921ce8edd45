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
#include <set>
#include <string>
#include <thread>

#include <QApplication>
#include <QEventLoop>
#include <QMetaObject>
#include <QStyleHints>
#include <QTimer>
#include <QWidget>
#include <QWindow>

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

// On Wayland, Qt 6.4 drops a window's pending frame callback on this thread
// when the window is hidden, while its Wayland event thread may be dropping
// the same callback as the compositor answers it; libwayland then aborts
// ("wl_proxy_unref: Assertion `proxy->refcount > 0' failed"). A person is most
// unlikely to meet that moment; a script under an emulator met it in one run
// of three. So before each command the driver waits until the compositor has
// answered the last frame of every shown window: Qt delivers a window's update
// request only once no frame callback of it is pending. Update requests asked
// for here are taken here, so they repaint nothing.
class FrameSettler : public QObject {
  public:
    void settle()
    {
        // A frame drawn after its window's answer came asks for another one:
        // wait again, a bounded number of times.
        for (int round = 0; round < 20; ++round) {
            QCoreApplication::sendPostedEvents();
            settled_.clear();
            drawnAgain_ = false;
            // Qt delivers the requests later, from the event loop below.
            for (QWindow* window : QGuiApplication::topLevelWindows()) {
                if (window->isVisible() && window->isExposed()) {
                    waiting_.insert(window);
                    window->requestUpdate();
                }
            }
            if (waiting_.empty())
                return;
            QEventLoop loop;
            loop_ = &loop;
            QTimer::singleShot(5000, &loop, &QEventLoop::quit);
            loop.exec();
            loop_ = nullptr;
            waiting_.clear();
            if (!drawnAgain_)
                return;
        }
    }

  protected:
    bool eventFilter(QObject* object, QEvent* event) override
    {
        if (event->type() == QEvent::UpdateRequest && waiting_.erase(object)) {
            settled_.insert(object);
            if (waiting_.empty() && loop_)
                loop_->quit();
            return true;
        }
        if (event->type() == QEvent::Paint && object->isWidgetType()) {
            const QWidget* top = static_cast<QWidget*>(object)->window();
            if (top->windowHandle() && settled_.count(top->windowHandle()))
                drawnAgain_ = true;
        }
        return false;
    }

  private:
    std::set<QObject*> waiting_;
    std::set<QObject*> settled_;
    bool drawnAgain_ = false;
    QEventLoop* loop_ = nullptr;
};

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
    // A compositor slowed down by an emulator answers frames late; Qt would
    // take such a window for hidden after 100 ms and draw it again on the answer.
    if (!qEnvironmentVariableIsSet("QT_WAYLAND_FRAME_CALLBACK_TIMEOUT"))
        qputenv("QT_WAYLAND_FRAME_CALLBACK_TIMEOUT", "0");
    qInstallMessageHandler(quietMessages);
    QApplication app(commandLine.argc(), commandLine.argv());
    QApplication::setQuitOnLastWindowClosed(false);
    cepomer::desktop::applyAppearance(app);
    // No blinking text cursor: nothing is drawn between commands but what
    // they change.
    QGuiApplication::styleHints()->setCursorFlashTime(0);
    FrameSettler settler;
    const bool onWayland = QGuiApplication::platformName() == QLatin1String("wayland");
    if (onWayland)
        app.installEventFilter(&settler);

    std::unique_ptr<cepomer::desktop::Desktop> desktop;
    cepomer::drive::Driver driver(
        cepomer::desktop::systemNumberFormat(), [&desktop](cepomer::engine::Program& program) {
            desktop = std::make_unique<cepomer::desktop::Desktop>(program);
        });

    std::thread reader([&app, &driver, &settler, onWayland] {
        std::string line;
        while (std::getline(std::cin, line)) {
            bool more = true;
            QMetaObject::invokeMethod(
                &app,
                [&driver, &more, &settler, onWayland, line] {
                    if (onWayland)
                        settler.settle();
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
