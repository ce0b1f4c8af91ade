// The dimension and setting dialogs opened from the main window: the bars and
// run state they move, the highlight round trip and the reset of everything.
#include "analysis/ValveEventsTable.h"
#include "dialogs/TCylDimen.h"
#include "dialogs/TDrivAng.h"
#include "dialogs/TFrameDi.h"
#include "dialogs/TRevPos.h"
#include "dialogs/TStpAng.h"
#include "graphs/TValveEvents.h"
#include "gui/GuiTestSupport.h"
#include "mainwin/TMainForm.h"
#include "model/DynVars.h"
#include "model/Model.h"
#include "model/NumberText.h"
#include "platform/Services.h"

#include <QAction>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>

namespace {

struct DialogsFixture : ::testing::Test {
    AppState state;
    RecordingSound sound;
    FixedRandom random;
    FixedClock clock;
    std::unique_ptr<TMainForm> form;

    void SetUp() override
    {
        form = std::make_unique<TMainForm>(state, sound, random, clock);
        Named<QTimer>(*form, "Timer1")->stop(); // ticks are driven by the tests unless a test starts the timer
        form->CreateChildWindows();
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    }
    void TearDown() override { form.reset(); }

    // Shows a dialog without a modal loop, active, so that focus and keys work.
    static void Open(QDialog* d)
    {
        d->show();
        QApplication::setActiveWindow(d);
        ASSERT_TRUE(QTest::qWaitForWindowActive(d));
    }

    // Runs `inside` once the modal loop of whatever `open` starts is running.
    static void WhileModal(const std::function<void()>& open, const std::function<void()>& inside)
    {
        QTimer::singleShot(0, [inside] {
            if (auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                QApplication::setActiveWindow(d);
                EXPECT_TRUE(QTest::qWaitForWindowActive(d));
            }
            inside();
        });
        open();
    }

    static void TypeInto(QLineEdit* e, const char* text)
    {
        QTest::mouseClick(e, Qt::LeftButton);
        ASSERT_TRUE(e->hasFocus());
        e->selectAll();
        QTest::keyClicks(e, QString::fromLatin1(text));
    }

    static QLineEdit* Field(QDialog* d, int k) { return d->findChild<QLineEdit*>(QStringLiteral("Edit%1").arg(k)); }
    static QPushButton* Btn(QDialog* d, const char* name) { return d->findChild<QPushButton*>(name); }
};

} // namespace

TEST_F(DialogsFixture, CommandsAreWiredAndEnabled)
{
    for (QAction* a :
         {Named<QAction>(*form, "FrameDim"), Named<QAction>(*form, "CylDim"), Named<QAction>(*form, "RevArmPos"),
          Named<QAction>(*form, "DriverAng"), Named<QAction>(*form, "StepAng1"), Named<QAction>(*form, "ResetAll")})
        EXPECT_TRUE(a->isEnabled()) << a->objectName().toStdString();
    for (QToolButton* b : {Named<QToolButton>(*form, "ToolButton4"), Named<QToolButton>(*form, "ToolButton5"),
                           Named<QToolButton>(*form, "ToolButton6"), Named<QToolButton>(*form, "ToolButton7"),
                           Named<QToolButton>(*form, "ToolButton8")})
        EXPECT_TRUE(b->isEnabled()) << b->objectName().toStdString();
    // Each command opens its dialog modally.
    struct Cmd {
        QToolButton* button;
        QDialog* dialog;
    };
    const Cmd cmds[] = {{Named<QToolButton>(*form, "ToolButton4"), ChildWindowsOf(*form).FrameDi},
                        {Named<QToolButton>(*form, "ToolButton5"), ChildWindowsOf(*form).CylDimen},
                        {Named<QToolButton>(*form, "ToolButton6"), ChildWindowsOf(*form).DrivAng},
                        {Named<QToolButton>(*form, "ToolButton7"), ChildWindowsOf(*form).StpAng},
                        {Named<QToolButton>(*form, "ToolButton8"), ChildWindowsOf(*form).RevPos}};
    for (const Cmd& c : cmds) {
        bool wasModal = false;
        WhileModal([&] { QTest::mouseClick(c.button, Qt::LeftButton); },
                   [&] {
                       wasModal = QApplication::activeModalWidget() == c.dialog;
                       c.dialog->done(QDialog::Rejected);
                   });
        EXPECT_TRUE(wasModal) << c.dialog->windowTitle().toStdString();
        EXPECT_FALSE(c.dialog->isVisible());
    }
    bool frameOpened = false;
    WhileModal([&] { Named<QAction>(*form, "FrameDim")->trigger(); },
               [&] {
                   frameOpened = ChildWindowsOf(*form).FrameDi->isVisible();
                   ChildWindowsOf(*form).FrameDi->done(QDialog::Rejected);
               });
    EXPECT_TRUE(frameOpened);
}

