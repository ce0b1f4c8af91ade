// The main window's dynamic-variable bars, undo button and the steam display
// and screen data switches, driven as a user would.
#include "GuiTestSupport.h"
#include "mainwin/TMainForm.h"
#include "model/DynVars.h"
#include "model/Model.h"
#include "platform/RecordingCanvas.h"

#include <QAction>
#include <QFrame>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QStyleOptionSlider>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QWheelEvent>
#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

struct MainFormFixture : StoppedMainWindowTest {

    QRect Part(QScrollBar* bar, QStyle::SubControl sc) const
    {
        QStyleOptionSlider opt;
        opt.initFrom(bar);
        opt.subControls = QStyle::SC_All;
        opt.orientation = bar->orientation();
        opt.minimum = bar->minimum();
        opt.maximum = bar->maximum();
        opt.sliderPosition = bar->sliderPosition();
        opt.sliderValue = bar->value();
        opt.singleStep = bar->singleStep();
        opt.pageStep = bar->pageStep();
        opt.upsideDown = bar->invertedAppearance();
        if (bar->orientation() == Qt::Horizontal) opt.state |= QStyle::State_Horizontal;
        return bar->style()->subControlRect(QStyle::CC_ScrollBar, &opt, sc, bar);
    }

    // The dynamic variables on, with Stroke in slot 1 and a frame drawn so
    // that the bars' enabling is applied.
    QScrollBar* StrokeBar()
    {
        StageDynVar(state, 2, state.gear.Stroke, DimensionShortLabel(2));
        Press(*form, "DynamicVariables");
        form->DrawFrame();
        QScrollBar* bar = Named<QScrollBar>(*form, "SBDynVar", 1);
        EXPECT_TRUE(bar->isVisible());
        EXPECT_TRUE(bar->isEnabled());
        return bar;
    }

    static void Send(QWidget* w, QEvent::Type type, QPoint pos, Qt::MouseButton button, Qt::MouseButtons buttons)
    {
        QMouseEvent e(type, QPointF(pos), QPointF(w->mapToGlobal(pos)), button, buttons, Qt::NoModifier);
        QApplication::sendEvent(w, &e);
    }
};

const float kStroke = 3.5f;

float Plus(float a, long double b) { return static_cast<float>(static_cast<long double>(a) + b); }

} // namespace

TEST_F(MainFormFixture, ArrowClickOnTheStrokeBarChangesItByOneThousandthAndRecordsOnce)
{
    ASSERT_EQ(state.gear.Stroke, kStroke);
    QScrollBar* bar = StrokeBar();
    ASSERT_EQ(bar->objectName(), QStringLiteral("SBDynVar1"));
    const QRect add = Part(bar, QStyle::SC_ScrollBarAddLine);
    ASSERT_TRUE(add.isValid());

    QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, add.center());
    EXPECT_EQ(state.gear.Stroke, Plus(kStroke, 0.001f));
    EXPECT_EQ(bar->value(), 0);
    EXPECT_EQ(state.dyn.UndoCount, 1);
    EXPECT_EQ(state.dyn.Undo[1].Code, 2);
    EXPECT_EQ(state.dyn.Undo[1].Old, kStroke);
    EXPECT_EQ(state.dyn.Undo[1].New, state.gear.Stroke);
    EXPECT_TRUE(Named<QPushButton>(*form, "UnDoDn")->isEnabled());
    EXPECT_TRUE(Named<QScrollBar>(*form, "SBRevArm")->hasFocus() || !Named<QScrollBar>(*form, "SBRevArm")->isVisible());

    // The left arrow takes it back by the same step: a second record.
    const QRect sub = Part(bar, QStyle::SC_ScrollBarSubLine);
    QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, sub.center());
    EXPECT_EQ(state.gear.Stroke, Plus(Plus(kStroke, 0.001f), -0.001f));
    EXPECT_EQ(state.dyn.UndoCount, 2);
}

