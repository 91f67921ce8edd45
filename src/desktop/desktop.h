// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The desktop front end: a window for every loaded screen, showing the
// engine's state, and passing on what the user does.
#pragma once

#include <map>

#include "desktop/error_report.h"
#include "engine/program.h"

namespace cepomer::desktop {

class ScreenWindow;

class Desktop : public engine::View {
  public:
    // Becomes the program's view; set it up before the program starts.
    explicit Desktop(engine::Program& program);
    ~Desktop() override;
    Desktop(const Desktop&) = delete;
    Desktop& operator=(const Desktop&) = delete;

    // The window of a loaded screen, or nullptr.
    ScreenWindow* window(const engine::Form& form) const;

    void loaded(engine::Form& form) override;
    void shown(engine::Form& form) override;
    void hidden(engine::Form& form) override;
    void unloaded(engine::Form& form) override;
    void textSet(engine::Form& form, const engine::Control& field) override;
    void entered(engine::Form& form, const engine::Control& field) override;
    void enabledSet(engine::Form& form, const engine::Control& control) override;

  private:
    engine::Program& program_;
    std::map<const engine::Form*, ScreenWindow*> windows_; // owned by Qt
    bool applying_ = false;                                // a handler's change is being shown
};

// The program on the desktop: its screens, a window for each, and a message
// box for every run-time error.
struct DesktopProgram {
    explicit DesktopProgram(rt::NumberFormat format);

    MessageBoxReporter reporter{desktop};
    engine::Program program;
    Desktop desktop{program};
};

} // namespace cepomer::desktop
