// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The few things the page asks of the document, each one call into the
// browser: elements are named by their ids, windows by their screens' names.
// Strings are UTF-8.
#pragma once

#include <string>

namespace cepomer::web::dom {

// The window of a screen, hidden, with its title bar (caption and close box)
// and an empty client area of the given size in pixels at scale 1.
void addWindow(const std::string& screen, const std::string& caption, int width, int height);

struct Control {
    const char* tag; // "span", "label", "input" or "button"
    std::string id;  // empty for a label
    std::string classes;
    std::string text;             // a label's or button's caption, a field's value
    std::string name;             // the accessible name where the text does not give it
    std::string tip;              // the tool tip, also the accessible description
    std::string labels;           // the id of the field a label names
    std::string control;          // the control's name in its table
    int left, top, width, height; // pixels at scale 1
    bool disabled;
    bool textInColumn; // a button's text shown only in the one-column layout
};
void addControl(const std::string& screen, const Control& control);

void setHidden(const std::string& screen, bool hidden);
void removeWindow(const std::string& screen);
void setNarrow(const std::string& screen, bool narrow);

void setValue(const std::string& id, const std::string& value);
// Only where the field does not hold it already (its caret stays).
void offerValue(const std::string& id, const std::string& value);
// Whether the control had the focus.
bool setDisabled(const std::string& id, bool disabled);
void focus(const std::string& id);
// The focus within a window: kept when it is hidden, given back when shown.
void keepFocus(const std::string& screen);
bool restoreFocus(const std::string& screen);

void setTitle(const std::string& title);
void showError(const std::string& title, const std::string& text);
void closeError();
bool errorShown();
void returnFocusAfterError();
void showEnded(bool shown);
void ready();

void pushHistory();
void backInHistory();

double clientWidth();
void setScale(double scale);
std::string decimalSeparator();

// Passes the document's events on to the functions the module exports.
void listen();

} // namespace cepomer::web::dom