TEST_F(DialogsFixture, AnimationKeepsRunningUnderTheModalDialogAndShowsCommittedValues)
{
    Named<QTimer>(*form, "Timer1")->start();
    TFrameDi* d = ChildWindowsOf(*form).FrameDi;
    float angleBefore = 0, angleAfter = 0, crossheadBefore = 0, crossheadAfter = 0;
    WhileModal([&] { Press(*form, "FrameDim"); },
               [&] {
                   angleBefore = state.gear.DriverAngle;
                   static_cast<void>(QTest::qWaitFor([&] { return state.gear.DriverAngle != angleBefore; }, 10000));
                   angleAfter = state.gear.DriverAngle;
                   // Stop at 0 degrees so that the crosshead place depends only on the rod.
                   Named<QTimer>(*form, "Timer1")->stop();
                   state.anim.ActiveStep = 0;
                   state.gear.DriverAngle = 0;
                   form->Tick();
                   crossheadBefore = state.gear.PointX[3];
                   TypeInto(Field(d, 3), "13");
                   QTest::keyClick(Field(d, 3), Qt::Key_Return); // leaves the field: committed at once
                   form->Tick();
                   crossheadAfter = state.gear.PointX[3];
                   QTest::mouseClick(Btn(d, "Close1"), Qt::LeftButton);
               });
    Named<QTimer>(*form, "Timer1")->stop();
    EXPECT_NE(angleBefore, angleAfter);
    EXPECT_NEAR(crossheadAfter - crossheadBefore, 13.0f - 11.625f, 1e-3);
    EXPECT_FALSE(d->isVisible());
}

TEST_F(DialogsFixture, RevArmMaxSetsTheBarRangeAndResetRestoresIt)
{
    TFrameDi* d = ChildWindowsOf(*form).FrameDi;
    Open(d);
    EXPECT_EQ(Named<QScrollBar>(*form, "SBRevArm")->maximum(), 1300);
    TypeInto(Field(d, 22), "2.25");
    QTest::keyClick(Field(d, 22), Qt::Key_Return);
    EXPECT_EQ(Named<QScrollBar>(*form, "SBRevArm")->maximum(), 2250);
    EXPECT_EQ(Named<QScrollBar>(*form, "SBRevArm")->minimum(), -2250);
    // Below RevArmNormal: RevArmMax becomes RevArmNormal, the bar follows.
    Named<QScrollBar>(*form, "SBRevArm")->setValue(2000);
    TypeInto(Field(d, 22), "0.5");
    QTest::keyClick(Field(d, 22), Qt::Key_Return);
    EXPECT_FLOAT_EQ(state.gear.RevArmMax, 1.0f);
    EXPECT_EQ(Named<QScrollBar>(*form, "SBRevArm")->maximum(), 1000);
    EXPECT_EQ(Named<QScrollBar>(*form, "SBRevArm")->minimum(), -1000);
    EXPECT_EQ(Named<QScrollBar>(*form, "SBRevArm")->value(), 1000); // the bar kept within its new range
    // The reverse arm follows the bar (its change handler ran).
    EXPECT_FLOAT_EQ(state.gear.RevArmPos, state.gear.RevArmCentre() + 1.0f);
    QTest::mouseClick(Btn(d, "ResetFrame"), Qt::LeftButton);
    EXPECT_EQ(Named<QScrollBar>(*form, "SBRevArm")->maximum(), 1300);
    EXPECT_EQ(Named<QScrollBar>(*form, "SBRevArm")->minimum(), -1300);
    d->hide();
}

