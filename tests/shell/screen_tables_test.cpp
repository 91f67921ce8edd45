// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The six screen tables as data, and the windows the builder makes of them.
#include <algorithm>
#include <set>
#include <string>

#include <QAccessible>
#include <QCoreApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>

#include <gtest/gtest.h>

#include "desktop/screen_window.h"
#include "screens/screen_list.h"

namespace cepomer::engine {
namespace {

using desktop::ScreenWindow;
using screens::programScreens;

std::string str(std::string_view s)
{
    return std::string(s);
}

TEST(ScreenTables, AreConsistent)
{
    std::set<std::string_view> screens;
    for (const ScreenDef* def : programScreens()) {
        const ScreenTable& t = *def->table;
        SCOPED_TRACE(str(t.name));
        EXPECT_TRUE(screens.insert(t.name).second) << "screen listed twice";
        EXPECT_EQ(t.width % kTwipsPerPixel, 0);
        EXPECT_EQ(t.height % kTwipsPerPixel, 0);
        std::set<std::string_view> names;
        std::set<int> tabs;
        for (const Control& c : t.controls) {
            SCOPED_TRACE(str(c.name));
            EXPECT_TRUE(names.insert(c.name).second) << "name used twice";
            EXPECT_TRUE(tabs.insert(c.tab).second) << "tab index used twice";
            for (int v : {c.left, c.top, c.width, c.height})
                EXPECT_EQ(v % kTwipsPerPixel, 0) << "not on a pixel";
            EXPECT_LE(c.left + c.width, t.width) << "sticks out of the window";
            EXPECT_LE(c.top + c.height, t.height) << "sticks out of the window";
            if (c.kind == Kind::Button) {
                EXPECT_NE(def->handler(c.name), nullptr) << "button without a handler";
            }
            if (c.kind == Kind::Field) {
                EXPECT_TRUE(c.caption.empty()) << "fields start empty";
            }
        }
        for (const Handler& h : def->handlers) {
            const auto* c = [&]() -> const Control* {
                for (const Control& x : t.controls)
                    if (x.name == h.control)
                        return &x;
                return nullptr;
            }();
            ASSERT_NE(c, nullptr) << "handler for a missing control " << str(h.control);
            EXPECT_EQ(c->kind, Kind::Button) << str(h.control);
        }
        EXPECT_NE(def->handler(def->closeButton), nullptr) << "close box runs nothing";
        // Help in place: every field of a calculator says what it holds.
        std::set<std::string_view> tipped;
        for (const Tip& tip : def->tips)
            tipped.insert(tip.control);
        for (const Control& c : t.controls) {
            if (c.kind == Kind::Field) {
                EXPECT_TRUE(tipped.count(c.name)) << "no tool tip for " << str(c.name);
            }
        }
        for (std::string_view name : tipped) {
            const auto it = std::find_if(t.controls.begin(), t.controls.end(),
                                         [&](const Control& c) { return c.name == name; });
            EXPECT_TRUE(it != t.controls.end() && it->kind == Kind::Field)
                << "tool tip for " << str(name);
        }
        EXPECT_NE(def->handler("cmdExit"), nullptr) << "every screen has \"выход\"";
    }
    EXPECT_EQ(screens.size(), 6u);
    EXPECT_EQ(programScreens().front()->table->name, "frmCepomer");
}

// Every caption fits its box, whole, in the font the program uses.
TEST(ScreenTables, EveryCaptionFitsItsBox)
{
    for (const ScreenDef* def : programScreens()) {
        ScreenWindow window(*def, {}, {}, {});
        for (const Control& c : def->table->controls) {
            if (c.kind == Kind::Field || c.caption.empty())
                continue;
            SCOPED_TRACE(str(def->table->name) + "." + str(c.name));
            QWidget* w = window.control(c.name);
            const QString text = QString::fromUtf8(c.caption.data(), qsizetype(c.caption.size()));
            const QFontMetrics metrics(w->font());
            QRect room = w->contentsRect();
            if (auto* button = qobject_cast<QPushButton*>(w)) {
                QStyleOptionButton option;
                option.initFrom(button);
                option.text = text;
                room =
                    button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
            }
            EXPECT_LE(metrics.horizontalAdvance(text), room.width()) << text.toStdString();
            EXPECT_LE(metrics.height(), w->height()) << text.toStdString();
        }
    }
}

TEST(ScreenTables, BuilderPlacesEveryControlAsTheTableSays)
{
    for (const ScreenDef* def : programScreens()) {
        const ScreenTable& t = *def->table;
        ScreenWindow window(*def, {}, {}, {});
        EXPECT_EQ(window.objectName().toStdString(), str(t.name));
        EXPECT_EQ(window.windowTitle().toStdString(), str(t.caption));
        EXPECT_EQ(window.width() * kTwipsPerPixel, t.width);
        EXPECT_EQ(window.height() * kTwipsPerPixel, t.height);
        for (const Control& c : t.controls) {
            SCOPED_TRACE(str(t.name) + "." + str(c.name));
            QWidget* w = window.control(c.name);
            ASSERT_NE(w, nullptr);
            EXPECT_EQ(w->objectName().toStdString(), str(c.name));
            const QRect g = w->geometry();
            EXPECT_EQ(g.x() * kTwipsPerPixel, c.left);
            EXPECT_EQ(g.y() * kTwipsPerPixel, c.top);
            EXPECT_EQ(g.width() * kTwipsPerPixel, c.width);
            EXPECT_EQ(g.height() * kTwipsPerPixel, c.height);
            EXPECT_EQ(w->isEnabled(), c.enabled);
            if (c.kind == Kind::Label) {
                EXPECT_EQ(w->focusPolicy(), Qt::NoFocus);
                const Qt::Alignment h =
                    static_cast<QLabel*>(w)->alignment() & Qt::AlignHorizontal_Mask;
                EXPECT_EQ(h, c.align == Align::Right    ? Qt::AlignRight
                             : c.align == Align::Center ? Qt::AlignHCenter
                                                        : Qt::AlignLeft);
            }
            if (c.kind == Kind::Field) {
                EXPECT_TRUE(static_cast<QLineEdit*>(w)->text().isEmpty());
            }
        }
    }
}

TEST(ScreenTables, ScreensAreWindowsForAssistiveTechnology)
{
    for (const ScreenDef* def : programScreens()) {
        ScreenWindow window(*def, {}, {}, {});
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(&window);
        ASSERT_NE(a, nullptr);
        EXPECT_EQ(a->role(), QAccessible::Window) << str(def->table->name);
        EXPECT_EQ(a->text(QAccessible::Name).toStdString(), str(def->table->caption));
    }
}

TEST(ScreenTables, BordersDecideResizing)
{
    for (const ScreenDef* def : programScreens()) {
        ScreenWindow window(*def, {}, {}, {});
        SCOPED_TRACE(str(def->table->name));
        const bool sizable = def->table->border == Border::Sizable;
        EXPECT_EQ(window.minimumSize() == window.maximumSize(), !sizable);
        EXPECT_EQ(window.windowFlags().testFlag(Qt::WindowMaximizeButtonHint), sizable);
        EXPECT_EQ(window.windowFlags().testFlag(Qt::WindowMinimizeButtonHint), sizable);
        EXPECT_TRUE(window.windowFlags().testFlag(Qt::WindowCloseButtonHint));
    }
}

TEST(ScreenTables, ResizingMovesNoControl)
{
    for (const ScreenDef* def : programScreens()) {
        if (def->table->border != Border::Sizable)
            continue;
        ScreenWindow window(*def, {}, {}, {});
        std::vector<QRect> before;
        for (const Control& c : def->table->controls)
            before.push_back(window.control(c.name)->geometry());
        window.show();
        window.showMaximized();
        window.resize(window.width() + 300, window.height() + 200);
        QCoreApplication::processEvents();
        window.resize(120, 90);
        QCoreApplication::processEvents();
        for (std::size_t i = 0; i < before.size(); ++i)
            EXPECT_EQ(window.control(def->table->controls[i].name)->geometry(), before[i])
                << str(def->table->controls[i].name);
    }
}

// A field, and a push button without a caption, are named by the label beside
// them, which is also their buddy; an input and a result field that share a
// caption are told apart by their section.
TEST(ScreenTables, FieldsAreNamedByTheirLabels)
{
    struct Case {
        std::size_t screen;
        std::string_view control;
        const char* name;
    };
    const Case cases[] = {
        {0, "cmdIURP", "расчёт I,U,R,P"},
        {0, "cmdS", "сечение провода по его диаметру"},
        {5, "txtD", "диаметр провода d,мм"},
        {5, "txtSrez", "сечение провода, S,мм"},
        {1, "txtI", "ввод значений: I,A"},
        {1, "txtIrez", "результат: I,A"},
        {1, "txtPrez", "результат: Р,Вт"},
        {3, "txtR", "R,Ом"},
        {3, "txtF", "F, Гц"},
        {4, "txtD", "ввод данных: d,мм"},
        {4, "txtDrez", "результат: d,мм"},
        {4, "txtIplrez", "Iплавл, А"},
    };
    for (const Case& c : cases) {
        ScreenWindow window(*programScreens()[c.screen], {}, {}, {});
        QWidget* w = window.control(c.control);
        EXPECT_EQ(w->accessibleName().toStdString(), c.name);
        bool buddied = false;
        for (QLabel* label : window.findChildren<QLabel*>())
            buddied = buddied || label->buddy() == w;
        EXPECT_TRUE(buddied) << str(c.control);
    }
}

// What assistive technology reads for each field and push button: a name no
// other control of the screen has, so that each is found by its name alone,
// and the role of its kind. The series and the parallel "R,C" and "R,L" of the
// impedance screen say their section.
TEST(ScreenTables, EveryControlHasANameOfItsOwn)
{
    for (const ScreenDef* def : programScreens()) {
        ScreenWindow window(*def, {}, {}, {});
        std::set<std::string> names;
        for (const Control& c : def->table->controls) {
            if (c.kind == Kind::Label)
                continue;
            SCOPED_TRACE(str(def->table->name) + "." + str(c.name));
            QAccessibleInterface* a = QAccessible::queryAccessibleInterface(window.control(c.name));
            ASSERT_NE(a, nullptr);
            const std::string name = a->text(QAccessible::Name).toStdString();
            EXPECT_FALSE(name.empty());
            EXPECT_TRUE(names.insert(name).second) << "named like another control: " << name;
            EXPECT_EQ(a->role(),
                      c.kind == Kind::Field ? QAccessible::EditableText : QAccessible::PushButton);
        }
    }

    struct Case {
        std::string_view control;
        const char* name;
    };
    const Case cases[] = {
        {"cmdRC", "последовательной: R,C"},
        {"cmdRL", "последовательной: R,L"},
        {"cmdRCp", "параллельной: R,C"},
        {"cmdRLp", "параллельной: R,L"},
        {"cmdRLC", "R,L,C"},
        {"cmdRun", "расчёт"},
    };
    ScreenWindow window(*programScreens()[3], {}, {}, {});
    for (const Case& c : cases) {
        QWidget* w = window.control(c.control);
        EXPECT_EQ(QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name).toStdString(),
                  c.name);
    }
}

} // namespace
} // namespace cepomer::engine
