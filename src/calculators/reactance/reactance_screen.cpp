#include "calculators/reactance/reactance_screen.h"

#include <array>

#include "shell/navigation.h"

namespace cepomer::calc {
namespace {

using shell::Control;
constexpr shell::Kind B = shell::Kind::Button;

constexpr std::array kControls{
    Control{"cmdExit", B, "выход", 75, 2475, 1815, 315, 13},
    Control{"cmdGp", B, "главное меню", 2550, 2475, 1815, 315, 14},
};

constexpr shell::ScreenTable kTable{"frmX", "расчёт реактивных сопротивлений", shell::Border::FixedSingle, 4470, 2910, kControls};

constexpr std::array kHandlers{
    shell::Handler{"cmdGp", shell::unloadToMenu},
    shell::Handler{"cmdExit", shell::endProgram},
};

constexpr shell::ScreenDef kScreen{&kTable, kHandlers, "cmdGp"};

} // namespace

const shell::ScreenDef& reactanceScreen()
{
    return kScreen;
}

} // namespace cepomer::calc
