// The gear for the workshop in the windows: the swept envelope behind the
// gear (and nothing of it while it is off), the keep-out flag in "Draw
// Lines", the clearance window, the parts list page of the data table and
// "Export Picture…" to a DXF drawing.
#include "GuiTestSupport.h"

#include "aids/TDataTable.h"
#include "aids/TDrawLines.h"
#include "analysis/PartsList.h"
#include "dialogs/TClearance.h"
#include "dialogs/TDesignCheck.h"
#include "drawing/EnvelopeDrawing.h"
#include "drawing/GearDxf.h"
#include "files/DxfFile.h"
#include "files/TextTable.h"
#include "mainwin/SweptEnvelopeView.h"
#include "model/DynVars.h"
#include "model/GearParts.h"
#include "platform/RecordingCanvas.h"
#include "qt/QtPictureCommands.h"

#include <QApplication>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>

namespace {

// Polls until `done` (a generous deadline; no fixed sleeps).
template <class F>
bool Eventually(F done)
{
    QDeadlineTimer deadline(60000);
    while (!done() && !deadline.hasExpired()) QTest::qWait(20);
    return done();
}

// The lines of a frame drawn in `colour`.
int LinesIn(const DisplayList& list, Colour colour)
{
    RecordingCanvas c;
    list.Replay(c);
    int n = 0;
    for (const CanvasOp& op : c.OfKind(CanvasOp::Line)) n += op.colour == colour;
    return n;
}

struct WorkshopWindows : StoppedMainWindowTest {
    ChildWindows f;
    SweptEnvelopeView* envelope = nullptr; // the main window's, which the clearance window shares

    void SetUp() override
    {
        StoppedMainWindowTest::SetUp();
        form->CreateChildWindows();
        f = ChildWindowsOf(*form);
        envelope = SweptEnvelopeView::Of(form.get(), state);
        // The instruction windows could not find their texts here: their messages go.
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible()) box->close();
        QCoreApplication::processEvents();
        // A keep-out line under the wheel and a keep-out circle about the axle.
        state.overlay.Item[1] = {-6, -4.75f, 16, -4.75f, 0, 0, 0, 0, 0, 0, 0, 0, 0, true};
        state.overlay.Item[2] = {0, 0, 1.2f, 0, 0, 0, 0, 0, 1, 255, 0, 0, 0, true};
        form->Tick();
    }
};

} // namespace

TEST_F(WorkshopWindows, TheEnvelopeIsDrawnFaintlyBehindTheGearOnlyWhileItIsOn)
{
    QAction* a = Named<QAction>(*form, "SweptEnvelope");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->text(), QStringLiteral("Swept &Envelope"));
    EXPECT_TRUE(a->isCheckable());
    EXPECT_FALSE(a->isChecked()) << "off to begin with";
    auto* pivotData = Named<QMenu>(*form, "PivotDataMenu");
    ASSERT_NE(pivotData, nullptr);
    EXPECT_EQ(Named<QMenu>(*form, "SetUp1")->actions().back(), pivotData->menuAction()) << "at the menu's end";
    EXPECT_EQ(pivotData->title(), QStringLiteral("Pi&votData"));
    EXPECT_EQ(pivotData->actions(), (QList<QAction*>{a, Named<QAction>(*form, "ClearanceReport")}));

    const float angle = 37.5f;
    state.gear.DriverAngle = angle;
    form->Tick();
    const DisplayList off = form->FrameList();
    EXPECT_FALSE(envelope->Measuring()) << "nothing is measured while nobody wants it";

    a->trigger();
    ASSERT_TRUE(Eventually([&] { return !envelope->Measuring(); }));
    ASSERT_TRUE(envelope->Result());
    form->Tick();
    for (GearPart p : kMovingParts) EXPECT_GT(LinesIn(form->FrameList(), EnvelopeColour(p)), 10) << PartName(p);
    // Behind the gear: the outlines come before the mechanism's first line.
    RecordingCanvas c;
    form->FrameList().Replay(c);
    const auto lines = c.OfKind(CanvasOp::Line);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.front().colour, EnvelopeColour(GearPart::CrankMainRod));

    // A changed design is swept again.
    const std::shared_ptr<const SweptEnvelope> first = envelope->Result();
    const float rod = state.gear.EccRodLength;
    state.gear.EccRodLength = rod + 0.25f;
    ASSERT_TRUE(Eventually([&] { return envelope->Result() != first && !envelope->Measuring(); }));

    // Off: the frame is the one of before, operation for operation.
    state.gear.EccRodLength = rod;
    a->trigger();
    state.gear.DriverAngle = angle;
    form->Tick();
    EXPECT_TRUE(form->FrameList().SameAs(off));
}

