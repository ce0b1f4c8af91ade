// The port graph and steam diagram windows, alone and opened from the main window.
#include "graphs/TPortDia.h"
#include "graphs/TSetRevArm.h"
#include "graphs/TSteamDia.h"
#include "mainwin/TMainForm.h"
#include "model/Model.h"
#include "platform/Services.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

#include "gui/GuiTestSupport.h"

#include <functional>
#include <memory>

namespace {

int CountColour(const QImage& img, QRect r, QRgb colour)
{
    int n = 0;
    r = r.intersected(img.rect());
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (img.pixel(x, y) == colour) ++n;
    return n;
}

const QRgb kTeal = qRgb(0, 128, 128);
const QRgb kGreen = qRgb(0, 128, 0);
const QRgb kRed = qRgb(255, 0, 0);
const QRgb kMaroon = qRgb(128, 0, 0);
const QRect kPortGraph(10, 43, 538, 299);

struct PortSteamWindows : ::testing::Test {
    void SetUp() override { StartupModel(s); }
    AppState s;
};

using PortSteamFromMain = MainWindowTest;

} // namespace

// ---------------------------------------------------------------- port window

TEST_F(PortSteamWindows, PortWindowLayoutAndMenus)
{
    TPortDia w(s, nullptr);
    EXPECT_EQ(w.objectName(), "TPortDia");
    EXPECT_EQ(w.CloseButton()->objectName(), "ClosePort");
    EXPECT_EQ(w.CloseButton()->pos(), QPoint(447, 2));
    EXPECT_EQ(w.CloseButton()->text(), "Close");
    for (int k = 1; k <= 4; ++k) EXPECT_EQ(w.Bar(k)->objectName(), QString("SBDynVarP%1").arg(k));
    EXPECT_EQ(w.UndoButton()->objectName(), "UnDoDnP");
    EXPECT_EQ(w.SetRevArmPosAction(), nullptr);

    QStringList top;
    for (QAction* a : w.Menu()->actions()) top << a->objectName() + "=" + a->text();
    EXPECT_EQ(top.join(","), "SetUp=SetUp,ReDraw1=ReDraw,UnDoPorts=&UnDo,DynamicVari1=DynamicVari");
    QStringList sub;
    for (QAction* a : w.SetUpMenu()->actions()) sub << a->objectName() + "=" + a->text();
    EXPECT_EQ(sub.join(","), "ForwardGraph1=ForwardGraph,ReverseGraph1=ReverseGraph,BothGraphs1=BothGraphs,=,"
                             "ExportPicture=&Export Picture…,CopyPicture=&Copy Picture,PrintPicture=&Print…");
    EXPECT_EQ(w.findChild<QAction*>("BothGraphs1"), w.BothGraphsAction());
}

TEST_F(PortSteamWindows, ModeMenuItemsRedrawTheGraph)
{
    TPortDia w(s, nullptr);
    s.graph.PortGraphMode = 'F';
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    // The activation draws the forward graph.
    ASSERT_TRUE(QTest::qWaitFor([&] { return CountColour(w.Picture(), kPortGraph, kTeal) > 100; }, 5000));
    EXPECT_GT(CountColour(w.Picture(), kPortGraph, kRed), 100);
    EXPECT_EQ(CountColour(w.Picture(), kPortGraph, kGreen), 0);

    w.ReverseGraphAction()->trigger();
    EXPECT_EQ(s.graph.PortGraphMode, 'R');
    EXPECT_EQ(CountColour(w.Picture(), kPortGraph, kTeal), 0); // cleared first
    EXPECT_GT(CountColour(w.Picture(), kPortGraph, kGreen), 100);
    EXPECT_GT(CountColour(w.Picture(), kPortGraph, kMaroon), 100);

    w.BothGraphsAction()->trigger();
    EXPECT_EQ(s.graph.PortGraphMode, 'B');
    EXPECT_TRUE(s.graph.PortGraphAnnotate);
    EXPECT_GT(CountColour(w.Picture(), kPortGraph, kTeal), 100);
    EXPECT_GT(CountColour(w.Picture(), kPortGraph, kGreen), 100);
    const QImage both = w.Picture().copy();

    // Every other request repeats both passes: ReDraw, and "&UnDo" on (which
    // draws without clearing) gives the same picture.
    w.ReDrawAction()->trigger();
    EXPECT_EQ(s.graph.PortGraphMode, 'B');
    EXPECT_EQ(w.Picture(), both);
    w.UnDoAction()->trigger();
    EXPECT_TRUE(s.dyn.UndoOn);
    EXPECT_TRUE(w.UndoButton()->isVisible());
    // The reverse pass lies on top again (the undo line aside).
    const QRect below(0, 75, 632, 339);
    EXPECT_EQ(w.Picture().copy(below), both.copy(below));

    w.ForwardGraphAction()->trigger();
    EXPECT_EQ(s.graph.PortGraphMode, 'F');
    EXPECT_EQ(CountColour(w.Picture(), kPortGraph, kGreen), 0);
    EXPECT_EQ(CountColour(w.Picture(), kPortGraph, kMaroon), 0);
    EXPECT_GT(CountColour(w.Picture(), kPortGraph, kTeal), 100);
    w.close();
}

// ---------------------------------------------------------------- from the main window

