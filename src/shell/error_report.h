// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "shell/program.h"

namespace cepomer::shell {

// A modal message box on the screen where the error happened, titled with that
// screen's caption: "Ошибка выполнения N: TEXT". The focus goes back to the
// screen afterwards.
class MessageBoxReporter : public ErrorReporter {
  public:
    void report(Form& where, const rt::RuntimeError& error) override;
};

} // namespace cepomer::shell