TEST_F(WorkshopWindows, ClearanceWindowJudgesEachPartAgainstEachKeepOutShapeAtTheTickedNotches)
{
    QAction* item = Named<QAction>(*form, "ClearanceReport");
    EXPECT_TRUE(item->isEnabled()) << "its window is there";
    item->trigger();
    TClearance* w = f.Clearance;
    ASSERT_NE(w, nullptr);
    ASSERT_TRUE(w->isVisible());
    EXPECT_EQ(w->LeastEdit->text(), QStringLiteral("0.03125")) << "1/32 of a unit not stated";
    ASSERT_TRUE(Eventually([&] { return !envelope->Measuring() && w->ClearanceGrid->rowCount() > 0; }));
    EXPECT_EQ(w->ClearanceGrid->rowCount(), 12) << "six parts, two keep-out shapes";
    EXPECT_EQ(w->NotchList->count(), 37);
    EXPECT_EQ(w->NotchList->item(0)->text(), QStringLiteral("reverse notch 18"));
    // The crank pin's circle crosses the rim about the axle.
    EXPECT_EQ(w->ClearanceGrid->item(1, 0)->text(), QStringLiteral("crank and main rod"));
    EXPECT_EQ(w->ClearanceGrid->item(1, 3)->text(), QStringLiteral("0.0000"));
    EXPECT_EQ(w->ClearanceGrid->item(1, 7)->text(), QStringLiteral("FAIL"));
    EXPECT_TRUE(w->ClearanceText->text().contains(QStringLiteral("clearances are less than 0.03125")));
    EXPECT_EQ(w->ExtremesGrid->rowCount(), 19);

    // Mid gear alone: swept again at one notch.
    w->NotchList->setFocus();
    for (int row = 0; row < w->NotchList->count(); ++row)
        if (row != 18) w->NotchList->item(row)->setCheckState(Qt::Unchecked);
    ASSERT_TRUE(
        Eventually([&] { return !envelope->Measuring() && envelope->Result()->notches == std::vector<int>{0}; }));
    EXPECT_EQ(envelope->Settings().Ticked(18), false);
    // A least clearance of 0 passes what touches.
    w->LeastEdit->setText(QStringLiteral("0"));
    EXPECT_EQ(w->ClearanceGrid->item(1, 7)->text(), QStringLiteral("PASS"));
    QTest::mouseClick(w->AllBut, Qt::LeftButton);
    EXPECT_TRUE(envelope->Settings().Ticked(18));
    // "Stop" ends the sweep under way; the last envelope stays, and the same
    // design is not swept again.
    ASSERT_TRUE(Eventually([&] { return !envelope->Measuring(); }));
    const std::shared_ptr<const SweptEnvelope> before = envelope->Result();
    bool progressed = false;
    QObject::connect(envelope, &SweptEnvelopeView::Progressed, w, [&] { progressed = true; });
    state.gear.EccRodLength += 0.125f;
    ASSERT_TRUE(Eventually([&] { return progressed; }));
    EXPECT_TRUE(w->StopBut->isEnabled());
    QTest::mouseClick(w->StopBut, Qt::LeftButton);
    ASSERT_TRUE(Eventually([&] { return !envelope->Measuring(); }));
    EXPECT_EQ(envelope->Result(), before);
    EXPECT_FALSE(w->StopBut->isEnabled());
    w->CloseBut->click();
    EXPECT_FALSE(w->isVisible());
}

