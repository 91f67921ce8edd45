// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The native driver's locale data is Qt's, as the desktop program reads it:
// for every locale Qt knows, by every way of naming it in the environment.
#include <QLocale>
#include <QString>

#include <gtest/gtest.h>

#include "drive/number_format.h"

namespace cepomer::drive {
namespace {

TEST(DecimalSeparators, AreQtsForEveryLocaleName)
{
    QStringList names = {
        "C",     "POSIX",       "C.UTF-8",          "no_NO", "iw_IL", "in_ID", "tl_PH", "sh_RS",
        "xx_YY", "ru_US.UTF-8", "de_CH.ISO-8859-1", "es_419"};
    for (const QLocale& locale : QLocale::matchingLocales(QLocale::AnyLanguage, QLocale::AnyScript,
                                                          QLocale::AnyTerritory)) {
        const QString language = QLocale::languageToCode(locale.language());
        const QString name = language + u'_' + QLocale::territoryToCode(locale.territory());
        names << language << name << name + ".UTF-8" << name.toLower() + ".utf8@euro";
    }
    for (const QString& name : names)
        EXPECT_EQ(
            decimalSeparator(name.toStdString()),
            QLocale(name.section(u'.', 0, 0).section(u'@', 0, 0)).decimalPoint().toStdString())
            << name.toStdString();
}

} // namespace
} // namespace cepomer::drive
