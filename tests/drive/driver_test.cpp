// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The driver's own parsing and answers; the screens are covered by the
// scenario transcripts.
#include <gtest/gtest.h>

#include "drive/driver.h"

namespace cepomer::drive {
namespace {

TEST(JsonString, EscapesQuotesBackslashesAndControls)
{
    const std::pair<std::string, std::string> cases[] = {
        {"", R"("")"},
        {" диаметр провода d,мм", R"(" диаметр провода d,мм")"},
        {"a\"b\\c", R"("a\"b\\c")"},
        {"\t\n\r\b\f", R"("\t\n\r\b\f")"},
        {std::string("\x01\x1f", 2), R"("\u0001\u001f")"},
        {"∞", R"("∞")"},
    };
    for (const auto& [text, json] : cases)
        EXPECT_EQ(jsonString(text), json);
}

TEST(Driver, AnswersEachCommand)
{
    Driver driver(rt::NumberFormat{"."});
    const std::pair<const char*, const char*> steps[] = {
        {"", ""},
        {"# a comment", ""},
        {"   ", ""},
        {"frobnicate", "refused unknown command \"frobnicate\"\n"},
        {"click frmCepomer", "refused no control frmCepomer\n"},
        {"click frmCepomer.cmdS\r", "ok\n"},
        {"type frmS.txtD  1 2 ", "ok\n"},
        {"click frmS.cmdRun", "ok\n"},
        {"type frmS.txtD", "ok\n"},
        {"type frmS.cmdRun 1", "refused frmS.cmdRun is a button\n"},
        {"click frmS.txtD", "refused frmS.txtD is a field\n"},
        {"click frmS.cmdExit", "ended\n"},
    };
    for (const auto& [command, answer] : steps)
        EXPECT_EQ(driver.execute(command), answer) << command;
    EXPECT_TRUE(driver.ended());
}

TEST(Driver, TypedTextKeepsItsBlanks)
{
    Driver driver(rt::NumberFormat{","});
    driver.execute("click frmCepomer.cmdS");
    driver.execute("type frmS.txtD  1 2 ");
    driver.execute("click frmS.cmdRun");
    const std::string dump = driver.execute("dump frmS");
    EXPECT_NE(dump.find("frmS.txtD field 1 3300 75 840 285 \" 1 2 \""), std::string::npos);
    EXPECT_NE(dump.find("\"113,0976\""), std::string::npos) << dump; // 12² · 0,7854
}

} // namespace
} // namespace cepomer::drive
