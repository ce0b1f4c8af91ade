// The drafting aids driven as a user drives them: reference points, pivot
// slots, the lines and circles dialog, the pivot data table and the help
// windows.
#include "aids/QtInstructionFile.h"
#include "aids/TAboutBox.h"
#include "aids/TDataTable.h"
#include "aids/TDrawLines.h"
#include "aids/TInst.h"
#include "aids/TQelSpInst.h"
#include "drawing/OverlayDrawing.h"
#include "gui/GuiTestSupport.h"
#include "mainwin/TMainForm.h"
#include "mainwin/TRefPnts.h"
#include "model/Model.h"
#include "platform/RecordingCanvas.h"
#include "platform/Services.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QClipboard>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

// Message boxes about instruction files left open by window creation.
QList<QMessageBox*> LoadErrorBoxes()
{
    QList<QMessageBox*> out;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* box = qobject_cast<QMessageBox*>(w))
            if (box->objectName() == QLatin1String(kLoadErrorBoxName) && box->isVisible()) out.push_back(box);
    return out;
}

void CloseLoadErrorBoxes()
{
    for (QMessageBox* box : LoadErrorBoxes()) box->close();
    QCoreApplication::processEvents();
}

// Runs `act` once `dialog` shows (inside its own modal loop); a dialog still
// open after five seconds is closed so that a failing test cannot hang.
void WhenShown(QWidget* dialog, std::function<void()> act)
{
    auto* poll = new QTimer(dialog); // goes with the dialog if it never shows
    poll->setInterval(5);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, dialog, act] {
        if (!dialog->isVisible()) return;
        poll->stop();
        poll->deleteLater();
        act();
    });
    poll->start();
    QPointer<QWidget> guard(dialog);
    QTimer::singleShot(5000, [guard] {
        if (guard && guard->isVisible()) guard->close();
    });
}

struct AidsFixture : ::testing::Test {
    AppState state;
    RecordingSound sound;
    FixedRandom random;
    FixedClock clock;
    std::unique_ptr<TMainForm> form;

    void SetUp() override
    {
        form = std::make_unique<TMainForm>(state, sound, random, clock);
        Named<QTimer>(*form, "Timer1")->stop(); // ticks are driven by the tests
        form->CreateChildWindows();
        CloseLoadErrorBoxes();
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        form->Tick();
    }
    void TearDown() override { form.reset(); }

    TDrawLines* Lines() { return ChildWindowsOf(*form).DrawLines; }
    void Click(Qt::MouseButton b, int x, int y) { QTest::mouseClick(form->Area(), b, {}, QPoint(x, y)); }
    void ClickRadio(QButtonGroup* g, int id) { QTest::mouseClick(g->button(id), Qt::LeftButton); }
    QLineEdit* LineEdit(int n) { return Lines()->Edit[static_cast<size_t>(n)]; }
    void SetRefPoints(float x1, float y1, float x2, float y2)
    {
        state.gear.PointX[19] = x1;
        state.gear.PointY[19] = y1;
        state.gear.PointX[20] = x2;
        state.gear.PointY[20] = y2;
    }
    // Waits until the queued reopening of the line dialog has run.
    void SettleQueued()
    {
        for (int i = 0; i < 20; ++i) QCoreApplication::processEvents();
    }
};

} // namespace