TEST_F(DialogsFixture, CloseRecentresAndPutsTheBarToMidGear)
{
    TCylDimen* d = ChildWindowsOf(*form).CylDimen;
    QTest::mouseClick(Named<QPushButton>(*form, "Fwd"), Qt::LeftButton);
    ASSERT_NE(Named<QScrollBar>(*form, "SBRevArm")->value(), 0);
    state.steam.FrontCutOffText = " 20.0";
    Open(d);
    TypeInto(Field(d, 1), "22");
    QTest::mouseClick(Btn(d, "Close1"), Qt::LeftButton);
    EXPECT_FALSE(d->isVisible());
    EXPECT_EQ(Named<QScrollBar>(*form, "SBRevArm")->value(), 0);
    EXPECT_FLOAT_EQ(state.gear.Cyl(ciCylCtrToDriverCtr), 22.0f);
    EXPECT_FLOAT_EQ(state.gear.RevArmPos, state.gear.RevArmCentre());
    EXPECT_EQ(state.anim.Direction, RunDirection::Fwd);
    EXPECT_FALSE(Named<QPushButton>(*form, "Center")->isEnabled());
    EXPECT_TRUE(state.steam.FrontCutOffText.empty());
}

TEST_F(DialogsFixture, CloseWithoutAChangeLeavesTheGearAsItWas)
{
    QTest::mouseClick(Named<QPushButton>(*form, "Fwd"), Qt::LeftButton);
    state.steam.FrontCutOffText = " 20.0";
    const int bar = Named<QScrollBar>(*form, "SBRevArm")->value();
    const float pos = state.gear.RevArmPos, centre = state.gear.RevArmCentre();
    ASSERT_NE(bar, 0);
    for (QDialog* d : std::initializer_list<QDialog*>{ChildWindowsOf(*form).FrameDi, ChildWindowsOf(*form).CylDimen}) {
        Open(d);
        TypeInto(Field(d, 3), Field(d, 3)->text().toLatin1().constData()); // the same value again
        QTest::mouseClick(Btn(d, "Close1"), Qt::LeftButton);
        EXPECT_FALSE(d->isVisible());
        EXPECT_EQ(Named<QScrollBar>(*form, "SBRevArm")->value(), bar) << d->objectName().toStdString();
        EXPECT_EQ(state.gear.RevArmPos, pos);
        EXPECT_EQ(state.gear.RevArmCentre(), centre);
        EXPECT_EQ(state.steam.FrontCutOffText, " 20.0");
    }
}

TEST_F(DialogsFixture, SmallButtonRoundTripClosesHighlightsAndReopensTheDialog)
{
    TFrameDi* d = ChildWindowsOf(*form).FrameDi;
    const View before = state.view;
    bool handlerReturned = false;
    WhileModal([&] { Press(*form, "FrameDim"); },
               [&] {
                   TypeInto(Field(d, 7), "1.1");
                   QTest::mouseClick(Btn(d, "Button7"), Qt::LeftButton);
                   EXPECT_EQ(state.highlight.HighlightDim, 7);
                   EXPECT_FLOAT_EQ(state.gear.EccStrapUpper, 1.1f); // committed first
                   form->Tick();                                    // the first close-up frame closes the dialog
                   EXPECT_FALSE(d->isVisible());
               });
    handlerReturned = true; // the dialog's modal loop has ended
    EXPECT_FALSE(d->isVisible());
    EXPECT_EQ(form->Area()->cursor().shape(), Qt::WaitCursor);
    EXPECT_FLOAT_EQ(state.view.ViewScale, 30);
    EXPECT_FLOAT_EQ(state.view.SavedScale, before.ViewScale);
    for (int i = 2; i <= 1000; ++i) form->Tick();
    EXPECT_EQ(state.highlight.HighlightDim, 7);
    QCoreApplication::processEvents();
    EXPECT_FALSE(d->isVisible());

    // The last frame restores the view and asks for the dialog again; it comes
    // back from the event loop, modal, not nested in the first one.
    bool reopenedModal = false, reopenedAfterReturn = false;
    int loopDepth = 0;
    QString fieldText;
    form->Tick();
    EXPECT_EQ(state.highlight.HighlightDim, 0);
    EXPECT_FLOAT_EQ(state.view.ViewScale, before.ViewScale);
    EXPECT_FLOAT_EQ(state.view.ViewOffsetX, before.ViewOffsetX);
    EXPECT_FLOAT_EQ(state.view.ViewOffsetY, before.ViewOffsetY);
    EXPECT_NE(form->Area()->cursor().shape(), Qt::WaitCursor);
    QTimer::singleShot(0, [&] {
        // Posted after the reopen: runs inside the reopened dialog's loop.
        reopenedModal = QApplication::activeModalWidget() == d;
        reopenedAfterReturn = handlerReturned;
        loopDepth = QThread::currentThread()->loopLevel(); // the dialog's own loop only
        fieldText = Field(d, 7)->text();
        d->done(QDialog::Rejected);
    });
    ASSERT_TRUE(QTest::qWaitFor([&] { return !d->isVisible() && !fieldText.isEmpty(); }, 10000));
    EXPECT_TRUE(reopenedModal);
    EXPECT_TRUE(reopenedAfterReturn);
    EXPECT_EQ(loopDepth, 1);
    EXPECT_EQ(fieldText, "1.100");
    EXPECT_FALSE(d->isVisible());
}

