// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "calculators/impedance/impedance_screen.h"

#include <array>
#include <cstddef>
#include <string_view>
#include <utility>

#include "calculators/impedance/impedance.h"
#include "engine/form.h"
#include "engine/navigation.h"

namespace cepomer::calc {
namespace {

using engine::Align;
using engine::Control;
using engine::Form;
using namespace engine::kinds;
constexpr Align R = Align::Right;
constexpr Align C = Align::Center;

// Top to bottom, left to right. The tab order is the table's own: txtF comes
// last. "С,Ф" has a Cyrillic С; "F, Гц" has a blank after the comma.
constexpr std::array kControls{
    Control{"lblPosl", L, "последовательной", 75, 150, 2715, 240, 27, true, C},
    Control{"lblParall", L, "параллельной", 3225, 150, 2715, 240, 26, true, C},
    Control{"cmdRC", B, "R,C", 75, 525, 615, 315, 0},
    Control{"cmdRL", B, "R,L", 1125, 525, 615, 315, 1},
    Control{"cmdRLC", B, "R,L,C", 2175, 525, 615, 315, 2},
    Control{"cmdRCp", B, "R,C", 3225, 525, 615, 315, 3},
    Control{"cmdRLp", B, "R,L", 5325, 525, 615, 315, 4},
    Control{"lblEnter", L, "ввести значения", 75, 975, 5865, 240, 5, true, C},
    Control{"дидК", L, "R,Ом", 75, 1350, 465, 240, 6, true, R},
    Control{"txtR", F, "", 600, 1350, 2040, 285, 9, false},
    Control{"lblL", L, "L,Гн", 3375, 1350, 465, 240, 8, true, R},
    Control{"txtL", F, "", 3900, 1350, 2040, 285, 11, false},
    Control{"lblC", L, "С,Ф", 75, 1725, 465, 240, 7, true, R},
    Control{"txtC", F, "", 600, 1725, 2040, 285, 10, false},
    Control{"lblF", L, "F, Гц", 3375, 1725, 465, 240, 25, true, R},
    Control{"txtF", F, "", 3900, 1725, 2040, 285, 24},
    Control{"cmdRun", B, "расчёт", 75, 2100, 5865, 315, 12},
    Control{"lblRez", L, "результат", 75, 2550, 5865, 240, 13, true, C},
    Control{"lblZ", L, "Z,Ом", 75, 2925, 465, 240, 16, true, R},
    Control{"txtZ", F, "", 600, 2925, 2190, 285, 17},
    Control{"lblSin", L, "Sin ф", 2925, 2925, 465, 240, 18, true, R},
    Control{"txtSin", F, "", 3450, 2925, 2490, 285, 19},
    Control{"lblCos", L, "Cos ф", 75, 3300, 465, 240, 20, true, R},
    Control{"txtCos", F, "", 600, 3300, 2190, 285, 21},
    Control{"lblTan", L, "Tg ф", 2925, 3300, 465, 240, 14, true, R},
    Control{"txtTan", F, "", 3450, 3300, 2490, 285, 15},
    Control{"cmdExit", B, "выход", 75, 3675, 2040, 315, 22},
    Control{"cmdGm", B, "главное меню", 3900, 3675, 2040, 315, 23},
};

constexpr engine::ScreenTable kTable{
    "frmZ", "полное сопротивление цепи", engine::Border::Sizable, 6030, 4095, kControls};

// A circuit button: the circuit it stands for, the fields it makes available
// (each examined only while the one before it had to be enabled) and the other
// circuit buttons it disables, in order.
struct CircuitButton {
    std::string_view button;
    Circuit circuit;
    std::array<std::string_view, 3> fields;
    std::array<std::string_view, 4> disables;
};

// In the order of the circuit codes, which is also the order cmdRun reads them.
// clang-format off
constexpr std::array kCircuits{
    CircuitButton{"cmdRC",  Circuit::SeriesRC,   {"txtR", "txtC"},         {"cmdRL", "cmdRLC", "cmdRLp", "cmdRCp"}},
    CircuitButton{"cmdRL",  Circuit::SeriesRL,   {"txtR", "txtL"},         {"cmdRLC", "cmdRLp", "cmdRCp", "cmdRC"}},
    CircuitButton{"cmdRLC", Circuit::SeriesRLC,  {"txtR", "txtL", "txtC"}, {"cmdRLp", "cmdRCp", "cmdRL", "cmdRC"}},
    CircuitButton{"cmdRCp", Circuit::ParallelRC, {"txtR", "txtC"},         {"cmdRL", "cmdRLC", "cmdRLp", "cmdRC"}},
    CircuitButton{"cmdRLp", Circuit::ParallelRL, {"txtR", "txtL"},         {"cmdRCp", "cmdRL", "cmdRC", "cmdRLC"}},
};
// clang-format on

// cmdRC_Click ... cmdRLp_Click: enable the circuit's fields in a chain that
// stops at the first field already enabled, then disable the other four
// buttons. The clicked button stays enabled; a second click changes nothing.
template <std::size_t index> void chooseCircuit(Form& form)
{
    const CircuitButton& chosen = kCircuits[index];
    for (const std::string_view field : chosen.fields) {
        if (field.empty() || form.enabled(field))
            break;
        form.setEnabled(field, true);
    }
    for (const std::string_view button : chosen.disables)
        form.setEnabled(button, false);
}

// The last enabled circuit button decides; with none chosen all five are
// enabled and the parallel R, L circuit is computed.
Circuit chosenCircuit(const Form& form)
{
    Circuit circuit = Circuit::SeriesRC;
    for (const CircuitButton& c : kCircuits)
        if (form.enabled(c.button))
            circuit = c.circuit;
    return circuit;
}

// "расчёт": every input is read on every press, whatever the circuit; the
// button reads that follow clear the flags, so an input beyond the Single range
// flows on as an infinity. Everything is computed before the first write, so a
// failure leaves every result field as it was.
void cmdRun_Click(Form& form)
{
    Elements e{};
    e.f = form.readSingle("txtF");
    e.r = form.readSingle("txtR");
    e.c = form.readSingle("txtC");
    e.l = form.readSingle("txtL");
    const Impedance result = impedance(chosenCircuit(form), e);
    if (!result.phase) {
        form.writeDouble("txtZ", result.z);
        return;
    }
    form.writeDouble("txtTan", result.phase->tan);
    form.writeDouble("txtZ", result.z);
    form.writeDouble("txtCos", result.phase->cos);
    form.writeDouble("txtSin", result.phase->sin);
}

template <std::size_t... index> constexpr auto handlers(std::index_sequence<index...>)
{
    return std::array{
        engine::Handler{kCircuits[index].button, chooseCircuit<index>}...,
        engine::Handler{"cmdRun", cmdRun_Click},
        engine::Handler{"cmdGm", engine::unloadToMenu}, // cmdGm_Click: Hide, Unload, Show the menu
        engine::Handler{"cmdExit", engine::endProgram}, // cmdExit_Click
    };
}

constexpr auto kHandlers = handlers(std::make_index_sequence<kCircuits.size()>{});

constexpr std::array kTips{
    engine::Tip{"txtR", "Активное сопротивление R, Ом"},
    engine::Tip{"txtL", "Индуктивность L, Гн"},
    engine::Tip{"txtC", "Ёмкость C, Ф"},
    engine::Tip{"txtF", "Частота F, Гц"},
    engine::Tip{"txtZ", "Полное сопротивление Z, Ом, где ω = F · 6,28:\nпоследовательная цепь Z = "
                        "√(R² + X²), X = ω · L − 1 / (ω · C);\nпараллельная R, C: Z = R / √(1 + (ω "
                        "· R · C)²);\nпараллельная R, L: Z = R · ω · L / √(R² + (ω · L)²)"},
    engine::Tip{"txtCos", "cos φ = R / Z (для последовательных цепей)"},
    engine::Tip{"txtSin", "sin φ = X / Z (для последовательных цепей)"},
    engine::Tip{"txtTan", "tg φ = X / R (для последовательных цепей)"},
};

constexpr engine::ScreenDef kScreen{&kTable, kHandlers, "cmdGm", kTips};

} // namespace

const engine::ScreenDef& impedanceScreen()
{
    return kScreen;
}

} // namespace cepomer::calc
