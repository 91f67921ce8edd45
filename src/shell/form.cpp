// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "shell/form.h"

#include <stdexcept>
#include <string>

#include <QLineEdit>
#include <QPushButton>

#include "runtime/convert.h"
#include "runtime/fpenv.h"
#include "shell/program.h"
#include "shell/screen_window.h"

namespace cepomer::shell {
AfterAccess::~AfterAccess()
{
    rt::clearFpFlags();
}

Form::Form(Program& program, const ScreenDef& def)
    : program_(program), def_(def),
      window_(new ScreenWindow(
          def, [this](std::string_view button) { program_.click(*this, button); },
          [this] { program_.closeBox(*this); }))
{
}

Form::~Form()
{
    window_->hide();
    window_->deleteLater(); // the click that unloads it may still be on the stack
}

QWidget* Form::control(std::string_view name) const
{
    return window_->control(name);
}

QWidget& Form::require(std::string_view control) const
{
    if (QWidget* w = window_->control(control))
        return *w;
    throw std::logic_error("no control " + std::string(control) + " on " + std::string(name()));
}

std::string Form::text(std::string_view control) const
{
    AfterAccess after;
    auto* edit = qobject_cast<QLineEdit*>(&require(control));
    if (!edit)
        throw std::logic_error("not a text field: " + std::string(control));
    return edit->text().toStdString();
}

void Form::setText(std::string_view control, std::string_view text)
{
    AfterAccess after;
    auto* edit = qobject_cast<QLineEdit*>(&require(control));
    if (!edit)
        throw std::logic_error("not a text field: " + std::string(control));
    edit->setText(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

bool Form::enabled(std::string_view control) const
{
    AfterAccess after;
    return require(control).isEnabled();
}

void Form::setEnabled(std::string_view control, bool on)
{
    AfterAccess after;
    require(control).setEnabled(on);
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

} // namespace cepomer::shell
