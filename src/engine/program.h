// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The window model: the program's screens, created on demand from their tables,
// shown, hidden, unloaded and ended; and the click dispatcher, the one place
// where a run-time error is caught and reported.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "engine/screen_def.h"
#include "runtime/convert.h"
#include "runtime/errors.h"

namespace cepomer::engine {

class Form;

// Tells the user about a run-time error on the screen where it happened.
class ErrorReporter {
  public:
    virtual ~ErrorReporter() = default;
    virtual void report(Form& where, const rt::RuntimeError& error) = 0;
};

// A front end: told of every change of the program's state as it happens, so
// that it shows exactly that state.
class View {
  public:
    virtual ~View() = default;
    // A screen was loaded; it is not shown yet. Drawn as it is: as its table
    // has it, or as a restored state left it.
    virtual void loaded(Form& form) = 0;
    // Show (also of a screen already shown: it comes to the front).
    virtual void shown(Form& form) = 0;
    virtual void hidden(Form& form) = 0;
    // The screen goes; the form itself may live on until its handler returns.
    virtual void unloaded(Form& form) = 0;
    // A click handler set a field's Text, or a control's Enabled.
    virtual void textSet(Form& form, const Control& field) = 0;
    // A field's text as the user entered it (Form::enter), maybe through this
    // front end itself, maybe through another way in such as the driver.
    virtual void entered(Form& form, const Control& field) = 0;
    virtual void enabledSet(Form& form, const Control& control) = 0;
};

// What a kept state is tagged with: 16 hexadecimal digits that change with
// anything of the screen tables a state's meaning depends on (the screens and
// their order, each control's name, kind and initial Enabled), and only then.
std::string tablesFingerprint(std::span<const ScreenDef* const> screens);

class Program {
  public:
    // `screens` in the program's order; the first one is the startup screen.
    Program(std::span<const ScreenDef* const> screens, ErrorReporter& reporter,
            rt::NumberFormat format);
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // The front end, if any; set before start().
    void setView(View* view) { view_ = view; }

    // Creates and shows the startup screen.
    void start();

    // The program's whole state as text, tagged with tablesFingerprint():
    // each loaded screen, whether it is shown, and every control whose Text
    // or Enabled is not as its table has it. Click handlers keep no state but
    // their controls', so this is all the next click depends on. A few
    // hundred bytes in use; at most the fields' own limit.
    std::string save() const;
    // Instead of start(): loads the screens as a state save() wrote left
    // them, and shows its window. False, with nothing changed, for a text
    // that is not exactly such a state of these tables (damaged, kept by
    // other tables, or one the program could not have reached): then
    // start() as usual. Never throws but for want of memory.
    bool restore(std::string_view state);

    // Window operations by screen name (Show creates the screen when needed).
    void show(std::string_view screen);
    void hide(std::string_view screen);
    void unload(std::string_view screen);
    // Ends the program at once: every window goes, no further handler runs.
    // Does not return to the handler that called it.
    [[noreturn]] void end();

    bool ended() const { return ended_; }
    std::span<const ScreenDef* const> screens() const { return screens_; }
    // The loaded screen of that name, or nullptr.
    Form* form(std::string_view screen) const;
    const rt::NumberFormat& numberFormat() const
    {
        if (formatSource_) {
            format_ = formatSource_();
            formatSource_ = nullptr;
        }
        return format_;
    }
    // For a front end that learns the user's number format at a cost: asked
    // for it once, when the program first writes a number.
    void setNumberFormatSource(std::function<rt::NumberFormat()> source)
    {
        formatSource_ = std::move(source);
    }

    // The click dispatcher: runs the button's handler; a run-time error stops
    // the handler and is reported, and the program goes on.
    void click(Form& form, std::string_view button);
    // The title-bar close box of a screen.
    void closeBox(Form& form);

    // Called once when the program has ended (a front end quits then).
    std::function<void()> onEnded;

  private:
    friend class Form;
    View* view() const { return view_; }
    const ScreenDef* find(std::string_view screen) const;
    void finish();
    static void writeState(std::string& out, const Form& form);

    std::span<const ScreenDef* const> screens_;
    std::string tables_; // tablesFingerprint(screens_)
    ErrorReporter& reporter_;
    mutable rt::NumberFormat format_;
    mutable std::function<rt::NumberFormat()> formatSource_;
    View* view_ = nullptr;
    std::map<std::string, std::unique_ptr<Form>, std::less<>> forms_;
    std::vector<std::unique_ptr<Form>> unloaded_; // kept until the handler has returned
    int running_ = 0;                             // handlers on the stack
    bool ended_ = false;
};

} // namespace cepomer::engine
