// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The web page: every loaded screen as a window in the document, built from
// its screen table, showing the engine's state and passing on what the user
// does. The page never computes.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "engine/program.h"

namespace cepomer::web {

class Page : public engine::View, public engine::ErrorReporter {
  public:
    Page();
    ~Page() override;
    Page(const Page&) = delete;
    Page& operator=(const Page&) = delete;

    // Starts the program on its main menu or, with `resume`, as this tab
    // last saved it, where it saved a state.
    void start(bool resume = false);

    // What the user does, as the document reports it. An empty control is
    // the window's close box.
    void click(const std::string& screen, const std::string& control);
    void input(const std::string& screen, const std::string& field, const std::string& text);
    void pageButton(const std::string& id);
    void back();
    void errorClosed();

    void loaded(engine::Form& form) override;
    void shown(engine::Form& form) override;
    void hidden(engine::Form& form) override;
    void unloaded(engine::Form& form) override;
    void textSet(engine::Form& form, const engine::Control& field) override;
    void entered(engine::Form& form, const engine::Control& field) override;
    void enabledSet(engine::Form& form, const engine::Control& control) override;
    void report(engine::Form& where, const rt::RuntimeError& error) override;

  private:
    void focusFirst(const engine::Form& form, const engine::Control* after = nullptr);
    void ended();
    void settleHistory();
    // After each thing the user does: the state kept for a reload.
    void save();

    std::unique_ptr<engine::Program> program_;
    // The browser's number format, asked for when the program first writes
    // a number: the answer costs tens of milliseconds, which neither the
    // start-up nor a click that writes none should wait for.
    std::optional<rt::NumberFormat> format_;
    double scale_ = 1;
    bool popExpected_ = false; // the page itself went back in history
};

} // namespace cepomer::web
