// "Scale Design…", "Design Unit", "Compare With…" and the events table with a
// reference, on the real windows.
#include "GuiTestSupport.h"

#include "analysis/ValveEventsTable.h"
#include "dialogs/TScaleDesign.h"
#include "files/NativeFile.h"
#include "graphs/TValveEvents.h"
#include "model/DesignScale.h"
#include "model/DynVars.h"
#include "model/Model.h"
#include "model/NumberText.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTemporaryDir>

namespace {

using ScaleCompareWindows = MainWindowTest;

QString Path(const QTemporaryDir& d, const char* name) { return d.filePath(QString::fromLatin1(name)); }

// Opens the window of `action`, runs `step` on it once shown (until it returns true).
void WithWindow(QAction* action, QWidget* w, const std::function<bool()>& step)
{
    DriveModal([w, step] { return w->isVisible() && step(); });
    action->trigger();
}

} // namespace

TEST_F(ScaleCompareWindows, ScaleDesignTakesAFactorOrTwoScalesAndOneUndoTakesItBack)
{
    TScaleDesign* sd = ChildWindowsOf(*form).ScaleDesign;
    QAction* item = form->findChild<QAction*>(QStringLiteral("ScaleDesign"));
    ASSERT_TRUE(sd && item && Named<QMenu>(*form, "EditDimen1")->actions().contains(item) && item->isEnabled());
    EXPECT_EQ(item->text(), QStringLiteral("&Scale Design…"));
    const AppState before = state;
    const int armMax = Named<QScrollBar>(*form, "SBRevArm")->maximum();

    // Bad factors are refused in words, "2" is taken.
    QStringList refused;
    WithWindow(item, sd, [&] {
        EXPECT_TRUE(sd->ApplyBut->isEnabled()); // factor 1 to begin with
        EXPECT_EQ(sd->UnitText->text(),
                  QStringLiteral("The design does not say what its lengths are measured in (units)."));
        for (const char* bad : {"0", "-2", "abc"}) {
            sd->FactorEdit->setText(QString::fromLatin1(bad));
            EXPECT_FALSE(sd->ApplyBut->isEnabled()) << bad;
            refused << sd->ScaleResult->text();
        }
        sd->FactorEdit->clear();
        QTest::keyClicks(sd->FactorEdit, "2");
        EXPECT_EQ(sd->ScaleResult->text(), QStringLiteral("Every length times 2; the view follows."));
        QTest::keyClick(sd->FactorEdit, Qt::Key_Return); // Apply is the default button
        return true;
    });
    EXPECT_FALSE(sd->isVisible());
    EXPECT_EQ(refused,
              QStringList(3, QStringLiteral("The factor must be a number greater than 0, e.g. 0.125 or 25.4.")));
    EXPECT_EQ(state.gear.Stroke, 2 * before.gear.Stroke);
    EXPECT_EQ(state.gear.Cyl(ciCylBoreDia), 2 * before.gear.Cyl(ciCylBoreDia));
    EXPECT_EQ(state.view.ViewScale, before.view.ViewScale / 2);
    EXPECT_EQ(Named<QScrollBar>(*form, "SBRevArm")->maximum(), ToPixel(1000.0L * state.gear.RevArmMax));
    EXPECT_NE(Named<QScrollBar>(*form, "SBRevArm")->maximum(), armMax);
    EXPECT_EQ(UndoSummaryText(state), " 1- Design scale  2.000 to  1.000");
    EXPECT_TRUE(state.dyn.UndoButtonsEnabled);

    // One "UnDo" puts it all back, the reverse arm bar too.
    Press(*form, "UnDoDn");
    EXPECT_EQ(state.gear.Stroke, before.gear.Stroke);
    EXPECT_EQ(state.gear.RevArm, before.gear.RevArm);
    EXPECT_EQ(state.view.ViewScale, before.view.ViewScale);
    EXPECT_EQ(Named<QScrollBar>(*form, "SBRevArm")->maximum(), armMax);
    EXPECT_EQ(state.dyn.UndoCount, 0);

    // Full size to 1:8 works the factor out; Cancel changes nothing.
    WithWindow(item, sd, [&] {
        EXPECT_EQ(sd->FactorEdit->text(), QStringLiteral("1"));                                     // afresh
        QTest::mouseClick(sd->ByScales, Qt::LeftButton, {}, QPoint(8, sd->ByScales->height() / 2)); // full size to 1:8
        EXPECT_TRUE(sd->ByScales->isChecked());
        EXPECT_EQ(sd->Outcome().request.factor, 0.125L);
        sd->ByFactor->setChecked(true);
        sd->FromScale->setCurrentText(QStringLiteral("5 in")); // editing a scale chooses the scales
        EXPECT_TRUE(sd->ByScales->isChecked());
        EXPECT_FALSE(sd->ApplyBut->isEnabled());
        EXPECT_EQ(sd->ScaleResult->text(),
                  QStringLiteral("A scale and a gauge do not compare: give two scales or two gauges."));
        QTest::mouseClick(sd->CancelBut, Qt::LeftButton);
        return true;
    });
    EXPECT_EQ(state.gear.Stroke, before.gear.Stroke);
    EXPECT_EQ(state.dyn.UndoCount, 0);
}

