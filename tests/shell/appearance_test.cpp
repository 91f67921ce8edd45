// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The look every window shares: the program icon, which arrives once the
// event loop runs so that it does not hold up the first window.
#include <QApplication>
#include <QIcon>

#include <gtest/gtest.h>

#include "desktop/desktop.h"
#include "desktop/screen_window.h"
#include "engine/form.h"
#include "screens/screen_list.h"
#include "test_support.h"

namespace cepomer::engine {
namespace {

TEST(Appearance, EveryWindowGetsTheIconOnceTheEventLoopRuns)
{
    test::RecordingReporter reporter;
    Program program(screens::programScreens(), reporter, rt::NumberFormat{"."});
    desktop::Desktop desktop(program);
    program.start();
    test::settle();
    const QList<QSize> sizes =
        desktop.window(*program.form("frmCepomer"))->windowIcon().availableSizes();
    EXPECT_TRUE(sizes.contains(QSize(16, 16))) << sizes.size();
    EXPECT_TRUE(sizes.contains(QSize(256, 256))) << sizes.size();
}

} // namespace
} // namespace cepomer::engine