TEST_F(DialogsFixture, ClickDuringTheCloseUpEndsItAndReopensTheCylinderDialog)
{
    TCylDimen* d = ChildWindowsOf(*form).CylDimen;
    state.view.ViewScale = 40;
    WhileModal([&] { Press(*form, "CylDim"); },
               [&] {
                   QTest::mouseClick(Btn(d, "Button2"), Qt::LeftButton); // code 102: label only
                   form->Tick();
               });
    EXPECT_FALSE(d->isVisible());
    for (int i = 0; i < 5; ++i) form->Tick();
    EXPECT_FLOAT_EQ(state.view.ViewScale, 40); // 102 keeps the view
    state.view.ViewScale = 50;                 // whatever happens meanwhile
    QTest::mouseClick(form->Area(), Qt::LeftButton, {}, QPoint(400, 300));
    EXPECT_EQ(state.highlight.HighlightDim, 102); // ends at the next frame
    form->Tick();
    EXPECT_EQ(state.highlight.HighlightDim, 0);
    EXPECT_FLOAT_EQ(state.view.ViewScale, 40); // the view saved at the start
    bool reopened = false, ran = false;
    QTimer::singleShot(0, [&] {
        reopened = QApplication::activeModalWidget() == d;
        d->done(QDialog::Rejected);
        ran = true;
    });
    ASSERT_TRUE(QTest::qWaitFor([&] { return ran; }, 10000));
    EXPECT_TRUE(reopened);
    EXPECT_FALSE(ChildWindowsOf(*form).FrameDi->isVisible());
}

