#include "shell/appearance.h"

#include <QApplication>
#include <QFontDatabase>
#include <QIcon>
#include <QLocale>
#include <QProxyStyle>
#include <QStyleFactory>

namespace cepomer::shell {
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
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/cepomer-%1.png").arg(size), QSize(size, size));
    QApplication::setWindowIcon(icon);
    app.setStyle(new CompactStyle);
    app.setFont(dialogFont());
}

rt::NumberFormat systemNumberFormat()
{
    return rt::NumberFormat{QLocale::system().decimalPoint().toStdString()};
}

} // namespace cepomer::shell
