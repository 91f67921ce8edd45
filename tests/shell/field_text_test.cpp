// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

// A field's text as the engine takes it from the driver and the web page is
// the text a desktop line edit would hold for the same bytes.
#include <string>

#include <QString>

#include <gtest/gtest.h>

#include "engine/form.h"

namespace cepomer::engine {
namespace {

TEST(FieldText, IsWhatALineEditHoldsForTheSameBytes)
{
    const std::string emoji = "\xF0\x9F\x98\x80";
    const std::string cases[] = {
        "",
        "1,5e-3",
        "ёЁ «провод» №1 ∞",
        emoji + "7",
        std::string("\0x", 2),
        "\x80",  // a lone continuation byte
        "1\xD0", // a sequence cut short at the end
        "\xD0"
        "5",                // and in the middle
        "\xC0\xAF",         // an overlong form
        "\xED\xA0\x80",     // a surrogate written in UTF-8
        "\xF4\x90\x80\x80", // beyond U+10FFFF
        "\xFF\xFE",
        std::string(40000, '9'),               // longer than a field takes
        std::string(32766, '9') + emoji,       // a pair cut at the limit
        std::string(32765, '9') + emoji + "1", // a pair just within it
    };
    for (const std::string& bytes : cases) {
        const QString held = QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()))
                                 .left(static_cast<qsizetype>(kMaxFieldLength));
        EXPECT_EQ(fieldText(bytes), held.toStdString()) << bytes.substr(0, 40);
    }
}

} // namespace
} // namespace cepomer::engine
