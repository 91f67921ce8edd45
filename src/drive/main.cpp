// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

// cepomer-drive: the program's engine without a display, worked through
// standard input and output. See the README and cepomer-drive(1) for the
// protocol.
#include <iostream>
#include <string>
#include <string_view>

#include "cepomer/version.h"
#include "drive/driver.h"
#include "drive/number_format.h"

#ifdef _WIN32
#include <windows.h>

#include <fcntl.h>
#include <io.h>
#endif

namespace {

constexpr std::string_view kName = "cepomer-drive";

#ifdef _WIN32
// Bytes in and out as on Linux: no CR added to the answers' line ends, and
// commands typed at a console come as UTF-8 whatever its code page, which is
// given back at the end. The driver itself drops the CR of a CR LF line end,
// on every platform.
class Utf8BinaryStreams {
  public:
    Utf8BinaryStreams() : input_(GetConsoleCP()), output_(GetConsoleOutputCP())
    {
        _setmode(_fileno(stdin), _O_BINARY);
        _setmode(_fileno(stdout), _O_BINARY);
        SetConsoleCP(CP_UTF8);
        SetConsoleOutputCP(CP_UTF8);
    }
    ~Utf8BinaryStreams()
    {
        if (input_ != 0)
            SetConsoleCP(input_);
        if (output_ != 0)
            SetConsoleOutputCP(output_);
    }
    Utf8BinaryStreams(const Utf8BinaryStreams&) = delete;
    Utf8BinaryStreams& operator=(const Utf8BinaryStreams&) = delete;

  private:
    UINT input_, output_; // 0 without a console
};
#endif

int badUsage(const std::string& error)
{
    std::cerr << kName << ": " << error << "\nTry '" << kName << " --help'.\n";
    return 2;
}

// The command line: --help and --version, nothing else. The status to end
// with at once, or -1 to go on.
int readOptions(int argc, char* argv[])
{
    bool help = false;
    bool version = false;
    bool options = true;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (!options || arg.size() < 2 || arg.front() != '-') {
            return badUsage("Unexpected argument '" + std::string(arg) + "'.");
        } else if (arg == "--") {
            options = false;
        } else if (arg == "-h" || arg == "--help" || arg == "-help") {
            help = true;
        } else if (arg == "-v" || arg == "--version" || arg == "-version") {
            version = true;
        } else {
            const std::string_view name = arg.substr(arg.starts_with("--") ? 2 : 1);
            const auto equals = name.find('=');
            const std::string_view bare = name.substr(0, equals);
            if (equals != std::string_view::npos &&
                (bare == "help" || bare == "version" || bare == "h" || bare == "v"))
                return badUsage("Unexpected value after '" +
                                std::string(arg.substr(0, arg.size() - name.size() + equals)) +
                                "'.");
            return badUsage("Unknown option '" + std::string(name) + "'.");
        }
    }
    if (help) {
        std::cout << "Usage: " << kName << " [options]\n"
                  << "Works the screens of cepomer without a display, one command a line on "
                     "standard input.\n\n"
                  << "Options:\n"
                  << "  -h, --help     Displays this help.\n"
                  << "  -v, --version  Displays version information.\n\n"
                  << "See " << kName << "(1).\n";
        return 0;
    }
    if (version) {
        std::cout << kName << " " << cepomer::kVersion << "\n";
        return 0;
    }
    return -1;
}

} // namespace

int main(int argc, char* argv[])
{
#ifdef _WIN32
    const Utf8BinaryStreams streams;
#endif
    if (const int status = readOptions(argc, argv); status >= 0)
        return status;

    cepomer::drive::Driver driver(cepomer::drive::userNumberFormat());
    std::string line;
    while (!driver.ended() && std::getline(std::cin, line))
        std::cout << driver.execute(line) << std::flush;
    return 0;
}
