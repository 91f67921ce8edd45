// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "invariants.h"

#include <algorithm>
#include <array>
#include <string_view>
#include <vector>

#include <QAccessible>
#include <QApplication>
#include <QLineEdit>
#include <QWidget>

#include "desktop/screen_window.h"
#include "engine/form.h"
#include "number_text.h"

namespace cepomer::test {
namespace {

using Names = std::vector<std::string_view>;

// What the screens promise, from their descriptions, not from their code.
struct Rules {
    std::string_view screen;
    std::string_view menuButton;   // the main-menu button that opens it
    std::string_view returnButton; // "главное меню"
    bool keepsTexts;               // only hidden on return, never unloaded
    Names results;                 // the only fields "расчёт" writes
    Names alwaysEnabled;           // buttons and fields no handler ever disables
    Names neverReenabled;          // buttons no handler ever enables
};

const std::array<Rules, 6> kRules{{
    {"frmCepomer",
     "",
     "",
     false,
     {},
     {"cmdIURP", "cmdXlc", "cmdZ", "cmdIplav", "cmdS", "cmdExit"},
     {}},
    {"frmIURP",
     "cmdIURP",
     "cmdMenu",
     false,
     {"txtIrez", "txtUrez", "txtRrez", "txtPrez"},
     {"cmdRun", "cmdExit", "cmdMenu", "txtIrez", "txtUrez", "txtRrez", "txtPrez"},
     {}},
    {"frmX",
     "cmdXlc",
     "cmdGp",
     false,
     {"txtX"},
     {"cmdRun", "cmdExit", "cmdGp", "txtF", "txtX"},
     {"cmdXc", "cmdXl"}},
    {"frmZ",
     "cmdZ",
     "cmdGm",
     false,
     {"txtZ", "txtSin", "txtCos", "txtTan"},
     {"cmdRun", "cmdExit", "cmdGm", "txtF", "txtZ", "txtSin", "txtCos", "txtTan"},
     {"cmdRC", "cmdRL", "cmdRLC", "cmdRCp", "cmdRLp"}},
    {"frmIplavl",
     "cmdIplav",
     "cmdGp",
     false,
     {"txtIplrez", "txtDrez"},
     {"cmdRun", "cmdExit", "cmdGp", "txtIplrez", "txtDrez"},
     {"cmd002", "cmd02", "cmdMed", "cmdLatun", "cmdVelezo", "cmdAlluminiy"}},
    {"frmS",
     "cmdS",
     "cmdGm",
     true,
     {"txtSrez"},
     {"txtD", "cmdRun", "txtSrez", "cmdExit", "cmdGm"},
     {}},
}};

constexpr std::string_view kMenu = "frmCepomer";

// The most a line edit takes, typed or pasted (QLineEdit's default maxLength).
constexpr qsizetype kMaxLength = 32767;

const Rules* rulesOf(std::string_view screen)
{
    for (const Rules& r : kRules)
        if (r.screen == screen)
            return &r;
    return nullptr;
}

bool contains(const Names& names, std::string_view name)
{
    return std::find(names.begin(), names.end(), name) != names.end();
}

// frmIURP: the two quantities each pair button serves.
struct PairRule {
    std::string_view pair;
    std::string_view serves[2];
};
constexpr std::array<PairRule, 6> kPairs{{
    {"cmdUR", {"cmdI", "cmdP"}},
    {"cmdPR", {"cmdI", "cmdU"}},
    {"cmdPU", {"cmdI", "cmdR"}},
    {"cmdIR", {"cmdU", "cmdP"}},
    {"cmdPI", {"cmdU", "cmdR"}},
    {"cmdIU", {"cmdR", "cmdP"}},
}};
constexpr std::array<std::string_view, 4> kQuantities{"cmdI", "cmdU", "cmdR", "cmdP"};
constexpr std::array<std::string_view, 4> kOhmInputs{"txtI", "txtU", "txtR", "txtP"};

// frmZ: the fields each circuit enables besides txtF.
struct CircuitRule {
    std::string_view button;
    Names fields;
};
const std::array<CircuitRule, 5> kCircuits{{
    {"cmdRC", {"txtR", "txtC"}},
    {"cmdRL", {"txtR", "txtL"}},
    {"cmdRLC", {"txtR", "txtL", "txtC"}},
    {"cmdRCp", {"txtR", "txtC"}},
    {"cmdRLp", {"txtR", "txtL"}},
}};

Violation violation(std::string_view rule, const std::string& detail)
{
    return {std::string(rule), detail};
}

std::string onOff(bool on)
{
    return on ? "enabled" : "disabled";
}

// A window of a screen that is no longer loaded: once the handler that
// unloaded it has returned, it must be gone, not kept hidden for the rest of
// the session, neither as a top-level widget nor in the accessibility tree.
std::optional<Violation> unloadedWindow(const Session& session, const std::string& what)
{
    const engine::Program& program = session.program();
    const auto stale = [&](const QObject* object) {
        const auto* window = qobject_cast<const desktop::ScreenWindow*>(object);
        if (!window)
            return false;
        const engine::Form* form = program.form(window->objectName().toStdString());
        return !form || &session.window(*form) != window;
    };
    for (const QWidget* w : QApplication::topLevelWidgets())
        if (stale(w))
            return violation("unloaded-window", w->objectName().toStdString() +
                                                    " of an unloaded screen exists after " + what);
    if (QAccessibleInterface* application = QAccessible::queryAccessibleInterface(qApp)) {
        for (int i = 0; i < application->childCount(); ++i) {
            const QAccessibleInterface* child = application->child(i);
            if (child && stale(child->object()))
                return violation("unloaded-window",
                                 child->object()->objectName().toStdString() +
                                     " of an unloaded screen is in the accessibility tree after " +
                                     what);
        }
    }
    return std::nullopt;
}

// The windows show the engine's state: every screen shown or hidden as it is,
// every control enabled as it is, every field's text as the engine holds it.
std::optional<Violation> viewDiffers(const Session& session, const std::string& what)
{
    const engine::Program& program = session.program();
    for (const engine::ScreenDef* def : program.screens()) {
        const engine::Form* form = program.form(def->table->name);
        if (!form)
            continue;
        const desktop::ScreenWindow& window = session.window(*form);
        const std::string screen(def->table->name);
        if (window.isVisible() != form->shown())
            return violation("view-differs", screen + " shown differently after " + what);
        for (const engine::Control& c : def->table->controls) {
            const QWidget* w = window.control(c.name);
            const auto* edit = qobject_cast<const QLineEdit*>(w);
            if (w->isEnabled() != form->enabledOf(c) ||
                (edit && engine::fieldText(edit->text().toStdString()) != form->textOf(c)))
                return violation("view-differs",
                                 screen + "." + std::string(c.name) + " differs after " + what);
        }
    }
    return std::nullopt;
}

} // namespace

std::string_view menuButtonFor(std::string_view screen)
{
    const Rules* r = rulesOf(screen);
    return r ? r->menuButton : std::string_view{};
}

std::string_view returnButtonFor(std::string_view screen)
{
    const Rules* r = rulesOf(screen);
    return r ? r->returnButton : std::string_view{};
}

Checker::Snapshot Checker::snapshot(const Session& session)
{
    Snapshot s;
    s.ended = session.ended();
    s.errors = session.errors().numbers.size();
    const engine::Program& program = session.program();
    for (const engine::ScreenDef* def : program.screens()) {
        const engine::Form* form = program.form(def->table->name);
        if (!form)
            continue;
        Screen& screen = s.screens[std::string(def->table->name)];
        const desktop::ScreenWindow& window = session.window(*form);
        screen.window = &window;
        screen.visible = window.isVisible();
        for (const engine::Control& c : def->table->controls) {
            if (c.kind == engine::Kind::Label)
                continue;
            const QWidget* w = window.control(c.name);
            screen.enabled[std::string(c.name)] = w->isEnabled();
            if (const auto* edit = qobject_cast<const QLineEdit*>(w))
                screen.texts[std::string(c.name)] = edit->text();
        }
    }
    return s;
}

void Checker::before(const Session& session)
{
    before_ = snapshot(session);
}

std::optional<Violation> Checker::after(const Session& session, const Action& action,
                                        const Outcome& outcome)
{
    const Snapshot now = snapshot(session);
    if (auto v = checkAction(action, outcome, now))
        return v;
    if (auto v = checkScreens(session, action, outcome, now))
        return v;
    // Last, so that the rules above judge what the user sees.
    return viewDiffers(session, describe(action));
}

std::optional<Violation> Checker::checkAction(const Action& action, const Outcome& outcome,
                                              const Snapshot& now) const
{
    const std::string what = describe(action);
    const auto unchanged = [&](const std::string& name, bool texts, bool enabled,
                               const auto& exceptText) -> std::optional<Violation> {
        const auto b = before_.screens.find(name);
        const auto a = now.screens.find(name);
        if (b == before_.screens.end() || a == now.screens.end())
            return std::nullopt;
        if (b->second.window != a->second.window)
            return violation("screen-replaced", name + " was created anew by " + what);
        for (const auto& [field, text] : b->second.texts) {
            if (texts && !exceptText(name, field) && a->second.texts.at(field) != text)
                return violation("text-changed", name + "." + field + " changed by " + what);
        }
        for (const auto& [control, on] : b->second.enabled) {
            if (enabled && a->second.enabled.at(control) != on)
                return violation("enabled-changed",
                                 name + "." + control + " became " + onOff(!on) + " by " + what);
        }
        return std::nullopt;
    };
    const auto noException = [](const std::string&, const std::string&) { return false; };

    if (!outcome.applied) {
        if (now.ended != before_.ended || now.errors != before_.errors)
            return violation("refused-did-something", what + " was refused but acted");
        for (const auto& [name, screen] : before_.screens) {
            const auto a = now.screens.find(name);
            if (a == now.screens.end() || a->second.visible != screen.visible)
                return violation("refused-did-something", what + " was refused but acted");
            if (auto v = unchanged(name, true, true, noException))
                return v;
        }
        return std::nullopt;
    }

    const Rules* rules = rulesOf(action.screen);
    // The close box: what the screen's "главное меню" does; on the main menu
    // what "выход" does.
    std::string pressed = outcome.pressed;
    if (action.kind == ActionKind::Close && rules)
        pressed = rules->returnButton.empty() ? "cmdExit" : std::string(rules->returnButton);
    if (action.kind == ActionKind::Click && outcome.pressed != action.control)
        return violation("click-lost", what + " pressed \"" + outcome.pressed + "\"");

    // Run-time errors: 5, 6 or 11, only from a calculation, never the end.
    if (now.errors > before_.errors && pressed != "cmdRun")
        return violation("error-outside-calculation", what + " raised a run-time error");
    if (now.ended && !before_.ended && pressed != "cmdExit")
        return violation("ended-without-exit", what + " ended the program");
    if (now.ended)
        return std::nullopt;
    if (pressed == "cmdExit")
        return violation("exit-did-not-end", what + " left the program running");

    const bool isReturn = rules && !rules->returnButton.empty() && pressed == rules->returnButton;
    const Rules* opened = nullptr;
    if (action.screen == kMenu)
        for (const Rules& r : kRules)
            if (!r.menuButton.empty() && pressed == r.menuButton)
                opened = &r;

    if (pressed == "cmdRun") {
        for (const auto& [name, screen] : before_.screens) {
            const auto a = now.screens.find(name);
            if (a == now.screens.end() || a->second.visible != screen.visible)
                return violation("run-changed-windows", what + " changed " + name);
            const auto isResult = [&](const std::string& s, const std::string& field) {
                return s == action.screen && rules && contains(rules->results, field);
            };
            if (auto v = unchanged(name, true, true, isResult))
                return violation(v->rule == "text-changed" ? "run-writes-only-results"
                                                           : "run-" + v->rule,
                                 v->detail);
            for (const auto& [field, text] : a->second.texts) {
                if (isResult(name, field) && text != screen.texts.at(field) &&
                    !looksWritten(text.toStdString(), ".", 15))
                    return violation("run-result-format", name + "." + field + " = \"" +
                                                              text.toStdString() + "\" after " +
                                                              what);
            }
        }
        return std::nullopt;
    }

    if (!outcome.pressed.empty() || action.kind == ActionKind::Close) {
        // Choices and navigation touch no text of a screen that stays loaded.
        for (const auto& [name, screen] : before_.screens) {
            const bool leaves = name == action.screen && (isReturn || opened);
            if (auto v = unchanged(name, true, !leaves && name != action.screen, noException))
                return violation(v->rule != "text-changed" ? v->rule
                                 : isReturn                ? "return-lost-text"
                                                           : "choice-touched-text",
                                 v->detail);
        }
        if (opened) {
            const auto target = now.screens.find(std::string(opened->screen));
            const auto menu = now.screens.find(std::string(kMenu));
            if (target == now.screens.end() || !target->second.visible ||
                menu == now.screens.end() || menu->second.visible)
                return violation("menu-opens",
                                 what + " did not open " + std::string(opened->screen) + " alone");
        }
        if (isReturn) {
            const auto menu = now.screens.find(std::string(kMenu));
            if (menu == now.screens.end() || !menu->second.visible)
                return violation("return-to-menu", what + " did not show the main menu");
            const auto self = now.screens.find(action.screen);
            if (rules->keepsTexts) {
                if (self == now.screens.end() || self->second.visible)
                    return violation("return-to-menu",
                                     what + " did not just hide " + action.screen);
            } else if (self != now.screens.end()) {
                return violation("return-to-menu", what + " did not unload " + action.screen);
            }
        }
        return std::nullopt;
    }

    // Typing and keys that press nothing: only the field typed into changes.
    for (const auto& [name, screen] : before_.screens) {
        const auto a = now.screens.find(name);
        if (a == now.screens.end() || a->second.visible != screen.visible)
            return violation("typing-changed-windows", what + " changed " + name);
        const auto isTarget = [&](const std::string& s, const std::string& field) {
            return s == action.screen && field == outcome.typedInto;
        };
        if (auto v = unchanged(name, true, true, isTarget))
            return violation(v->rule == "text-changed" ? "typing-touched-other"
                                                       : "typing-" + v->rule,
                             v->detail);
    }
    if (action.kind == ActionKind::Type || action.kind == ActionKind::Paste) {
        const QString old = before_.screens.at(action.screen).texts.at(action.control);
        const QString expected = ((action.append ? old : QString()) + action.text).left(kMaxLength);
        const QString got = now.screens.at(action.screen).texts.at(action.control);
        if (got != expected)
            return violation("typing-lost-text", what + " left " + std::to_string(got.size()) +
                                                     " characters, expected " +
                                                     std::to_string(expected.size()));
    }
    return std::nullopt;
}

std::optional<Violation> Checker::checkScreens(const Session& session, const Action& action,
                                               const Outcome& outcome, const Snapshot& now)
{
    int visibleWindows = 0;
    for (const QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible())
            ++visibleWindows;
    const std::string what = describe(action);
    if (now.ended ? visibleWindows != 0 : visibleWindows != 1)
        return violation("one-window",
                         std::to_string(visibleWindows) + " windows shown after " + what);
    if (auto v = unloadedWindow(session, what))
        return v;
    for (std::size_t i = 0; i < session.errors().numbers.size(); ++i) {
        const int n = session.errors().numbers[i];
        if (n != 5 && n != 6 && n != 11)
            return violation("error-number",
                             "run-time error " + std::to_string(n) + " after " + what);
    }

    for (auto it = loadings_.begin(); it != loadings_.end();)
        it = now.screens.count(it->first) ? std::next(it) : loadings_.erase(it);

    const engine::Program& program = session.program();
    for (const auto& entry : now.screens) {
        const std::string& name = entry.first;
        const Screen& screen = entry.second;
        const Rules* rules = rulesOf(name);
        const engine::Form* form = program.form(name);
        Loading& loading = loadings_[name];
        const auto on = [&](std::string_view control) {
            return screen.enabled.at(std::string(control));
        };

        if (loading.window.data() != screen.window) {
            // A new loading starts from the screen table: empty, flags as listed.
            loading = Loading{};
            loading.window = const_cast<QObject*>(screen.window);
            for (const engine::Control& c : form->def().table->controls) {
                if (c.kind == engine::Kind::Label)
                    continue;
                if (on(c.name) != c.enabled)
                    return violation("fresh-screen", name + "." + std::string(c.name) + " starts " +
                                                         onOff(on(c.name)));
                if (c.kind == engine::Kind::Field &&
                    !screen.texts.at(std::string(c.name)).isEmpty())
                    return violation("fresh-screen",
                                     name + "." + std::string(c.name) + " starts with text");
            }
        } else if (outcome.applied && action.screen == name && !outcome.pressed.empty() &&
                   loading.chosen.empty()) {
            const bool choice =
                (name == "frmIURP" && std::find(kQuantities.begin(), kQuantities.end(),
                                                outcome.pressed) != kQuantities.end()) ||
                (name == "frmZ" &&
                 std::any_of(kCircuits.begin(), kCircuits.end(),
                             [&](const CircuitRule& c) { return c.button == outcome.pressed; }));
            if (choice)
                loading.chosen = outcome.pressed;
        }

        for (const auto& [control, was] : loading.last) {
            const bool field = screen.texts.count(control) != 0;
            if (field && was && !on(control))
                return violation("field-disabled",
                                 name + "." + control + " disabled after " + what);
            if (rules && contains(rules->neverReenabled, control) && !was && on(control))
                return violation("re-enabled",
                                 name + "." + control + " enabled again after " + what);
        }
        if (rules)
            for (std::string_view control : rules->alwaysEnabled)
                if (!on(control))
                    return violation("always-enabled",
                                     name + "." + std::string(control) + " disabled after " + what);

        if (name == "frmIURP") {
            int quantities = 0;
            for (std::string_view q : kQuantities)
                quantities += on(q) ? 1 : 0;
            if (loading.chosen.empty()) {
                bool any = false;
                for (const PairRule& p : kPairs)
                    any = any || on(p.pair);
                for (std::string_view f : kOhmInputs)
                    any = any || on(f);
                if (quantities != 4 || any)
                    return violation("iurp-start", "frmIURP left its start state without a "
                                                   "quantity after " +
                                                       what);
            } else {
                if (quantities != 1 || !on(loading.chosen))
                    return violation("iurp-quantity", std::to_string(quantities) +
                                                          " quantity buttons enabled after " +
                                                          what);
                for (const PairRule& p : kPairs)
                    if (on(p.pair) && p.serves[0] != loading.chosen &&
                        p.serves[1] != loading.chosen)
                        return violation("iurp-pair", std::string(p.pair) +
                                                          " enabled, it does not serve " +
                                                          loading.chosen + ", after " + what);
            }
        } else if (name == "frmZ") {
            int circuits = 0;
            for (const CircuitRule& c : kCircuits)
                circuits += on(c.button) ? 1 : 0;
            const bool fieldsOn = on("txtR") || on("txtL") || on("txtC");
            if (loading.chosen.empty()) {
                if (circuits != 5 || fieldsOn)
                    return violation("z-start", "frmZ left its start state without a circuit "
                                                "after " +
                                                    what);
            } else {
                if (circuits != 1 || !on(loading.chosen))
                    return violation("z-circuit", std::to_string(circuits) +
                                                      " circuit buttons enabled after " + what);
                for (const CircuitRule& c : kCircuits) {
                    if (c.button != loading.chosen)
                        continue;
                    for (std::string_view f : {"txtR", "txtL", "txtC"})
                        if (on(f) != contains(c.fields, f))
                            return violation("z-fields", "frmZ." + std::string(f) + " " +
                                                             onOff(on(f)) + " for " +
                                                             loading.chosen + " after " + what);
                }
            }
        } else if (name == "frmX") {
            const bool xc = on("cmdXc"), xl = on("cmdXl"), c = on("txtC"), l = on("txtL");
            const bool row =
                (xc && xl && !c && !l) || (xc && !xl && c && !l) || (!xc && xl && !c && l);
            if (!xc && !xl)
                return violation("x-both-disabled", "both choices disabled after " + what);
            if (!row)
                return violation("x-state", "frmX in no state of its table after " + what);
        } else if (name == "frmIplavl") {
            const bool thin = on("cmd002"), thick = on("cmd02");
            const bool id = on("cmdId"), di = on("cmdDI");
            if (!thin && !thick)
                return violation("iplavl-range", "both ranges disabled after " + what);
            if (thin && thick && (id || di))
                return violation("iplavl-direction",
                                 "a direction enabled before a range, after " + what);
            if (!(thin && thick) && !id && !di)
                return violation("iplavl-direction", "no direction left after " + what);
        }

        loading.last = screen.enabled;
    }
    return std::nullopt;
}

} // namespace cepomer::test
