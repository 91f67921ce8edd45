// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "shell/error_report.h"

#include <QMessageBox>

#include "shell/form.h"
#include "shell/screen_window.h"

namespace cepomer::shell {

void MessageBoxReporter::report(Form& where, const rt::RuntimeError& error)
{
    ScreenWindow& window = where.window();
    QMessageBox box(QMessageBox::Critical, window.windowTitle(), QString::fromUtf8(error.what()),
                    QMessageBox::Ok, &window);
    box.setObjectName("runtimeError");
    box.exec();
    window.activateWindow();
}

} // namespace cepomer::shell