TEST_F(ScaleCompareWindows, TheDesignUnitMenuStatesTheUnitWithoutScaling)
{
    QMenu* units = form->findChild<QMenu*>(QStringLiteral("DesignUnit"));
    ASSERT_TRUE(units && Named<QMenu>(*form, "EditDimen1")->actions().contains(units->menuAction()));
    EXPECT_EQ(units->title(), QStringLiteral("Design &Unit"));
    EXPECT_TRUE(Named<QAction>(*form, "UnitUnspecified")->isChecked());
    const float stroke = state.gear.Stroke;
    EXPECT_FALSE(form->Session().Changed());
    Named<QAction>(*form, "UnitInch")->trigger();
    EXPECT_EQ(state.gear.Unit, LengthUnit::Inch);
    EXPECT_TRUE(Named<QAction>(*form, "UnitInch")->isChecked() &&
                !Named<QAction>(*form, "UnitUnspecified")->isChecked());
    EXPECT_EQ(state.gear.Stroke, stroke);
    EXPECT_TRUE(form->Session().Changed()); // a save keeps it
    Named<QAction>(*form, "UnitUnspecified")->trigger();
    EXPECT_FALSE(form->Session().Changed());
}

TEST_F(ScaleCompareWindows, AReferenceIsComparedInTheTableAndDrawnAndRefusedWhenItIsNoDesign)
{
    QTemporaryDir dir;
    AppState other;
    StartupModel(other);
    other.gear.ValveRodLength = 3.9f;
    ASSERT_TRUE(SaveNativeFile(other, QFile::encodeName(Path(dir, "long rod.vgw")).toStdString()).ok);
    QFile bad(Path(dir, "bad.vgw"));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write(QByteArray(100, '\0'));
    bad.close();
    QFile huge(Path(dir, "huge.vgw"));
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly));
    std::vector<NativeRecord> records = BuildNativeRecords(other);
    records[0][1] = 3.4e38f; // the stroke
    for (const NativeRecord& r : records) {
        const RecordBytes b = EncodeRecord(r);
        huge.write(reinterpret_cast<const char*>(b.data()), static_cast<qint64>(b.size()));
    }
    huge.close();

    EXPECT_TRUE(Named<QMenu>(*form, "File1")->actions().contains(Named<QAction>(*form, "CompareWith")));
    EXPECT_EQ(Named<QAction>(*form, "CompareWith")->text(), QStringLiteral("Co&mpare With…"));
    EXPECT_EQ(Named<QAction>(*form, "ClearComparison")->text(), QStringLiteral("C&lear Comparison"));
    EXPECT_FALSE(Named<QAction>(*form, "ClearComparison")->isEnabled());
    QString asked, answer = Path(dir, "long rod.vgw");
    form->FileDialogHook = [&](const QString& name) { return asked = name, answer; };
    Named<QAction>(*form, "CompareWith")->trigger();
    EXPECT_EQ(asked, QStringLiteral("OpenDialogWin")); // the open's dialog
    ASSERT_TRUE(state.compare.Reference.has_value());
    EXPECT_EQ(state.compare.ReferenceName, "long rod");
    EXPECT_EQ(state.compare.Reference->ValveRodLength, 3.9f);
    EXPECT_TRUE(Named<QAction>(*form, "ClearComparison")->isEnabled());

    // The table: this design, the reference, the difference; Copy takes what is shown.
    TValveEvents* ve = ChildWindowsOf(*form).ValveEvents;
    const auto rows = ValveEventsRowsOf(state.gear), refRows = ValveEventsRowsOf(*state.compare.Reference);
    WithWindow(Named<QAction>(*form, "ValveEventsTable"), ve, [&] {
        if (!ve->windowTitle().contains(QStringLiteral("Version"))) return false;
        EXPECT_TRUE(ve->windowTitle().contains(QStringLiteral("Valve Events    Reference: long rod    Nominal")))
            << ve->windowTitle().toStdString();
        EXPECT_TRUE(ve->ViewRow->isVisible() && ve->ShowThis->isChecked());
        EXPECT_EQ(ve->TableText(), ValveEventsText(rows));
        QTest::mouseClick(ve->ShowDifference, Qt::LeftButton);
        EXPECT_EQ(ve->TableText(), ValveEventsDifferenceText(rows, refRows));
        EXPECT_EQ(ve->EventsGrid->item(0, 3)->text().toStdString(), ve->TableText()[1][3]);
        QTest::mouseClick(ve->CopyBut, Qt::LeftButton);
        EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), TabSeparatedText(ve->TableText()));
        QTest::mouseClick(ve->ShowReference, Qt::LeftButton);
        EXPECT_TRUE(ve->ShowReference->isChecked());
        EXPECT_EQ(ve->TableText(), ValveEventsText(refRows));
        ve->CloseButClick();
        return true;
    });

    // The ghost is drawn from the next frame on.
    Named<QAction>(*form, "ReferenceGhost")->trigger();
    EXPECT_TRUE(state.compare.GhostOn && Named<QAction>(*form, "ReferenceGhost")->isChecked());

    // A file that is no design is told and the reference stays; huge values are asked about.
    QStringList shown;
    for (const char* name : {"bad.vgw", "huge.vgw"}) {
        answer = Path(dir, name);
        DriveModal([&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box) shown << box->objectName() + QStringLiteral(": ") + box->text(), box->reject();
            return box != nullptr;
        });
        Named<QAction>(*form, "CompareWith")->trigger();
    }
    EXPECT_EQ(shown,
              (QStringList{QStringLiteral("FileErrorBox: Cannot open \"bad.vgw\": it is too short to be a "
                                          "design (100 bytes)."),
                           QStringLiteral("HugeValuesBox: \"huge.vgw\" holds values no gear can have (Stroke Length = "
                                          "3.4e38). Open it anyway?")}));
    EXPECT_EQ(state.compare.ReferenceName, "long rod");

    Named<QAction>(*form, "ClearComparison")->trigger();
    EXPECT_FALSE(state.compare.Reference.has_value() || state.compare.GhostOn);
    EXPECT_FALSE(Named<QAction>(*form, "ClearComparison")->isEnabled() ||
                 Named<QAction>(*form, "ReferenceGhost")->isEnabled());
    ve->FormActivate();
    EXPECT_TRUE(ve->ViewRow->isHidden());
    EXPECT_EQ(ve->TableText(), ValveEventsText(rows));
}