TEST_F(AidsFixture, ReferencePointsFollowClicksOnlyInTheDrawingArea)
{
    Named<QAction>(*form, "RefPoints")->trigger();
    EXPECT_TRUE(state.display.RefPointsOn);
    EXPECT_TRUE(Named<QScrollBar>(*form, "SBRef1Vert")->isVisible());
    EXPECT_TRUE(Named<QPushButton>(*form, "RefPt2Zero")->isVisible());
    EXPECT_TRUE(Named<QFrame>(*form, "Panel", 11)->isVisible());
    EXPECT_TRUE(Named<QPushButton>(*form, "RefPt1")->isEnabled());
    EXPECT_TRUE(Named<QAction>(*form, "DrawLines1")->isEnabled());
    EXPECT_TRUE(Named<QToolButton>(*form, "ToolButton23")->isEnabled());
    EXPECT_FALSE(Named<QPushButton>(*form, "RefPt1Zero")->isEnabled());

    Click(Qt::LeftButton, 100, 100);
    Click(Qt::LeftButton, 180, 110);
    EXPECT_EQ(state.gear.PointX[19], 0.0f);
    EXPECT_EQ(state.gear.PointY[19], 0.0f);
    EXPECT_FALSE(Named<QPushButton>(*form, "RefPt1Zero")->isEnabled());

    Click(Qt::LeftButton, 300, 100);
    EXPECT_FLOAT_EQ(state.gear.PointX[19], 200.0f / 22.0f);
    EXPECT_FLOAT_EQ(state.gear.PointY[19], 160.0f / 22.0f);
    EXPECT_TRUE(Named<QPushButton>(*form, "RefPt1Zero")->isEnabled());
    Click(Qt::RightButton, 122, 304);
    EXPECT_FLOAT_EQ(state.gear.PointX[20], 1.0f);
    EXPECT_FLOAT_EQ(state.gear.PointY[20], -2.0f);
    EXPECT_TRUE(Named<QPushButton>(*form, "RefPt2Zero")->isEnabled());

    // The marks and readouts are on the next frame.
    form->Tick();
    EXPECT_EQ(state.gear.ScreenX[19], 300);

    // The bars nudge the points; the zero buttons put them back.
    QTest::mouseClick(Named<QScrollBar>(*form, "SBRef2Horz"), Qt::LeftButton, {},
                      QPoint(Named<QScrollBar>(*form, "SBRef2Horz")->width() - 3, 4));
    EXPECT_NEAR(state.gear.PointX[20], 1.001, 1e-6);
    EXPECT_EQ(Named<QScrollBar>(*form, "SBRef2Horz")->value(), 0);
    QTest::mouseClick(Named<QPushButton>(*form, "RefPt2Zero"), Qt::LeftButton);
    EXPECT_EQ(state.gear.PointX[20], 0.0f);
    EXPECT_EQ(state.gear.PointY[20], 0.0f);
    EXPECT_FALSE(Named<QPushButton>(*form, "RefPt2Zero")->isEnabled());
    EXPECT_FLOAT_EQ(state.gear.PointX[19], 200.0f / 22.0f);

    // Off: everything hides and pivot data ends too.
    Named<QAction>(*form, "SetPivotData")->trigger();
    EXPECT_TRUE(Named<QPushButton>(*form, "DataTableBut")->isVisible());
    Named<QAction>(*form, "RefPoints")->trigger();
    EXPECT_FALSE(state.display.RefPointsOn);
    EXPECT_FALSE(state.display.PivotDataOn);
    EXPECT_FALSE(Named<QPushButton>(*form, "DataTableBut")->isVisible());
    EXPECT_FALSE(Named<QScrollBar>(*form, "SBRef1Vert")->isVisible());
    EXPECT_FALSE(Named<QFrame>(*form, "Panel", 5)->isVisible());
    EXPECT_FALSE(Named<QPushButton>(*form, "RefPt2")->isEnabled());
    EXPECT_FALSE(Named<QAction>(*form, "DrawLines1")->isEnabled());
    Click(Qt::LeftButton, 400, 300);
    EXPECT_FLOAT_EQ(state.gear.PointX[19], 200.0f / 22.0f);

    // A click while a dimension is shown ends the close-up at the next frame.
    state.highlight.HighlightDim = 3;
    state.highlight.HighlightTicks = 40;
    Click(Qt::RightButton, 400, 300);
    EXPECT_EQ(state.highlight.HighlightTicks, 1005);
    state.highlight.HighlightDim = 0;
    state.highlight.HighlightTicks = 0;
}

TEST_F(AidsFixture, PivotSlotsTakeTwoClicksAndIgnoreASecondSlotClick)
{
    Named<QAction>(*form, "SetPivotData")->trigger();
    EXPECT_TRUE(state.display.PivotDataOn);
    EXPECT_TRUE(state.display.RefPointsOn); // switched on with pivot data
    EXPECT_TRUE(Named<QScrollBar>(*form, "SBRef1Vert")->isVisible());

    Click(Qt::LeftButton, 5, 165); // slot 2
    EXPECT_TRUE(state.pivots.PivotSlotPending);
    EXPECT_EQ(state.pivots.PivotSlot, 2);
    Click(Qt::LeftButton, 5, 185); // slot 4 while 2 is pending: ignored
    EXPECT_EQ(state.pivots.PivotSlot, 2);
    EXPECT_TRUE(state.pivots.PivotSlotPending);
    EXPECT_FALSE(state.pivots.PivotSlotSet[4]);

    // Near the crosshead on the drawing.
    Click(Qt::LeftButton, state.gear.ScreenX[3] + 3, state.gear.ScreenY[3] + 2);
    EXPECT_FALSE(state.pivots.PivotSlotPending);
    EXPECT_EQ(state.pivots.PivotOfSlot[2], 3.0f);

    // Large font: the rows and their hit boxes move down by 1.22.
    Named<QAction>(*form, "LargeFont")->trigger();
    Click(Qt::LeftButton, 10, 190);
    EXPECT_EQ(state.pivots.PivotSlot, 1);
    EXPECT_TRUE(state.pivots.PivotSlotPending);
    Click(Qt::LeftButton, state.gear.ScreenX[2] - 2, state.gear.ScreenY[2] + 1);
    EXPECT_EQ(state.pivots.PivotOfSlot[1], 2.0f);

    // Pivot data off keeps the reference points.
    Named<QToolButton>(*form, "ToolButton24")->click();
    EXPECT_FALSE(state.display.PivotDataOn);
    EXPECT_TRUE(state.display.RefPointsOn);
    EXPECT_FALSE(Named<QPushButton>(*form, "DataTableBut")->isVisible());
}

