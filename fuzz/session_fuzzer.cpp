// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Whole user sessions on the real program, offscreen, decoded from bytes:
// clicks, typing, pasting, keys and close boxes on whichever of the six screens
// is shown, with every session invariant checked after every action.
//
// Encoding, one action after another until the bytes or the program end:
//   op = byte % 16
//   0-6   click button[byte % buttons of the shown screen]
//   7-8   type over field[byte % fields] a TEXT
//   9     type TEXT at the end of field[byte % fields]
//   10    paste TEXT over field[byte % fields]
//   11    paste TEXT at the end of field[byte % fields]
//   12    type TEXT (its first 64 characters) key by key into field[byte % fields]
//   13-14 press user key[byte % keys] on the focused control
//   15    the close box of the shown screen
// TEXT is a length byte L and a mode byte: mode % 4 = 0 the next L bytes as
// UTF-8, 1 the next 2L bytes as UTF-16 (lone surrogates included), 2 one of
// the interesting texts [L % count], 3 the next byte repeated L * 130 times
// (past what a field takes).
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <QApplication>

#include "desktop/appearance.h"
#include "engine/form.h"
#include "invariants.h"
#include "random_actions.h"
#include "session.h"

namespace {

using namespace cepomer::test;

class Bytes {
  public:
    Bytes(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    bool empty() const { return pos_ >= size_; }
    std::uint8_t next() { return pos_ < size_ ? data_[pos_++] : 0; }

    QString text()
    {
        const std::size_t length = next();
        switch (next() % 4) {
        case 0: {
            const std::size_t n = std::min(length, size_ - std::min(pos_, size_));
            const QString t = QString::fromUtf8(reinterpret_cast<const char*>(data_ + pos_),
                                                static_cast<qsizetype>(n));
            pos_ += n;
            return t;
        }
        case 1: {
            QString t;
            for (std::size_t i = 0; i < length && !empty(); ++i) {
                const auto high = static_cast<char16_t>(next());
                t += QChar(static_cast<char16_t>(high << 8 | next()));
            }
            return t;
        }
        case 2: {
            const auto texts = interestingTexts();
            const std::string_view t = texts[length % texts.size()];
            return QString::fromUtf8(t.data(), static_cast<qsizetype>(t.size()));
        }
        default:
            return QString(static_cast<qsizetype>(length * 130), QChar(char16_t(next())));
        }
    }

  private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

std::vector<std::string> namesOf(const Session& session, const std::string& screen,
                                 cepomer::engine::Kind kind)
{
    std::vector<std::string> names;
    if (const cepomer::engine::Form* form = session.program().form(screen))
        for (const cepomer::engine::Control& c : form->def().table->controls)
            if (c.kind == kind)
                names.emplace_back(c.name);
    return names;
}

Action decode(Bytes& in, const Session& session, const std::string& screen)
{
    Action a;
    a.screen = screen;
    const int op = in.next() % 16;
    if (op <= 6) {
        const auto buttons = namesOf(session, screen, cepomer::engine::Kind::Button);
        a.control = buttons[in.next() % buttons.size()];
    } else if (op <= 12) {
        const auto fields = namesOf(session, screen, cepomer::engine::Kind::Field);
        a.kind = op == 12 ? ActionKind::Keys : op <= 9 ? ActionKind::Type : ActionKind::Paste;
        a.append = op == 9 || op == 11;
        a.control = fields.empty() ? "" : fields[in.next() % fields.size()];
        a.text = in.text();
        if (a.kind == ActionKind::Keys)
            a.text.truncate(64); // key by key, long texts only cost time
    } else if (op <= 14) {
        const auto keys = userKeys();
        const auto& [key, modifiers] = keys[in.next() % keys.size()];
        a.kind = ActionKind::Key;
        a.key = key;
        a.modifiers = modifiers;
    } else {
        a.kind = ActionKind::Close;
    }
    return a;
}

// Qt's platform chatter is no finding.
void quiet(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "%s\n", message.toUtf8().constData());
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(quiet);
    static int argc = 1;
    static char name[] = "session_fuzzer";
    static char* argv[] = {name, nullptr};
    // Never destroyed: Qt's own globals go first at exit.
    auto* app = new QApplication(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    cepomer::desktop::applyAppearance(*app);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Bytes in(data, size);
    Session session;
    Checker checker;
    std::vector<Action> done;
    while (!in.empty() && !session.ended()) {
        const std::string shown = session.shownScreen();
        done.push_back(decode(in, session, shown.empty() ? "frmCepomer" : shown));
        checker.before(session);
        const Outcome outcome = session.apply(done.back());
        if (const auto v = checker.after(session, done.back(), outcome)) {
            std::fprintf(stderr, "%s: %s\nactions from the start:\n", v->rule.c_str(),
                         v->detail.c_str());
            for (const Action& a : done)
                std::fprintf(stderr, "  %s\n", describe(a).c_str());
            std::abort();
        }
    }
    return 0;
}