TEST_F(WorkshopWindows, DesignCheckJudgesTheClearanceWhileTheDesignHasKeepOutShapes)
{
    TDesignCheck* w = f.DesignCheck;
    ASSERT_NE(w, nullptr);
    w->show();
    ASSERT_TRUE(Eventually([&] { return !w->Measuring() && w->CheckGrid->rowCount() == 11; }));
    QLineEdit* limit = w->ClearanceEdit;
    EXPECT_EQ(limit->objectName(), "Limit_clearance");
    EXPECT_FALSE(limit->isHidden());
    EXPECT_EQ(limit->text(), QStringLiteral("0.03125"));
    EXPECT_EQ(w->CheckGrid->item(10, 0)->text(), QStringLiteral("Every part clears every keep-out shape (length)"));
    EXPECT_EQ(w->CheckGrid->item(10, 4)->text(), QStringLiteral("FAIL"));
    limit->setText(QStringLiteral("0"));
    EXPECT_EQ(w->CheckGrid->item(10, 4)->text(), QStringLiteral("PASS"));
    // No keep-out shape: the check and its window as they always were.
    state.overlay.Item[1].KeepOut = state.overlay.Item[2].KeepOut = false;
    ASSERT_TRUE(Eventually([&] { return !w->Measuring() && w->CheckGrid->rowCount() == 10; }));
    EXPECT_TRUE(limit->isHidden());
    EXPECT_TRUE(w->ClearanceLabel->isHidden());
    w->hide();
}

TEST_F(WorkshopWindows, DrawLinesMarksTheCurrentLineOrCircleKeepOutByKeyOrRowMenu)
{
    TDrawLines* d = f.DrawLines;
    ASSERT_NE(d, nullptr);
    state.overlay.Item[1].KeepOut = false;
    state.overlay.Item[2].KeepOut = false;
    d->show();
    d->activateWindow();
    ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == d; }, 10000));
    d->RowLabelClick(1);
    QLabel* number = d->Label[1];
    const QColor plain = number->palette().color(QPalette::WindowText);
    EXPECT_EQ(d->KeepOut->objectName(), "KeepOut");
    QTest::keyClick(d, Qt::Key_K, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_TRUE(state.overlay.Item[1].KeepOut);
    EXPECT_TRUE(d->KeepOut->isChecked());
    EXPECT_EQ(number->palette().color(QPalette::WindowText), QColor(Qt::red));
    // An undo record of its own: "UnDo" takes the flag back, "ReDo" puts it
    // back, and the row follows.
    EXPECT_EQ(UndoSummaryText(state), " 1- Line 1 keep-out on");
    Press(*form, "UnDoDn");
    EXPECT_FALSE(state.overlay.Item[1].KeepOut);
    EXPECT_EQ(number->palette().color(QPalette::WindowText), plain);
    EXPECT_FALSE(d->KeepOut->isChecked());
    Press(*form, "ReDo");
    EXPECT_TRUE(state.overlay.Item[1].KeepOut);
    EXPECT_EQ(number->palette().color(QPalette::WindowText), QColor(Qt::red));
    EXPECT_TRUE(d->KeepOut->isChecked());
    QTest::keyClick(d, Qt::Key_K, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_FALSE(state.overlay.Item[1].KeepOut);
    EXPECT_EQ(UndoSummaryText(state), " 2- Line 1 keep-out off") << "after the record redone";
    EXPECT_EQ(number->palette().color(QPalette::WindowText), plain);
    // The right click on a row's number opens its menu with the flag.
    bool offered = false;
    DriveModal([&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu) return false;
        offered = menu->objectName() == "RowMenu" && menu->actions().contains(d->KeepOut);
        menu->actions().front()->trigger();
        menu->close();
        return true;
    });
    QTest::mouseClick(d->Label[5], Qt::RightButton);
    EXPECT_TRUE(offered);
    EXPECT_EQ(state.overlay.CurrentItem, 2);
    EXPECT_TRUE(state.overlay.Item[2].KeepOut);
    // An unused item cannot be one: a beep.
    const int beeps = sound.beeps;
    d->activateWindow(); // the key goes to the window again, the row menu gone
    ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == d; }, 10000));
    d->RowLabelClick(7);
    QTest::keyClick(d, Qt::Key_K, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_FALSE(state.overlay.Item[7].KeepOut);
    EXPECT_EQ(sound.beeps, beeps + 1);
    d->hide();
}

