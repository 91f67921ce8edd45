// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

// A screen as the program knows it: its table, its click handlers and what its
// title-bar close box does.
#pragma once

#include <span>
#include <string_view>

#include "engine/screen_table.h"

namespace cepomer::engine {

class Form;

// A click handler: named after its button ("cmdRun" runs cmdRun_Click).
struct Handler {
    std::string_view control;
    void (*click)(Form& form);
};

// Help in place: what a field holds, its unit and, for a result, the formula
// that computes it with the program's own constants.
struct Tip {
    std::string_view control;
    std::string_view text;
};

struct ScreenDef {
    const ScreenTable* table;
    std::span<const Handler> handlers;
    // The button whose handler the close box runs: the calculators return to the
    // main menu, the main menu ends the program. The program never runs on
    // without a visible window.
    std::string_view closeButton;
    std::span<const Tip> tips = {};

    const Handler* handler(std::string_view control) const
    {
        for (const Handler& h : handlers)
            if (h.control == control)
                return &h;
        return nullptr;
    }
};

} // namespace cepomer::engine
