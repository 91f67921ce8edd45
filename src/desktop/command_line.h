// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The command line of the programs, read before the application object
// exists, so that --help, --version and a bad option are answered without a
// display and without a window. Qt's own options (-platform, -style, ...) are
// accepted and left for the application object.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace cepomer::desktop {

class CommandLine {
  public:
    // Parses the arguments of a program called `name`, described by `summary`
    // in one line in the usage, and sets the application's name and version.
    // --help and --version are answered on standard output; a bad option or
    // any argument that is not an option gets a short message on standard
    // error.
    CommandLine(int argc, char* argv[], const char* name, const char* summary);
    CommandLine(const CommandLine&) = delete;
    CommandLine& operator=(const CommandLine&) = delete;

    // Set when the program is to end at once: 0 after --help or --version, 2
    // after a bad argument.
    std::optional<int> exitStatus() const { return exitStatus_; }

    // The arguments for the application object: the program's own, except
    // that a Qt option written "-name=value" comes as "-name" "value", the
    // one form Qt reads for every option that takes a value.
    int& argc() { return argc_; }
    char** argv() { return argv_.data(); }

  private:
    std::vector<std::string> arguments_;
    std::vector<char*> argv_;
    int argc_ = 0;
    std::optional<int> exitStatus_;
};

} // namespace cepomer::desktop
