// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

// A loaded screen and the control-access layer: the only way click handlers
// reach the controls and windows. Every property access and window operation
// clears the floating-point flags afterwards, so an arithmetic check reports
// only what happened since the handler last touched a control.
//
// A form holds the state of its controls (each control's Text and Enabled)
// and whether it is shown; a front end only shows that state.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "engine/screen_def.h"
#include "runtime/arith.h"

namespace cepomer::engine {

class Program;

// Clears the floating-point flags when a control access or window operation
// is over, however it ends.
struct AfterAccess {
    AfterAccess() = default;
    AfterAccess(const AfterAccess&) = delete;
    AfterAccess& operator=(const AfterAccess&) = delete;
    ~AfterAccess();
};

// The most a text field holds, in UTF-16 code units, as in the desktop's
// line edits.
inline constexpr std::size_t kMaxFieldLength = 32767;

// Text as a user can put it into a field: well-formed UTF-8 (each malformed
// sequence becomes U+FFFD), at most kMaxFieldLength UTF-16 code units (a
// character cut in half at the limit becomes "?").
std::string fieldText(std::string_view text);

class Form {
  public:
    Form(Program& program, const ScreenDef& def);
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    std::string_view name() const { return def_.table->name; }
    const ScreenDef& def() const { return def_; }
    const ScreenTable& table() const { return *def_.table; }
    Program& program() { return program_; }
    bool shown() const { return shown_; }

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

    // For front ends, the driver and tests, never for click handlers.
    //
    // What a user typed or pasted into a field: its whole new text, made a
    // field's text by fieldText(). Front ends report each change as it is made.
    void enter(std::string_view field, std::string_view text);
    // The state of a control of the table, without touching the flags.
    const std::string& textOf(const Control& control) const;
    bool enabledOf(const Control& control) const;
    // The control of that name, or nullptr.
    const Control* control(std::string_view name) const;

  private:
    friend class Program;
    std::size_t require(std::string_view control, bool field) const;

    struct State {
        std::string text; // a field's Text; the caption of labels and buttons
        bool enabled;
    };
    Program& program_;
    const ScreenDef& def_;
    std::vector<State> states_; // in table order
    bool shown_ = false;
};

} // namespace cepomer::engine
