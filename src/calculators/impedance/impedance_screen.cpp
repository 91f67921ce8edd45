#include "calculators/impedance/impedance_screen.h"

#include <array>

#include "shell/navigation.h"

namespace cepomer::calc {
namespace {

using shell::Control;
constexpr shell::Kind B = shell::Kind::Button;

constexpr std::array kControls{
    Control{"cmdExit", B, "выход", 75, 3675, 2040, 315, 22},
    Control{"cmdGm", B, "главное меню", 3900, 3675, 2040, 315, 23},
};

constexpr shell::ScreenTable kTable{"frmZ", "полное сопротивление цепи", shell::Border::Sizable, 6030, 4095, kControls};

constexpr std::array kHandlers{
    shell::Handler{"cmdGm", shell::unloadToMenu},
    shell::Handler{"cmdExit", shell::endProgram},
};

constexpr shell::ScreenDef kScreen{&kTable, kHandlers, "cmdGm"};

} // namespace

const shell::ScreenDef& impedanceScreen()
{
    return kScreen;
}

} // namespace cepomer::calc
