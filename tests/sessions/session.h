// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

// A user session on the real program, in-process: clicks, typing, pasting,
// keys and close boxes, each refused as a user would find it impossible
// (a hidden screen, a disabled control). Used by the randomised session tests
// and by the session fuzzer.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include <QString>

#include "desktop/desktop.h"
#include "desktop/screen_window.h"
#include "engine/program.h"

#include <iosfwd>

// For test failures: a text as a quoted literal (see describe()).
void PrintTo(const QString& text, std::ostream* out);

namespace cepomer::test {

enum class ActionKind {
    Click, // a mouse click on a push button
    Type,  // select all and type over it (or, with append, type at the end)
    Paste, // the clipboard pasted over the whole text (or, with append, at the end)
    Keys,  // key presses, one per character, at the end of the field
    Key,   // one key on whatever control of the screen has the focus
    Close, // the title-bar close box
};

struct Action {
    ActionKind kind = ActionKind::Click;
    std::string screen;
    std::string control; // Click, Type, Paste, Keys
    QString text;        // Type, Paste, Keys
    bool append = false; // Type, Paste
    int key = 0;         // Key: a Qt::Key
    int modifiers = 0;   // Key: Qt::KeyboardModifiers
};

// A text as a quoted literal: printable characters as they are, controls and
// surrogates as \uXXXX; very long texts shortened, with their length.
std::string quoted(const QString& text);

// One line a user can read: "click frmX.cmdXc", "type frmX.txtF \"50\"", ...
std::string describe(const Action& action);

struct Outcome {
    bool applied = false;  // false: refused, nothing happened
    std::string pressed;   // the button whose click ran, if any (also by a key)
    std::string typedInto; // the field whose text the action may change, if any
};

// Records run-time errors instead of showing them.
class ErrorLog : public engine::ErrorReporter {
  public:
    void report(engine::Form& where, const rt::RuntimeError& error) override;
    std::vector<int> numbers;
    std::vector<std::string> screens;
};

class Session {
  public:
    explicit Session(rt::NumberFormat format = {"."});
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    Outcome apply(const Action& action);

    engine::Program& program() { return *program_; }
    const engine::Program& program() const { return *program_; }
    bool ended() const { return program_->ended(); }
    const ErrorLog& errors() const { return errors_; }
    // The one shown screen's name, or empty (none or several).
    std::string shownScreen() const;
    // The window of a loaded screen.
    desktop::ScreenWindow& window(const engine::Form& form) const
    {
        return *desktop_->window(form);
    }

  private:
    ErrorLog errors_;
    std::unique_ptr<engine::Program> program_;
    std::unique_ptr<desktop::Desktop> desktop_;
};

// Lets windows deleted later go, as the event loop would.
void settleEvents();

} // namespace cepomer::test
