// The oval and sine diagrams opened from the main window.
#include "analysis/Balance.h"
#include "graphs/TOvalDia.h"
#include "graphs/TSetRevArm.h"
#include "graphs/TSineDia.h"
#include "mainwin/TMainForm.h"
#include "model/Model.h"
#include "platform/Services.h"

#include <QAction>
#include <QApplication>
#include <QFrame>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

#include "gui/GuiTestSupport.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

struct MainDiagrams : MainWindowTest {

    // Opens a diagram through `open`, lets `inside` look at it once it is
    // drawn, then closes it; returns how often the positions dialog showed.
    int OpenAndClose(std::function<void()> open, TDiagramWindow* w, std::function<void()> inside)
    {
        int shown = 0, settle = 0;
        bool closingPositions = false;
        DriveModal([&] {
            QWidget* modal = QApplication::activeModalWidget();
            if (modal == ChildWindowsOf(*form).SetRevArm) {
                if (!closingPositions) {
                    ++shown;
                    positionsSawTimer = Named<QTimer>(*form, "Timer1")->isActive();
                    closingPositions = true;
                    QTest::mouseClick(ChildWindowsOf(*form).SetRevArm->Close1(), Qt::LeftButton);
                }
                return false;
            }
            closingPositions = false;
            if (modal == w && ++settle > 10) {
                diagramSawTimer = Named<QTimer>(*form, "Timer1")->isActive();
                inside();
                QTest::mouseClick(w->CloseButton(), Qt::LeftButton);
                return true;
            }
            return false;
        });
        open();
        return shown;
    }

    bool positionsSawTimer = true;
    bool diagramSawTimer = true;
};

} // namespace

TEST_F(MainDiagrams, OvalFromTheMenuStopsTheAnimationUntilClosed)
{
    ASSERT_NE(ChildWindowsOf(*form).OvalDia, nullptr);
    ASSERT_NE(ChildWindowsOf(*form).SetRevArm, nullptr);
    EXPECT_TRUE(Named<QAction>(*form, "OvalDiag")->isEnabled());
    EXPECT_TRUE(Named<QToolButton>(*form, "ToolButton14")->isEnabled());
    EXPECT_EQ(Named<QToolButton>(*form, "ToolButton14")->toolTip(), "View Oval Diagram");
    ASSERT_TRUE(Named<QTimer>(*form, "Timer1")->isActive());
    state.gear.DriverAngle = 40;

    bool drawn = false;
    const int shown = OpenAndClose([&] { Named<QAction>(*form, "OvalDiag")->trigger(); }, ChildWindowsOf(*form).OvalDia,
                                   [&] {
                                       drawn = state.graph.GraphRevArmPos == state.gear.RevArm[3];
                                       // The diagram's "DynamicVari" also shows the main window's bars.
                                       ChildWindowsOf(*form).OvalDia->DynamicVariAction()->trigger();
                                   });
    EXPECT_EQ(shown, 1);
    EXPECT_FALSE(positionsSawTimer);
    EXPECT_FALSE(diagramSawTimer);
    EXPECT_TRUE(drawn);
    EXPECT_TRUE(Named<QTimer>(*form, "Timer1")->isActive());
    EXPECT_TRUE(state.dyn.DynVarsOn);
    EXPECT_TRUE(Named<QScrollBar>(*form, "SBDynVar", 1)->isVisibleTo(form.get()));
    EXPECT_TRUE(Named<QFrame>(*form, "Panel", 8)->isVisibleTo(form.get()));
    EXPECT_EQ(state.gear.RevArmPos, state.gear.RevArmCentre());
}

