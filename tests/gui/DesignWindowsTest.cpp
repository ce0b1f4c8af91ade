// The "Design Check…" and "Optimise Design…" windows over the running main window.
#include "GuiTestSupport.h"

#include "dialogs/TDesignCheck.h"
#include "dialogs/TOptimise.h"
#include "files/NativeFile.h"
#include "model/DesignEdit.h"
#include "model/DesignScale.h"
#include "model/EngineData.h"
#include "model/Model.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QTableWidget>
#include <QTemporaryDir>

namespace {

struct DesignWindows : MainWindowTest {
    QTemporaryDir dir;
    int saves = 0;

    QByteArray Saved()
    {
        const QString path = dir.filePath(QStringLiteral("d%1.vgw").arg(++saves));
        EXPECT_TRUE(SaveNativeFile(state, QFile::encodeName(path).toStdString()).ok);
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    // The text of the Result cell of a check line.
    static QString Verdict(TDesignCheck* c, CheckRule rule)
    {
        const DesignCheckResult& r = c->Result();
        for (size_t k = 0; k < r.lines.size(); ++k)
            if (r.lines[k].rule == rule) return c->CheckGrid->item(int(k), 4)->text();
        return {};
    }
};

} // namespace

TEST_F(DesignWindows, MenuItemsFollowTheBalanceItem)
{
    const QList<QAction*> items = Named<QMenu>(*form, "EditDimen1")->actions();
    const auto at = items.indexOf(Named<QAction>(*form, "BalanceEvents"));
    ASSERT_GE(at, 0);
    ASSERT_GT(items.size(), at + 2);
    EXPECT_EQ(items[at + 1]->objectName(), QStringLiteral("DesignCheck"));
    EXPECT_EQ(items[at + 1]->text(), QStringLiteral("&Design Check…"));
    EXPECT_EQ(items[at + 2]->objectName(), QStringLiteral("OptimiseDesign"));
    EXPECT_EQ(items[at + 2]->text(), QStringLiteral("&Optimise Design…"));
    EXPECT_TRUE(items[at + 1]->isEnabled() && items[at + 2]->isEnabled());
}

// The check stays open beside the running gear and judges the design again
// when a dimension changes and when the change is undone; a limit typed in
// the window judges again at once.
TEST_F(DesignWindows, CheckFollowsTheLiveDesignAndItsLimits)
{
    Named<QAction>(*form, "DesignCheck")->trigger();
    TDesignCheck* c = ChildWindowsOf(*form).DesignCheck;
    ASSERT_TRUE(c->isVisible());
    EXPECT_FALSE(c->isModal());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !c->Measuring(); }, 30000));
    EXPECT_EQ(c->CheckGrid->rowCount(), 10);
    EXPECT_EQ(c->CheckText->text(), QStringLiteral("3 of 10 lines fail."));
    EXPECT_EQ(Verdict(c, CheckRule::EqualLeads), QStringLiteral("PASS"));
    EXPECT_EQ(Verdict(c, CheckRule::EqualCutOffForward), QStringLiteral("FAIL"));
    EXPECT_EQ(c->CheckGrid->item(7, 5)->text(), QStringLiteral("forward notch 4 rear: 0.0424 of 0.3750 units"));
    // "Worst at" is shown whole: its column as wide as its longest text, and
    // within the grid's view (the window grows to it where the screen has
    // room, else the grid scrolls to it).
    QHeaderView* header = c->CheckGrid->horizontalHeader();
    const int margin = c->CheckGrid->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, c->CheckGrid) + 1;
    const auto whole = [&] {
        for (int r = 0; r < c->CheckGrid->rowCount(); ++r)
            if (c->CheckGrid->fontMetrics().horizontalAdvance(c->CheckGrid->item(r, 5)->text()) + 2 * margin + 1 >
                header->sectionSize(5))
                return false;
        return header->sectionPosition(5) + header->sectionSize(5) <=
               c->CheckGrid->viewport()->width() + c->CheckGrid->horizontalScrollBar()->maximum();
    };
    EXPECT_TRUE(QTest::qWaitFor(whole, 10000));

    QLineEdit* limit = c->LimitEdit[size_t(CheckRule::EqualCutOffForward)];
    ASSERT_EQ(limit->objectName(), QStringLiteral("Limit_equal_cutoff_fwd"));
    limit->setFocus();
    limit->selectAll();
    // Nothing typed is dropped: a limit that is no number is said so, and
    // no verdict stands against it.
    QTest::keyClicks(limit, QStringLiteral("7x"));
    EXPECT_EQ(limit->text(), QStringLiteral("7x"));
    EXPECT_EQ(c->CheckText->text().toStdString(),
              "The limit of " + CheckRuleCaption(CheckRule::EqualCutOffForward) + " must be a number, not \"7x\".");
    EXPECT_EQ(c->CheckGrid->rowCount(), 0);
    QTest::keyClick(limit, Qt::Key_Backspace);
    EXPECT_EQ(Verdict(c, CheckRule::EqualCutOffForward), QStringLiteral("PASS"));

    // A dimension changed as a dialog commits it (with its undo record).
    NoteDimensionTyped(state, 20);
    CommitDimensionValue(state, 20, 3.5f);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !c->Measuring() && Verdict(c, CheckRule::EqualLeads) == "FAIL"; }, 30000));
    Press(*form, "UnDoDn");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !c->Measuring() && Verdict(c, CheckRule::EqualLeads) == "PASS"; }, 30000));
    QTest::mouseClick(c->CloseBut, Qt::LeftButton);
    EXPECT_FALSE(c->isVisible());
}