TEST_F(DialogsFixture, ReverseArmDialogLimitsAndTheThousandthGrid)
{
    TRevPos* d = ChildWindowsOf(*form).RevPos;
    Gear& g = state.gear;
    const long double c = g.RevArmCentre();
    Open(d);
    EXPECT_EQ(d->windowTitle(), "Reverse Arm Position");
    EXPECT_EQ(d->size(), QSize(208, 64));
    EXPECT_TRUE(d->Cancel->hasFocus());
    EXPECT_EQ(d->Label2->text().toStdString(), "Min = " + (FormatFixed10(c - 1.3L, 5, 3)));
    EXPECT_EQ(d->Label3->text().toStdString(), "Cen = " + (FormatFixed10(c, 5, 3)));
    EXPECT_EQ(d->Label4->text().toStdString(), "Max = " + (FormatFixed10(c + 1.3L, 5, 3)));
    EXPECT_EQ(d->Label5->text().toStdString(), "Rev = " + (FormatFixed10(c - 1.0L, 5, 3)));
    EXPECT_EQ(d->Label6->text().toStdString(), "Fwd = " + (FormatFixed10(c + 1.0L, 5, 3)));
    EXPECT_EQ(d->Edit1->text().toStdString(), FormatFixed10(c, 7, 3));

    // Key filter: one "-" anywhere, one ".", nothing else; Enter is OK.
    d->Edit1->setFocus();
    d->Edit1->clear();
    QTest::keyClicks(d->Edit1, "1-.2.-x");
    EXPECT_EQ(d->Edit1->text(), "1-.2");
    QTest::keyClick(d->Edit1, Qt::Key_Return);
    EXPECT_FALSE(d->isVisible());
    EXPECT_EQ(d->result(), QDialog::Accepted);
    Open(d);

    // Beyond the maximum: the arm goes to the limit, the bar to its end.
    d->Edit1->setText("5");
    QTest::mouseClick(d->OK, Qt::LeftButton);
    EXPECT_FALSE(d->isVisible());
    EXPECT_EQ(d->result(), QDialog::Accepted);
    EXPECT_EQ(Named<QScrollBar>(*form, "SBRevArm")->value(), 1300);
    EXPECT_FLOAT_EQ(g.RevArmPos, static_cast<float>(c + 1.3L));
    EXPECT_EQ(state.anim.Direction, RunDirection::Fwd);

    Open(d);
    d->Edit1->setText("-5");
    QTest::mouseClick(d->OK, Qt::LeftButton);
    EXPECT_EQ(Named<QScrollBar>(*form, "SBRevArm")->value(), -1300);
    EXPECT_EQ(state.anim.Direction, RunDirection::Rev);

    // Between two thousandths: the bar's change handler puts the arm on the grid.
    Open(d);
    d->Edit1->setText("0.12345");
    QTest::mouseClick(d->OK, Qt::LeftButton);
    const int expectedBar = static_cast<int>(std::lround(1000.0L * (static_cast<long double>(0.12345f) - c)));
    EXPECT_EQ(Named<QScrollBar>(*form, "SBRevArm")->value(), expectedBar);
    EXPECT_FLOAT_EQ(g.RevArmPos, static_cast<float>(c + expectedBar / 1000.0L));
    EXPECT_NE(g.RevArmPos, 0.12345f);

    // Cancel changes nothing; Escape is Cancel here.
    Open(d);
    d->Edit1->setText("0.5");
    QTest::keyClick(d->Cancel, Qt::Key_Escape);
    EXPECT_FALSE(d->isVisible());
    EXPECT_EQ(d->result(), QDialog::Rejected);
    EXPECT_EQ(Named<QScrollBar>(*form, "SBRevArm")->value(), expectedBar);
}

TEST_F(DialogsFixture, ReverseArmDialogJudgesTypedAndPastedTextWithTheSelectionReplaced)
{
    TRevPos* d = ChildWindowsOf(*form).RevPos;
    Open(d);
    d->Edit1->setFocus();
    d->Edit1->setText(QStringLiteral("-0.250"));
    d->Edit1->selectAll();
    QTest::keyClicks(d->Edit1, "-0.5");
    EXPECT_EQ(d->Edit1->text(), "-0.5");
    QGuiApplication::clipboard()->setText(QStringLiteral("2.5")); // a second point: refused
    QTest::keyClick(d->Edit1, Qt::Key_Insert, Qt::ShiftModifier);
    EXPECT_EQ(d->Edit1->text(), "-0.5");
    QTest::mouseClick(d->OK, Qt::LeftButton);
    EXPECT_EQ(state.anim.Direction, RunDirection::Rev);
    EXPECT_NEAR(state.gear.RevArmPos, -0.5f, 0.0006f);
}