TEST_F(WorkshopWindows, DataTableHasThePartsListAsItsSecondPageAndSavesIt)
{
    TDataTable* dt = f.DataTable;
    ASSERT_NE(dt, nullptr);
    state.gear.Unit = LengthUnit::Inch;
    dt->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(dt));
    EXPECT_EQ(dt->DataTabs->count(), 2);
    EXPECT_EQ(dt->DataTabs->currentWidget(), dt->DataMemo) << "the pivot data first, as before";
    const auto cells = PartsListCells(BuildPartsList(state.gear), LengthUnit::Inch);
    EXPECT_EQ(dt->PartsGrid->rowCount(), static_cast<int>(cells.size()) - 1);
    EXPECT_EQ(dt->PartsGrid->columnCount(), 4);
    EXPECT_EQ(dt->PartsGrid->item(0, 3)->text(), QStringLiteral("1 3/4"));
    dt->DataTabs->setCurrentWidget(dt->PartsGrid);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("parts.csv"));
    dt->FileDialogHook = [&](const QString&) { return path; };
    dt->SaveCsv1->trigger();
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll().toStdString(), CsvText(cells));
    dt->hide();
}

TEST_F(WorkshopWindows, ExportPictureOffersTheGearAsADxfDrawingAtFullSize)
{
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("gear"));
    state.gear.DriverAngle = 123;
    form->Tick();
    const std::string expected = DxfText(GearDxfDrawing(state, state.gear.SolvedDriverAngle, state.gear.RevArmPos));
    bool offered = false;
    bool done = false;
    DriveModal([&] {
        auto* d = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!d) return false;
        offered = d->nameFilters().contains(PictureCommands::DxfFilter());
        auto* types = d->findChild<QComboBox*>("fileTypeCombo");
        if (types) { // as a user picks the file type
            const int i = types->findText(PictureCommands::DxfFilter());
            types->setCurrentIndex(i);
            emit types->activated(i);
            emit types->textActivated(types->itemText(i));
        }
        d->selectFile(target);
        QMetaObject::invokeMethod(d, "accept", Qt::QueuedConnection);
        done = true;
        return true;
    });
    Named<QAction>(*form, "ExportPicture")->trigger();
    ASSERT_TRUE(Eventually([&] { return done && QFile::exists(target + QStringLiteral(".dxf")); }));
    EXPECT_TRUE(offered);
    QFile f(target + QStringLiteral(".dxf"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll().toStdString(), expected) << "the gear as it stood when the command was chosen";
}

// The main window rests its timer while the frame stays still; an envelope
// measured meanwhile (its result collected by a timer: no input, no queued
// call) is drawn all the same. (Here without the child windows, whose hidden
// clearance window's tables, filled from the result, would wake the timer by
// the way.)
TEST_F(StoppedMainWindowTest, AnEnvelopeMeasuredWhileTheTimerRestsIsDrawn)
{
    auto* run = Named<QPushButton>(*form, "Run");
    if (run->text() == QLatin1String("Stop")) QTest::mouseClick(run, Qt::LeftButton);
    Named<QTimer>(*form, "Timer1")->start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->TicksResting(); }, 10000)) << "a stopped gear rests";
    SweptEnvelopeView* envelope = SweptEnvelopeView::Of(form.get(), state);
    Named<QAction>(*form, "SweptEnvelope")->trigger(); // the command alone: no click wakes the timer
    ASSERT_TRUE(QTest::qWaitFor([&] { return envelope->Result() && !envelope->Measuring(); }, 60000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return LinesIn(form->FrameList(), EnvelopeColour(GearPart::CrankMainRod)) > 10; },
                                10000));
}
