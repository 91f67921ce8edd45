// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "desktop/desktop.h"

#include <QLineEdit>

#include "desktop/screen_window.h"
#include "engine/form.h"
#include "screens/screen_list.h"

namespace cepomer::desktop {

Desktop::Desktop(engine::Program& program) : program_(program)
{
    program_.setView(this);
}

Desktop::~Desktop()
{
    program_.setView(nullptr);
    for (auto& [form, window] : windows_) {
        window->hide();
        window->deleteLater();
    }
}

ScreenWindow* Desktop::window(const engine::Form& form) const
{
    const auto it = windows_.find(&form);
    return it == windows_.end() ? nullptr : it->second;
}

void Desktop::loaded(engine::Form& form)
{
    auto* window = new ScreenWindow(
        form.def(), [this, &form](std::string_view button) { program_.click(form, button); },
        [this, &form](std::string_view field, const QString& text) {
            if (!applying_)
                form.enter(field, text.toStdString());
        },
        [this, &form] { program_.closeBox(form); });
    windows_.emplace(&form, window);
    // As it is: a restored screen is not as its table has it.
    for (const engine::Control& c : form.table().controls) {
        if (c.kind == engine::Kind::Field)
            textSet(form, c);
        enabledSet(form, c);
    }
    window->centre();
}

void Desktop::shown(engine::Form& form)
{
    ScreenWindow* w = window(form);
    w->show();
    w->raise();
    w->activateWindow();
}

void Desktop::hidden(engine::Form& form)
{
    window(form)->hide();
}

void Desktop::unloaded(engine::Form& form)
{
    const auto it = windows_.find(&form);
    ScreenWindow* w = it->second;
    windows_.erase(it);
    w->hide();
    w->deleteLater(); // the click that unloads it may still be on the stack
}

void Desktop::textSet(engine::Form& form, const engine::Control& field)
{
    auto* edit = static_cast<QLineEdit*>(window(form)->control(field.name));
    applying_ = true;
    edit->setText(QString::fromStdString(form.textOf(field)));
    applying_ = false;
}

void Desktop::entered(engine::Form& form, const engine::Control& field)
{
    // What the user typed here is there already; what came another way is shown.
    auto* edit = static_cast<QLineEdit*>(window(form)->control(field.name));
    if (engine::fieldText(edit->text().toStdString()) != form.textOf(field))
        textSet(form, field);
}

void Desktop::enabledSet(engine::Form& form, const engine::Control& control)
{
    window(form)->control(control.name)->setEnabled(form.enabledOf(control));
}

DesktopProgram::DesktopProgram(rt::NumberFormat format)
    : program(screens::programScreens(), reporter, std::move(format))
{
}

} // namespace cepomer::desktop
