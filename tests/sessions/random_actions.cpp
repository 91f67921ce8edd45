// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "random_actions.h"

#include <array>
#include <string_view>
#include <vector>

#include "engine/form.h"
#include "invariants.h"

namespace cepomer::test {
namespace {

// Numbers and near-numbers worth typing: the reading rule's corners, the Single
// and Double limits, the hexadecimal and octal forms, the decimal comma, and
// the values of the screens' worked examples.
constexpr std::array<std::string_view, 62> kTexts{"",
                                                  "0",
                                                  "1",
                                                  "-1",
                                                  "2",
                                                  "2.5",
                                                  "0,5",
                                                  "1,5E2",
                                                  "1.2,3",
                                                  ".5",
                                                  "5.",
                                                  "-.5",
                                                  "1e",
                                                  "1e+",
                                                  "1D2",
                                                  " 1 2 3",
                                                  "\t\n7",
                                                  "1e38",
                                                  "3.4028235e38",
                                                  "3.5e38",
                                                  "1e39",
                                                  "-1e39",
                                                  "1e308",
                                                  "1.8e308",
                                                  "1e400",
                                                  "1e-45",
                                                  "1e-46",
                                                  "1e-400",
                                                  "&HFFFF",
                                                  "&H7FFF",
                                                  "&HFFFFFFFF",
                                                  "&H100000000",
                                                  "&O177777",
                                                  "&",
                                                  "-&H10",
                                                  "abc",
                                                  "∞",
                                                  "не число",
                                                  "1E+15",
                                                  "-3,402823E+38",
                                                  "0.00785400023406744",
                                                  "100",
                                                  "4",
                                                  "6",
                                                  "12",
                                                  "220",
                                                  "0.1",
                                                  "0.0001",
                                                  "1e20",
                                                  "50",
                                                  "1000",
                                                  "0.00001",
                                                  "0.2",
                                                  "0.005",
                                                  "-100",
                                                  "1e30",
                                                  "10",
                                                  "30",
                                                  "0.01",
                                                  "-50",
                                                  "80",
                                                  "0.5"};

// Characters of garbage: pieces of numbers, blanks, controls, Cyrillic, a
// character outside the BMP and lone surrogates.
const std::array<QString, 28> kPieces{"0",
                                      "1",
                                      "9",
                                      ".",
                                      ",",
                                      "e",
                                      "E",
                                      "d",
                                      "D",
                                      "+",
                                      "-",
                                      " ",
                                      "\t",
                                      "\n",
                                      "\r",
                                      "&",
                                      "H",
                                      "O",
                                      "x",
                                      "б",
                                      "€",
                                      "\x01",
                                      "\x7f",
                                      QString(QChar(0)),
                                      QStringLiteral("😀"),
                                      QString(QChar(0xD800)),
                                      QString(QChar(0xDC00)),
                                      QStringLiteral("\u00A0")};

constexpr std::array<std::pair<int, int>, 19> kKeys{
    std::pair<int, int>{Qt::Key_Tab, 0},
    std::pair<int, int>{Qt::Key_Backtab, 0},
    std::pair<int, int>{Qt::Key_Space, 0},
    std::pair<int, int>{Qt::Key_Return, 0},
    std::pair<int, int>{Qt::Key_Enter, 0},
    std::pair<int, int>{Qt::Key_Escape, 0},
    std::pair<int, int>{Qt::Key_Backspace, 0},
    std::pair<int, int>{Qt::Key_Delete, 0},
    std::pair<int, int>{Qt::Key_Home, 0},
    std::pair<int, int>{Qt::Key_End, 0},
    std::pair<int, int>{Qt::Key_Left, 0},
    std::pair<int, int>{Qt::Key_Right, 0},
    std::pair<int, int>{Qt::Key_A, int(Qt::ControlModifier)},
    std::pair<int, int>{Qt::Key_Z, int(Qt::ControlModifier)},
    std::pair<int, int>{Qt::Key_Y, int(Qt::ControlModifier)},
    std::pair<int, int>{Qt::Key_X, int(Qt::ControlModifier)},
    std::pair<int, int>{Qt::Key_C, int(Qt::ControlModifier)},
    std::pair<int, int>{Qt::Key_V, int(Qt::ControlModifier)},
    std::pair<int, int>{Qt::Key_F4, int(Qt::AltModifier)},
};

const engine::ScreenTable& tableOf(const Session& session, const std::string& screen)
{
    for (const engine::ScreenDef* def : session.program().screens())
        if (def->table->name == screen)
            return *def->table;
    return *session.program().screens().front()->table;
}

std::vector<std::string> controlsOf(const engine::ScreenTable& table, engine::Kind kind)
{
    std::vector<std::string> names;
    for (const engine::Control& c : table.controls)
        if (c.kind == kind)
            names.emplace_back(c.name);
    return names;
}

} // namespace

std::span<const std::pair<int, int>> userKeys()
{
    return kKeys;
}

std::span<const std::string_view> interestingTexts()
{
    return kTexts;
}

RandomActions::RandomActions(unsigned long long seed, std::string screen)
    : rng_(seed), screen_(std::move(screen))
{
}

bool RandomActions::chance(double p)
{
    return std::uniform_real_distribution<double>(0.0, 1.0)(rng_) < p;
}

std::size_t RandomActions::below(std::size_t n)
{
    return n == 0 ? 0 : std::uniform_int_distribution<std::size_t>(0, n - 1)(rng_);
}

QString RandomActions::text()
{
    const double r = std::uniform_real_distribution<double>(0.0, 1.0)(rng_);
    if (r < 0.5)
        return QString::fromUtf8(kTexts[below(kTexts.size())]);
    QString t;
    if (r < 0.8) {
        // A number: sign, digits with blanks here and there, separator, exponent.
        const auto digits = [&](std::size_t most) {
            for (std::size_t n = 1 + below(most); n > 0; --n) {
                t += QChar(u'0' + static_cast<char16_t>(below(10)));
                if (chance(0.05))
                    t += u' ';
            }
        };
        if (chance(0.3))
            t += chance(0.8) ? u'-' : u'+';
        digits(chance(0.9) ? 6 : 40);
        if (chance(0.6)) {
            t += chance(0.7) ? u'.' : u',';
            digits(8);
        }
        if (chance(0.3)) {
            t += QString("eEdD").at(static_cast<qsizetype>(below(4)));
            if (chance(0.6))
                t += chance(0.5) ? u'-' : u'+';
            digits(3);
        }
        return t;
    }
    if (r < 0.99) {
        for (std::size_t n = below(30); n > 0; --n)
            t += kPieces[below(kPieces.size())];
        return t;
    }
    // Very long: up to beyond what a line edit takes.
    const QString piece = chance(0.5) ? QStringLiteral("9") : kPieces[below(kPieces.size())];
    return piece.repeated(static_cast<qsizetype>(1 + below(40000)));
}

Action RandomActions::next(const Session& session)
{
    const std::string shown = session.shownScreen();
    const std::string_view menu = "frmCepomer";
    const bool everywhere = screen_ == menu;
    if (shown == menu) {
        const std::vector<std::string> openers = {"cmdIURP", "cmdXlc", "cmdZ", "cmdIplav", "cmdS"};
        Action a{ActionKind::Click, shown, {}, {}, false, 0, 0};
        if (!everywhere && chance(0.9))
            a.control = std::string(menuButtonFor(screen_));
        else if (chance(0.95))
            a.control = openers[below(openers.size())];
        else
            return onScreen(session, shown);
        return a;
    }
    if (!shown.empty() && !everywhere && shown != screen_ && chance(0.9))
        return Action{
            ActionKind::Click, shown, std::string(returnButtonFor(shown)), {}, false, 0, 0};
    return onScreen(session, shown);
}

Action RandomActions::onScreen(const Session& session, const std::string& screen)
{
    const engine::ScreenTable& table = tableOf(session, screen);
    const std::vector<std::string> buttons = controlsOf(table, engine::Kind::Button);
    const std::vector<std::string> fields = controlsOf(table, engine::Kind::Field);
    Action a;
    a.screen = screen;
    const double r = std::uniform_real_distribution<double>(0.0, 1.0)(rng_);
    if (r < 0.002) {
        a.control = "cmdExit";
    } else if (r < 0.01) {
        a.kind = ActionKind::Close;
    } else if (r < 0.03) {
        a.control = std::string(returnButtonFor(screen));
        if (a.control.empty())
            a.control = "cmdExit";
    } else if (r < 0.15) {
        a.control = "cmdRun";
        if (screen == "frmCepomer")
            a.control = buttons[below(buttons.size())];
    } else if (r < 0.50 || fields.empty()) {
        do {
            a.control = buttons[below(buttons.size())];
        } while (a.control == "cmdExit" || a.control == returnButtonFor(screen));
    } else if (r < 0.75) {
        a.kind = ActionKind::Type;
        a.control = fields[below(fields.size())];
        a.text = text();
        a.append = chance(0.2);
    } else if (r < 0.83) {
        a.kind = ActionKind::Paste;
        a.control = fields[below(fields.size())];
        a.text = text();
        a.append = chance(0.3);
    } else if (r < 0.88) {
        a.kind = ActionKind::Keys;
        a.control = fields[below(fields.size())];
        a.text = text().left(40);
    } else {
        a.kind = ActionKind::Key;
        const auto& [key, modifiers] = kKeys[below(kKeys.size())];
        a.key = key;
        a.modifiers = modifiers;
    }
    return a;
}

} // namespace cepomer::test