TEST_F(PortSteamFromMain, PortOpenCloseStopsTheTimerDrawsForwardAndRestartsOnClose)
{
    ASSERT_NE(ChildWindowsOf(*form).PortDia, nullptr);
    EXPECT_TRUE(Named<QAction>(*form, "FourEvents")->isEnabled());
    EXPECT_TRUE(Named<QToolButton>(*form, "ToolButton16")->isEnabled());
    EXPECT_EQ(Named<QAction>(*form, "FourEvents")->text(), "&PortOpenClose");
    state.graph.PortGraphMode = 'B';
    Named<QTimer>(*form, "Timer1")->start();
    const float revArm = state.gear.RevArmPos;

    TPortDia* w = ChildWindowsOf(*form).PortDia;
    bool timerOffWhileOpen = false, closed = false;
    QImage shot;
    int settle = 0;
    DriveModal([&] {
        if (QApplication::activeModalWidget() != w || ++settle < 10) return false;
        timerOffWhileOpen = !Named<QTimer>(*form, "Timer1")->isActive();
        shot = w->Picture().copy();
        QTest::mouseClick(w->CloseButton(), Qt::LeftButton);
        closed = true;
        return true;
    });
    Named<QAction>(*form, "FourEvents")->trigger();
    ASSERT_TRUE(closed);
    EXPECT_FALSE(w->isVisible());
    EXPECT_TRUE(timerOffWhileOpen);
    EXPECT_TRUE(Named<QTimer>(*form, "Timer1")->isActive());
    EXPECT_EQ(state.graph.PortGraphMode, 'F');
    EXPECT_EQ(state.gear.RevArmPos, revArm);
    EXPECT_GT(CountColour(shot, kPortGraph, kTeal), 100);
    EXPECT_EQ(CountColour(shot, kPortGraph, kGreen), 0);

    // The caption follows the main window's tail.
    form->Tick();
    EXPECT_TRUE(w->windowTitle().startsWith("QUELF Outside Admission      Port Open/Closed    Nominal"));
    EXPECT_TRUE(w->windowTitle().endsWith("Version 2.6"));
}

TEST_F(PortSteamFromMain, SteamDiagramStopsTheTimerDrawsTheLoopsAndRestartsOnClose)
{
    ASSERT_NE(ChildWindowsOf(*form).SteamDia, nullptr);
    EXPECT_TRUE(Named<QAction>(*form, "SteamDiag")->isEnabled());
    EXPECT_TRUE(Named<QToolButton>(*form, "ToolButton15")->isEnabled());
    state.graph.GraphPosCount = 3; // as the positions dialog counts the defaults
    Named<QTimer>(*form, "Timer1")->start();
    const float angle = state.gear.DriverAngle;

    TSteamDia* w = ChildWindowsOf(*form).SteamDia;
    bool timerOffWhileOpen = false, closed = false;
    QImage shot;
    int settle = 0;
    DriveModal([&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* positions = qobject_cast<TSetRevArm*>(modal)) {
            QTest::mouseClick(positions->Close1(), Qt::LeftButton);
            return false;
        }
        if (modal != w || ++settle < 10) return false;
        timerOffWhileOpen = !Named<QTimer>(*form, "Timer1")->isActive();
        shot = w->Picture().copy();
        QTest::mouseClick(w->CloseButton(), Qt::LeftButton);
        closed = true;
        return true;
    });
    Named<QAction>(*form, "SteamDiag")->trigger();
    ASSERT_TRUE(closed);
    EXPECT_TRUE(timerOffWhileOpen);
    EXPECT_TRUE(Named<QTimer>(*form, "Timer1")->isActive());
    EXPECT_EQ(state.gear.DriverAngle, angle);
    EXPECT_EQ(state.graph.GraphRevArmPos, state.gear.RevArm[3]);
    const QRect chart(45, 60, 539, 283);
    EXPECT_GT(CountColour(shot, chart, kGreen), 300);
    EXPECT_GT(CountColour(shot, chart, kRed), 300);

    form->Tick();
    EXPECT_TRUE(w->windowTitle().startsWith("QUELF Outside Admission      Steam Diagram    Nominal"));
}

TEST_F(PortSteamWindows, SteamWindowEndsEveryDrawWithThePanel)
{
    TSteamDia w(s, nullptr);
    EXPECT_EQ(w.CloseButton()->objectName(), "CloseStm");
    EXPECT_EQ(w.UndoButton()->objectName(), "UnDoDnSt");
    EXPECT_EQ(w.Bar(4)->objectName(), "SBDynVarST4");
    QStringList top;
    for (QAction* a : w.Menu()->actions()) top << a->objectName() + "=" + a->text();
    EXPECT_EQ(top.join(","),
              "SetRevArmPos=SetRevArmPos,ReDraw=ReDraw,UnDoSteam=&UnDo,DynVari=DynamicVari,SetUp=Se&tUp");

    s.graph.GraphPosCount = 0;
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    QApplication::processEvents();
    // No positions: background only, no loops.
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return CountColour(w.Picture(), QRect(45, 343, 539, 1), qRgb(0, 0, 0)) > 500; }, 5000));
    EXPECT_EQ(CountColour(w.Picture(), QRect(45, 60, 539, 283), kGreen), 0);

    w.DynamicVariAction()->trigger();
    for (int k = 1; k <= 4; ++k) EXPECT_TRUE(w.Bar(k)->isVisible());
    int red = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 235; x < 435; ++x) {
            const QRgb p = w.Picture().pixel(x, y);
            if (qRed(p) > 200 && qGreen(p) < 90 && qBlue(p) < 90) ++red;
        }
    EXPECT_GT(red, 0); // the "First Select Dimensions" banner
    w.close();
}
