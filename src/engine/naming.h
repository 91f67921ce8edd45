// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

// What assistive technology calls each control: the same names on every front
// end, from the screen table alone.
#pragma once

#include <string>
#include <vector>

#include "engine/screen_table.h"

namespace cepomer::engine {

// The label that names a control: the nearest label ending left of it in the
// same row. nullptr when there is none.
const Control* namingLabel(const ScreenTable& table, const Control& control);

// The label heading the section a control stands in: the nearest label above
// it that spans it. nullptr when there is none.
const Control* sectionLabel(const ScreenTable& table, const Control& control);

// The accessible name of a field or of a button without caption: the caption
// of its naming label, with the section heading first where another control
// of the screen is named by the same caption. Empty when no label names it.
// A button with a caption is named by its caption, with the section heading
// first where another button has the same caption.
std::string accessibleName(const ScreenTable& table, const Control& control);

// The controls that take the focus (fields and buttons), in tab order.
std::vector<const Control*> tabOrder(const ScreenTable& table);

// Every control of a screen in the order a reader meets them where the screen
// is laid out in one column: the controls that take the focus in tab order,
// each preceded by the label that names it, and each section's heading just
// before the first control of its section; labels that name and head nothing
// come last.
std::vector<const Control*> readingOrder(const ScreenTable& table);

} // namespace cepomer::engine
