#include "calculators/ohm_law/ohm_law_screen.h"

#include <array>

#include "shell/navigation.h"

namespace cepomer::calc {
namespace {

using shell::Control;
constexpr shell::Kind B = shell::Kind::Button;

constexpr std::array kControls{
    Control{"cmdExit", B, "выход", 75, 3675, 2190, 315, 31},
    Control{"cmdMenu", B, "главное меню", 2400, 3675, 2190, 315, 32},
};

constexpr shell::ScreenTable kTable{"frmIURP", "расчёт I,U,R,P", shell::Border::FixedSingle, 4695, 4080, kControls};

constexpr std::array kHandlers{
    shell::Handler{"cmdMenu", shell::unloadToMenu},
    shell::Handler{"cmdExit", shell::endProgram},
};

constexpr shell::ScreenDef kScreen{&kTable, kHandlers, "cmdMenu"};

} // namespace

const shell::ScreenDef& ohmLawScreen()
{
    return kScreen;
}

} // namespace cepomer::calc