TEST_F(AidsFixture, ReferencePointsDialogOkCancelAndZero)
{
    TRefPnts* dlg = ChildWindowsOf(*form).RefPnts;
    ASSERT_NE(dlg, nullptr);
    ASSERT_TRUE(Named<QAction>(*form, "RefPoints1")->isEnabled());

    // OK with typed values: the points move and the mode ends up on.
    SetRefPoints(1.5f, -2, 0, 0);
    WhenShown(dlg, [&] {
        EXPECT_EQ(dlg->Edit1->text(), QStringLiteral("-2.000"));
        EXPECT_EQ(dlg->Edit2->text(), QStringLiteral("1.500"));
        // The focus comes with the activation, which may follow the show.
        EXPECT_TRUE(QTest::qWaitFor([&] { return dlg->Cancel->hasFocus(); }, 10000));
        dlg->Edit3->clear();
        QTest::keyClicks(dlg->Edit3, "3.2.5x-");
        EXPECT_EQ(dlg->Edit3->text(), QStringLiteral("3.25-"));
        dlg->Edit4->setText(QStringLiteral("-4"));
        QTest::mouseClick(dlg->OK, Qt::LeftButton);
    });
    Named<QAction>(*form, "RefPoints1")->trigger();
    EXPECT_FALSE(dlg->isVisible());
    EXPECT_FLOAT_EQ(state.gear.PointY[20], 3.25f);
    EXPECT_FLOAT_EQ(state.gear.PointX[20], -4.0f);
    EXPECT_TRUE(state.display.RefPointsOn);
    EXPECT_TRUE(Named<QScrollBar>(*form, "SBRef1Vert")->isVisible());
    EXPECT_TRUE(Named<QPushButton>(*form, "RefPt1Zero")->isEnabled());
    EXPECT_TRUE(Named<QPushButton>(*form, "RefPt2Zero")->isEnabled());

    // Cancel switches the points off even though they were on.
    WhenShown(dlg, [&] { QTest::mouseClick(dlg->Cancel, Qt::LeftButton); });
    Named<QAction>(*form, "RefPoints1")->trigger();
    EXPECT_FALSE(state.display.RefPointsOn);
    EXPECT_FALSE(Named<QScrollBar>(*form, "SBRef1Vert")->isVisible());
    EXPECT_FLOAT_EQ(state.gear.PointX[20], -4.0f);

    // Zero: both points to the origin, both zero buttons off, points off.
    Named<QAction>(*form, "RefPoints")->trigger();
    WhenShown(dlg, [&] { QTest::mouseClick(dlg->Zero, Qt::LeftButton); });
    Named<QAction>(*form, "RefPoints1")->trigger();
    EXPECT_EQ(state.gear.PointY[20], 0.0f);
    EXPECT_EQ(state.gear.PointX[19], 0.0f);
    EXPECT_FALSE(Named<QPushButton>(*form, "RefPt1Zero")->isEnabled());
    EXPECT_FALSE(Named<QPushButton>(*form, "RefPt2Zero")->isEnabled());
    EXPECT_FALSE(state.display.RefPointsOn);
}