TEST_F(DialogsFixture, DriverAngleDialogStopsTheGearAndLimitsTheAngle)
{
    TDrivAng* d = ChildWindowsOf(*form).DrivAng;
    ASSERT_TRUE(form->Session().Running());
    state.gear.DriverAngle = 77.5f;
    Open(d);
    EXPECT_EQ(d->windowTitle(), "Driver Angle");
    EXPECT_EQ(d->size(), QSize(208, 47));
    EXPECT_EQ(d->Edit1->text(), "0.00"); // running: the angle is not shown
    EXPECT_TRUE(d->Cancel->hasFocus());
    d->Edit1->setFocus();
    d->Edit1->clear();
    QTest::keyClicks(d->Edit1, "-4.0.0");
    EXPECT_EQ(d->Edit1->text(), "4.00"); // no minus, one point
    d->Edit1->setText("400");
    QTest::keyClick(d->Edit1, Qt::Key_Return); // Enter presses OK
    EXPECT_FALSE(d->isVisible());
    EXPECT_EQ(d->result(), QDialog::Accepted);
    EXPECT_FLOAT_EQ(state.gear.DriverAngle, 360.0f);
    EXPECT_EQ(Named<QScrollBar>(*form, "SBDrvAng")->value(), 36000);
    EXPECT_TRUE(Named<QScrollBar>(*form, "SBDrvAng")->isEnabled());
    EXPECT_EQ(Named<QPushButton>(*form, "Run")->text(), "Run");
    EXPECT_EQ(state.anim.ActiveStep, 0.0f);

    // Stopped: the dialog shows the angle; an empty text gives 0; OK keeps it stopped.
    Open(d);
    EXPECT_EQ(d->Edit1->text(), "360.00");
    d->Edit1->clear();
    QTest::mouseClick(d->OK, Qt::LeftButton);
    EXPECT_FLOAT_EQ(state.gear.DriverAngle, 0.0f);
    EXPECT_EQ(Named<QScrollBar>(*form, "SBDrvAng")->value(), 0);
    EXPECT_EQ(Named<QPushButton>(*form, "Run")->text(), "Run");
    EXPECT_TRUE(Named<QScrollBar>(*form, "SBDrvAng")->isEnabled());
    Open(d);
    d->Edit1->setText("123.456");
    QTest::mouseClick(d->OK, Qt::LeftButton);
    EXPECT_EQ(Named<QScrollBar>(*form, "SBDrvAng")->value(), 12346);
    EXPECT_FLOAT_EQ(state.gear.DriverAngle, 123.46f); // the bar's handler sets it from the bar
}

TEST_F(DialogsFixture, StepAngleDialogKeepsTheRunStateAndMovesTheStepBar)
{
    TStpAng* d = ChildWindowsOf(*form).StpAng;
    ASSERT_TRUE(form->Session().Running());
    Open(d);
    EXPECT_EQ(d->windowTitle(), "Step Angle");
    EXPECT_EQ(d->Edit1->text(), "10.00");
    EXPECT_TRUE(d->Cancel->hasFocus());
    d->Edit1->setText("2.5");
    QTest::mouseClick(d->OK, Qt::LeftButton);
    EXPECT_TRUE(form->Session().Running());
    EXPECT_FLOAT_EQ(state.anim.SelectedStep, 2.5f);
    EXPECT_FLOAT_EQ(state.anim.ActiveStep, 2.5f); // goes on with the new step at once
    EXPECT_EQ(Named<QScrollBar>(*form, "SBStepAng")->value(), 9592);
    EXPECT_TRUE(state.anim.StepBarArmed); // the bar moved: its handler re-armed it
    EXPECT_EQ(Named<QScrollBar>(*form, "SBDrvAng")->singleStep(), 250);
    EXPECT_EQ(Named<QScrollBar>(*form, "SBDrvAng")->pageStep(), 1250);

    struct Case {
        const char* text;
        float step;
        int bar;
    };
    for (const Case& k : {Case{"0", 0.01f, 0}, Case{"1", 1, 8000}, Case{"10", 10, 12000}, Case{"45", 45, 14613},
                          Case{"90", 45, 14613}}) {
        SCOPED_TRACE(k.text);
        Open(d);
        d->Edit1->setText(QString::fromLatin1(k.text));
        QTest::mouseClick(d->OK, Qt::LeftButton);
        EXPECT_FLOAT_EQ(state.anim.SelectedStep, k.step);
        EXPECT_FLOAT_EQ(state.anim.ActiveStep, k.step);
        EXPECT_EQ(Named<QScrollBar>(*form, "SBStepAng")->value(), k.bar);
    }
    // The bar already stood at 14613: no change event, the bar stays disarmed.
    EXPECT_FALSE(state.anim.StepBarArmed);

    // Stopped: shows 0.00, stays stopped, but the step and the bars change.
    QTest::mouseClick(Named<QPushButton>(*form, "Run"), Qt::LeftButton);
    ASSERT_FALSE(form->Session().Running());
    Open(d);
    EXPECT_EQ(d->Edit1->text(), "0.00");
    d->Edit1->setFocus();
    d->Edit1->setText("10");
    QTest::keyClick(d->Edit1, Qt::Key_Return); // Enter presses OK
    EXPECT_FALSE(form->Session().Running());
    EXPECT_EQ(state.anim.ActiveStep, 0.0f);
    EXPECT_FLOAT_EQ(state.anim.SelectedStep, 10.0f);
    EXPECT_EQ(Named<QScrollBar>(*form, "SBStepAng")->value(), 12000);
    EXPECT_EQ(Named<QScrollBar>(*form, "SBDrvAng")->singleStep(), 1000);
    EXPECT_EQ(Named<QScrollBar>(*form, "SBDrvAng")->pageStep(), 5000); // no cap of 4500 here
}

