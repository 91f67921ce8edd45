// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Run by the build: prints the startup screen's window as the page shows it
// once the program has started, its first control focused, for the built
// page to hold. The main menu is then there as soon as the page is read,
// before the module has arrived. With the argument "layout", prints instead
// the style rules that place every screen's windows and controls, for the
// page's style sheet; with "tables", the fingerprint of the screen tables
// that tags the states the page keeps.
#include <cstdio>
#include <cstring>

#include "engine/program.h"
#include "screens/screen_list.h"
#include "web/markup.h"

namespace {

// A run-time error while the program starts leaves no page to build.
class Errors : public cepomer::engine::ErrorReporter {
  public:
    void report(cepomer::engine::Form&, const cepomer::rt::RuntimeError& error) override
    {
        std::fprintf(stderr, "cepomer-web-prerender: %s\n", error.what());
        failed = true;
    }
    bool failed = false;
};

} // namespace

int main(int argc, char** argv)
{
    using namespace cepomer;
    const auto screens = screens::programScreens();
    if (argc > 1) {
        const bool layout = std::strcmp(argv[1], "layout") == 0;
        if (argc > 2 || (!layout && std::strcmp(argv[1], "tables") != 0)) {
            std::fputs("usage: cepomer-web-prerender [layout | tables]\n", stderr);
            return 2;
        }
        const std::string out =
            layout ? web::layoutRules(screens) : engine::tablesFingerprint(screens) + "\n";
        std::fwrite(out.data(), 1, out.size(), stdout);
        return 0;
    }
    Errors errors;
    engine::Program program(screens, errors, rt::NumberFormat{});
    program.start();
    const engine::Form* form = program.form(screens.front()->table->name);
    if (errors.failed)
        return 1;
    if (!form || !form->shown()) {
        std::fputs("cepomer-web-prerender: the program shows no window at start\n", stderr);
        return 1;
    }
    const std::string markup =
        web::windowMarkup(*form, web::wideScale(screens), web::nextEnabled(*form));
    std::fwrite(markup.data(), 1, markup.size(), stdout);
    std::fputc('\n', stdout);
    return 0;
}
