// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

// A window of the page as HTML: what the page inserts for each loaded screen,
// and what the built page holds already for the startup screen, so that the
// main menu is there before the module is.
#pragma once

#include <span>
#include <string>

#include "engine/form.h"
#include "engine/screen_def.h"

namespace cepomer::web {

// The scale of the wide layout: every control of every screen at least 24
// CSS pixels high.
double wideScale(std::span<const engine::ScreenDef* const> screens);

// Where each window and control of the screens stands in the wide layout and
// at what scale, as the page's style sheet: CSS rules that set the custom
// properties the sheet's layout reads (--s, --cw and --ch of a window, --l,
// --t, --w and --h of a control), one per window and one per control, each
// found by its screen or its id. All of it comes from the screen tables, so the
// build writes it once into the page; the windows' HTML carries no style.
std::string layoutRules(std::span<const engine::ScreenDef* const> screens);

// The id of a control's element.
std::string elementId(const engine::Form& form, const engine::Control& control);

// The enabled control that follows `after` (or the first one) in tab order;
// nullptr when none is enabled.
const engine::Control* nextEnabled(const engine::Form& form,
                                   const engine::Control* after = nullptr);

// Whether a loaded screen is as its table has it (every Enabled as listed,
// every field empty): the window the page may hold already.
bool asItsTable(const engine::Form& form);

// What a button of the startup window is known to do from the start: hide
// that window and show `screen`, as its table has it, focusing the control
// of id `focus`. The page does so itself for a click before the engine runs,
// and the engine, carrying out the click, finds it done.
struct Opening {
    std::string_view button;
    std::string screen;
    std::string focus;
};

// The window of a screen in its form's present state, hidden: a section with
// its title bar (caption and close box) and its controls in reading order.
// `autofocus` is the control the browser focuses once the page is read;
// `openings`, what its buttons are known to open.
std::string windowMarkup(const engine::Form& form, double scale,
                         const engine::Control* autofocus = nullptr,
                         std::span<const Opening> openings = {});

} // namespace cepomer::web
