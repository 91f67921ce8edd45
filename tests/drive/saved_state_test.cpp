// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The saved state as a page reads it back from the browser's storage, where
// anything may have become of it. That a saved state restores exactly is
// proven by the random command sessions (drive/random-commands-restored) and
// fuzz/restore_fuzzer; which states are refused, here.
#include <gtest/gtest.h>

#include "engine/form.h"
#include "engine/program.h"
#include "screens/screen_list.h"

namespace cepomer::engine {
namespace {

class NoErrors : public ErrorReporter {
  public:
    void report(Form&, const rt::RuntimeError& error) override { FAIL() << error.what(); }
};

// A state with a calculator shown, fields typed into and choices made.
std::string workedState()
{
    NoErrors errors;
    Program program(screens::programScreens(), errors, rt::NumberFormat{","});
    program.start();
    program.click(*program.form("frmCepomer"), "cmdXlc");
    Form& x = *program.form("frmX");
    program.click(x, "cmdXl");
    x.enter("txtL", "0,1\\ \r\nz");
    x.enter("txtF", "50");
    program.click(x, "cmdRun");
    return program.save();
}

TEST(SavedState, DamagedForeignOrImpossibleStatesAreRefusedWithNothingLoaded)
{
    const std::string good = workedState();
    const std::string head =
        "cepomer-state 2 " + tablesFingerprint(screens::programScreens()) + "\n";
    const std::string menu = "screen frmCepomer 0\n";
    ASSERT_NE(good.find("screen frmX 1\n"), std::string::npos) << good;
    std::vector<std::string> bad{
        "",
        "cepomer-state 1\nscreen frmCepomer 1\nend\n",
        head + "end\n", // no window shown
        head + menu + "end\n",
        head + "screen frmX 1\nend\n",           // no main menu
        head + menu + "screen frmNone 1\nend\n", // a screen of another version
        head + menu + "screen frmX 1\ncontrol txtNone 1 \nend\n",
        head + menu + "screen frmX 1\ncontrol txtC 2 \nend\n",
        head + menu + "screen frmX 1\ncontrol cmdXc 1 text\nend\n", // a button has no Text
        head + menu + "screen frmX 1\ncontrol lblC 0 \nend\n",      // nothing disables a label
        head + menu + "screen frmX 1\ncontrol txtC 1 a\\x\nend\n",  // an unknown escape
        head + menu + "screen frmX 1\ncontrol txtF 1 " + std::string(kMaxFieldLength + 1, '5') +
            "\nend\n", // more than a field takes
        head + menu + "control txtC 1 \nscreen frmX 1\nend\n",
        good + "garbage\n",
    };
    // Cut anywhere, a state is none.
    for (std::size_t n = 0; n < good.size(); ++n)
        bad.push_back(good.substr(0, n));
    for (const std::string& state : bad) {
        NoErrors errors;
        Program program(screens::programScreens(), errors, rt::NumberFormat{","});
        EXPECT_FALSE(program.restore(state)) << state;
        EXPECT_EQ(program.save(), head + "end\n") << state;
    }
    NoErrors errors;
    Program program(screens::programScreens(), errors, rt::NumberFormat{","});
    ASSERT_TRUE(program.restore(good));
    EXPECT_EQ(program.save(), good);
    EXPECT_EQ(program.form("frmX")->text("txtL"), "0,1\\ \r\nz");
}

} // namespace
} // namespace cepomer::engine
