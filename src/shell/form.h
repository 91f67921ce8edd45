// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The control-access layer: the only way click handlers reach the controls and
// windows. Every property access and window operation clears the floating-point
// flags afterwards, so an arithmetic check reports only what happened since the
// handler last touched a control.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "runtime/arith.h"
#include "shell/screen_def.h"

class QWidget;

namespace cepomer::shell {

class Program;
class ScreenWindow;

// Clears the floating-point flags when a control access or window operation
// is over, however it ends.
struct AfterAccess {
    AfterAccess() = default;
    AfterAccess(const AfterAccess&) = delete;
    AfterAccess& operator=(const AfterAccess&) = delete;
    ~AfterAccess();
};

class Form {
  public:
    Form(Program& program, const ScreenDef& def);
    ~Form();
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    std::string_view name() const { return def_.table->name; }
    const ScreenDef& def() const { return def_; }
    Program& program() { return program_; }

    // Control properties (text fields: Text and Enabled; buttons: Enabled).
    std::string text(std::string_view control) const;
    void setText(std::string_view control, std::string_view text);
    bool enabled(std::string_view control) const;
    void setEnabled(std::string_view control, bool on);

    // Text of a field read as a number and rounded to Single. The narrowing
    // comes after the access, so its overflow waits for the next check.
    rt::Single readSingle(std::string_view field);
    void writeSingle(std::string_view field, rt::Single value);
    void writeDouble(std::string_view field, rt::Double value);

    // Window operations on this screen (Show, Hide, Unload).
    void show();
    void hide();
    void unload();

    // The live window; for the program itself, the driver and tests, never for
    // click handlers.
    ScreenWindow& window() const { return *window_; }
    QWidget* control(std::string_view name) const;

  private:
    QWidget& require(std::string_view control) const;

    Program& program_;
    const ScreenDef& def_;
    ScreenWindow* window_; // owned by Qt; deleted later than this object
};

} // namespace cepomer::shell
