// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "web/page.h"

#include <algorithm>
#include <vector>

#include "engine/form.h"
#include "engine/naming.h"
#include "screens/screen_list.h"
#include "web/dom.h"

namespace cepomer::web {
namespace {

using engine::Control;
using engine::Kind;

// The smallest control of any screen is this high on a wide screen.
constexpr double kSmallestControl = 24;

int pixels(int twips)
{
    return twips / engine::kTwipsPerPixel;
}

std::string elementId(const engine::Form& form, const Control& control)
{
    return std::string(form.name()) + "-" + std::string(control.name);
}

// The window scale: every control of every screen at least kSmallestControl
// CSS pixels high.
double wideScale()
{
    int smallest = 0;
    for (const engine::ScreenDef* def : screens::programScreens())
        for (const Control& c : def->table->controls)
            if (smallest == 0 || c.height < smallest)
                smallest = c.height;
    return kSmallestControl / (static_cast<double>(smallest) / engine::kTwipsPerPixel);
}

} // namespace

Page::Page() : scale_(wideScale())
{
    dom::setScale(scale_);
    dom::listen();
}

Page::~Page() = default;

void Page::start()
{
    dom::showEnded(false);
    program_ = std::make_unique<engine::Program>(screens::programScreens(), *this,
                                                 format_.value_or(rt::NumberFormat{}));
    program_->setView(this);
    program_->onEnded = [this] { ended(); };
    program_->start();
    settleHistory();
    dom::ready();
}

void Page::loaded(engine::Form& form)
{
    const engine::ScreenTable& table = form.table();
    const std::string screen(table.name);
    dom::addWindow(screen, std::string(table.caption), pixels(table.width), pixels(table.height));
    for (const Control* c : engine::readingOrder(table)) {
        dom::Control e{};
        e.control = std::string(c->name);
        e.left = pixels(c->left);
        e.top = pixels(c->top);
        e.width = pixels(c->width);
        e.height = pixels(c->height);
        e.classes = "control";
        const std::string accessible = engine::accessibleName(table, *c);
        switch (c->kind) {
        case Kind::Label: {
            // The label of a field focuses it; the label of a button without
            // a caption becomes that button's text where the screen is laid
            // out in one column.
            const Control* named = nullptr;
            for (const Control& other : table.controls)
                if (other.kind != Kind::Label && engine::namingLabel(table, other) == c)
                    named = &other;
            e.tag = "span";
            if (named && named->kind == Kind::Field) {
                e.tag = "label";
                e.labels = elementId(form, *named);
            } else if (named && named->caption.empty()) {
                e.classes += " names-button";
            }
            e.classes += c->align == engine::Align::Right    ? " label right"
                         : c->align == engine::Align::Center ? " label centre"
                                                             : " label";
            e.text = std::string(c->caption);
            break;
        }
        case Kind::Field:
            e.tag = "input";
            e.classes += " field";
            e.text = form.textOf(*c);
            e.name = accessible;
            break;
        case Kind::Button:
            e.tag = "button";
            e.classes += " button";
            e.textInColumn = c->caption.empty();
            e.text = e.textInColumn ? accessible : std::string(c->caption);
            if (accessible != c->caption)
                e.name = accessible;
            break;
        }
        if (c->kind != Kind::Label) {
            e.id = elementId(form, *c);
            e.disabled = !form.enabledOf(*c);
        }
        for (const engine::Tip& tip : form.def().tips)
            if (tip.control == c->name)
                e.tip = std::string(tip.text);
        dom::addControl(screen, e);
    }
}

// The enabled control that follows `after` (or the first one) in tab order.
void Page::focusFirst(const engine::Form& form, const Control* after)
{
    std::vector<const Control*> order = engine::tabOrder(form.table());
    auto start = std::find(order.begin(), order.end(), after);
    start = start == order.end() ? order.begin() : std::next(start);
    std::rotate(order.begin(), start, order.end());
    for (const Control* c : order) {
        if (form.enabledOf(*c)) {
            dom::focus(elementId(form, *c));
            return;
        }
    }
}

void Page::shown(engine::Form& form)
{
    dom::setHidden(std::string(form.name()), false);
    dom::setTitle(std::string(form.table().caption));
    layOut();
    if (!dom::restoreFocus(std::string(form.name())))
        focusFirst(form);
}

void Page::hidden(engine::Form& form)
{
    dom::keepFocus(std::string(form.name()));
    dom::setHidden(std::string(form.name()), true);
}

void Page::unloaded(engine::Form& form)
{
    dom::removeWindow(std::string(form.name()));
}

void Page::textSet(engine::Form& form, const Control& field)
{
    dom::setValue(elementId(form, field), form.textOf(field));
}

void Page::entered(engine::Form& form, const Control& field)
{
    dom::offerValue(elementId(form, field), form.textOf(field));
}

void Page::enabledSet(engine::Form& form, const Control& control)
{
    const bool on = form.enabledOf(control);
    if (dom::setDisabled(elementId(form, control), !on) && !on)
        focusFirst(form, &control); // as the desktop moves it on
}

void Page::report(engine::Form& where, const rt::RuntimeError& error)
{
    dom::showError(std::string(where.table().caption), error.what());
}

void Page::errorClosed()
{
    dom::returnFocusAfterError();
}

void Page::ended()
{
    dom::setTitle("Цепомер");
    dom::showEnded(true);
}

void Page::knowNumberFormat()
{
    if (!format_) {
        format_ = rt::NumberFormat{dom::decimalSeparator()};
        program_->setNumberFormat(*format_);
    }
}

void Page::click(const std::string& screen, const std::string& control)
{
    engine::Form* form = program_ ? program_->form(screen) : nullptr;
    if (!form || !form->shown())
        return;
    knowNumberFormat();
    if (control.empty())
        program_->closeBox(*form);
    else
        program_->click(*form, control);
    settleHistory();
}

void Page::pageButton(const std::string& id)
{
    if (id == "restart")
        start();
    else if (id == "error-ok")
        dom::closeError();
}

void Page::input(const std::string& screen, const std::string& field, const std::string& text)
{
    engine::Form* form = program_ ? program_->form(screen) : nullptr;
    if (form)
        form->enter(field, text);
}

// A calculator shown is a step into the page's history, so that Back (on a
// phone, the back gesture) closes it as its close box does instead of
// leaving the page.
void Page::settleHistory()
{
    bool calculator = false;
    if (program_ && !program_->ended())
        for (const engine::ScreenDef* def : program_->screens().subspan(1))
            if (const engine::Form* form = program_->form(def->table->name))
                calculator = calculator || form->shown();
    if (calculator && !calculatorEntry_) {
        dom::pushHistory();
        calculatorEntry_ = true;
    } else if (!calculator && calculatorEntry_) {
        calculatorEntry_ = false;
        popExpected_ = true;
        dom::backInHistory();
    }
}

void Page::back()
{
    if (popExpected_) {
        popExpected_ = false;
        return;
    }
    calculatorEntry_ = false;
    if (dom::errorShown()) {
        dom::closeError();
    } else if (program_ && !program_->ended()) {
        for (const engine::ScreenDef* def : program_->screens().subspan(1)) {
            if (engine::Form* form = program_->form(def->table->name); form && form->shown()) {
                knowNumberFormat();
                program_->closeBox(*form);
                break;
            }
        }
    }
    settleHistory();
}

// Each shown window at its original layout where it fits, in one column
// where it does not.
void Page::layOut()
{
    if (!program_)
        return;
    const double available = dom::clientWidth();
    for (const engine::ScreenDef* def : program_->screens())
        if (const engine::Form* form = program_->form(def->table->name))
            dom::setNarrow(std::string(form->name()),
                           available < pixels(def->table->width) * scale_ + 24);
}

} // namespace cepomer::web