TEST_F(AidsFixture, LineAndCircleThroughTheDialog)
{
    TDrawLines* dlg = Lines();
    ASSERT_NE(dlg, nullptr);
    Named<QAction>(*form, "RefPoints")->trigger();
    SetRefPoints(1, 2, 4, 6);
    WhenShown(dlg, [&] {
        EXPECT_EQ(dlg->windowTitle(), QStringLiteral("Draw Lines"));
        EXPECT_FALSE(dlg->DrawBut->isEnabled());
        ClickRadio(dlg->TypeGroup, 0);
        ClickRadio(dlg->ColourGroup, 1);
        ClickRadio(dlg->ReferenceGroup, 0);
        EXPECT_TRUE(dlg->isVisible()); // "0,0" keeps the dialog open
        EXPECT_TRUE(dlg->DrawBut->isEnabled());
        QTest::mouseClick(dlg->DrawBut, Qt::LeftButton);
    });
    Named<QAction>(*form, "DrawLines1")->trigger();
    EXPECT_EQ(sound.beeps, 0);
    EXPECT_FALSE(dlg->isVisible());
    EXPECT_EQ(LineEdit(1)->text(), QStringLiteral("  2.000"));
    EXPECT_EQ(LineEdit(2)->text(), QStringLiteral("  1.000"));
    EXPECT_EQ(LineEdit(3)->text(), QStringLiteral("  6.000"));
    EXPECT_EQ(LineEdit(4)->text(), QStringLiteral("  4.000"));
    EXPECT_EQ(dlg->Label[2]->text(), QStringLiteral("Line"));
    EXPECT_EQ(dlg->Label[3]->text(), QStringLiteral("Red"));
    EXPECT_EQ(dlg->Label[4]->text(), QStringLiteral("0 , 0"));
    EXPECT_EQ(dlg->Panel[2]->palette().color(QPalette::Window), QColor(0, 255, 255));
    EXPECT_EQ(dlg->Panel[1]->palette().color(QPalette::Window), QColor(255, 255, 255));
    EXPECT_EQ(dlg->TypeGroup->checkedId(), -1);

    // The circle goes into row 2 from the tool button.
    WhenShown(dlg, [&] {
        ClickRadio(dlg->TypeGroup, 1);
        ClickRadio(dlg->ColourGroup, 4);
        ClickRadio(dlg->ReferenceGroup, 0);
        QTest::mouseClick(dlg->DrawBut, Qt::LeftButton);
    });
    Named<QToolButton>(*form, "ToolButton23")->click();
    EXPECT_EQ(state.overlay.Item[2].X2, 5.0f);
    EXPECT_EQ(LineEdit(5)->text(), QStringLiteral("  2.000"));
    EXPECT_EQ(LineEdit(7)->text(), QString());
    EXPECT_EQ(LineEdit(8)->text(), QStringLiteral("  5.000"));
    EXPECT_EQ(dlg->Label[7]->text(), QStringLiteral("Blue"));

    // Typing: the circle's third column refuses keys, the others take them.
    dlg->show();
    dlg->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(dlg));
    QTest::keyClicks(LineEdit(7), "12");
    EXPECT_EQ(LineEdit(7)->text(), QString());
    LineEdit(6)->setFocus();
    LineEdit(6)->selectAll();
    QTest::keyClicks(LineEdit(6), "-1.5.a");
    EXPECT_EQ(LineEdit(6)->text(), QStringLiteral("-1.5"));
    LineEdit(8)->setFocus(); // leaving the edit stores its value
    EXPECT_EQ(state.overlay.Item[2].X1, -1.5f);
    dlg->hide();

    // Both items are drawn on every frame and do not move.
    RecordingCanvas a;
    DrawOverlay(a, state);
    form->Tick();
    form->Tick();
    RecordingCanvas b;
    DrawOverlay(b, state);
    ASSERT_EQ(a.Ops().size(), 2u);
    EXPECT_EQ(a.Ops().size(), b.Ops().size());
    EXPECT_TRUE(b.HasLine(122, 216, 188, 128));
    const QImage& frame = form->FrameImage();
    EXPECT_EQ(frame.pixel(155, 172), qRgb(255, 0, 0)); // midway along the red line
}