TEST_F(MainFormFixture, PageClickAndThumbDragEachMakeOneRecord)
{
    QScrollBar* bar = StrokeBar();
    const QRect page = Part(bar, QStyle::SC_ScrollBarAddPage);
    ASSERT_TRUE(page.isValid());
    QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, page.center());
    EXPECT_EQ(state.gear.Stroke, Plus(kStroke, 0.01f));
    EXPECT_EQ(state.dyn.UndoCount, 1);
    const float afterPage = state.gear.Stroke;

    // Drag the thumb to the right: several changes, one record.
    const QRect thumb = Part(bar, QStyle::SC_ScrollBarSlider);
    ASSERT_TRUE(thumb.isValid());
    const QPoint start = thumb.center();
    Send(bar, QEvent::MouseButtonPress, start, Qt::LeftButton, Qt::LeftButton);
    for (int dx = 4; dx <= 24; dx += 4)
        Send(bar, QEvent::MouseMove, start + QPoint(dx, 0), Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(state.dyn.UndoCount, 1); // nothing recorded while the thumb is held
    Send(bar, QEvent::MouseButtonRelease, start + QPoint(24, 0), Qt::LeftButton, Qt::NoButton);
    EXPECT_GT(state.gear.Stroke, afterPage);
    EXPECT_EQ(bar->value(), 0);
    EXPECT_EQ(state.dyn.UndoCount, 2);
    EXPECT_EQ(state.dyn.Undo[1].Old, afterPage);
    EXPECT_EQ(state.dyn.Undo[1].New, state.gear.Stroke);

    // A right click does nothing on these bars.
    const float now = state.gear.Stroke;
    QTest::mouseClick(bar, Qt::RightButton, Qt::NoModifier, page.center());
    EXPECT_EQ(state.gear.Stroke, now);
    EXPECT_EQ(state.dyn.UndoCount, 2);
}