// Three dimensions found, applied (one undo record each), undone: the file
// the design saves to is the one it saved to before, reverse arm included.
TEST_F(DesignWindows, OptimiseAppliedThenUndoneGivesTheSameFile)
{
    Press(*form, "Fwd");
    const int notch = Named<QScrollBar>(*form, "SBRevArm")->value();
    const QByteArray before = Saved();
    TOptimise* o = ChildWindowsOf(*form).Optimise;
    int phase = 0;
    DriveModal([&] {
        if (!o->isVisible()) return false;
        if (phase == 0) {
            EXPECT_EQ(o->DimensionBox[0]->currentText(), QStringLiteral("Valve Rod Length"));
            EXPECT_EQ(o->LoEdit[0]->text() + ' ' + o->HiEdit[0]->text(), QStringLiteral("3.375 4.125"));
            EXPECT_FALSE(o->LoEdit[2]->isEnabled());
            o->TargetBox[size_t(DesignTarget::CutOffForwardAll)]->setChecked(false);
            o->TargetBox[size_t(DesignTarget::CutOffReverseAll)]->setChecked(false);
            o->TargetBox[size_t(DesignTarget::CutOffForward)]->setChecked(true);
            o->TargetBox[size_t(DesignTarget::CutOffReverse)]->setChecked(true);
            o->DimensionBox[2]->setCurrentIndex(o->DimensionBox[2]->findData(12));
            EXPECT_EQ(o->LoEdit[2]->text(), QStringLiteral("1.8"));
            // Bounds that run the wrong way: told, nothing searched.
            o->HiEdit[2]->setText(QStringLiteral("1.7"));
            QTest::mouseClick(o->FindBut, Qt::LeftButton);
            EXPECT_FALSE(o->Searching());
            EXPECT_EQ(o->ResultText->text(),
                      QStringLiteral("The bounds of RevHeadArmLower must run from a lower to a higher value."));
            o->HiEdit[2]->setText(QStringLiteral("2.2"));
            QTest::mouseClick(o->FindBut, Qt::LeftButton);
            phase = 1;
            return false;
        }
        if (o->Searching()) return false;
        EXPECT_EQ(o->Result().outcome, OptimiseOutcome::Improved) << o->ResultText->text().toStdString();
        EXPECT_EQ(o->ResultGrid->item(0, 0)->text(), QStringLiteral("Valve Rod Length (units)"));
        EXPECT_EQ(o->ResultGrid->item(3, 0)->text(), QStringLiteral("Objective"));
        EXPECT_EQ(o->CheckAfter().lines.size(), 10u);
        QTest::mouseClick(o->ApplyBut, Qt::LeftButton);
        return true;
    });
    Press(*form, "OptimiseDesign");
    ASSERT_TRUE(o->Result().Improved());
    for (const DimensionValue& v : o->Result().values) EXPECT_EQ(GetDimension(state.gear, v.code), v.value);
    EXPECT_EQ(state.dyn.UndoCount, 3);
    EXPECT_EQ(Named<QScrollBar>(*form, "SBRevArm")->value(), 0);
    // The check the window showed after is the check of the design now.
    const DesignCheckResult now = CheckDesign(state.gear, DefaultCheckLimits());
    ASSERT_EQ(now.lines.size(), o->CheckAfter().lines.size());
    for (size_t k = 0; k < now.lines.size(); ++k) EXPECT_EQ(now.lines[k].pass, o->CheckAfter().lines[k].pass);
    for (int k = 0; k < 3; ++k) Press(*form, "UnDoDn");
    EXPECT_EQ(Named<QScrollBar>(*form, "SBRevArm")->value(), notch);
    EXPECT_EQ(Saved(), before);
}