TEST_F(AidsFixture, DrawLinesTakesADragOrOffersPasteOnlyForTextThatFits)
{
    Lines()->show();
    QLineEdit* e = LineEdit(1);
    e->setText(QStringLiteral("1.5"));
    QMimeData dragged;
    for (const char* text : {"2.5", "12abc", "-25"}) {
        dragged.setText(QString::fromLatin1(text));
        QDragEnterEvent ev(QPoint(2, 2), Qt::CopyAction, &dragged, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(e, &ev);
        EXPECT_EQ(ev.isAccepted(), text[0] == '-') << text;
        // The context menu's Paste, for the same text on the clipboard.
        QGuiApplication::clipboard()->setText(QString::fromLatin1(text));
        QContextMenuEvent menuEv(QContextMenuEvent::Keyboard, QPoint(2, 2), e->mapToGlobal(QPoint(2, 2)));
        QCoreApplication::sendEvent(e, &menuEv);
        QWidget* popup = QApplication::activePopupWidget(); // the menu pops up at once
        ASSERT_NE(popup, nullptr);
        for (const QAction* a : popup->actions())
            if (a->text().startsWith(QStringLiteral("&Paste"))) {
                EXPECT_EQ(a->isEnabled(), text[0] == '-') << text;
            }
        popup->close();
    }
    Lines()->hide();
}

TEST_F(AidsFixture, RowNumberClickTakesTheValueTypedIntoTheFocusedField)
{
    Lines()->show();
    LineEdit(1)->setFocus();
    QTest::keyClicks(LineEdit(1), "2.5");
    QTest::mouseClick(Lines()->Label[5], Qt::LeftButton); // row 2's number
    EXPECT_EQ(state.overlay.CurrentItem, 2);
    EXPECT_EQ(LineEdit(1)->text(), QStringLiteral("2.5"));
    EXPECT_EQ(state.overlay.Item[1].Y1, 2.5f);
    Lines()->hide();
}

TEST_F(AidsFixture, AttachedLinePicksItsPivotOnTheDrawingAndFollowsIt)
{
    TDrawLines* dlg = Lines();
    Named<QAction>(*form, "RefPoints")->trigger();
    Press(*form, "Run"); // stop the gear
    state.gear.DriverAngle = 40;
    form->Tick();
    Gear& g = state.gear;
    const float ax = g.PointX[2] + 0.3f, ay = g.PointY[2] - 0.2f;
    SetRefPoints(ax, ay, g.PointX[2] + 2, g.PointY[2] + 1);
    // Row 3, line, green, on one pivot: the dialog closes itself for the pick.
    WhenShown(dlg, [&] {
        QTest::mouseClick(dlg->Label[9], Qt::LeftButton);
        EXPECT_EQ(state.overlay.CurrentItem, 3);
        ClickRadio(dlg->TypeGroup, 0);
        ClickRadio(dlg->ColourGroup, 2);
        ClickRadio(dlg->ReferenceGroup, 1);
    });
    Named<QAction>(*form, "DrawLines1")->trigger();
    EXPECT_FALSE(dlg->isVisible());
    EXPECT_TRUE(state.overlay.LinePivotPending);
    EXPECT_EQ(state.overlay.CurrentItem, 2);
    EXPECT_EQ(dlg->Label[12]->text(), QStringLiteral("Pivot1"));

    // The left click near the crank pin reopens the dialog, which attaches it.
    bool reopened = false;
    WhenShown(dlg, [&] {
        reopened = true;
        EXPECT_EQ(state.overlay.CurrentItem, 3);
        QTest::mouseClick(dlg->DrawBut, Qt::LeftButton);
    });
    Click(Qt::LeftButton, g.ScreenX[2] + 1, g.ScreenY[2] - 1);
    SettleQueued();
    ASSERT_TRUE(reopened);
    const OverlayItem& it = state.overlay.Item[3];
    EXPECT_EQ(it.Pivot1Index, 2.0f);
    EXPECT_EQ(it.Kind, 0.0f);
    EXPECT_EQ(it.Colour, 32768.0f);
    EXPECT_FALSE(state.overlay.LinePivotPending);
    EXPECT_EQ(state.overlay.CurrentItem, 4);
    EXPECT_EQ(LineEdit(9)->text(), QStringLiteral(" -0.200"));

    // At the angle of attachment the line starts where reference point 1 was;
    // after turning the driver it has moved with the crank pin.
    auto startOfLine = [&] {
        RecordingCanvas c;
        DrawOverlay(c, state);
        EXPECT_EQ(c.OfKind(CanvasOp::Line).size(), 1u);
        return c.OfKind(CanvasOp::Line).at(0);
    };
    const CanvasOp first = startOfLine();
    EXPECT_EQ(first.x1, WorldToScreenX(state.view, ax));
    EXPECT_EQ(first.y1, WorldToScreenY(state.view, ay));
    Press(*form, "Run");
    for (int i = 0; i < 5; ++i) form->Tick();
    const CanvasOp moved = startOfLine();
    EXPECT_EQ(moved.x1, WorldToScreenX(state.view, static_cast<long double>(g.PointX[2]) + 0.3L));
    EXPECT_EQ(moved.y1, WorldToScreenY(state.view, static_cast<long double>(g.PointY[2]) - 0.2L));
    EXPECT_NE(moved.x1, first.x1);
}

TEST_F(AidsFixture, DrawCloseOnItemTwentyBeepsAndStays)
{
    TDrawLines* dlg = Lines();
    Named<QAction>(*form, "RefPoints")->trigger();
    SetRefPoints(1, 2, 4, 6);
    for (int round = 0; round < 2; ++round) {
        WhenShown(dlg, [&] {
            if (round == 0) QTest::mouseClick(dlg->Label[77], Qt::LeftButton);
            EXPECT_EQ(dlg->Panel[20]->palette().color(QPalette::Window), QColor(0, 255, 255));
            ClickRadio(dlg->TypeGroup, 0);
            ClickRadio(dlg->ColourGroup, round == 0 ? 5 : 3);
            ClickRadio(dlg->ReferenceGroup, 0);
            QTest::mouseClick(dlg->DrawBut, Qt::LeftButton);
        });
        Named<QAction>(*form, "DrawLines1")->trigger();
        EXPECT_EQ(sound.beeps, round + 1);
        EXPECT_EQ(state.overlay.CurrentItem, 20);
    }
    EXPECT_EQ(dlg->Label[79]->text(), QStringLiteral("Yellow"));
    EXPECT_EQ(state.overlay.Item[20].Colour, 65535.0f);

    // Clear Line empties only row 20.
    WhenShown(dlg, [&] {
        QTest::mouseClick(dlg->ClearLine, Qt::LeftButton);
        QTest::mouseClick(dlg->CloseBut, Qt::LeftButton);
    });
    Named<QAction>(*form, "DrawLines1")->trigger();
    EXPECT_EQ(LineEdit(77)->text(), QString());
    EXPECT_EQ(dlg->Label[78]->text(), QString());
    EXPECT_EQ(state.overlay.Item[20].Kind, -1.0f);

    // With both reference points at the origin the menu beeps, and so does a
    // type choice, which closes the dialog again.
    SetRefPoints(0, 0, 0, 0);
    const int before = sound.beeps;
    WhenShown(dlg, [&] { ClickRadio(dlg->TypeGroup, 1); });
    Named<QAction>(*form, "DrawLines1")->trigger();
    EXPECT_EQ(sound.beeps, before + 2);
    EXPECT_FALSE(dlg->isVisible());
    EXPECT_EQ(dlg->TypeGroup->checkedId(), -1);
}

TEST_F(AidsFixture, MainWindowRefreshesTheRowsForTheFileOpen)
{
    TDrawLines* dlg = Lines();
    OverlayItem& it = state.overlay.Item[6];
    it.Kind = 1;
    it.Colour = 0;
    it.Reference = 1;
    it.Y1 = 0.5f;
    it.X2 = 2;
    state.overlay.CurrentItem = 6;
    ChildWindowsOf(*form).DrawLines->ClearRowLabels();
    ChildWindowsOf(*form).DrawLines->HighlightCurrentRow();
    ChildWindowsOf(*form).DrawLines->RefreshLineRows();
    EXPECT_EQ(LineEdit(21)->text(), QStringLiteral("  0.500"));
    EXPECT_EQ(LineEdit(24)->text(), QStringLiteral("  2.000"));
    EXPECT_EQ(dlg->Label[22]->text(), QStringLiteral("Circle"));
    EXPECT_EQ(dlg->Label[23]->text(), QStringLiteral("Black"));
    EXPECT_EQ(dlg->Label[24]->text(), QStringLiteral("Pivot1"));
    EXPECT_EQ(dlg->Panel[6]->palette().color(QPalette::Window), QColor(0, 255, 255));
    // A number from a file that names no row highlights none and draws nothing wrong.
    state.overlay.CurrentItem = 77;
    ChildWindowsOf(*form).DrawLines->HighlightCurrentRow();
    for (int r = 1; r <= 20; ++r)
        EXPECT_EQ(dlg->Panel[static_cast<size_t>(r)]->palette().color(QPalette::Window), QColor(255, 255, 255));
    form->Tick();
}

TEST_F(AidsFixture, DataTableListsTheSlotsAndLeavesTheAnimationAlone)
{
    TDataTable* dt = ChildWindowsOf(*form).DataTable;
    ASSERT_NE(dt, nullptr);
    Named<QAction>(*form, "SetPivotData")->trigger();
    ASSERT_TRUE(Named<QPushButton>(*form, "DataTableBut")->isVisible());
    state.pivots.PivotOfSlot[1] = 2;
    state.pivots.PivotSlotSet[1] = true;
    state.gear.DriverAngle = 77.5f;
    const float step = state.anim.ActiveStep;
    form->Tick();
    const float angle = state.gear.DriverAngle;
    EXPECT_EQ(dt->windowTitle(),
              QStringLiteral("QUELF Outside Admission  Data Table  Nominal     08/12/2026   12:00   Version 2.6"));

    WhenShown(dt, [&] {
        QPlainTextEdit* memo = dt->DataMemo;
        EXPECT_EQ(memo->blockCount(), 4 + 37);
        EXPECT_EQ(memo->document()->findBlockByNumber(0).text(),
                  QStringLiteral("Pivot Data   Nominal     08/12/2026   12:00"));
        EXPECT_TRUE(memo->document()->findBlockByNumber(1).text().endsWith(QStringLiteral("Step Angle  10.000")));
        EXPECT_TRUE(memo->document()->findBlockByNumber(2).text().startsWith(QStringLiteral("  Driver         No.1")));
        EXPECT_TRUE(memo->document()->findBlockByNumber(3).text().startsWith(QStringLiteral("  Angle     Vert")));
        const QString last = memo->document()->lastBlock().text();
        EXPECT_TRUE(last.startsWith(QStringLiteral(" 360.00   ")));
        EXPECT_EQ(last.size(), 7 + 19 + 5 * 21);
        EXPECT_FALSE(dt->Cut1->isEnabled());
        EXPECT_FALSE(dt->Copy1->isEnabled());
        EXPECT_TRUE(dt->SelectAll1->isEnabled());
        // A selection made in the memo enables Cut and Copy when the menu opens.
        QTextCursor c = memo->textCursor();
        c.setPosition(0);
        c.setPosition(11, QTextCursor::KeepAnchor);
        memo->setTextCursor(c);
        emit dt->Edit1->aboutToShow();
        EXPECT_TRUE(dt->Copy1->isEnabled());
        dt->Copy1->trigger();
        EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("Pivot Data "));
        dt->Close1->trigger();
    });
    QTest::mouseClick(Named<QPushButton>(*form, "DataTableBut"), Qt::LeftButton);
    EXPECT_FALSE(dt->isVisible());
    EXPECT_EQ(state.gear.DriverAngle, angle);
    EXPECT_EQ(state.anim.ActiveStep, step);
    EXPECT_TRUE(form->Session().Running());
}

