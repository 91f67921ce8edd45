// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The headless driver: works the program's engine as a user would work its
// screens, one command a line, and answers each command with lines ending in
// one final line.
#pragma once

#include <functional>
#include <memory>
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
    // driver does; it is given each program the driver starts (a command
    // "restore" starts another).
    explicit Driver(rt::NumberFormat format,
                    std::function<void(engine::Program&)> beforeStart = {});

    // Runs one command line and returns its whole answer, each line ending in
    // '\n'. Blank lines and comments give an empty answer.
    std::string execute(std::string_view line);
    bool ended() const { return program_->ended(); }

    void report(engine::Form& where, const rt::RuntimeError& error) override;

  private:
    std::string click(std::string_view target);
    std::string type(std::string_view target, std::string_view text);
    std::string close(std::string_view screen);
    std::string dump(std::string_view screen);
    std::string screens();
    std::string save();
    std::string restore();
    std::unique_ptr<engine::Program> newProgram();
    std::string outcome(); // after a click or close box: ok, error or ended
    std::variant<engine::Form*, std::string> shownScreen(std::string_view screen) const;
    using Target = std::pair<engine::Form*, const engine::Control*>;
    std::variant<Target, std::string> usableControl(std::string_view target,
                                                    engine::Kind kind) const;

    rt::NumberFormat format_;
    std::function<void(engine::Program&)> beforeStart_;
    std::unique_ptr<engine::Program> program_;
    std::optional<rt::RuntimeError> error_;
    std::optional<std::string> saved_; // what "save" answered last
};

// A JSON string literal of UTF-8 text.
std::string jsonString(std::string_view text);

} // namespace cepomer::drive
