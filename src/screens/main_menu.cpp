// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "screens/main_menu.h"

#include <array>

#include "engine/form.h"
#include "engine/navigation.h"
#include "engine/program.h"

namespace cepomer::screens {
namespace {

using engine::Border;
using engine::Control;
using engine::Form;
using engine::Handler;
using engine::ScreenDef;
using engine::ScreenTable;
using namespace engine::kinds;

constexpr std::array kControls{
    Control{"lblIURP", L, "расчёт I,U,R,P", 1575, 75, 1140, 240, 0},
    Control{"lblXlc", L, "реактивные сопротивления", 525, 450, 2190, 240, 1},
    Control{"lblZ", L, "полное сопротивление цепи", 525, 825, 2190, 240, 2},
    Control{"lblIplav", L, "ток плавления проводов", 825, 1200, 1890, 240, 3},
    Control{"lblS", L, "сечение провода по его диаметру", 75, 1575, 2640, 240, 4},
    Control{"cmdIURP", B, "", 2850, 75, 690, 240, 5},
    Control{"cmdXlc", B, "", 2850, 450, 690, 240, 6},
    Control{"cmdZ", B, "", 2850, 825, 690, 240, 7},
    Control{"cmdIplav", B, "", 2850, 1200, 690, 240, 8},
    Control{"cmdS", B, "", 2850, 1575, 690, 240, 9},
    Control{"cmdExit", B, "выход", 75, 1950, 3465, 240, 10},
};

constexpr ScreenTable kTable{"frmCepomer", "Цепомер", Border::FixedSingle, 3675, 2325, kControls};

// Each menu button hides the menu, then shows its calculator.
template <const char* Screen> void open(Form& form)
{
    form.hide();
    form.program().show(Screen);
}

constexpr char kIURP[] = "frmIURP";
constexpr char kX[] = "frmX";
constexpr char kZ[] = "frmZ";
constexpr char kIplavl[] = "frmIplavl";
constexpr char kS[] = "frmS";

constexpr std::array kHandlers{
    Handler{"cmdIURP", open<kIURP>},        // cmdIURP_Click
    Handler{"cmdXlc", open<kX>},            // cmdXlc_Click
    Handler{"cmdZ", open<kZ>},              // cmdZ_Click
    Handler{"cmdIplav", open<kIplavl>},     // cmdIplav_Click
    Handler{"cmdS", open<kS>},              // cmdS_Click
    Handler{"cmdExit", engine::endProgram}, // cmdExit_Click
};

constexpr ScreenDef kScreen{&kTable, kHandlers, "cmdExit"};

} // namespace

const ScreenDef& mainMenuScreen()
{
    return kScreen;
}

} // namespace cepomer::screens
