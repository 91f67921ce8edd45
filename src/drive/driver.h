// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The headless driver: works the program's engine as a user would work its
// screens, one command a line, and answers each command with lines ending in
// one final line.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "engine/program.h"
#include "engine/screen_table.h"

namespace cepomer::drive {

class Driver : public engine::ErrorReporter {
  public:
    // `beforeStart` may give the program a front end that shows what the
    // driver does. The program starts afresh, or from `state` (what state()
    // said of another driver's) where it is one.
    explicit Driver(rt::NumberFormat format,
                    const std::function<void(engine::Program&)>& beforeStart = {},
                    std::string_view state = {});

    // Runs one command line and returns its whole answer, each line ending in
    // '\n'. Blank lines and comments give an empty answer.
    std::string execute(std::string_view line);
    bool ended() const { return program_.ended(); }
    std::string state() const { return program_.save(); }

    void report(engine::Form& where, const rt::RuntimeError& error) override;

  private:
    std::string click(std::string_view target);
    std::string type(std::string_view target, std::string_view text);
    std::string close(std::string_view screen);
    std::string dump(std::string_view screen);
    std::string screens();
    std::string outcome(); // after a click or close box: ok, error or ended
    std::variant<engine::Form*, std::string> shownScreen(std::string_view screen) const;
    using Target = std::pair<engine::Form*, const engine::Control*>;
    std::variant<Target, std::string> usableControl(std::string_view target,
                                                    engine::Kind kind) const;

    engine::Program program_;
    std::optional<rt::RuntimeError> error_;
};

// A JSON string literal of UTF-8 text.
std::string jsonString(std::string_view text);

} // namespace cepomer::drive
