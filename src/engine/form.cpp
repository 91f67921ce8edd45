// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "engine/form.h"

#include <stdexcept>

#include "engine/program.h"
#include "runtime/convert.h"
#include "runtime/fpenv.h"

namespace cepomer::engine {
namespace {

// The length of the well-formed UTF-8 sequence at the start of `text` and its
// code point, or 0 when it does not start with one.
std::size_t utf8Sequence(std::string_view text, char32_t& codePoint)
{
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(0);
    std::size_t length = 0;
    char32_t least = 0;
    if (lead < 0x80) {
        codePoint = lead;
        return 1;
    } else if (lead >= 0xC2 && lead < 0xE0) {
        length = 2, least = 0x80, codePoint = lead & 0x1Fu;
    } else if (lead >= 0xE0 && lead < 0xF0) {
        length = 3, least = 0x800, codePoint = lead & 0x0Fu;
    } else if (lead >= 0xF0 && lead < 0xF5) {
        length = 4, least = 0x10000, codePoint = lead & 0x07u;
    } else {
        return 0;
    }
    if (text.size() < length)
        return 0;
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0u) != 0x80u)
            return 0;
        codePoint = (codePoint << 6) | (byte(i) & 0x3Fu);
    }
    const bool surrogate = codePoint >= 0xD800 && codePoint <= 0xDFFF;
    if (codePoint < least || surrogate || codePoint > 0x10FFFF)
        return 0;
    return length;
}

} // namespace

AfterAccess::~AfterAccess()
{
    rt::clearFpFlags();
}

std::string fieldText(std::string_view text)
{
    constexpr std::string_view kReplacement = "\xEF\xBF\xBD"; // U+FFFD
    std::string out;
    std::size_t units = 0;
    while (!text.empty() && units < kMaxFieldLength) {
        char32_t codePoint = 0;
        const std::size_t length = utf8Sequence(text, codePoint);
        if (codePoint >= 0x10000 && length > 0 && units + 2 > kMaxFieldLength) {
            out += '?'; // the first half of a surrogate pair, alone at the limit
            break;
        }
        out += length > 0 ? text.substr(0, length) : kReplacement;
        units += codePoint >= 0x10000 && length > 0 ? 2 : 1;
        text.remove_prefix(length > 0 ? length : 1);
    }
    return out;
}

Form::Form(Program& program, const ScreenDef& def) : program_(program), def_(def)
{
    states_.reserve(def.table->controls.size());
    for (const Control& c : def.table->controls)
        states_.push_back(
            {c.kind == Kind::Field ? std::string() : std::string(c.caption), c.enabled});
}

const Control* Form::control(std::string_view name) const
{
    for (const Control& c : def_.table->controls)
        if (c.name == name)
            return &c;
    return nullptr;
}

std::size_t Form::require(std::string_view control, bool field) const
{
    const Control* c = this->control(control);
    if (!c)
        throw std::logic_error("no control " + std::string(control) + " on " + std::string(name()));
    if (field && c->kind != Kind::Field)
        throw std::logic_error("not a text field: " + std::string(control));
    return static_cast<std::size_t>(c - def_.table->controls.data());
}

const std::string& Form::textOf(const Control& control) const
{
    return states_.at(static_cast<std::size_t>(&control - def_.table->controls.data())).text;
}

bool Form::enabledOf(const Control& control) const
{
    return states_.at(static_cast<std::size_t>(&control - def_.table->controls.data())).enabled;
}

std::string Form::text(std::string_view control) const
{
    AfterAccess after;
    return states_[require(control, true)].text;
}

void Form::setText(std::string_view control, std::string_view text)
{
    AfterAccess after;
    const std::size_t i = require(control, true);
    states_[i].text = fieldText(text);
    if (View* view = program_.view())
        view->textSet(*this, def_.table->controls[i]);
}

bool Form::enabled(std::string_view control) const
{
    AfterAccess after;
    return states_[require(control, false)].enabled;
}

void Form::setEnabled(std::string_view control, bool on)
{
    AfterAccess after;
    const std::size_t i = require(control, false);
    if (states_[i].enabled == on)
        return;
    states_[i].enabled = on;
    if (View* view = program_.view())
        view->enabledSet(*this, def_.table->controls[i]);
}

void Form::enter(std::string_view field, std::string_view text)
{
    const std::size_t i = require(field, true);
    states_[i].text = fieldText(text);
    if (View* view = program_.view())
        view->entered(*this, def_.table->controls[i]);
}

rt::Single Form::readSingle(std::string_view field)
{
    const std::string t = text(field);
    return rt::toSingle(rt::rtcR8ValFromBstr(t));
}

void Form::writeSingle(std::string_view field, rt::Single value)
{
    setText(field, rt::vbaStrR4(value, program_.numberFormat()));
}

void Form::writeDouble(std::string_view field, rt::Double value)
{
    setText(field, rt::vbaStrVarVal(value, program_.numberFormat()));
}

void Form::show()
{
    program_.show(name());
}

void Form::hide()
{
    program_.hide(name());
}

void Form::unload()
{
    program_.unload(name());
}

} // namespace cepomer::engine
