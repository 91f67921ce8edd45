// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The look every window shares: the program icon, which arrives once the
// event loop runs so that it does not hold up the first window.
#include <QApplication>
#include <QIcon>

#include <gtest/gtest.h>

#include "shell/form.h"
#include "shell/screen_list.h"
#include "shell/screen_window.h"
#include "test_support.h"

namespace cepomer::shell {
namespace {

TEST(Appearance, EveryWindowGetsTheIconOnceTheEventLoopRuns)
{
    test::RecordingReporter reporter;
    Program program(programScreens(), reporter, rt::NumberFormat{"."});
    program.start();
    test::settle();
    const QList<QSize> sizes = program.form("frmCepomer")->window().windowIcon().availableSizes();
    EXPECT_TRUE(sizes.contains(QSize(16, 16))) << sizes.size();
    EXPECT_TRUE(sizes.contains(QSize(256, 256))) << sizes.size();
}

} // namespace
} // namespace cepomer::shell
