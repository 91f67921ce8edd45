// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "engine/navigation.h"

#include "engine/form.h"
#include "engine/program.h"

namespace cepomer::engine {
namespace {

void showMenu(Program& program)
{
    program.show(program.screens().front()->table->name);
}

} // namespace

void endProgram(Form& form)
{
    form.program().end();
}

void unloadToMenu(Form& form)
{
    Program& program = form.program();
    form.hide();
    form.unload();
    showMenu(program);
}

void hideToMenu(Form& form)
{
    form.hide();
    showMenu(form.program());
}

} // namespace cepomer::engine
