// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Handlers every screen shares: "выход" and the ways back to the main menu.
#pragma once

namespace cepomer::engine {

class Form;

// "выход": ends the program at once.
void endProgram(Form& form);
// The main menu is the startup screen.
//
// "главное меню" of the calculators that start afresh: Hide, Unload, Show the menu.
void unloadToMenu(Form& form);
// "главное меню" of a screen that keeps its fields: Hide, Show the menu.
void hideToMenu(Form& form);

} // namespace cepomer::engine