TEST_F(MainFormFixture, KeyboardStepsAreGesturesToo)
{
    QScrollBar* bar = StrokeBar();
    bar->setFocus();
    QTest::keyClick(bar, Qt::Key_Right);
    EXPECT_EQ(state.gear.Stroke, Plus(kStroke, 0.001f));
    EXPECT_EQ(state.dyn.UndoCount, 1);
    EXPECT_EQ(state.dyn.Undo[1].Old, kStroke);
    QTest::keyClick(bar, Qt::Key_PageUp);
    EXPECT_EQ(state.gear.Stroke, Plus(Plus(kStroke, 0.001f), -0.01f));
    EXPECT_EQ(state.dyn.UndoCount, 2);
    UndoButtonClick(state);
    // The wheel is no gesture with an end: it does nothing on these bars.
    QWheelEvent wheel(QPointF(5, 5), QPointF(bar->mapToGlobal(QPoint(5, 5))), QPoint(), QPoint(0, 120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(bar, &wheel);
    EXPECT_EQ(state.gear.Stroke, Plus(kStroke, 0.001f));
    EXPECT_EQ(state.dyn.UndoCount, 1);
}

TEST_F(MainFormFixture, AGestureCutShortStillEndsOnce)
{
    QScrollBar* bar = StrokeBar();
    const QPoint start = Part(bar, QStyle::SC_ScrollBarSlider).center();
    Send(bar, QEvent::MouseButtonPress, start, Qt::LeftButton, Qt::LeftButton);
    Send(bar, QEvent::MouseMove, start + QPoint(10, 0), Qt::NoButton, Qt::LeftButton);
    const float moved = state.gear.Stroke;
    ASSERT_GT(moved, kStroke);
    Named<QAction>(*form, "SetScreenData")->trigger(); // the bars go away under the mouse
    EXPECT_TRUE(QTest::qWaitFor([&] { return state.dyn.UndoCount == 1; }, 10000));
    EXPECT_EQ(state.dyn.UndoCount, 1);
    EXPECT_EQ(state.dyn.Undo[1].Old, kStroke);
    EXPECT_EQ(state.dyn.Undo[1].New, moved);

    // Closing the window in the middle of a gesture is safe.
    Named<QAction>(*form, "SetScreenData")->trigger();
    Press(*form, "DynamicVariables");
    form->DrawFrame();
    Send(bar, QEvent::MouseButtonPress, start, Qt::LeftButton, Qt::LeftButton);
    form.reset();
    QCoreApplication::processEvents();
    EXPECT_EQ(state.dyn.UndoCount, 1);
}

TEST_F(MainFormFixture, UnDoWalksBack)
{
    QScrollBar* bar = StrokeBar();
    Press(*form, "SetUnDo");
    const QRect add = Part(bar, QStyle::SC_ScrollBarAddLine);
    const QRect page = Part(bar, QStyle::SC_ScrollBarAddPage);
    QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, add.center());
    const float one = state.gear.Stroke;
    QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, page.center());
    ASSERT_EQ(state.dyn.UndoCount, 2);

    form->DrawFrame();
    ASSERT_TRUE(Named<QPushButton>(*form, "UnDoDn")->isVisible());
    EXPECT_EQ(Named<QPushButton>(*form, "UnDoDn")->pos(), QPoint(278, 127)); // under the dynamic variables
    ASSERT_TRUE(Named<QPushButton>(*form, "UnDoDn")->isEnabled());
    QTest::mouseClick(Named<QPushButton>(*form, "UnDoDn"), Qt::LeftButton);
    EXPECT_EQ(state.gear.Stroke, one);
    EXPECT_EQ(state.dyn.UndoCount, 1);
    // Ctrl+Z presses the button too.
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    QTest::keyClick(form.get(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return state.gear.Stroke == kStroke; }, 5000));
    EXPECT_EQ(state.gear.Stroke, kStroke);
    EXPECT_EQ(state.dyn.UndoCount, 0);
    EXPECT_FALSE(Named<QPushButton>(*form, "UnDoDn")->isEnabled());
    // The slot shows the restored value.
    EXPECT_EQ(state.dyn.Slot[1].Value, kStroke);

    // Undo off: the button goes, and Ctrl+Z with it.
    QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, add.center());
    Press(*form, "SetUnDo");
    form->DrawFrame();
    EXPECT_FALSE(Named<QPushButton>(*form, "UnDoDn")->isVisible());
    QTest::keyClick(form.get(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_FALSE(Named<QPushButton>(*form, "UnDoDn")->isDown());
    EXPECT_EQ(state.gear.Stroke, one);
    Press(*form, "SetUnDo");
    Press(*form, "DynamicVariables"); // dynamic variables off: the button moves up
    form->DrawFrame();
    EXPECT_EQ(Named<QPushButton>(*form, "UnDoDn")->pos(), QPoint(278, 72));
}

TEST_F(MainFormFixture, BarsOfEmptySlotsAreDisabledAndPanelsFollowTheSwitch)
{
    Press(*form, "DynamicVariables");
    form->DrawFrame();
    for (int k = 1; k <= 4; ++k) {
        EXPECT_TRUE(Named<QScrollBar>(*form, "SBDynVar", k)->isVisible()) << k;
        EXPECT_FALSE(Named<QScrollBar>(*form, "SBDynVar", k)->isEnabled()) << k;
    }
    for (int p : {7, 8, 9}) EXPECT_TRUE(Named<QFrame>(*form, "Panel", p)->isVisible()) << p;
    StageDynVar(state, 3, state.gear.MainRodLength, "Main Rod Length");
    StageDynVar(state, 2, state.gear.Stroke, "Stroke");
    form->DrawFrame();
    EXPECT_TRUE(Named<QScrollBar>(*form, "SBDynVar", 1)->isEnabled());
    EXPECT_TRUE(Named<QScrollBar>(*form, "SBDynVar", 2)->isEnabled());
    EXPECT_FALSE(Named<QScrollBar>(*form, "SBDynVar", 3)->isEnabled());
    Press(*form, "DynamicVariables");
    for (int k = 1; k <= 4; ++k) EXPECT_FALSE(Named<QScrollBar>(*form, "SBDynVar", k)->isVisible()) << k;
    for (int p : {7, 8, 9}) EXPECT_FALSE(Named<QFrame>(*form, "Panel", p)->isVisible()) << p;
}

TEST_F(MainFormFixture, SteamSwitchCaptions)
{
    EXPECT_FALSE(state.display.SteamDisplayOn);
    EXPECT_EQ(Named<QAction>(*form, "SetSteam")->text(), QStringLiteral("SetS&teamDisp On"));
    Named<QAction>(*form, "SetSteam")->trigger();
    EXPECT_TRUE(state.display.SteamDisplayOn);
    EXPECT_EQ(Named<QAction>(*form, "SetSteam")->text(), QStringLiteral("SetS&teamDisp Off"));
    QTest::mouseClick(Named<QToolButton>(*form, "ToolButton10"), Qt::LeftButton);
    EXPECT_FALSE(state.display.SteamDisplayOn);
    EXPECT_EQ(Named<QAction>(*form, "SetSteam")->text(), QStringLiteral("SetS&teamDisp On"));
}

TEST_F(MainFormFixture, ScreenDataSwitchHidesAndShowsTheListedControls)
{
    TMainForm& f = *form;
    // Modes on first, to see them switched off.
    Press(f, "DynamicVariables");
    Press(f, "SetUnDo");
    state.display.RefPointsOn = true;
    state.display.PivotDataOn = true;
    Named<QPushButton>(f, "DataTableBut")->show();
    for (QScrollBar* b : {Named<QScrollBar>(f, "SBRef1Vert"), Named<QScrollBar>(f, "SBRef1Horz"),
                          Named<QScrollBar>(f, "SBRef2Vert"), Named<QScrollBar>(f, "SBRef2Horz")})
        b->show();

    Named<QAction>(f, "SetScreenData")->trigger();
    EXPECT_FALSE(state.display.ScreenDataOn);
    EXPECT_EQ(Named<QAction>(f, "SetScreenData")->text(), QStringLiteral("SetScree&nData On"));
    std::vector<QWidget*> hidden = {
        Named<QPushButton>(f, "NormVHZ"),    Named<QPushButton>(f, "RefPt1"),      Named<QPushButton>(f, "RefPt2"),
        Named<QScrollBar>(f, "SBPanVert"),   Named<QScrollBar>(f, "SBPanHorz"),    Named<QScrollBar>(f, "SBZoom"),
        Named<QPushButton>(f, "Rev"),        Named<QPushButton>(f, "Center"),      Named<QPushButton>(f, "Fwd"),
        Named<QPushButton>(f, "Deg180"),     Named<QPushButton>(f, "Run"),         Named<QPushButton>(f, "Deg00"),
        Named<QPushButton>(f, "Step1"),      Named<QPushButton>(f, "Step10"),      Named<QPushButton>(f, "Step45"),
        Named<QScrollBar>(f, "SBRevArm"),    Named<QScrollBar>(f, "SBDrvAng"),     Named<QScrollBar>(f, "SBStepAng"),
        Named<QPushButton>(f, "RefPt1Zero"), Named<QPushButton>(f, "RefPt2Zero"),  Named<QScrollBar>(f, "SBRef1Vert"),
        Named<QScrollBar>(f, "SBRef1Horz"),  Named<QScrollBar>(f, "SBRef2Vert"),   Named<QScrollBar>(f, "SBRef2Horz"),
        Named<QToolBar>(f, "ToolBar1"),      Named<QPushButton>(f, "DataTableBut")};
    for (int p = 1; p <= 12; ++p) hidden.push_back(Named<QFrame>(f, "Panel", p));
    for (int k = 0; k <= 6; ++k) hidden.push_back(Named<QPushButton>(f, "Preset", k));
    for (int k = 1; k <= 4; ++k) hidden.push_back(Named<QScrollBar>(f, "SBDynVar", k));
    for (QWidget* w : hidden) EXPECT_FALSE(w->isVisible()) << w->objectName().toStdString();
    for (QAction* a :
         {Named<QAction>(f, "DriverAng"), Named<QAction>(f, "FindRevArmCent"), Named<QAction>(f, "DynamicVariables"),
          Named<QAction>(f, "RefPoints"), Named<QAction>(f, "SetUnDo"), Named<QAction>(f, "SetPivotData"),
          Named<QAction>(f, "DrawLines1")})
        EXPECT_FALSE(a->isEnabled()) << a->objectName().toStdString();
    EXPECT_FALSE(Named<QToolButton>(f, "ToolButton23")->isEnabled());
    EXPECT_FALSE(Named<QAction>(f, "RefPoints1")->isVisible());
    EXPECT_TRUE(Named<QAction>(f, "SetPanZoom")->isEnabled());
    EXPECT_FALSE(state.dyn.DynVarsOn);
    EXPECT_FALSE(state.dyn.UndoOn);
    EXPECT_FALSE(state.display.RefPointsOn);
    EXPECT_FALSE(state.display.PivotDataOn);
    // The frame then shows the mechanism alone.
    f.DrawFrame();
    EXPECT_FALSE(Named<QPushButton>(f, "UnDoDn")->isVisible());

    // Pan and zoom bars can be brought back on their own while the panel is off.
    Named<QAction>(f, "SetPanZoom")->trigger();
    EXPECT_TRUE(Named<QScrollBar>(f, "SBPanVert")->isVisible());

    Named<QAction>(f, "SetScreenData")->trigger();
    EXPECT_TRUE(state.display.ScreenDataOn);
    EXPECT_EQ(Named<QAction>(f, "SetScreenData")->text(), QStringLiteral("SetScree&nData Off"));
    std::vector<QWidget*> shown = {
        Named<QPushButton>(f, "NormVHZ"),  Named<QPushButton>(f, "RefPt1"),   Named<QPushButton>(f, "RefPt2"),
        Named<QScrollBar>(f, "SBPanVert"), Named<QScrollBar>(f, "SBPanHorz"), Named<QScrollBar>(f, "SBZoom"),
        Named<QPushButton>(f, "Rev"),      Named<QPushButton>(f, "Center"),   Named<QPushButton>(f, "Fwd"),
        Named<QPushButton>(f, "Deg180"),   Named<QPushButton>(f, "Run"),      Named<QPushButton>(f, "Deg00"),
        Named<QPushButton>(f, "Step1"),    Named<QPushButton>(f, "Step10"),   Named<QPushButton>(f, "Step45"),
        Named<QScrollBar>(f, "SBRevArm"),  Named<QScrollBar>(f, "SBDrvAng"),  Named<QScrollBar>(f, "SBStepAng"),
        Named<QToolBar>(f, "ToolBar1")};
    for (int p : {1, 2, 3, 4, 9, 10, 12}) shown.push_back(Named<QFrame>(f, "Panel", p));
    for (int k = 0; k <= 6; ++k) shown.push_back(Named<QPushButton>(f, "Preset", k));
    for (QWidget* w : shown) EXPECT_TRUE(w->isVisible()) << w->objectName().toStdString();
    // The modes switched off stay off, with their controls.
    std::vector<QWidget*> stillHidden = {
        Named<QScrollBar>(f, "SBRef1Vert"),    Named<QScrollBar>(f, "SBRef1Horz"),  Named<QScrollBar>(f, "SBRef2Vert"),
        Named<QScrollBar>(f, "SBRef2Horz"),    Named<QPushButton>(f, "RefPt1Zero"), Named<QPushButton>(f, "RefPt2Zero"),
        Named<QPushButton>(f, "DataTableBut"), Named<QFrame>(f, "Panel", 5),        Named<QFrame>(f, "Panel", 6),
        Named<QFrame>(f, "Panel", 7),          Named<QFrame>(f, "Panel", 8),        Named<QFrame>(f, "Panel", 11)};
    for (int k = 1; k <= 4; ++k) stillHidden.push_back(Named<QScrollBar>(f, "SBDynVar", k));
    for (QWidget* w : stillHidden) EXPECT_FALSE(w->isVisible()) << w->objectName().toStdString();
    EXPECT_FALSE(state.dyn.DynVarsOn);
    EXPECT_FALSE(state.display.RefPointsOn);
    for (QAction* a : {Named<QAction>(f, "FindRevArmCent"), Named<QAction>(f, "DynamicVariables"),
                       Named<QAction>(f, "RefPoints"), Named<QAction>(f, "SetUnDo"), Named<QAction>(f, "SetPivotData")})
        EXPECT_TRUE(a->isEnabled()) << a->objectName().toStdString();
    EXPECT_EQ(Named<QAction>(f, "DriverAng")->isEnabled(), ChildWindowsOf(f).DrivAng != nullptr);
    EXPECT_TRUE(Named<QAction>(f, "RefPoints1")->isVisible());
    EXPECT_FALSE(Named<QAction>(f, "SetPanZoom")->isEnabled());
    // The caption its own switch gives it, "P" still the screen data's key.
    EXPECT_EQ(Named<QAction>(f, "SetPanZoom")->text(), QStringLiteral("SetP&anZoom On"));
}

// "ReDo" in the "EditDimen" menu, Ctrl+Shift+Z and Ctrl+Y take the undone
// records back in order; the undo line tells how many wait where it fits; a
// new record ends them.
TEST_F(MainFormFixture, ReDoTakesBackWhatUnDoUndid)
{
    QScrollBar* bar = StrokeBar();
    Press(*form, "SetUnDo");
    const QRect add = Part(bar, QStyle::SC_ScrollBarAddLine);
    std::vector<float> strokes{state.gear.Stroke};
    for (int i = 0; i < 3; ++i) {
        QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, add.center());
        strokes.push_back(state.gear.Stroke);
    }
    form->DrawFrame();
    EXPECT_EQ(Named<QAction>(*form, "ReDo")->text(), "R&eDo"); // R is ResetAllDimensions's
    EXPECT_EQ(
        Named<QAction>(*form, "ReDo")->shortcuts(),
        (QList<QKeySequence>{QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)}));
    EXPECT_TRUE(Named<QMenu>(*form, "EditDimen1")->actions().contains(Named<QAction>(*form, "ReDo")));
    EXPECT_FALSE(Named<QAction>(*form, "ReDo")->isEnabled());
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));

    const auto undoLine = [&] {
        form->DrawFrame();
        RecordingCanvas rec;
        form->FrameList().Replay(rec);
        const auto lines = rec.TextsContaining(" to ");
        for (const CanvasOp& op : lines)
            if (op.text.find("Stroke") != std::string::npos) return op.text;
        return std::string();
    };
    const struct {
        const char* what;
        std::function<void()> act;
        int strokeIndex;
        bool redoEnabled;
        std::string redoText;
    } steps[] = {
        {"UnDo button", [&] { QTest::mouseClick(Named<QPushButton>(*form, "UnDoDn"), Qt::LeftButton); }, 2, true,
         "   1 to redo"},
        {"Ctrl+Z", [&] { QTest::keyClick(form.get(), Qt::Key_Z, Qt::ControlModifier); }, 1, true, "   2 to redo"},
        {"ReDo", [&] { Named<QAction>(*form, "ReDo")->trigger(); }, 2, true, "   1 to redo"},
        {"Ctrl+Z", [&] { QTest::keyClick(form.get(), Qt::Key_Z, Qt::ControlModifier); }, 1, true, "   2 to redo"},
        {"Ctrl+Y", [&] { QTest::keyClick(form.get(), Qt::Key_Y, Qt::ControlModifier); }, 2, true, "   1 to redo"},
        {"Ctrl+Shift+Z", [&] { QTest::keyClick(form.get(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier); }, 3,
         false, ""},
        {"Ctrl+Y with nothing to redo", [&] { QTest::keyClick(form.get(), Qt::Key_Y, Qt::ControlModifier); }, 3, false,
         ""},
        {"Ctrl+Z", [&] { QTest::keyClick(form.get(), Qt::Key_Z, Qt::ControlModifier); }, 2, true, "   1 to redo"},
        {"a new record", [&] { QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, add.center()); }, -1, false, ""},
    };
    for (const auto& st : steps) {
        SCOPED_TRACE(st.what);
        st.act();
        // Ctrl+Z clicks the button after its press is shown: waited for.
        if (st.strokeIndex >= 0) {
            EXPECT_TRUE(QTest::qWaitFor(
                [&] { return state.gear.Stroke == strokes[static_cast<std::size_t>(st.strokeIndex)]; }, 5000));
        }
        const std::string line = undoLine();
        EXPECT_EQ(Named<QAction>(*form, "ReDo")->isEnabled(), st.redoEnabled);
        EXPECT_EQ(line, UndoSummaryText(state) + st.redoText);
    }
    EXPECT_EQ(state.gear.Stroke, Plus(strokes[2], 0.001L));
}

