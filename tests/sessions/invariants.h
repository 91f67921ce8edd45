// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

// What every user session must keep, checked after every action: one window
// shown until the end, no window left of an unloaded screen, the selection
// rules of each screen, fields that never become disabled, a calculate button
// that writes only result fields, run-time errors that are 5, 6 or 11 and never
// end the program, and screens that start afresh from their tables.
#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>

#include <QPointer>
#include <QString>

#include "session.h"

namespace cepomer::test {

// The main-menu button that opens a screen, and the screen's way back
// ("главное меню"); empty for the main menu itself.
std::string_view menuButtonFor(std::string_view screen);
std::string_view returnButtonFor(std::string_view screen);

struct Violation {
    std::string rule; // a short name; shrinking keeps to the same rule
    std::string detail;
};

class Checker {
  public:
    // Call before each action, then after() with what the action did.
    void before(const Session& session);
    std::optional<Violation> after(const Session& session, const Action& action,
                                   const Outcome& outcome);

  private:
    struct Screen {
        const QObject* window = nullptr; // identity of the loading
        bool visible = false;
        std::map<std::string, QString> texts;
        std::map<std::string, bool> enabled;
    };
    struct Snapshot {
        bool ended = false;
        std::size_t errors = 0;
        std::map<std::string, Screen> screens; // created screens only
    };
    // What a loading of a screen has been through since it was created.
    struct Loading {
        QPointer<QObject> window;
        std::string chosen;               // quantity (frmIURP), circuit (frmZ)
        std::map<std::string, bool> last; // Enabled at the previous check
    };

    static Snapshot snapshot(const Session& session);
    std::optional<Violation> checkAction(const Action& action, const Outcome& outcome,
                                         const Snapshot& now) const;
    std::optional<Violation> checkScreens(const Session& session, const Action& action,
                                          const Outcome& outcome, const Snapshot& now);

    Snapshot before_;
    std::map<std::string, Loading> loadings_;
};

} // namespace cepomer::test
