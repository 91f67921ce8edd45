// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Bad input in every field of every screen: the longest text a field takes,
// typed or pasted; several lines; control characters; lone surrogates. No
// crash, no hang, nothing lost in the other fields, and the field reads by the
// runtime's rule.
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include <QLineEdit>

#include <gtest/gtest.h>

#include "engine/form.h"
#include "invariants.h"
#include "runtime/errors.h"
#include "session.h"

namespace cepomer::test {
namespace {

constexpr qsizetype kLongest = 32767; // QLineEdit's maxLength

Action click(const std::string& screen, const std::string& control)
{
    return Action{ActionKind::Click, screen, control, {}, false, 0, 0};
}

// Clicks that open a screen and enable fields there; every field of the
// program is enabled by one of these.
struct Opening {
    const char* screen;
    std::vector<const char*> clicks;
};
const Opening kOpenings[] = {
    {"frmS", {}},
    {"frmIURP", {"cmdI", "cmdPU"}},
    {"frmIURP", {"cmdU", "cmdIR"}},
    {"frmX", {"cmdXc"}},
    {"frmX", {"cmdXl"}},
    {"frmZ", {"cmdRLC"}},
    {"frmIplavl", {"cmd002", "cmdId", "cmd002", "cmdDI"}},
};

void PrintTo(const Opening& o, std::ostream* out)
{
    *out << o.screen;
    for (const char* c : o.clicks)
        *out << " " << c;
}

// What the reading rule makes of a text: a value, or run-time error 6.
struct Read {
    std::optional<float> value; // nullopt: error 6
};

struct BadText {
    const char* what;
    ActionKind how;
    QString text;
    QString kept; // what the field then holds
    Read read;
};

std::vector<BadText> badTexts()
{
    const QChar high(0xD800);
    const QChar low(0xDC00);
    const QString nines(40000, u'9');
    const QString tiny = "0." + QString(kLongest - 3, u'0') + "1";
    const QString blanks = QString(kLongest - 1, u' ') + "5";
    const QString controls = QString::fromUtf8("\x01\x02\x1b\x7f") + "8";
    return {
        {"longest typed", ActionKind::Type, nines, nines.left(kLongest), {}},
        {"longest pasted", ActionKind::Paste, nines, nines.left(kLongest), {}},
        {"blanks up to the limit", ActionKind::Paste, blanks + "0", blanks, {5.0f}},
        {"smallest in the limit", ActionKind::Paste, tiny, tiny, {0.0f}},
        {"several lines", ActionKind::Paste, "12\n34\r\n56", "12\n34\r\n56", {1234.0f}},
        {"tab and line feed inside", ActionKind::Type, "\t1\t.\n5", "\t1\t.\n5", {1.5f}},
        {"control characters", ActionKind::Type, controls, controls, {0.0f}},
        {"NUL inside",
         ActionKind::Paste,
         QString("3") + QChar(0) + "4",
         QString("3") + QChar(0) + "4",
         {3.0f}},
        {"lone high surrogate",
         ActionKind::Paste,
         "1" + QString(high) + "2",
         "1" + QString(high) + "2",
         {1.0f}},
        {"lone low surrogate first",
         ActionKind::Paste,
         QString(low) + "5",
         QString(low) + "5",
         {0.0f}},
        {"surrogate pair", ActionKind::Paste, QStringLiteral("7😀8"), QStringLiteral("7😀8"), {7.0f}},
        {"high surrogate cut at the limit",
         ActionKind::Paste,
         QString(kLongest - 1, u'1').replace(0, 1, "2") + QStringLiteral("😀"),
         QString(kLongest - 1, u'1').replace(0, 1, "2") + QChar(0xD83D),
         {}},
    };
}

class BadInput : public testing::TestWithParam<Opening> {};

TEST_P(BadInput, EveryFieldTakesItAndReadsItByTheRule)
{
    const Opening& opening = GetParam();
    for (const BadText& bad : badTexts()) {
        SCOPED_TRACE(std::string(opening.screen) + ": " + bad.what);
        Session session;
        Checker checker;
        const auto act = [&](const Action& a) {
            checker.before(session);
            const Outcome outcome = session.apply(a);
            const std::optional<Violation> v = checker.after(session, a, outcome);
            EXPECT_FALSE(v) << v->rule << ": " << v->detail;
            return outcome.applied;
        };
        act(click("frmCepomer", std::string(menuButtonFor(opening.screen))));
        for (const char* c : opening.clicks)
            ASSERT_TRUE(act(click(opening.screen, c))) << c;
        engine::Form& form = *session.program().form(opening.screen);

        // Something in every enabled field, to see that nothing is lost.
        std::vector<std::string> fields;
        for (const engine::Control& c : form.def().table->controls) {
            if (c.kind == engine::Kind::Field &&
                session.window(form).control(c.name)->isEnabled()) {
                fields.emplace_back(c.name);
                act(Action{ActionKind::Type, opening.screen, fields.back(), "7", false, 0, 0});
            }
        }
        for (const std::string& field : fields) {
            ASSERT_TRUE(act(Action{bad.how, opening.screen, field, bad.text, false, 0, 0}));
            const auto* edit = static_cast<const QLineEdit*>(session.window(form).control(field));
            EXPECT_EQ(edit->text(), bad.kept) << field;
            try {
                const float value = form.readSingle(field);
                ASSERT_TRUE(bad.read.value) << field << " read " << value;
                EXPECT_EQ(value, *bad.read.value) << field;
            } catch (const rt::RuntimeError& e) {
                EXPECT_FALSE(bad.read.value) << field << " raised " << e.number();
                EXPECT_EQ(e.number(), 6) << field;
            }
            act(click(opening.screen, "cmdRun")); // only results change, errors 5, 6, 11
            act(Action{ActionKind::Type, opening.screen, field, "7", false, 0, 0});
        }
    }
}

INSTANTIATE_TEST_SUITE_P(AllFields, BadInput, testing::ValuesIn(kOpenings), [](const auto& info) {
    std::string name = info.param.screen;
    for (const char* c : info.param.clicks)
        name += std::string("_") + c;
    return name;
});

// Typed key by key, control characters insert nothing and the rest arrives.
TEST(BadKeys, ControlKeysInsertNothing)
{
    Session session;
    Checker checker;
    const Action steps[] = {
        click("frmCepomer", "cmdS"),
        Action{ActionKind::Keys, "frmS", "txtD",
               QString::fromUtf8("1\x01\x1b"
                                 "2\x7f"
                                 "5"),
               false, 0, 0},
    };
    for (const Action& a : steps) {
        checker.before(session);
        const Outcome outcome = session.apply(a);
        const std::optional<Violation> v = checker.after(session, a, outcome);
        ASSERT_FALSE(v) << v->rule << ": " << v->detail;
    }
    engine::Form& form = *session.program().form("frmS");
    EXPECT_EQ(form.text("txtD"), "125");
}

} // namespace
} // namespace cepomer::test
