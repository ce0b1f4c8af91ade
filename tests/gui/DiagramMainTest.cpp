// The oval and sine diagrams opened from the main window.
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
            if (modal == form->Forms.SetRevArm) {
                if (!closingPositions) {
                    ++shown;
                    positionsSawTimer = form->Timer1->isActive();
                    closingPositions = true;
                    QTest::mouseClick(form->Forms.SetRevArm->Close1(), Qt::LeftButton);
                }
                return false;
            }
            closingPositions = false;
            if (modal == w && ++settle > 10) {
                diagramSawTimer = form->Timer1->isActive();
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
    ASSERT_NE(form->Forms.OvalDia, nullptr);
    ASSERT_NE(form->Forms.SetRevArm, nullptr);
    EXPECT_TRUE(form->OvalDiag->isEnabled());
    EXPECT_TRUE(form->ToolButton14->isEnabled());
    EXPECT_EQ(form->ToolButton14->toolTip(), "View Oval Diagram");
    ASSERT_TRUE(form->Timer1->isActive());
    state.gear.DriverAngle = 40;

    bool drawn = false;
    const int shown = OpenAndClose([&] { form->OvalDiag->trigger(); }, form->Forms.OvalDia,
                                   [&] {
                                       drawn = state.graph.GraphRevArmPos == state.gear.RevArm[3];
                                       // The diagram's "DynamicVari" also shows the main window's bars.
                                       form->Forms.OvalDia->DynamicVariAction()->trigger();
                                   });
    EXPECT_EQ(shown, 1);
    EXPECT_FALSE(positionsSawTimer);
    EXPECT_FALSE(diagramSawTimer);
    EXPECT_TRUE(drawn);
    EXPECT_TRUE(form->Timer1->isActive());
    EXPECT_TRUE(state.dyn.DynVarsOn);
    EXPECT_TRUE(form->SBDynVar[1]->isVisibleTo(form.get()));
    EXPECT_TRUE(form->Panel[8]->isVisibleTo(form.get()));
    EXPECT_EQ(state.gear.RevArmPos, state.gear.RevArmCentre());
}

TEST_F(MainDiagrams, SineFromTheToolButtonAndCaptionsEveryTick)
{
    ASSERT_NE(form->Forms.SineDia, nullptr);
    EXPECT_EQ(form->ToolButton13->toolTip(), "View Sine Diagram");
    const int shown =
        OpenAndClose([&] { QTest::mouseClick(form->ToolButton13, Qt::LeftButton); }, form->Forms.SineDia, [] {});
    EXPECT_EQ(shown, 1);
    EXPECT_FALSE(diagramSawTimer);
    EXPECT_TRUE(form->Timer1->isActive());

    form->Tick();
    const QString tail = form->windowTitle().mid(QString("QUELF Outside Admission            ").size());
    EXPECT_EQ(form->Forms.SineDia->windowTitle(), "QUELF Outside Admission      Sine Diagram    " + tail);
    EXPECT_EQ(form->Forms.OvalDia->windowTitle(), "QUELF Outside Admission      Oval Diagram    " + tail);
    EXPECT_TRUE(tail.endsWith("Version 2.6"));
}
