// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Run by the build: prints the startup screen's window as the page shows it
// once the program has started, its first control focused, for the built
// page to hold. The main menu is then there as soon as the page is read,
// before the module has arrived. Each of its buttons that, as the program
// run here shows, only hides it and shows another screen as that screen's
// table has it is marked with the window it opens and the control focused
// there; those windows follow as text (a script element of type text/html,
// which the browser neither runs nor builds): the page answers a first
// click on the menu itself while the module is still on its way. With the
// argument "layout", prints instead the style rules that place every
// screen's windows and controls, for the page's style sheet; with "tables",
// the fingerprint of the screen tables that tags the states the page keeps.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "engine/program.h"
#include "screens/screen_list.h"
#include "web/markup.h"

namespace {

namespace engine = cepomer::engine;

// A run-time error while the program starts leaves no page to build.
class Errors : public engine::ErrorReporter {
  public:
    void report(engine::Form&, const cepomer::rt::RuntimeError& error) override
    {
        std::fprintf(stderr, "cepomer-web-prerender: %s\n", error.what());
        failed = true;
    }
    bool failed = false;
};

// What the program shows and hides, as the page would be told.
class Recorder : public engine::View {
  public:
    void loaded(engine::Form& form) override { seen("loaded", form); }
    void shown(engine::Form& form) override { seen("shown", form); }
    void hidden(engine::Form& form) override { seen("hidden", form); }
    void unloaded(engine::Form& form) override { seen("unloaded", form); }
    void textSet(engine::Form& form, const engine::Control&) override { seen("text", form); }
    void entered(engine::Form& form, const engine::Control&) override { seen("text", form); }
    void enabledSet(engine::Form& form, const engine::Control&) override { seen("enabled", form); }
    std::string events;

  private:
    void seen(const char* what, const engine::Form& form)
    {
        events += std::string(what) + " " + std::string(form.name()) + ";";
    }
};

// Where the startup screen's button leaves a program just started: the
// window it opens, as its table has it, or nullptr.
const engine::Form* opened(engine::Program& program, std::string_view startup,
                           std::string_view button)
{
    Recorder recorder;
    program.setView(&recorder);
    program.start();
    recorder.events.clear();
    program.click(*program.form(startup), button);
    for (const engine::ScreenDef* def : program.screens().subspan(1)) {
        const std::string name(def->table->name);
        const engine::Form* form = program.form(name);
        if (form && recorder.events == "hidden " + std::string(startup) + ";loaded " + name +
                                           ";shown " + name + ";")
            return !program.ended() && cepomer::web::asItsTable(*form) ? form : nullptr;
    }
    return nullptr;
}

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
    const double scale = web::wideScale(screens);
    std::vector<web::Opening> openings;
    std::string opens;
    for (const engine::Control& c : form->table().controls) {
        if (c.kind != engine::Kind::Button || !form->enabledOf(c))
            continue;
        // A program of its own for each click, with its own reporter: the
        // error that stops a handler is that handler's alone.
        Errors clickErrors;
        engine::Program run(screens, clickErrors, rt::NumberFormat{});
        const engine::Form* to = opened(run, form->name(), c.name);
        if (!to || clickErrors.failed)
            continue;
        const std::string screen(to->name());
        // Each window once, however many buttons open it.
        if (std::none_of(openings.begin(), openings.end(),
                         [&](const web::Opening& o) { return o.screen == screen; }))
            opens += "\n<script type=\"text/html\" data-screen=\"" + screen + "\">" +
                     web::windowMarkup(*to, scale) + "</script>";
        const engine::Control* first = web::nextEnabled(*to);
        openings.push_back({c.name, screen, first ? web::elementId(*to, *first) : std::string()});
    }
    const std::string markup =
        web::windowMarkup(*form, scale, web::nextEnabled(*form), openings) + opens;
    std::fwrite(markup.data(), 1, markup.size(), stdout);
    std::fputc('\n', stdout);
    return 0;
}
