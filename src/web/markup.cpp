// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "web/markup.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "engine/naming.h"
#include "runtime/convert.h"

namespace cepomer::web {
namespace {

using engine::Control;
using engine::Kind;

// The smallest control of any screen is this high on a wide screen.
constexpr double kSmallestControl = 24;
// Room beside a window in the wide layout: the desk's margins.
constexpr double kDeskMargins = 24;

// A length or scale for the style sheet: 6 significant digits, as CSS needs
// no more.
std::string number(double value)
{
    return rt::formatNumber(value, 6, rt::NumberFormat{});
}

int pixels(int twips)
{
    return twips / engine::kTwipsPerPixel;
}

// Text as HTML, in an element or in a quoted attribute.
void appendEscaped(std::string& out, std::string_view text)
{
    for (char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\'':
            out += "&#39;";
            break;
        default:
            out += c;
        }
    }
}

void appendAttribute(std::string& out, std::string_view name, std::string_view value)
{
    out += ' ';
    out += name;
    out += "=\"";
    appendEscaped(out, value);
    out += '"';
}

std::string id(std::string_view screen, const Control& control)
{
    return std::string(screen) + "-" + std::string(control.name);
}

void appendControl(std::string& out, const engine::Form& form, const Control& c, bool autofocus,
                   std::span<const Opening> openings)
{
    const engine::ScreenTable& table = form.table();
    const std::string accessible = engine::accessibleName(table, c);
    std::string classes = "control";
    std::string tag;
    std::string attributes;
    std::string content;
    switch (c.kind) {
    case Kind::Label: {
        // The label of a field focuses it; the label of a button without a
        // caption becomes that button's text where the screen is laid out in
        // one column.
        const Control* named = nullptr;
        for (const Control& other : table.controls)
            if (other.kind != Kind::Label && engine::namingLabel(table, other) == &c)
                named = &other;
        tag = "span";
        if (named && named->kind == Kind::Field) {
            tag = "label";
            appendAttribute(attributes, "for", elementId(form, *named));
        } else if (named && named->caption.empty()) {
            classes += " names-button";
        }
        classes += c.align == engine::Align::Right    ? " label right"
                   : c.align == engine::Align::Center ? " label centre"
                                                      : " label";
        appendEscaped(content, c.caption);
        break;
    }
    case Kind::Field:
        tag = "input";
        classes += " field";
        attributes += " type=\"text\" inputmode=\"decimal\" autocomplete=\"off\""
                      " spellcheck=\"false\" maxlength=\"32767\"";
        appendAttribute(attributes, "value", form.textOf(c));
        appendAttribute(attributes, "aria-label", accessible);
        break;
    case Kind::Button:
        tag = "button";
        classes += " button";
        attributes += " type=\"button\"";
        if (c.caption.empty()) {
            // Shown only in one column, where no label stands beside it.
            content = "<span class=\"column-only\" aria-hidden=\"true\">";
            appendEscaped(content, accessible);
            content += "</span>";
        } else {
            appendEscaped(content, c.caption);
        }
        if (accessible != c.caption)
            appendAttribute(attributes, "aria-label", accessible);
        break;
    }
    // Every control has an id: the page's style sheet places it by that.
    appendAttribute(attributes, "id", elementId(form, c));
    if (c.kind != Kind::Label) {
        appendAttribute(attributes, "data-screen", form.name());
        appendAttribute(attributes, "data-control", c.name);
        if (!form.enabledOf(c))
            attributes += " disabled";
        if (autofocus)
            attributes += " autofocus";
        for (const Opening& o : openings)
            if (o.button == c.name) {
                appendAttribute(attributes, "data-opens", o.screen);
                appendAttribute(attributes, "data-opens-focus", o.focus);
            }
    }
    for (const engine::Tip& tip : form.def().tips)
        if (tip.control == c.name)
            appendAttribute(attributes, "title", tip.text);

    out += '<';
    out += tag;
    appendAttribute(out, "class", classes);
    out += attributes;
    out += '>';
    if (c.kind != Kind::Field) {
        out += content;
        out += "</";
        out += tag;
        out += '>';
    }
}

} // namespace

double wideScale(std::span<const engine::ScreenDef* const> screens)
{
    int smallest = 0;
    for (const engine::ScreenDef* def : screens)
        for (const Control& c : def->table->controls)
            if (smallest == 0 || c.height < smallest)
                smallest = c.height;
    return kSmallestControl / (static_cast<double>(smallest) / engine::kTwipsPerPixel);
}

std::string elementId(const engine::Form& form, const Control& control)
{
    return id(form.name(), control);
}

std::string layoutRules(std::span<const engine::ScreenDef* const> screens)
{
    std::string out = ".window{--s:" + number(wideScale(screens)) + "}\n";
    for (const engine::ScreenDef* def : screens) {
        const engine::ScreenTable& table = *def->table;
        out += ".window[data-screen=" + std::string(table.name) +
               "]{--cw:" + std::to_string(pixels(table.width)) +
               ";--ch:" + std::to_string(pixels(table.height)) + "}\n";
        for (const Control& c : table.controls)
            out += "#" + id(table.name, c) + "{--l:" + std::to_string(pixels(c.left)) +
                   ";--t:" + std::to_string(pixels(c.top)) +
                   ";--w:" + std::to_string(pixels(c.width)) +
                   ";--h:" + std::to_string(pixels(c.height)) + "}\n";
    }
    return out;
}

const Control* nextEnabled(const engine::Form& form, const Control* after)
{
    std::vector<const Control*> order = engine::tabOrder(form.table());
    auto start = std::find(order.begin(), order.end(), after);
    start = start == order.end() ? order.begin() : std::next(start);
    std::rotate(order.begin(), start, order.end());
    for (const Control* c : order)
        if (form.enabledOf(*c))
            return c;
    return nullptr;
}

bool asItsTable(const engine::Form& form)
{
    for (const Control& c : form.table().controls)
        if (form.enabledOf(c) != c.enabled || (c.kind == Kind::Field && !form.textOf(c).empty()))
            return false;
    return true;
}

std::string windowMarkup(const engine::Form& form, double scale, const Control* autofocus,
                         std::span<const Opening> openings)
{
    const engine::ScreenTable& table = form.table();
    const std::string name(table.name);
    const int width = pixels(table.width);
    std::string out = "<section class=\"window\" role=\"dialog\"";
    appendAttribute(out, "aria-labelledby", name + "-title");
    appendAttribute(out, "data-screen", name);
    // The narrowest document that shows the window as drawn; a narrower one
    // shows it in one column. A whole number: widths are whole pixels.
    appendAttribute(out, "data-fits", number(std::ceil(width * scale + kDeskMargins)));
    out += " hidden><div class=\"titlebar\"><h2";
    appendAttribute(out, "id", name + "-title");
    out += '>';
    appendEscaped(out, table.caption);
    out += "</h2><button type=\"button\" class=\"close\" title=\"Закрыть\" aria-label=\"Закрыть\"";
    appendAttribute(out, "data-screen", name);
    out += " data-close=\"1\">×</button></div><div class=\"client\">";
    for (const Control* c : engine::readingOrder(table))
        appendControl(out, form, *c, c == autofocus, openings);
    out += "</div></section>";
    return out;
}

} // namespace cepomer::web
