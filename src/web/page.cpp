// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "web/page.h"

#include "engine/form.h"
#include "screens/screen_list.h"
#include "web/dom.h"
#include "web/markup.h"

namespace cepomer::web {

using engine::Control;

Page::Page() : scale_(wideScale(screens::programScreens()))
{
    dom::listen();
}

Page::~Page() = default;

void Page::start(bool resume)
{
    dom::showEnded(false);
    program_ = std::make_unique<engine::Program>(screens::programScreens(), *this,
                                                 format_.value_or(rt::NumberFormat{}));
    if (!format_)
        program_->setNumberFormatSource([this] {
            format_ = rt::NumberFormat{dom::decimalSeparator()};
            return *format_;
        });
    program_->setView(this);
    program_->onEnded = [this] { ended(); };
    // A page the browser took away comes back as the user left it; an error
    // dialog that was open has done its work on the fields already.
    const std::string state = resume ? dom::savedState() : std::string();
    const bool restored = !state.empty() && program_->restore(state);
    if (!restored) {
        program_->start();
        // The history entry of a calculator that is not there: the menu's.
        if (dom::inCalculatorEntry())
            dom::replaceHistory();
    }
    settleHistory();
    if (restored)
        dom::restoreSavedFocus();
    save();
    dom::ready();
}

void Page::save()
{
    dom::saveState(program_->ended() ? std::string() : program_->save());
}

void Page::loaded(engine::Form& form)
{
    // The windows the page is built with are the screens as their tables
    // have them.
    dom::addWindow(std::string(form.name()), windowMarkup(form, scale_), !asItsTable(form));
}

void Page::focusFirst(const engine::Form& form, const Control* after)
{
    if (const Control* c = nextEnabled(form, after))
        dom::focus(elementId(form, *c));
}

void Page::shown(engine::Form& form)
{
    dom::setHidden(std::string(form.name()), false);
    dom::setTitle(std::string(form.table().caption));
    dom::fit();
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

void Page::click(const std::string& screen, const std::string& control)
{
    engine::Form* form = program_ ? program_->form(screen) : nullptr;
    if (!form || !form->shown())
        return;
    if (control.empty())
        program_->closeBox(*form);
    else
        program_->click(*form, control);
    settleHistory();
    save();
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
    if (form) {
        form->enter(field, text);
        save();
    }
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
    const bool entry = dom::inCalculatorEntry();
    if (calculator && !entry) {
        dom::pushHistory();
    } else if (!calculator && entry) {
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
    if (dom::errorShown()) {
        dom::closeError();
    } else if (program_ && !program_->ended()) {
        for (const engine::ScreenDef* def : program_->screens().subspan(1)) {
            if (engine::Form* form = program_->form(def->table->name); form && form->shown()) {
                program_->closeBox(*form);
                break;
            }
        }
    }
    settleHistory();
    save();
}

} // namespace cepomer::web
