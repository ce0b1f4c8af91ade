// The "Balance Events…" window over the running main window.
#include "GuiTestSupport.h"

#include "analysis/BalanceText.h"
#include "dialogs/TBalance.h"
#include "files/NativeFile.h"
#include "model/DesignEdit.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QTemporaryDir>

namespace {

struct BalanceWindow : MainWindowTest {
    QTemporaryDir dir;
    int saves = 0;

    // The design as its file holds it.
    QByteArray Saved()
    {
        const QString path = dir.filePath(QStringLiteral("d%1.vgw").arg(++saves));
        EXPECT_TRUE(SaveNativeFile(state, QFile::encodeName(path).toStdString()).ok);
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};

} // namespace

TEST_F(BalanceWindow, FindsTheValueAndCancelLeavesTheDesign)
{
    QAction* item = form->findChild<QAction*>(QStringLiteral("BalanceEvents"));
    ASSERT_TRUE(item && Named<QMenu>(*form, "EditDimen1")->actions().contains(item) && item->isEnabled());
    EXPECT_EQ(item->text(), QStringLiteral("&Balance Events…"));
    TBalance* b = ChildWindowsOf(*form).Balance;
    const QByteArray before = Saved();
    int phase = 0;
    DriveModal([&] {
        if (!b->isVisible()) return false;
        if (phase == 0) {
            EXPECT_EQ(b->TargetBox->currentText(), QStringLiteral("Equal leads, mid gear"));
            EXPECT_EQ(b->DimensionBox->currentText(), QStringLiteral("Valve Rod Length"));
            EXPECT_EQ(b->DimensionBox->count(), 44);
            EXPECT_EQ(b->RangeLo->text() + ' ' + b->RangeHi->text(), QStringLiteral("3.375 4.125"));
            EXPECT_FALSE(b->ApplyBut->isEnabled());
            // Nothing typed is dropped: a text that is no number is said so,
            // and nothing is searched; Enter in a range field finds.
            b->RangeHi->setFocus();
            QTest::keyClicks(b->RangeHi, QStringLiteral("x-"));
            EXPECT_EQ(b->RangeHi->text(), QStringLiteral("4.125x-"));
            QTest::keyClick(b->RangeHi, Qt::Key_Return);
            phase = 1;
            return false;
        }
        if (phase == 1) {
            if (b->ResultText->text().isEmpty()) return false;
            EXPECT_EQ(b->ResultText->text(), QStringLiteral("The upper end of the range of Valve Rod Length must be a "
                                                            "number, not \"4.125x-\"."));
            EXPECT_FALSE(b->Searching());
            b->RangeHi->setText(QStringLiteral("4,125")); // a comma is the decimal point
            QTest::keyClick(b->RangeHi, Qt::Key_Return);
            phase = 2;
            return false;
        }
        if (b->Searching() || b->Result().outcome == BalanceOutcome::Invalid) return false;
        const BalanceResult& r = b->Result();
        EXPECT_EQ(r.outcome, BalanceOutcome::Found);
        EXPECT_EQ(b->ResultGrid->item(0, 2)->text(),
                  QString::fromStdString(BalanceValueText(r.values[0].value)).trimmed());
        EXPECT_EQ(b->ResultGrid->item(0, 1)->text(), QStringLiteral("3.7500"));
        EXPECT_EQ(b->ResultGrid->item(3, 0)->text(), QStringLiteral("Lead difference (units)"));
        EXPECT_TRUE(b->ResultText->text().startsWith(QStringLiteral("Found: the difference is now ")));
        EXPECT_TRUE(b->ApplyBut->isEnabled());
        QTest::mouseClick(b->CancelBut, Qt::LeftButton);
        return true;
    });
    item->trigger();
    EXPECT_FALSE(b->isVisible());
    EXPECT_EQ(Saved(), before);
    EXPECT_EQ(state.dyn.UndoCount, 0);
}

TEST_F(BalanceWindow, TwoAtOnceAppliedThenUndoneGivesTheSameFile)
{
    Press(*form, "Fwd"); // the reverse arm in the forward notch
    const int notch = Named<QScrollBar>(*form, "SBRevArm")->value();
    const QByteArray before = Saved();
    TBalance* b = ChildWindowsOf(*form).Balance;
    bool asked = false;
    DriveModal([&] {
        if (!b->isVisible()) return false;
        if (!asked) {
            EXPECT_FALSE(b->Target2Box->isEnabled());
            b->SecondBox->setChecked(true);
            EXPECT_EQ(b->Dimension2Box->currentText(), QStringLiteral("Eccentric Rod Length"));
            EXPECT_TRUE(b->Target2Box->isEnabled());
            QTest::mouseClick(b->FindBut, Qt::LeftButton);
            return asked = true, false;
        }
        if (b->Searching()) return false;
        EXPECT_EQ(b->Result().outcome, BalanceOutcome::Found) << b->ResultText->text().toStdString();
        QTest::mouseClick(b->ApplyBut, Qt::LeftButton);
        return true;
    });
    Press(*form, "BalanceEvents");
    ASSERT_TRUE(b->Result().HasValues());
    EXPECT_EQ(state.gear.ValveRodLength, b->Result().values[0].value);
    EXPECT_EQ(state.gear.EccRodLength, b->Result().values[1].value);
    EXPECT_EQ(state.dyn.UndoCount, 2);
    EXPECT_EQ(Named<QScrollBar>(*form, "SBRevArm")->value(), 0); // mid gear, as the dimension dialogs' Close leaves it
    EXPECT_EQ(state.gear.RevArmPos, state.gear.RevArmCentre());
    // What the window showed is what the design now has, measured as the
    // events table and the command line measure it (as it opens from a file).
    EXPECT_EQ(MeasureTarget(state.gear, BalanceTarget::CutOffForward).difference, b->Result().after[1].difference);

    Press(*form, "UnDoDn");
    Press(*form, "UnDoDn");
    EXPECT_EQ(Named<QScrollBar>(*form, "SBRevArm")->value(), notch);
    EXPECT_EQ(Saved(), before);
}

TEST_F(BalanceWindow, StopEndsALongSearchWhileTheGearRuns)
{
    TBalance* b = ChildWindowsOf(*form).Balance;
    float angle = -1;
    int phase = 0;
    DriveModal([&] {
        if (!b->isVisible()) return false;
        if (phase == 0) {
            // Two targets the two dimensions cannot meet: the search runs long.
            b->TargetBox->setCurrentIndex(int(BalanceTarget::CutOffForward));
            b->DimensionBox->setCurrentIndex(b->DimensionBox->findData(6));
            b->SecondBox->setChecked(true);
            b->Target2Box->setCurrentIndex(int(BalanceTarget::CutOffReverse));
            b->Dimension2Box->setCurrentIndex(b->Dimension2Box->findData(17));
            b->FindButClick();
            EXPECT_TRUE(b->StopBut->isEnabled() && !b->FindBut->isEnabled() && !b->DimensionBox->isEnabled());
            angle = state.gear.DriverAngle;
            phase = 1;
            return false;
        }
        if (phase == 1) {
            if (state.gear.DriverAngle == angle) return false; // the main window ticks on
            EXPECT_TRUE(b->Searching());
            QTest::mouseClick(b->StopBut, Qt::LeftButton);
            phase = 2;
            return false;
        }
        if (b->Searching()) return false;
        EXPECT_EQ(b->ResultText->text(), QStringLiteral("Stopped before a value was found."));
        EXPECT_FALSE(b->ApplyBut->isEnabled());
        EXPECT_TRUE(b->FindBut->isEnabled());
        QTest::keyClick(b, Qt::Key_Escape);
        return true;
    });
    Press(*form, "BalanceEvents");
    EXPECT_EQ(phase, 2);
    EXPECT_FALSE(b->isVisible());
}

// Equal cut-off both ways by the rocker pivot height: the least lies below the
// range the window offers; it says so, offers nothing to apply, and suggests
// widening the range.
TEST_F(BalanceWindow, ALeastAtTheEndOfTheRangeIsNoSolution)
{
    TBalance* b = ChildWindowsOf(*form).Balance;
    bool asked = false;
    QString text, after;
    DriveModal([&] {
        if (!b->isVisible()) return false;
        if (!asked) {
            b->TargetBox->setCurrentIndex(int(BalanceTarget::CutOffBoth));
            b->DimensionBox->setCurrentIndex(b->DimensionBox->findData(18));
            EXPECT_EQ(b->RangeLo->text() + ' ' + b->RangeHi->text(), QStringLiteral("1.575 1.925"));
            QTest::mouseClick(b->FindBut, Qt::LeftButton);
            return asked = true, false;
        }
        if (b->Searching()) return false;
        text = b->ResultText->text();
        after = b->ResultGrid->item(0, 2)->text();
        EXPECT_FALSE(b->ApplyBut->isEnabled());
        QTest::mouseClick(b->CancelBut, Qt::LeftButton);
        return true;
    });
    Press(*form, "BalanceEvents");
    EXPECT_EQ(b->Result().outcome, BalanceOutcome::NoSolution);
    EXPECT_EQ(text, QStringLiteral("The range holds no solution: the least lies at its lower end (at 1.5750 the "
                                   "differences are -0.4673 and 0.7206 % of stroke). Widen the range beyond 1.5750 "
                                   "to look for it."));
    EXPECT_EQ(after, QString());
    EXPECT_EQ(state.dyn.UndoCount, 0);
}
