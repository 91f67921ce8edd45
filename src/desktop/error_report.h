// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "engine/program.h"

namespace cepomer::desktop {

class Desktop;

// A modal message box on the screen where the error happened, titled with that
// screen's caption: "Ошибка выполнения N: TEXT". The focus goes back to the
// screen afterwards.
class MessageBoxReporter : public engine::ErrorReporter {
  public:
    explicit MessageBoxReporter(const Desktop& desktop) : desktop_(desktop) {}
    void report(engine::Form& where, const rt::RuntimeError& error) override;

  private:
    const Desktop& desktop_;
};

} // namespace cepomer::desktop
