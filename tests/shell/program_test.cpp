// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The window model and the click dispatcher, on screens made for the tests and
// on the program's own.
#include <array>

#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include "desktop/desktop.h"
#include "desktop/error_report.h"
#include "desktop/screen_window.h"
#include "engine/form.h"
#include "engine/navigation.h"
#include "engine/program.h"
#include "runtime/fpenv.h"
#include "screens/screen_list.h"
#include "test_support.h"

namespace cepomer::engine {
namespace {

using desktop::Desktop;
using desktop::MessageBoxReporter;
using desktop::ScreenWindow;
using screens::programScreens;
using test::RecordingReporter;
using test::settle;

// A menu that opens a work screen; the work screen's buttons do what each test
// needs through `action`.
void (*action)(Form&) = nullptr;
int presses = 0;

void openWork(Form& f)
{
    f.hide();
    f.program().show("frmWork");
}
void run(Form& f)
{
    ++presses;
    if (action)
        action(f);
}

constexpr std::array kMenuControls{
    Control{"cmdOpen", Kind::Button, "", 15, 15, 600, 240, 1},
    Control{"cmdExit", Kind::Button, "выход", 15, 300, 600, 240, 2},
    Control{"lblOpen", Kind::Label, "открыть", 660, 15, 600, 240, 0},
};
constexpr ScreenTable kMenu{"frmCepomer", "Меню", Border::FixedSingle, 1500, 600, kMenuControls};
constexpr std::array kMenuHandlers{Handler{"cmdOpen", openWork}, Handler{"cmdExit", endProgram}};
constexpr ScreenDef kMenuDef{&kMenu, kMenuHandlers, "cmdExit"};

constexpr std::array kWorkControls{
    Control{"txtA", Kind::Field, "", 15, 15, 600, 285, 3, false},
    Control{"txtB", Kind::Field, "", 15, 315, 600, 285, 1},
    Control{"cmdRun", Kind::Button, "расчёт", 15, 615, 600, 240, 2},
    Control{"cmdBack", Kind::Button, "главное меню", 15, 900, 600, 240, 4},
    Control{"cmdExit", Kind::Button, "выход", 15, 1200, 600, 240, 5},
};
constexpr ScreenTable kWork{"frmWork", "Работа", Border::FixedSingle, 1500, 1500, kWorkControls};
constexpr std::array kWorkHandlers{Handler{"cmdRun", run}, Handler{"cmdBack", unloadToMenu},
                                   Handler{"cmdExit", endProgram}};
constexpr ScreenDef kWorkDef{&kWork, kWorkHandlers, "cmdBack"};

constexpr std::array<const ScreenDef*, 2> kScreens{&kMenuDef, &kWorkDef};

class ProgramTest : public testing::Test {
  protected:
    void SetUp() override
    {
        action = nullptr;
        presses = 0;
        program.onEnded = [this] { ++endings; };
        program.start();
    }
    void TearDown() override { settle(); }

    Form& work()
    {
        program.show("frmWork");
        return *program.form("frmWork");
    }
    ScreenWindow& win(const Form& f) const { return *desktop.window(f); }
    QPushButton* button(Form& f, std::string_view name)
    {
        return static_cast<QPushButton*>(win(f).control(name));
    }
    int visibleWindows() const
    {
        int n = 0;
        for (QWidget* w : QApplication::topLevelWidgets())
            n += w->isVisible() ? 1 : 0;
        return n;
    }