TEST_F(AidsFixture, DataTableAtTheSmallestStepCopiesEveryLine)
{
    TDataTable* dt = ChildWindowsOf(*form).DataTable;
    Named<QAction>(*form, "SetPivotData")->trigger();
    Press(*form, "Run"); // stopped: the running state must stay so
    state.anim.SelectedStep = 0.01f;
    state.gear.DriverAngle = 12.25f;
    for (int k = 1; k <= 6; ++k) state.pivots.PivotOfSlot[k] = static_cast<float>(k + 1);
    qint64 shownMs = -1;
    QElapsedTimer timer;
    WhenShown(dt, [&] {
        shownMs = timer.elapsed();
        EXPECT_EQ(dt->DataMemo->blockCount(), 4 + 36001);
        dt->SelectAll1->trigger();
        EXPECT_FALSE(dt->SelectAll1->isEnabled());
        EXPECT_TRUE(dt->Cut1->isEnabled());
        dt->Copy1->trigger();
        dt->Close1->trigger();
    });
    timer.start();
    Press(*form, "DataTableBut");
    ASSERT_GE(shownMs, 0);
    const QStringList lines = QGuiApplication::clipboard()->text().split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), 4 + 36001);
    EXPECT_TRUE(lines[4].startsWith(QStringLiteral("   0.00")));
    EXPECT_TRUE(lines[4 + 18000].startsWith(QStringLiteral(" 180.00")));
    EXPECT_TRUE(lines.last().startsWith(QStringLiteral(" 360.00")));
    EXPECT_EQ(state.gear.DriverAngle, 12.25f);
    EXPECT_EQ(state.anim.ActiveStep, 0.0f);
    EXPECT_FALSE(form->Session().Running());

    // Pasting into the memo works; the next opening builds the table anew.
    state.anim.SelectedStep = 45;
    QGuiApplication::clipboard()->setText(QStringLiteral("1.5\n2.5"));
    WhenShown(dt, [&] {
        EXPECT_EQ(dt->DataMemo->blockCount(), 4 + 9);
        dt->DataMemo->moveCursor(QTextCursor::End);
        dt->Past1->trigger();
        EXPECT_EQ(dt->DataMemo->blockCount(), 4 + 9 + 1);
        EXPECT_TRUE(dt->DataMemo->toPlainText().endsWith(QStringLiteral("1.5\n2.5")));
        // Cut takes the selection out of the memo and onto the clipboard.
        dt->SelectAll1->trigger();
        dt->Cut1->trigger();
        EXPECT_TRUE(dt->DataMemo->toPlainText().isEmpty());
        EXPECT_TRUE(QGuiApplication::clipboard()->text().startsWith(QStringLiteral("Pivot Data")));
        EXPECT_TRUE(dt->SelectAll1->isEnabled());
        dt->Close1->trigger();
    });
    Press(*form, "DataTableBut");
    WhenShown(dt, [&] {
        EXPECT_EQ(dt->DataMemo->blockCount(), 4 + 9);
        dt->Close1->trigger();
    });
    Press(*form, "DataTableBut");
}