TEST_F(MainFormFixture, AGestureThatChangesNothingRecordsNothing)
{
    QScrollBar* bar = StrokeBar();
    const QPoint thumb = Part(bar, QStyle::SC_ScrollBarSlider).center();
    const struct {
        const char* gesture;
        std::vector<int> moves; // thumb positions held between press and release (x offsets)
        int records;
    } rows[] = {
        {"a click on the thumb", {}, 0},
        {"a drag", {8, 16}, 1},
        {"a click on the thumb after it", {}, 0},
    };
    int records = 0;
    for (const auto& r : rows) {
        SCOPED_TRACE(r.gesture);
        const float before = state.gear.Stroke;
        Send(bar, QEvent::MouseButtonPress, thumb, Qt::LeftButton, Qt::LeftButton);
        for (int dx : r.moves) Send(bar, QEvent::MouseMove, thumb + QPoint(dx, 0), Qt::NoButton, Qt::LeftButton);
        const int last = r.moves.empty() ? 0 : r.moves.back();
        Send(bar, QEvent::MouseButtonRelease, thumb + QPoint(last, 0), Qt::LeftButton, Qt::NoButton);
        records += r.records;
        EXPECT_EQ(state.dyn.UndoCount, records);
        EXPECT_EQ(state.gear.Stroke != before, r.records > 0);
        EXPECT_EQ(Named<QPushButton>(*form, "UnDoDn")->isEnabled(), records > 0);
    }
    EXPECT_NE(state.dyn.Undo[1].Old, state.dyn.Undo[1].New); // the drag's record stays on top
}