    RecordingReporter reporter;
    Program program{kScreens, reporter, rt::NumberFormat{","}};
    Desktop desktop{program};
    int endings = 0;
};

TEST_F(ProgramTest, StartsOnTheFirstScreenAloneCentred)
{
    Form* menu = program.form("frmCepomer");
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(program.form("frmWork"), nullptr);
    EXPECT_TRUE(win(*menu).isVisible());
    EXPECT_EQ(visibleWindows(), 1);
    const QPoint centre = QGuiApplication::primaryScreen()->availableGeometry().center();
    EXPECT_LE((win(*menu).geometry().center() - centre).manhattanLength(), 1);
}

TEST_F(ProgramTest, FocusStartsOnTheLowestEnabledTabAndTabFollowsTheIndexes)
{
    Form& w = work();
    // txtA has the highest-but-two index and starts disabled; labels never count.
    EXPECT_EQ(win(w).focusWidget(), win(w).control("txtB"));
    const char* order[] = {"cmdRun", "cmdBack", "cmdExit", "txtB"};
    for (const char* next : order) {
        QTest::keyClick(win(w).focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(win(w).focusWidget(), win(w).control(next)) << next;
    }
    w.setEnabled("txtA", true);
    QTest::keyClick(win(w).focusWidget(), Qt::Key_Tab); // txtB -> cmdRun
    QTest::keyClick(win(w).focusWidget(), Qt::Key_Tab); // cmdRun -> txtA
    EXPECT_EQ(win(w).focusWidget(), win(w).control("txtA"));
}

TEST_F(ProgramTest, OnlyTheFocusedButtonIsPressedFromTheKeyboard)
{
    Form& w = work();
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape})
        QTest::keyClick(win(w).control("txtB"), key);
    EXPECT_EQ(presses, 0) << "no default or cancel button";
    QTest::keyClick(win(w).control("cmdRun"), Qt::Key_Space);
    EXPECT_EQ(presses, 1);
    QTest::keyClick(win(w).control("cmdRun"), Qt::Key_Return);
    EXPECT_EQ(presses, 2);
}

TEST_F(ProgramTest, HideKeepsEverythingUnloadDiscardsIt)
{
    Form& w = work();
    w.setText("txtB", "12");
    w.setEnabled("txtA", true);
    const QPoint moved = win(w).pos() + QPoint(40, 30);
    win(w).move(moved);
    program.hide("frmWork");
    program.show("frmWork");
    Form& again = *program.form("frmWork");
    EXPECT_EQ(&again, &w);
    EXPECT_EQ(again.text("txtB"), "12");
    EXPECT_TRUE(again.enabled("txtA"));
    EXPECT_EQ(win(again).pos(), moved);

    button(again, "cmdBack")->click(); // Hide, Unload, Show the menu
    settle();
    EXPECT_EQ(program.form("frmWork"), nullptr);
    EXPECT_TRUE(win(*program.form("frmCepomer")).isVisible());
    Form& fresh = work();
    EXPECT_EQ(fresh.text("txtB"), "");
    EXPECT_FALSE(fresh.enabled("txtA"));
}

TEST_F(ProgramTest, ARunTimeErrorStopsTheHandlerAndTheProgramGoesOn)
{
    Form& w = work();
    action = [](Form& f) {
        f.setText("txtB", "записано");
        rt::div(1.0, 0.0);
        rt::fpCheck();
        f.setText("txtA", "не записано");
    };
    button(w, "cmdRun")->click();
    EXPECT_EQ(reporter.numbers, std::vector<int>{rt::kDivisionByZero});
    EXPECT_EQ(reporter.screens, std::vector<std::string>{"frmWork"});
    EXPECT_EQ(w.text("txtB"), "записано");
    EXPECT_EQ(w.text("txtA"), "");
    EXPECT_FALSE(program.ended());
    action = nullptr;
    button(w, "cmdRun")->click();
    EXPECT_EQ(presses, 2);
}

// Every control access clears the flags: a fault before it is not reported by
// a check after it, and the narrowing of a read value is.
TEST_F(ProgramTest, ControlAccessClearsTheFloatingPointFlags)
{
    Form& w = work();
    struct Case {
        void (*step)(Form&);
        int error; // 0 for none
    };
    const Case cases[] = {
        {[](Form& f) { rt::div(1.0, 0.0), f.enabled("cmdRun"), rt::fpCheck(); }, 0},
        {[](Form& f) { rt::mul(1e300, 1e300), f.setText("txtA", "x"), rt::fpCheck(); }, 0},
        {[](Form& f) { rt::div(0.0, 0.0), f.setEnabled("txtA", false), rt::fpCheck(); }, 0},
        {[](Form& f) { rt::mul(1e300, 1e300), f.program().hide("frmCepomer"), rt::fpCheck(); }, 0},
        {[](Form& f) { f.enabled("cmdRun"), rt::div(1.0, 0.0), rt::fpCheck(); }, 11},
        {[](Form& f) { f.setText("txtB", "1e39"), f.readSingle("txtB"), rt::fpCheck(); }, 6},
        {[](Form& f) { f.setText("txtB", "1e400"), f.readSingle("txtB"); }, 6},
        {[](Form& f) { f.setText("txtB", "1e38"), f.readSingle("txtB"), rt::fpCheck(); }, 0},
    };
    for (const Case& c : cases) {
        reporter.numbers.clear();
        action = c.step;
        button(w, "cmdRun")->click();
        EXPECT_EQ(reporter.numbers, c.error ? std::vector<int>{c.error} : std::vector<int>{})
            << "case " << (&c - cases);
    }
}

TEST_F(ProgramTest, WritesNumbersWithTheInjectedSeparator)
{
    Form& w = work();
    w.writeDouble("txtA", 1.76715);
    w.writeSingle("txtB", 0.5f);
    EXPECT_EQ(w.text("txtA"), "1,76715");
    EXPECT_EQ(w.text("txtB"), "0,5");
    w.setText("txtB", "0,1");
    EXPECT_EQ(w.readSingle("txtB"), 0.1f);
}

TEST_F(ProgramTest, CloseBoxRunsTheScreensOwnButton)
{
    Form& w = work();
    program.hide("frmCepomer");
    win(w).close(); // like the return button: back to the menu
    settle();
    EXPECT_EQ(program.form("frmWork"), nullptr);
    EXPECT_TRUE(win(*program.form("frmCepomer")).isVisible());
    EXPECT_EQ(visibleWindows(), 1);
    win(*program.form("frmCepomer")).close(); // like "выход"
    settle();
    EXPECT_TRUE(program.ended());
    EXPECT_EQ(endings, 1);
    EXPECT_EQ(visibleWindows(), 0);
    EXPECT_EQ(program.form("frmCepomer"), nullptr);
}

TEST_F(ProgramTest, EndStopsTheHandlerAndEverythingAfterIt)
{
    Form& w = work();
    action = [](Form& f) {
        f.program().end();
        f.setText("txtB", "после конца"); // never runs
    };
    button(w, "cmdRun")->click();
    EXPECT_TRUE(program.ended());
    EXPECT_EQ(endings, 1);
    EXPECT_EQ(visibleWindows(), 0);
    EXPECT_TRUE(reporter.numbers.empty());
}

TEST(MessageBoxReporter, ShowsTheErrorOnItsScreen)
{
    RecordingReporter unused;
    Program program{kScreens, unused, {}};
    Desktop desktop{program};
    program.start();
    Form& menu = *program.form("frmCepomer");
    QString title, text;
    bool textFits = false;
    test::expectingModal = true;
    QTimer::singleShot(50, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            title = box->windowTitle();
            text = box->text();
            textFits = box->width() >= box->fontMetrics().horizontalAdvance(box->text());
            if (const QByteArray dir = qgetenv("CEPOMER_SHOT_DIR"); !dir.isEmpty())
                box->grab().save(QString::fromLocal8Bit(dir) + "/runtime-error.png");
            box->accept();
        }
    });
    MessageBoxReporter reporter(desktop);
    reporter.report(menu, rt::RuntimeError(rt::kDivisionByZero));
    test::expectingModal = false;
    EXPECT_EQ(title.toStdString(), "Меню");
    EXPECT_EQ(text.toStdString(), "Ошибка выполнения 11: Деление на ноль");
    EXPECT_TRUE(textFits);
    QCoreApplication::processEvents();
    EXPECT_EQ(QApplication::activeWindow(), desktop.window(menu)) << "focus back on the screen";
    settle();
}

// The program's own menu: focus on cmdIURP, Tab down the column to "выход".
TEST(MainMenu, TabRunsDownTheColumn)
{
    RecordingReporter reporter;
    Program program{programScreens(), reporter, {}};
    Desktop desktop{program};
    program.start();
    ScreenWindow& menu = *desktop.window(*program.form("frmCepomer"));
    EXPECT_EQ(menu.focusWidget(), menu.control("cmdIURP"));
    for (const char* next : {"cmdXlc", "cmdZ", "cmdIplav", "cmdS", "cmdExit", "cmdIURP"}) {
        QTest::keyClick(menu.focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(menu.focusWidget(), menu.control(next)) << next;
    }
}

} // namespace
} // namespace cepomer::engine
