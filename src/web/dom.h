// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The few things the page asks of the document, each one call into the
// browser: elements are named by their ids, windows by their screens' names.
// Strings are UTF-8.
#pragma once

#include <string>

namespace cepomer::web::dom {

// The window of a screen, from its markup (hidden). The page is built with
// its startup window in it, drawn from its table: that one is kept unless
// `replace`.
void addWindow(const std::string& screen, const std::string& markup, bool replace);

void setHidden(const std::string& screen, bool hidden);
void removeWindow(const std::string& screen);
// Each window as drawn where the document is wide enough for it, in one
// column where it is not.
void fit();

void setValue(const std::string& id, const std::string& value);
// Only where the field does not hold it already (its caret stays).
void offerValue(const std::string& id, const std::string& value);
// Whether the control had the focus.
bool setDisabled(const std::string& id, bool disabled);
void focus(const std::string& id);
// The focus within a window: kept when it is hidden, given back when shown
// (true where the window has it then, as the main menu the page is built
// with may have before the engine shows it).
void keepFocus(const std::string& screen);
bool restoreFocus(const std::string& screen);

void setTitle(const std::string& title);
void showError(const std::string& title, const std::string& text);
void closeError();
bool errorShown();
void returnFocusAfterError();
void showEnded(bool shown);
// The engine runs: what the user clicked before is carried out now.
void ready();

// A history entry for the calculator shown.
void pushHistory();
// Out of that entry: at once no longer a calculator's, then left.
void backInHistory();
// The current entry made no longer a calculator's, staying on it.
void replaceHistory();
// Whether the page's current history entry is one pushHistory() made (it
// outlives a reload).
bool inCalculatorEntry();

// The program's state kept for this tab (sessionStorage) through a reload or
// a tab the browser discarded: "" when there is none, or storage is
// unavailable. Saving "" forgets it. A storage that fails is as none, and one
// that refuses a state keeps none rather than an older one.
std::string savedState();
void saveState(const std::string& state);
// The focus as the user last left it, given back where that control is there
// to take it.
void restoreSavedFocus();

std::string decimalSeparator();

// Passes the document's events on to the functions the module exports.
void listen();

} // namespace cepomer::web::dom
