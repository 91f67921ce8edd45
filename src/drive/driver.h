// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The headless driver: works the real screens as a user would, one command a
// line, and answers each command with lines ending in one final line.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "shell/program.h"
#include "shell/screen_table.h"

class QWidget;

namespace cepomer::drive {

class Driver : public shell::ErrorReporter {
  public:
    explicit Driver(rt::NumberFormat format);

    // Runs one command line and returns its whole answer, each line ending in
    // '\n'. Blank lines and comments give an empty answer.
    std::string execute(std::string_view line);
    bool ended() const { return program_.ended(); }

    void report(shell::Form& where, const rt::RuntimeError& error) override;

  private:
    std::string click(std::string_view target);
    std::string type(std::string_view target, std::string_view text);
    std::string close(std::string_view screen);
    std::string dump(std::string_view screen);
    std::string screens();
    std::string outcome(); // after a click or close box: ok, error or ended
    std::variant<shell::Form*, std::string> shownScreen(std::string_view screen) const;
    std::variant<QWidget*, std::string> usableControl(std::string_view target,
                                                      shell::Kind kind) const;

    shell::Program program_;
    std::optional<rt::RuntimeError> error_;
};

// A JSON string literal of UTF-8 text.
std::string jsonString(std::string_view text);

} // namespace cepomer::drive