TEST_F(AidsFixture, DataTablePasteOfAnEmptyOrPictureClipboardLeavesTheTable)
{
    TDataTable* dt = ChildWindowsOf(*form).DataTable;
    Named<QAction>(*form, "SetPivotData")->trigger();
    WhenShown(dt, [&] {
        const QString table = dt->DataMemo->toPlainText();
        auto* picture = new QMimeData;
        picture->setImageData(QImage(4, 4, QImage::Format_RGB32));
        for (QMimeData* offered : {new QMimeData /* no formats at all, as X11 offers */, picture}) {
            QGuiApplication::clipboard()->setMimeData(offered);
            dt->Past1->trigger();
            QTest::keyClick(dt->DataMemo, Qt::Key_V, Qt::ControlModifier);
            EXPECT_EQ(dt->DataMemo->toPlainText(), table);
        }
        dt->Close1->trigger();
    });
    Press(*form, "DataTableBut");
}

TEST_F(AidsFixture, DataTableColumnsLineUpInAFixedPitchFont)
{
    EXPECT_TRUE(QFontInfo(ChildWindowsOf(*form).DataTable->DataMemo->font()).fixedPitch());
}

TEST_F(AidsFixture, HelpWindowsShowTheirTextsAndTheAboutLines)
{
    ASSERT_TRUE(QFile::exists(QStringLiteral("instruct.doc"))) << "run from the build directory";
    TInst* inst = ChildWindowsOf(*form).Inst;
    ASSERT_NE(inst, nullptr);
    EXPECT_EQ(inst->Label1->text(), QStringLiteral("instruct.doc"));
    EXPECT_TRUE(inst->Memo1->toPlainText().startsWith(QStringLiteral("QUELF OUTSIDE ADMISSION - INSTRUCTIONS")));
    EXPECT_TRUE(inst->Memo1->isReadOnly());
    EXPECT_EQ(ChildWindowsOf(*form).QelSpInst->Label1->text(), QStringLiteral("QelSpIns.doc"));
    EXPECT_TRUE(ChildWindowsOf(*form).QelSpInst->Memo1->toPlainText().contains(QStringLiteral("DYNAMIC VARIABLES")));
    WhenShown(inst, [&] {
        EXPECT_EQ(inst->windowTitle(), QStringLiteral("Instructions"));
        inst->close();
    });
    Named<QAction>(*form, "Instructions")->trigger();
    TAboutBox* about = ChildWindowsOf(*form).AboutBox;
    WhenShown(about, [&] {
        EXPECT_EQ(about->windowTitle(), QStringLiteral("About These Programs"));
        EXPECT_TRUE(about->Label[1]->text().contains(QStringLiteral("QUELF")));
        EXPECT_TRUE(about->Label[2]->text().contains(QStringLiteral("2.6")));
        about->close();
    });
    Named<QAction>(*form, "About1")->trigger();
    EXPECT_FALSE(about->isVisible());
}

