// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "calculators/reactance/reactance_screen.h"

#include <array>
#include <string_view>

#include "calculators/reactance/reactance.h"
#include "engine/form.h"
#include "engine/navigation.h"

namespace cepomer::calc {
namespace {

using engine::Align;
using engine::Control;
using engine::Form;
using namespace engine::kinds;

// "Хс" is Cyrillic, "Xl" Latin; the quantity letters of the captions are Latin.
constexpr std::array kControls{
    Control{"cmdXc", B, "Хс", 75, 75, 1815, 315, 0},
    Control{"cmdXl", B, "Xl", 2550, 75, 1815, 315, 1},
    Control{"lblEnter", L, "ввести значения", 75, 525, 4290, 240, 2, true, Align::Center},
    Control{"lblC", L, "C,Ф", 75, 900, 390, 240, 3, true, Align::Right},
    Control{"txtC", F, "", 525, 900, 840, 285, 4, false},
    Control{"lblL", L, "L,Гн", 1575, 900, 390, 240, 5, true, Align::Right},
    Control{"txtL", F, "", 2025, 900, 840, 285, 6, false},
    Control{"lblF", L, "F,Гц", 3075, 900, 390, 240, 7, true, Align::Right},
    Control{"txtF", F, "", 3525, 900, 840, 285, 8},
    Control{"cmdRun", B, "расчёт ", 75, 1275, 4290, 315, 9},
    Control{"lblRez", L, "результат", 75, 1725, 4290, 240, 10, true, Align::Center},
    Control{"lblX", L, "X", 1050, 2100, 165, 240, 11, true, Align::Right},
    Control{"txtX", F, "", 1350, 2100, 2115, 285, 12},
    Control{"cmdExit", B, "выход", 75, 2475, 1815, 315, 13},
    Control{"cmdGp", B, "главное меню", 2550, 2475, 1815, 315, 14},
};

constexpr engine::ScreenTable kTable{
    "frmX", "расчёт реактивных сопротивлений", engine::Border::FixedSingle, 4470, 2910, kControls};

// A kind of reactance: the field its button makes available and the other
// kind's button, which it disables for good.
struct Choice {
    std::string_view field;
    std::string_view other;
};

constexpr Choice kCapacitive{"txtC", "cmdXl"};
constexpr Choice kInductive{"txtL", "cmdXc"};

// cmdXc_Click and cmdXl_Click: enable the field if it is not yet, then disable
// the other kind's button. A second click changes nothing.
template <const Choice& choice> void choose(Form& form)
{
    if (!form.enabled(choice.field))
        form.setEnabled(choice.field, true);
    form.setEnabled(choice.other, false);
}

// "расчёт ": all three fields are read, then the capacitive button decides; it
// is enabled before any choice, so XC is the default. Reading the button clears
// the flags, so the check covers the arithmetic alone. A failed check leaves
// txtX as it was.
void cmdRun_Click(Form& form)
{
    const rt::Single l = form.readSingle("txtL");
    const rt::Single c = form.readSingle("txtC");
    const rt::Single f = form.readSingle("txtF");
    const rt::Double x =
        form.enabled("cmdXc") ? capacitiveReactance(f, c) : inductiveReactance(f, l);
    form.writeDouble("txtX", x);
}

constexpr std::array kHandlers{
    engine::Handler{"cmdXc", choose<kCapacitive>},
    engine::Handler{"cmdXl", choose<kInductive>},
    engine::Handler{"cmdRun", cmdRun_Click},
    engine::Handler{"cmdGp", engine::unloadToMenu}, // cmdGp_Click: Hide, Unload, Show the menu
    engine::Handler{"cmdExit", engine::endProgram}, // cmdExit_Click
};

constexpr std::array kTips{
    engine::Tip{"txtC", "Ёмкость C, Ф"},
    engine::Tip{"txtL", "Индуктивность L, Гн"},
    engine::Tip{"txtF", "Частота F, Гц"},
    engine::Tip{"txtX", "Реактивное сопротивление X, Ом:\nёмкостное Xc = 1 / (F · 6,28 · "
                        "C),\nиндуктивное Xl = F · 6,28 · L"},
};

constexpr engine::ScreenDef kScreen{&kTable, kHandlers, "cmdGp", kTips};

} // namespace

const engine::ScreenDef& reactanceScreen()
{
    return kScreen;
}

} // namespace cepomer::calc
