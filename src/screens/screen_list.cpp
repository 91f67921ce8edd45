// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "screens/screen_list.h"

#include <array>

#include "calculators/cross_section/cross_section_screen.h"
#include "calculators/fusing_current/fusing_current_screen.h"
#include "calculators/impedance/impedance_screen.h"
#include "calculators/ohm_law/ohm_law_screen.h"
#include "calculators/reactance/reactance_screen.h"
#include "screens/main_menu.h"

namespace cepomer::screens {

std::span<const engine::ScreenDef* const> programScreens()
{
    static const std::array<const engine::ScreenDef*, 6> screens{
        &mainMenuScreen(),        &calc::ohmLawScreen(),        &calc::reactanceScreen(),
        &calc::impedanceScreen(), &calc::fusingCurrentScreen(), &calc::crossSectionScreen(),
    };
    return screens;
}

} // namespace cepomer::screens