TEST(HelpWindows, AMissingInstructionFileGivesOneMessageAndTheProgramRuns)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString old = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(dir.path()));
    {
        QFile sp(QStringLiteral("QelSpIns.doc"));
        ASSERT_TRUE(sp.open(QIODevice::WriteOnly));
        sp.write("Special text as it was at start-up\r\n");
    }
    CloseLoadErrorBoxes();
    AppState state;
    RecordingSound sound;
    FixedRandom random;
    FixedClock clock;
    {
        TMainForm form(state, sound, random, clock);
        Named<QTimer>(form, "Timer1")->stop();
        form.CreateChildWindows();
        const QList<QMessageBox*> boxes = LoadErrorBoxes();
        ASSERT_EQ(boxes.size(), 1);
        EXPECT_EQ(boxes[0]->text(), QStringLiteral("Error Loading instruct.doc: No such file or directory"));
        EXPECT_EQ(ChildWindowsOf(form).Inst->Memo1->toPlainText(), QStringLiteral("Memo1"));
        EXPECT_EQ(ChildWindowsOf(form).QelSpInst->Memo1->toPlainText(),
                  QStringLiteral("Special text as it was at start-up\n"));
        QTest::mouseClick(boxes[0]->button(QMessageBox::Ok), Qt::LeftButton);
        QCoreApplication::processEvents();
        EXPECT_TRUE(LoadErrorBoxes().isEmpty());

        // The file changing later has no effect on the window.
        QFile sp(QStringLiteral("QelSpIns.doc"));
        ASSERT_TRUE(sp.open(QIODevice::WriteOnly | QIODevice::Truncate));
        sp.write("changed");
        sp.close();
        EXPECT_TRUE(ChildWindowsOf(form).QelSpInst->Memo1->toPlainText().startsWith(QStringLiteral("Special")));

        // The program goes on: the timer ticks and the gear turns.
        Named<QTimer>(form, "Timer1")->start();
        const float a = state.gear.DriverAngle;
        EXPECT_TRUE(QTest::qWaitFor([&] { return state.gear.DriverAngle != a; }, 10000));
        Named<QTimer>(form, "Timer1")->stop();
    }
    QDir::setCurrent(old);
}

TEST_F(AidsFixture, TheInstructionTextsNameEveryCommandOfTheMenus)
{
    const QString texts =
        ChildWindowsOf(*form).Inst->Memo1->toPlainText() + ChildWindowsOf(*form).QelSpInst->Memo1->toPlainText();
    ASSERT_TRUE(texts.contains(QStringLiteral("INSTRUCTIONS"))) << "run from the build directory";
    // A command as the texts name it: no "&", no "…", no state word after it.
    const auto named = [](QString caption) {
        caption.remove(QLatin1Char('&')).remove(QChar(0x2026));
        return caption.remove(QRegularExpression(QStringLiteral(" (On|Off|1|2)$"))).trimmed();
    };
    const struct {
        const char* where;
        QList<QAction*> actions;
    } menus[] = {
        {"main menu bar", form->menuBar()->actions()},
        {"File", Named<QMenu>(*form, "File1")->actions()},
        {"SetUp", Named<QMenu>(*form, "SetUp1")->actions()},
        {"EditDimen", Named<QMenu>(*form, "EditDimen1")->actions()},
        {"DrawGraphs", Named<QMenu>(*form, "DrawGraphs1")->actions()},
        {"Help", Named<QMenu>(*form, "Help1")->actions()},
        {"pivot data table", ChildWindowsOf(*form).DataTable->MainMenu1->actions()},
        {"pivot data table, Edit", ChildWindowsOf(*form).DataTable->Edit1->actions()},
    };
    for (const auto& m : menus) {
        SCOPED_TRACE(m.where);
        for (const QAction* a : m.actions) {
            const QString name = named(a->text());
            // Separators, the error picture and the recent designs name no command.
            if (name.isEmpty() || a->objectName().startsWith(QLatin1String("RecentDesign"))) continue;
            EXPECT_TRUE(texts.contains(name)) << name.toStdString();
        }
    }
}