// "Stop" ends the search and offers the best design found so far; "Cancel"
// still changes nothing.
TEST_F(DesignWindows, StopEndsTheSearchAndCancelChangesNothing)
{
    const QByteArray before = Saved();
    TOptimise* o = ChildWindowsOf(*form).Optimise;
    int phase = 0;
    DriveModal(
        [&] {
            if (!o->isVisible()) return false;
            if (phase == 0) {
                o->DimensionBox[2]->setCurrentIndex(o->DimensionBox[2]->findData(17));
                o->FindButClick();
                EXPECT_TRUE(o->StopBut->isEnabled() && !o->FindBut->isEnabled() && !o->TargetBox[0]->isEnabled());
                phase = 1;
                return false;
            }
            if (phase == 1) {
                if (o->Progress->value() < 150) return false; // some trials measured
                QTest::mouseClick(o->StopBut, Qt::LeftButton);
                phase = 2;
                return false;
            }
            if (o->Searching()) return false;
            EXPECT_EQ(o->Result().outcome, OptimiseOutcome::Stopped);
            EXPECT_TRUE(o->Result().HasValues());
            EXPECT_TRUE(o->ResultText->text().startsWith(QStringLiteral("Stopped after ")))
                << o->ResultText->text().toStdString();
            EXPECT_TRUE(o->ApplyBut->isEnabled());
            QTest::mouseClick(o->CancelBut, Qt::LeftButton);
            return true;
        },
        60000); // a search under way
    Press(*form, "OptimiseDesign");
    EXPECT_EQ(phase, 2);
    EXPECT_FALSE(o->isVisible());
    EXPECT_EQ(state.dyn.UndoCount, 0);
    EXPECT_EQ(Saved(), before);
}

