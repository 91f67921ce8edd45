// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Random user actions, mostly aimed at one screen: clicks on any of its push
// buttons (disabled ones included, which a user cannot press), typing and
// pasting numbers, garbage and very long texts, keys, close boxes, and now and
// then the way back to the main menu or out of the program.
#pragma once

#include <random>
#include <span>
#include <string>
#include <utility>

#include "session.h"

namespace cepomer::test {

// The keys a user presses on a screen: focus keys, the keys that press a
// focused button, editing keys and their shortcuts; Qt::Key with modifiers.
std::span<const std::pair<int, int>> userKeys();

// Texts worth typing: the reading rule's corners, the Single and Double
// limits, hexadecimal and octal, the decimal comma, the screens' examples.
std::span<const std::string_view> interestingTexts();

class RandomActions {
  public:
    // `screen` is the screen to dwell on; the main menu means all screens alike.
    RandomActions(unsigned long long seed, std::string screen);

    Action next(const Session& session);
    // A text a user might type or paste.
    QString text();

  private:
    bool chance(double p);
    std::size_t below(std::size_t n);
    Action onScreen(const Session& session, const std::string& screen);

    std::mt19937_64 rng_;
    std::string screen_;
};

} // namespace cepomer::test