TEST_F(DialogsFixture, ResetAllReturnsToTheBuiltInSetAndClearsTheAids)
{
    Gear& g = state.gear;
    TFrameDi* fd = ChildWindowsOf(*form).FrameDi;
    Open(fd);
    TypeInto(Field(fd, 2), "4");
    QTest::keyClick(Field(fd, 2), Qt::Key_Return);
    TypeInto(Field(fd, 22), "2");
    QTest::keyClick(Field(fd, 22), Qt::Key_Return);
    fd->hide();
    g.CylDims[ciPistonWidth] = 3;
    g.CylDims[ciCylSpare] = 7;
    QTest::mouseClick(Named<QPushButton>(*form, "Fwd"), Qt::LeftButton);
    Named<QScrollBar>(*form, "SBZoom")->setValue(10);
    state.display.DataSetName = "Mine";
    state.graph.GraphVerticalScale = 3;
    state.dyn.DynVarsOn = true;
    state.dyn.UndoOn = true;
    for (int k = 1; k <= 4; ++k) Named<QScrollBar>(*form, "SBDynVar", k)->show();
    ASSERT_EQ(state.dyn.UndoCount, 1);
    ASSERT_EQ(state.dyn.Slot[1].Code, 2);
    // Mid gear is found for the built-in set with the reverse arm where it is.
    AppState expected = state;
    ResetFrameDimensions(expected.gear);
    ResetCylinderDimensions(expected.gear);
    RecomputeRevArmCentre(expected.gear);

    Script(*form).saveChanges = [](const std::string&) { return SaveChangesAnswer::Discard; };
    Named<QAction>(*form, "ResetAll")->trigger();
    EXPECT_FLOAT_EQ(g.Stroke, 3.5f);
    EXPECT_FLOAT_EQ(g.RevArmMax, 1.3f);
    EXPECT_FLOAT_EQ(g.Cyl(ciPistonWidth), 1.0f);
    EXPECT_FLOAT_EQ(g.CylDims[ciCylSpare], 0.0f);
    EXPECT_FLOAT_EQ(g.RevArmCentre(), expected.gear.RevArmCentre());
    EXPECT_FLOAT_EQ(g.RevArmPos, expected.gear.RevArmCentre());
    EXPECT_EQ(Named<QScrollBar>(*form, "SBRevArm")->maximum(), 1300);
    EXPECT_EQ(Named<QScrollBar>(*form, "SBRevArm")->value(), 0);
    EXPECT_FALSE(Named<QPushButton>(*form, "Center")->isEnabled());
    EXPECT_FLOAT_EQ(state.view.ViewScale, 22);
    EXPECT_FLOAT_EQ(state.view.ViewOffsetX, 100);
    EXPECT_FALSE(Named<QPushButton>(*form, "NormVHZ")->isEnabled());
    EXPECT_EQ(state.display.DataSetName, "Nominal");
    EXPECT_FLOAT_EQ(state.graph.GraphVerticalScale, 1.5f);
    EXPECT_FALSE(state.dyn.DynVarsOn);
    EXPECT_FALSE(state.dyn.UndoOn);
    for (int k = 1; k <= 4; ++k) EXPECT_FALSE(Named<QScrollBar>(*form, "SBDynVar", k)->isVisible());
    for (int k : {7, 8, 9}) EXPECT_FALSE(Named<QFrame>(*form, "Panel", k)->isVisible());
    EXPECT_EQ(state.dyn.Slot[1].Code, 0);
    EXPECT_EQ(state.dyn.UndoCount, 0);
    EXPECT_FALSE(state.dyn.UndoButtonsEnabled);
    // The dialogs show the built-in set the next time they open.
    Open(fd);
    EXPECT_EQ(Field(fd, 2)->text(), "3.500");
    fd->hide();
}

