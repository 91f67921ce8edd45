// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "desktop/error_report.h"

#include <QMessageBox>

#include "desktop/desktop.h"
#include "desktop/screen_window.h"

namespace cepomer::desktop {

void MessageBoxReporter::report(engine::Form& where, const rt::RuntimeError& error)
{
    ScreenWindow& window = *desktop_.window(where);
    QMessageBox box(QMessageBox::Critical, window.windowTitle(), QString::fromUtf8(error.what()),
                    QMessageBox::Ok, &window);
    box.setObjectName("runtimeError");
    box.exec();
    window.activateWindow();
}

} // namespace cepomer::desktop