TEST_F(MainDiagrams, SineFromTheToolButtonAndCaptionsEveryTick)
{
    ASSERT_NE(ChildWindowsOf(*form).SineDia, nullptr);
    EXPECT_EQ(Named<QToolButton>(*form, "ToolButton13")->toolTip(), "View Sine Diagram");
    const int shown =
        OpenAndClose([&] { QTest::mouseClick(Named<QToolButton>(*form, "ToolButton13"), Qt::LeftButton); },
                     ChildWindowsOf(*form).SineDia, [] {});
    EXPECT_EQ(shown, 1);
    EXPECT_FALSE(diagramSawTimer);
    EXPECT_TRUE(Named<QTimer>(*form, "Timer1")->isActive());

    form->Tick();
    const QString tail =
        form->windowTitle().remove(QStringLiteral("[*]")).mid(QString("QUELF Outside Admission            ").size());
    EXPECT_EQ(ChildWindowsOf(*form).SineDia->windowTitle(), "QUELF Outside Admission      Sine Diagram    " + tail);
    EXPECT_EQ(ChildWindowsOf(*form).OvalDia->windowTitle(), "QUELF Outside Admission      Oval Diagram    " + tail);
    EXPECT_TRUE(tail.endsWith("Version 2.6"));
}

// A diagram window's "ReDo" button (under "UnDo") and Ctrl+Y redo what its
// "UnDo" took back: here a balance applied, so the main window's reverse arm
// bar follows both ways.
TEST_F(MainDiagrams, ReDoInADiagramTakesBackTheUndoneBalance)
{
    Named<QScrollBar>(*form, "SBRevArm")->setValue(1000); // the forward notch
    const float notch = state.gear.RevArmPos;
    ASSERT_TRUE(form->Session().ApplyFoundValues({{20, 3.76f}, {10, 9.96f}}));
    const float centre = state.gear.RevArmPos;
    ASSERT_NE(centre, notch);
    TDiagramWindow* w = ChildWindowsOf(*form).OvalDia;
    ASSERT_EQ(w->RedoButton()->objectName(), "ReDoDnO");

    std::vector<std::string> log;
    const auto note = [&](const char* what) {
        log.push_back(std::string(what) + " " + std::to_string(state.dyn.UndoCount) + "/" +
                      std::to_string(state.dyn.RedoCount) + (w->RedoButton()->isEnabled() ? " redo" : "") +
                      (state.gear.RevArmPos == notch ? " notch" : "") +
                      (state.gear.RevArmPos == centre ? " centre" : "") + " bar " +
                      std::to_string(Named<QScrollBar>(*form, "SBRevArm")->value()));
    };
    OpenAndClose([&] { Named<QAction>(*form, "OvalDiag")->trigger(); }, w,
                 [&] {
                     w->UnDoAction()->trigger(); // the undo line and its buttons
                     EXPECT_TRUE(w->UndoButton()->isVisible());
                     EXPECT_TRUE(w->RedoButton()->isVisible());
                     note("open");
                     QTest::mouseClick(w->UndoButton(), Qt::LeftButton);
                     note("undo");
                     QTest::mouseClick(w->UndoButton(), Qt::LeftButton);
                     note("undo");
                     QTest::mouseClick(w->RedoButton(), Qt::LeftButton);
                     note("redo");
                     // The positions dialog closed before may still be the
                     // active window until its deactivation has come through
                     // (w->isActiveWindow() already holds: it is w's child).
                     w->activateWindow();
                     EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == w; }, 10000));
                     QTest::keyClick(w, Qt::Key_Y, Qt::ControlModifier);
                     note("ctrl+y");
                     QTest::keyClick(w, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
                     note("ctrl+shift+z");
                 });
    // Either record of the apply puts the arm back when undone; the newer one
    // re-centres it again when redone.
    EXPECT_EQ(log, (std::vector<std::string>{"open 2/0 centre bar 0", "undo 1/1 redo notch bar 1000",
                                             "undo 0/2 redo notch bar 1000", "redo 1/1 redo notch bar 1000",
                                             "ctrl+y 2/0 centre bar 0", "ctrl+shift+z 2/0 centre bar 0"}));
    EXPECT_FLOAT_EQ(state.gear.ValveRodLength, 3.76f); // within the slot refresh of an undo
    EXPECT_EQ(state.gear.EccRodLength, 9.96f);
}