// The window's search is the command line's (the same design, the bounds its
// fields show read back as the command line's defaults: one answer), and each
// search starts from the best points of the earlier ones since it opened, so
// adding a dimension ends no worse.
TEST_F(DesignWindows, TheWindowGivesTheCommandLinesAnswerAndStartsFromEarlierRuns)
{
    state.gear.ValveRodLength = 3.7777f; // bounds of more than four decimals
    TOptimise* o = ChildWindowsOf(*form).Optimise;
    OptimiseGoals goals;
    goals.targets = {{DesignTarget::CutOffForwardAll, 1}, {DesignTarget::CutOffReverseAll, 1}};
    goals.dimensions = {DefaultOptimiseDimension(state.gear, 20)};
    const OptimiseResult alone = OptimiseDesign(state.gear, goals);
    ASSERT_TRUE(alone.Improved());
    int phase = 0;
    long double first = 0;
    DriveModal(
        [&] {
            if (!o->isVisible()) return false;
            if (phase == 0) {
                o->DimensionBox[1]->setCurrentIndex(0); // the valve rod alone
                QTest::mouseClick(o->FindBut, Qt::LeftButton);
                phase = 1;
                return false;
            }
            if (o->Searching()) return false;
            if (phase == 1) {
                const OptimiseDimension& d = o->ResultGoals().dimensions[0];
                EXPECT_TRUE(d.lo == goals.dimensions[0].lo && d.hi == goals.dimensions[0].hi);
                EXPECT_EQ(o->Result().values[0].value, alone.values[0].value);
                EXPECT_EQ(o->Result().after.objective, alone.after.objective);
                first = o->Result().after.objective;
                o->DimensionBox[1]->setCurrentIndex(o->DimensionBox[1]->findData(10));
                QTest::mouseClick(o->FindBut, Qt::LeftButton);
                phase = 2;
                return false;
            }
            EXPECT_TRUE(o->Result().Improved());
            EXPECT_LE(o->Result().after.objective, first);
            QTest::mouseClick(o->CancelBut, Qt::LeftButton);
            return true;
        },
        300000); // two searches
    Press(*form, "OptimiseDesign");
    EXPECT_EQ(phase, 2);
}

// The engine targets show only for a design with engine data; "More power"
// at a speed, searched and applied as the other targets: more power, one
// "UnDo" record per dimension.
TEST_F(DesignWindows, EngineTargetsShowWithEngineDataAndApplyMorePower)
{
    TOptimise* o = ChildWindowsOf(*form).Optimise;
    const auto power = size_t(DesignTarget::Power);
    o->FormActivate();
    for (size_t k = 0; k < size_t(kDesignTargets); ++k) // the engine targets, every one with its speed
        EXPECT_EQ(o->TargetBox[k]->isHidden() && o->SpeedEdit[k] && o->SpeedEdit[k]->isHidden(),
                  IsEngineTarget(DesignTarget(k)))
            << k;
    ApplyScale(state, {7, LengthUnit::Inch, RoundGrid::None});
    RecomputeRevArmCentre(state.gear);
    state.gear.HasEngine = true;
    state.gear.Engine = DefaultEngineData(state.gear);
    const float before = static_cast<float>(MeasureEngineFigures(state.gear, 120).power);
    const int undo = state.dyn.UndoCount;
    int phase = 0;
    DriveModal(
        [&] {
            if (!o->isVisible()) return false;
            if (phase == 0) {
                for (size_t k = 0; k < size_t(kDesignTargets); ++k)
                    EXPECT_TRUE(o->TargetBox[k]->isVisible() && (!o->SpeedEdit[k] || o->SpeedEdit[k]->isVisible()));
                for (QCheckBox* b : o->TargetBox) b->setChecked(false);
                o->TargetBox[power]->setChecked(true);
                EXPECT_TRUE(o->SpeedEdit[power]->isEnabled());
                o->SpeedEdit[power]->setText(QStringLiteral("120"));
                o->DimensionBox[0]->setCurrentIndex(o->DimensionBox[0]->findData(15)); // the rocker's lower arm
                o->DimensionBox[1]->setCurrentIndex(0);
                QTest::mouseClick(o->FindBut, Qt::LeftButton);
                phase = 1;
                return false;
            }
            if (o->Searching()) return false;
            EXPECT_EQ(o->Result().outcome, OptimiseOutcome::Improved) << o->ResultText->text().toStdString();
            EXPECT_EQ(o->ResultGoals().targets[0].rpm, 120.0f);
            QTest::mouseClick(o->ApplyBut, Qt::LeftButton);
            return true;
        },
        120000);
    Press(*form, "OptimiseDesign");
    ASSERT_TRUE(o->Result().Improved());
    EXPECT_EQ(state.dyn.UndoCount, undo + 1);
    EXPECT_GT(MeasureEngineFigures(state.gear, 120).power, before);
}
