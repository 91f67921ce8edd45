// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "calculators/cross_section/cross_section_screen.h"

#include <array>

#include "calculators/cross_section/cross_section.h"
#include "engine/form.h"
#include "engine/navigation.h"

namespace cepomer::calc {
namespace {

using engine::Align;
using engine::Control;
using engine::Form;
using namespace engine::kinds;

constexpr std::array kControls{
    Control{"lblEnter", L, " диаметр провода d,мм", 1275, 75, 1890, 240, 0, true, Align::Right},
    Control{"txtD", F, "", 3300, 75, 840, 285, 1},
    Control{"cmdRun", B, "расчёт", 1275, 450, 2865, 240, 2},
    Control{"lblSrez", L, "сечение провода, S,мм", 75, 825, 1890, 240, 3, true, Align::Right},
    Control{"txtSrez", F, "", 2100, 825, 3315, 285, 4},
    Control{"cmdExit", B, "выход", 75, 1200, 1290, 240, 5},
    Control{"cmdGm", B, "главное меню", 4050, 1200, 1290, 240, 6},
};

constexpr engine::ScreenTable kTable{"frmS", "сечение", engine::Border::FixedSingle,
                                     5520,   1545,      kControls};

// "расчёт": d from txtD, S into txtSrez. A failed check leaves txtSrez as it was.
void cmdRun_Click(Form& form)
{
    const rt::Single d = form.readSingle("txtD");
    const rt::Double s = crossSection(d);
    form.writeDouble("txtSrez", s);
}

constexpr std::array kHandlers{
    engine::Handler{"cmdRun", cmdRun_Click},
    engine::Handler{"cmdGm", engine::hideToMenu},   // cmdGm_Click: Hide, Show the menu
    engine::Handler{"cmdExit", engine::endProgram}, // cmdExit_Click
};

constexpr std::array kTips{
    engine::Tip{"txtD", "Диаметр провода d, мм"},
    engine::Tip{"txtSrez", "Сечение провода S, мм²:\nS = d² · 0,7854"},
};

constexpr engine::ScreenDef kScreen{&kTable, kHandlers, "cmdGm", kTips};

} // namespace

const engine::ScreenDef& crossSectionScreen()
{
    return kScreen;
}

} // namespace cepomer::calc
