// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "desktop/appearance.h"

#include <QAccessibleWidget>
#include <QApplication>
#include <QFontDatabase>
#include <QIcon>
#include <QLocale>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QTimer>

#include "desktop/screen_window.h"

namespace cepomer::desktop {
namespace {

// Fusion with tight push buttons: the screen tables leave little room around
// a caption ("аллюминий" in 51 pixels).
class CompactStyle : public QProxyStyle {
  public:
    CompactStyle() : QProxyStyle(QStyleFactory::create("Fusion")) {}

    int pixelMetric(PixelMetric metric, const QStyleOption* option,
                    const QWidget* widget) const override
    {
        if (metric == PM_ButtonMargin)
            return 2;
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
};

// Screens are top-level windows for assistive technology too (a plain widget
// would be announced as a filler, without its title).
QAccessibleInterface* screenAccessible(const QString& className, QObject* object)
{
    if (className == QLatin1String(ScreenWindow::staticMetaObject.className()) &&
        object->isWidgetType())
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Window);
    return nullptr;
}

QString bundledFamily()
{
    static const QString family = [] {
        const int id = QFontDatabase::addApplicationFont(":/fonts/PTN57F.ttf");
        const QStringList families = QFontDatabase::applicationFontFamilies(id);
        return families.isEmpty() ? QString() : families.front();
    }();
    return family;
}

} // namespace

QFont dialogFont()
{
    QFont font(bundledFamily());
    // 8 points at 96 dpi: the size the boxes were drawn for.
    font.setPixelSize(11);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

void applyAppearance(QApplication& app)
{
    // The icon comes once the event loop runs, after the first window has been
    // shown: decoding its seven sizes (and loading the image plug-ins) would
    // otherwise delay the main menu by a quarter of an empty window's start-up.
    // Every window gets it then, the ones already shown included.
    QTimer::singleShot(0, &app, [] {
        QIcon icon;
        for (int size : {16, 24, 32, 48, 64, 128, 256})
            icon.addFile(QStringLiteral(":/icons/cepomer-%1.png").arg(size), QSize(size, size));
        QApplication::setWindowIcon(icon);
    });
    QAccessible::installFactory(screenAccessible);
    app.setStyle(new CompactStyle);
    app.setFont(dialogFont());
}

rt::NumberFormat systemNumberFormat()
{
    return rt::NumberFormat{QLocale::system().decimalPoint().toStdString()};
}

} // namespace cepomer::desktop
