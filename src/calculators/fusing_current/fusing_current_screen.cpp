// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "calculators/fusing_current/fusing_current_screen.h"

#include <array>
#include <cstddef>
#include <string_view>

#include "calculators/fusing_current/fusing_current.h"
#include "engine/form.h"
#include "engine/navigation.h"

namespace cepomer::calc {
namespace {

using engine::Control;
using engine::Form;
using namespace engine::kinds;
constexpr engine::Align Centre = engine::Align::Center;

// The I and d of the captions are Latin, and so is the A of "I,A"; the А of
// "Iплавл, А" is Cyrillic.
constexpr std::array kControls{
    Control{"lblIplavl", L, "выбрать диаметр провода", 75, 75, 3465, 240, 0, true, Centre},
    Control{"cmd002", B, "0,002-0,2 мм", 75, 450, 1665, 315, 1},
    Control{"cmd02", B, "от0,2мм ", 1875, 450, 1665, 315, 2},
    Control{"lblRaschet", L, "что будем расчитывать?", 75, 900, 3465, 240, 3, true, Centre},
    Control{"cmdId", B, "Iпл при заданном d", 75, 1275, 1665, 315, 4, false},
    Control{"cmdDI", B, "d при заданном Iпл", 1875, 1275, 1665, 315, 5, false},
    Control{"lblMat", L, "выбрать материал", 75, 1725, 3465, 240, 6, true, Centre},
    Control{"cmdMed", B, "медь", 75, 2100, 765, 390, 7},
    Control{"cmdLatun", B, "латунь", 975, 2100, 765, 390, 8},
    Control{"cmdVelezo", B, "железо", 1875, 2100, 765, 390, 9},
    Control{"cmdAlluminiy", B, "аллюминий", 2775, 2100, 765, 390, 10},
    Control{"lblEnter", L, "ввод данных", 75, 2625, 3465, 240, 11, true, Centre},
    Control{"lblI", L, "I,A", 75, 3000, 240, 240, 12, true, Centre},
    Control{"txtI", F, "", 450, 3000, 690, 285, 13, false},
    Control{"lblD", L, "d,мм", 2325, 3000, 390, 240, 14, true, Centre},
    Control{"txtD", F, "", 2850, 3000, 690, 285, 15, false},
    Control{"cmdRun", B, "расчёт", 75, 3375, 3465, 315, 16},
    Control{"lblRez", L, "результат", 75, 3825, 3465, 240, 17, true, Centre},
    Control{"lblIpl", L, "Iплавл, А", 75, 4200, 690, 240, 18},
    Control{"txtIplrez", F, "", 825, 4200, 615, 285, 19},
    Control{"lblDrez", L, "d,мм", 2325, 4200, 390, 240, 20, true, Centre},
    Control{"txtDrez", F, "", 2850, 4200, 690, 285, 21},
    Control{"cmdExit", B, "выход", 75, 4575, 1665, 315, 22},
    Control{"cmdGp", B, "главное меню", 1875, 4575, 1665, 315, 23},
};

constexpr engine::ScreenTable kTable{
    "frmIplavl", "токи плавления проводов", engine::Border::FixedSingle, 3630, 4995, kControls};

// The choice handlers only switch enabled flags, each in its listed order. No
// handler touches its own button, enables a range or material button, or
// disables a text field.
struct Step {
    std::string_view control;
    bool enable;
};

template <const auto& Steps> void applySteps(Form& form)
{
    for (const Step& step : Steps)
        form.setEnabled(step.control, step.enable);
}

// Diameter range: the other range and the material it does not offer go; both
// directions become available again, also when the chosen range is pressed anew.
constexpr std::array<Step, 4> kThin{
    {{"cmd02", false}, {"cmdAlluminiy", false}, {"cmdId", true}, {"cmdDI", true}}};
constexpr std::array<Step, 4> kThick{
    {{"cmd002", false}, {"cmdLatun", false}, {"cmdId", true}, {"cmdDI", true}}};

// Direction: opens its input field and closes the other direction.
constexpr std::array<Step, 2> kCurrentFromDiameter{{{"txtD", true}, {"cmdDI", false}}};
constexpr std::array<Step, 2> kDiameterFromCurrent{{{"txtI", true}, {"cmdId", false}}};

// Material: the other three go.
constexpr std::array<Step, 3> kCopper{
    {{"cmdLatun", false}, {"cmdVelezo", false}, {"cmdAlluminiy", false}}};
constexpr std::array<Step, 3> kBrass{
    {{"cmdVelezo", false}, {"cmdAlluminiy", false}, {"cmdMed", false}}};
constexpr std::array<Step, 3> kIron{
    {{"cmdAlluminiy", false}, {"cmdMed", false}, {"cmdLatun", false}}};
constexpr std::array<Step, 3> kAluminium{
    {{"cmdLatun", false}, {"cmdVelezo", false}, {"cmdMed", false}}};

// The button of each Material, in the enum's order.
constexpr std::array<std::string_view, 4> kMaterialButtons{"cmdMed", "cmdLatun", "cmdVelezo",
                                                           "cmdAlluminiy"};

// A calculation case: it runs when both its range and its direction button are
// enabled, and computes the current from the diameter or the other way round.
struct Case {
    std::string_view range;
    std::string_view direction;
    bool givesCurrent;
    rt::Single (*law)(rt::Single given, const Coefficients& k);
};

constexpr std::array<Case, 4> kCases{{
    {"cmd002", "cmdId", true,
     [](rt::Single d, const Coefficients& k) { return thinCurrent(d, k.a); }},
    {"cmd002", "cmdDI", false,
     [](rt::Single i, const Coefficients& k) { return thinDiameter(i, k.a); }},
    {"cmd02", "cmdId", true,
     [](rt::Single d, const Coefficients& k) { return thickCurrent(d, k.b); }},
    {"cmd02", "cmdDI", false,
     [](rt::Single i, const Coefficients& k) { return thickDiameter(i, k.c); }},
}};

// "расчёт". Each case works on the current and diameter the cases before it
// left, and its result field is written whether the case ran or not: what was
// typed, as read, when it did not. A failed check stops the click; fields
// written before it keep their new text.
void cmdRun_Click(Form& form)
{
    rt::Single current = form.readSingle("txtI");
    rt::Single diameter = form.readSingle("txtD");
    const Coefficients k = materialCoefficients([&form](Material m) {
        return form.enabled(kMaterialButtons[static_cast<std::size_t>(m)]);
    });
    for (const Case& c : kCases) {
        // Both flags are always read, the range first.
        const bool range = form.enabled(c.range);
        const bool direction = form.enabled(c.direction);
        rt::Single& result = c.givesCurrent ? current : diameter;
        if (range && direction)
            result = c.law(c.givesCurrent ? diameter : current, k);
        form.writeSingle(c.givesCurrent ? "txtIplrez" : "txtDrez", result);
    }
}

constexpr std::array kHandlers{
    engine::Handler{"cmd002", applySteps<kThin>},               // cmd002_Click
    engine::Handler{"cmd02", applySteps<kThick>},               // cmd02_Click
    engine::Handler{"cmdId", applySteps<kCurrentFromDiameter>}, // cmdId_Click
    engine::Handler{"cmdDI", applySteps<kDiameterFromCurrent>}, // cmdDI_Click
    engine::Handler{"cmdMed", applySteps<kCopper>},             // cmdMed_Click
    engine::Handler{"cmdLatun", applySteps<kBrass>},            // cmdLatun_Click
    engine::Handler{"cmdVelezo", applySteps<kIron>},            // cmdVelezo_Click
    engine::Handler{"cmdAlluminiy", applySteps<kAluminium>},    // cmdAlluminiy_Click
    engine::Handler{"cmdRun", cmdRun_Click},
    engine::Handler{"cmdGp", engine::unloadToMenu}, // cmdGp_Click: Hide, Unload, Show the menu
    engine::Handler{"cmdExit", engine::endProgram}, // cmdExit_Click
};

constexpr std::array kTips{
    engine::Tip{"txtI", "Ток плавления I, А"},
    engine::Tip{"txtD", "Диаметр провода d, мм"},
    engine::Tip{"txtIplrez",
                "Ток плавления Iпл, А:\n0,002–0,2 мм: I = (d − 0,005) / a, a: медь 0,034, латунь "
                "0,05, железо 0,127;\nот 0,2 мм: I = b · √(d³), b: медь 80, железо 24,6, алюминий "
                "59,2;\nесли ток не рассчитывается — введённое значение"},
    engine::Tip{"txtDrez",
                "Диаметр провода d, мм:\n0,002–0,2 мм: d = a · I + 0,005, a: медь 0,034, латунь "
                "0,05, железо 0,127;\nот 0,2 мм: d = c · I^0,666, c: медь 0,0538, железо 0,118, "
                "алюминий 0,0658;\nесли диаметр не рассчитывается — введённое значение"},
};

// The close box does what "главное меню" does.
constexpr engine::ScreenDef kScreen{&kTable, kHandlers, "cmdGp", kTips};

} // namespace

const engine::ScreenDef& fusingCurrentScreen()
{
    return kScreen;
}

} // namespace cepomer::calc
