// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The invariants see each broken promise: a real action, then the program's
// state tampered with behind its back, as a faulty handler would leave it.
#include <functional>
#include <string>
#include <vector>

#include <QLineEdit>
#include <QWidget>

#include <gtest/gtest.h>

#include "desktop/screen_window.h"
#include "engine/form.h"
#include "invariants.h"
#include "session.h"

namespace cepomer::test {
namespace {

Action click(const std::string& screen, const std::string& control)
{
    return Action{ActionKind::Click, screen, control, {}, false, 0, 0};
}

Action type(const std::string& screen, const std::string& field, const QString& text)
{
    return Action{ActionKind::Type, screen, field, text, false, 0, 0};
}

QWidget* widget(Session& s, const char* screen, const char* control)
{
    return s.window(*s.program().form(screen)).control(control);
}

void setText(Session& s, const char* screen, const char* field, const QString& text)
{
    static_cast<QLineEdit*>(widget(s, screen, field))->setText(text);
}

struct Broken {
    const char* rule;
    std::vector<Action> actions; // the last one is checked after the tampering
    std::function<void(Session&)> tamper;
};

TEST(Checker, SeesEachBrokenPromise)
{
    static QWidget* stray = nullptr;
    const Broken cases[] = {
        {"one-window",
         {click("frmCepomer", "cmdS")},
         [](Session&) {
             stray = new QWidget;
             stray->show();
         }},
        {"typing-enabled-changed",
         {click("frmCepomer", "cmdS"), type("frmS", "txtD", "1")},
         [](Session& s) { widget(s, "frmS", "cmdRun")->setEnabled(false); }},
        {"field-disabled",
         {click("frmCepomer", "cmdIURP"), click("frmIURP", "cmdI"), click("frmIURP", "cmdPU"),
          click("frmIURP", "cmdI")},
         [](Session& s) { widget(s, "frmIURP", "txtP")->setEnabled(false); }},
        {"run-writes-only-results",
         {click("frmCepomer", "cmdS"), click("frmS", "cmdRun")},
         [](Session& s) { setText(s, "frmS", "txtD", "2"); }},
        {"run-result-format",
         {click("frmCepomer", "cmdS"), click("frmS", "cmdRun")},
         [](Session& s) { setText(s, "frmS", "txtSrez", "0,5"); }},
        {"typing-touched-other",
         {click("frmCepomer", "cmdS"), type("frmS", "txtD", "3")},
         [](Session& s) { setText(s, "frmS", "txtSrez", "1"); }},
        {"choice-touched-text",
         {click("frmCepomer", "cmdXlc"), click("frmX", "cmdXl")},
         [](Session& s) { setText(s, "frmX", "txtF", "5"); }},
        {"return-lost-text",
         {click("frmCepomer", "cmdS"), type("frmS", "txtD", "3"), click("frmS", "cmdGm")},
         [](Session& s) { setText(s, "frmS", "txtD", ""); }},
        {"fresh-screen",
         {click("frmCepomer", "cmdZ")},
         [](Session& s) { setText(s, "frmZ", "txtF", "50"); }},
        {"iurp-pair",
         {click("frmCepomer", "cmdIURP"), click("frmIURP", "cmdI")},
         [](Session& s) { widget(s, "frmIURP", "cmdIR")->setEnabled(true); }},
        {"iurp-quantity",
         {click("frmCepomer", "cmdIURP"), click("frmIURP", "cmdI"), click("frmIURP", "cmdUR")},
         [](Session& s) { widget(s, "frmIURP", "cmdP")->setEnabled(true); }},
        {"re-enabled",
         {click("frmCepomer", "cmdZ"), click("frmZ", "cmdRLC"), click("frmZ", "cmdRLC")},
         [](Session& s) { widget(s, "frmZ", "cmdRC")->setEnabled(true); }},
        {"z-fields",
         {click("frmCepomer", "cmdZ"), click("frmZ", "cmdRC")},
         [](Session& s) { widget(s, "frmZ", "txtL")->setEnabled(true); }},
        {"x-both-disabled",
         {click("frmCepomer", "cmdXlc"), click("frmX", "cmdXc")},
         [](Session& s) { widget(s, "frmX", "cmdXc")->setEnabled(false); }},
        {"iplavl-direction",
         {click("frmCepomer", "cmdIplav"), click("frmIplavl", "cmdMed")},
         [](Session& s) { widget(s, "frmIplavl", "cmdId")->setEnabled(true); }},
        {"always-enabled",
         {click("frmCepomer", "cmdIplav"), click("frmIplavl", "cmd02")},
         [](Session& s) { widget(s, "frmIplavl", "cmdRun")->setEnabled(false); }},
        {"return-to-menu",
         {click("frmCepomer", "cmdXlc"), click("frmX", "cmdGp")},
         [](Session& s) {
             s.window(*s.program().form("frmCepomer")).hide();
             s.program().show("frmS");
         }},
        {"unloaded-window",
         {click("frmCepomer", "cmdXlc"), click("frmX", "cmdGp")},
         [](Session& s) {
             // frmX's window kept, hidden, after "главное меню" unloaded it.
             for (const engine::ScreenDef* def : s.program().screens())
                 if (def->table->name == "frmX")
                     stray = new desktop::ScreenWindow(*def, {}, {}, {});
             stray->show();
             stray->hide();
         }},
        {"exit-did-not-end", {click("frmCepomer", "cmdS"), type("frmS", "txtD", "1")}, {}},
    };
    for (const Broken& c : cases) {
        SCOPED_TRACE(c.rule);
        Session session;
        Checker checker;
        std::optional<Violation> seen;
        for (std::size_t i = 0; i < c.actions.size(); ++i) {
            Action a = c.actions[i];
            checker.before(session);
            const Outcome outcome = session.apply(a);
            const bool last = i + 1 == c.actions.size();
            if (last && c.tamper)
                c.tamper(session);
            if (last && !c.tamper) // an action that claims to be "выход"
                a = click(a.screen, "cmdExit");
            seen = checker.after(session, a,
                                 last && !c.tamper ? Outcome{true, "cmdExit", ""} : outcome);
            if (!last) {
                ASSERT_FALSE(seen) << seen->rule << ": " << seen->detail;
            }
        }
        ASSERT_TRUE(seen);
        EXPECT_EQ(seen->rule, c.rule) << seen->detail;
        delete stray;
        stray = nullptr;
    }
}

} // namespace
} // namespace cepomer::test
