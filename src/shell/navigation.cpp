// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "shell/navigation.h"

#include "shell/form.h"
#include "shell/program.h"

namespace cepomer::shell {

void endProgram(Form& form)
{
    form.program().end();
}

void unloadToMenu(Form& form)
{
    Program& program = form.program();
    form.hide();
    form.unload();
    program.show(kMainMenu);
}

void hideToMenu(Form& form)
{
    form.hide();
    form.program().show(kMainMenu);
}

} // namespace cepomer::shell
