#include "calculators/fusing_current/fusing_current_screen.h"

#include <array>

#include "shell/navigation.h"

namespace cepomer::calc {
namespace {

using shell::Control;
constexpr shell::Kind B = shell::Kind::Button;

constexpr std::array kControls{
    Control{"cmdExit", B, "выход", 75, 4575, 1665, 315, 22},
    Control{"cmdGp", B, "главное меню", 1875, 4575, 1665, 315, 23},
};

constexpr shell::ScreenTable kTable{"frmIplavl", "токи плавления проводов", shell::Border::FixedSingle, 3630, 4995, kControls};

constexpr std::array kHandlers{
    shell::Handler{"cmdGp", shell::unloadToMenu},
    shell::Handler{"cmdExit", shell::endProgram},
};

constexpr shell::ScreenDef kScreen{&kTable, kHandlers, "cmdGp"};

} // namespace

const shell::ScreenDef& fusingCurrentScreen()
{
    return kScreen;
}

} // namespace cepomer::calc
