// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "engine/program.h"

#include <stdexcept>

#include "engine/form.h"
#include "runtime/fpenv.h"

namespace cepomer::engine {
namespace {

// Unwinds the running handler when it ends the program.
struct EndOfProgram {};

} // namespace

Program::Program(std::span<const ScreenDef* const> screens, ErrorReporter& reporter,
                 rt::NumberFormat format)
    : screens_(screens), tables_(tablesFingerprint(screens)), reporter_(reporter),
      format_(std::move(format))
{
}

Program::~Program() = default;

const ScreenDef* Program::find(std::string_view screen) const
{
    for (const ScreenDef* def : screens_)
        if (def->table->name == screen)
            return def;
    return nullptr;
}

Form* Program::form(std::string_view screen) const
{
    const auto it = forms_.find(screen);
    return it == forms_.end() ? nullptr : it->second.get();
}

void Program::start()
{
    show(screens_.front()->table->name);
}

void Program::show(std::string_view screen)
{
    AfterAccess after;
    Form* f = form(screen);
    if (!f) {
        const ScreenDef* def = find(screen);
        if (!def)
            throw std::logic_error("no screen " + std::string(screen));
        auto created = std::make_unique<Form>(*this, *def);
        f = created.get();
        forms_.emplace(std::string(screen), std::move(created));
        if (view_)
            view_->loaded(*f);
    }
    f->shown_ = true;
    if (view_)
        view_->shown(*f);
}

void Program::hide(std::string_view screen)
{
    AfterAccess after;
    Form* f = form(screen);
    if (!f)
        return;
    f->shown_ = false;
    if (view_)
        view_->hidden(*f);
}

void Program::unload(std::string_view screen)
{
    AfterAccess after;
    const auto it = forms_.find(screen);
    if (it == forms_.end())
        return;
    std::unique_ptr<Form> gone = std::move(it->second);
    forms_.erase(it);
    gone->shown_ = false;
    if (view_)
        view_->unloaded(*gone);
    if (running_ > 0)
        unloaded_.push_back(std::move(gone)); // its handler is still running
}

void Program::end()
{
    throw EndOfProgram{};
}

void Program::finish()
{
    ended_ = true;
    for (auto& [name, f] : forms_) {
        f->shown_ = false;
        if (view_)
            view_->unloaded(*f);
    }
    forms_.clear();
    if (onEnded)
        onEnded();
}

void Program::click(Form& form, std::string_view button)
{
    if (ended_)
        return;
    const Handler* handler = form.def().handler(button);
    if (!handler)
        return;
    ++running_;
    rt::clearFpFlags();
    try {
        handler->click(form);
    } catch (const rt::RuntimeError& error) {
        reporter_.report(form, error);
    } catch (const EndOfProgram&) {
        --running_;
        unloaded_.clear();
        finish();
        return;
    }
    if (--running_ == 0)
        unloaded_.clear();
}

void Program::closeBox(Form& form)
{
    click(form, form.def().closeButton);
}

} // namespace cepomer::engine