// FrameDimensions: a value that breaks the gear typed, Tab, Close (which
// re-centres at the broken design's mid gear), then "UnDo": the reverse arm,
// its centre, the readouts and the valve events table are the nominal ones.
TEST_F(DialogsFixture, UnDoOfAnEditTakesBackTheRecentringOfItsClose)
{
    TFrameDi* fd = ChildWindowsOf(*form).FrameDi;
    TValveEvents* ve = ChildWindowsOf(*form).ValveEvents;
    const Gear nominal = state.gear;
    const std::vector<TextRow> nominalTable = ValveEventsTextOf(nominal);
    Press(*form, "SetUnDo");
    WhileModal([&] { Press(*form, "FrameDim"); },
               [&] {
                   TypeInto(Field(fd, 10), "2.0");
                   QTest::keyClick(Field(fd, 10), Qt::Key_Tab);
                   EXPECT_FALSE(Field(fd, 10)->hasFocus());
                   QTest::mouseClick(Btn(fd, "Close1"), Qt::LeftButton);
               });
    ASSERT_FALSE(fd->isVisible());
    EXPECT_EQ(DecimalText(state.gear.RevArmCentre(), 4), "-0.2242"); // the broken design's mid gear
    EXPECT_EQ(state.gear.RevArmPos, state.gear.RevArmCentre());

    form->DrawFrame();
    ASSERT_TRUE(Named<QPushButton>(*form, "UnDoDn")->isVisible() && Named<QPushButton>(*form, "UnDoDn")->isEnabled());
    QTest::mouseClick(Named<QPushButton>(*form, "UnDoDn"), Qt::LeftButton);
    EXPECT_EQ(state.gear.EccRodLength, nominal.EccRodLength);
    EXPECT_EQ(state.gear.RevArm, nominal.RevArm);
    EXPECT_EQ(state.gear.RevArmPos, nominal.RevArmPos);
    EXPECT_EQ(Named<QScrollBar>(*form, "SBRevArm")->value(), 0);
    EXPECT_FALSE(Named<QPushButton>(*form, "Center")->isEnabled()); // centred, truly
    EXPECT_EQ(state.anim.Direction, RunDirection::Fwd);

    // The cut-off readouts of a turn at mid gear.
    state.steam.FrontCutOffText.clear();
    state.steam.RearCutOffText.clear();
    for (int tick = 0; tick < 200 && (state.steam.FrontCutOffText.empty() || state.steam.RearCutOffText.empty());
         ++tick)
        form->Tick();
    EXPECT_EQ(state.steam.FrontCutOffText, "  6.6");
    EXPECT_EQ(state.steam.RearCutOffText, "  4.9");

    // The valve events table window shows the nominal table.
    std::vector<TextRow> shown;
    QString notch0, normalCutOff;
    WhileModal([&] { Named<QAction>(*form, "ValveEventsTable")->trigger(); },
               [&] {
                   shown = ve->TableText();
                   notch0 = ve->EventsGrid->item(0, 2)->text();
                   normalCutOff = ve->EventsGrid->item(14, 7)->text();
                   QTest::mouseClick(ve->CloseBut, Qt::LeftButton);
               });
    EXPECT_TRUE(shown == nominalTable);
    EXPECT_EQ(notch0, "-0.0386");
    EXPECT_EQ(normalCutOff, "76.92");
}
