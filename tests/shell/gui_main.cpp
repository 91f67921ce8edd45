// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Test main for everything that needs widgets: a QApplication on the offscreen
// platform with the program's appearance, and a watchdog that closes any modal
// dialog a test did not expect (and fails that test) instead of hanging.
#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include "desktop/appearance.h"
#include "test_support.h"

namespace cepomer::test {

bool expectingModal = false;

} // namespace cepomer::test

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    cepomer::desktop::applyAppearance(app);

    QTimer watchdog;
    QObject::connect(&watchdog, &QTimer::timeout, [] {
        if (QWidget* modal = QApplication::activeModalWidget();
            modal && !cepomer::test::expectingModal) {
            ADD_FAILURE() << "unexpected modal dialog: " << modal->windowTitle().toStdString();
            modal->close();
        }
    });
    watchdog.start(200);

    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
