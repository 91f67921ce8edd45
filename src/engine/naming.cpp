// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "engine/naming.h"

#include <algorithm>
#include <string_view>

namespace cepomer::engine {
namespace {

std::string trimmed(std::string_view s)
{
    constexpr std::string_view kBlanks = " \t\n\v\f\r";
    const auto first = s.find_first_not_of(kBlanks);
    if (first == std::string_view::npos)
        return {};
    return std::string(s.substr(first, s.find_last_not_of(kBlanks) - first + 1));
}

} // namespace

const Control* sectionLabel(const ScreenTable& table, const Control& control)
{
    const Control* best = nullptr;
    for (const Control& c : table.controls) {
        if (c.kind != Kind::Label || c.top >= control.top || c.left > control.left ||
            c.left + c.width < control.left + control.width)
            continue;
        if (!best || c.top > best->top)
            best = &c;
    }
    return best;
}

const Control* namingLabel(const ScreenTable& table, const Control& control)
{
    const Control* best = nullptr;
    for (const Control& c : table.controls) {
        if (c.kind != Kind::Label || c.top != control.top || c.left + c.width > control.left)
            continue;
        if (!best || c.left > best->left)
            best = &c;
    }
    return best;
}

std::string accessibleName(const ScreenTable& table, const Control& control)
{
    // A button with a caption is named by it. Two buttons of one caption (the
    // series and the parallel "R,C") are told apart by their section:
    // "последовательной: R,C", "параллельной: R,C".
    if (control.kind == Kind::Button && !control.caption.empty()) {
        const std::string own = trimmed(control.caption);
        for (const Control& other : table.controls) {
            if (&other == &control || other.kind != Kind::Button || trimmed(other.caption) != own)
                continue;
            if (const Control* section = sectionLabel(table, control))
                return trimmed(section->caption) + ": " + own;
        }
        return std::string(control.caption);
    }
    const Control* label = namingLabel(table, control);
    if (!label)
        return {};
    const std::string own = trimmed(label->caption);
    // Two fields named alike (an input and its result) are told apart by the
    // heading of their section: "ввод значений: I,A", "результат: I,A".
    for (const Control& other : table.controls) {
        if (&other == &control || other.kind == Kind::Label)
            continue;
        const Control* otherLabel = namingLabel(table, other);
        if (otherLabel && trimmed(otherLabel->caption) == own) {
            if (const Control* section = sectionLabel(table, control))
                return trimmed(section->caption) + ": " + own;
        }
    }
    return own;
}

std::vector<const Control*> tabOrder(const ScreenTable& table)
{
    std::vector<const Control*> order;
    for (const Control& c : table.controls)
        if (c.kind != Kind::Label)
            order.push_back(&c);
    std::stable_sort(order.begin(), order.end(),
                     [](const Control* a, const Control* b) { return a->tab < b->tab; });
    return order;
}

std::vector<const Control*> readingOrder(const ScreenTable& table)
{
    const std::vector<const Control*> focusable = tabOrder(table);
    std::vector<const Control*> order;
    const auto placed = [&](const Control* c) {
        return std::find(order.begin(), order.end(), c) != order.end();
    };
    for (const Control* c : focusable) {
        const Control* heading = sectionLabel(table, *c);
        const Control* label = namingLabel(table, *c);
        if (heading && heading != label && !placed(heading))
            order.push_back(heading);
        if (label && !placed(label))
            order.push_back(label);
        order.push_back(c);
    }
    for (const Control& c : table.controls)
        if (!placed(&c))
            order.push_back(&c);
    return order;
}

} // namespace cepomer::engine
