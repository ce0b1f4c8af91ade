// Number fields that behave as fields do everywhere: Ctrl+A selects all, a
// field entered with Tab has its text selected so that typing replaces it,
// Return in a small setting dialog is OK, and every dimension field says
// where its dimension is measured.
#include "aids/TDrawLines.h"
#include "dialogs/TBalance.h"
#include "dialogs/TCylDimen.h"
#include "dialogs/TDesignCheck.h"
#include "dialogs/TDrivAng.h"
#include "dialogs/TFrameDi.h"
#include "dialogs/TOptimise.h"
#include "dialogs/TRevPos.h"
#include "dialogs/TStpAng.h"
#include "drawing/DimensionEdit.h"
#include "graphs/TSetRevArm.h"
#include "mainwin/TGraphZoom.h"
#include "mainwin/TMainForm.h"
#include "mainwin/TRefPnts.h"
#include "model/Model.h"
#include "model/PointIndex.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSet>
#include <QTest>
#include <gtest/gtest.h>

#include "gui/GuiTestSupport.h"

#include <cmath>
#include <functional>

namespace {

struct Fields : MainWindowTest {
    // Every window with number fields, shown (not modal) for the test.
    std::vector<QDialog*> Windows()
    {
        const ChildWindows& f = ChildWindowsOf(*form);
        return {f.FrameDi, f.CylDimen,  f.RevPos,  f.DrivAng,     f.StpAng,   f.GraphZoom,
                f.RefPnts, f.SetRevArm, f.Balance, f.DesignCheck, f.Optimise, f.DrawLines};
    }
    // The number fields of a window: the edits under an entry rule.
    static std::vector<QLineEdit*> NumberFields(QWidget* w)
    {
        std::vector<QLineEdit*> out;
        for (QLineEdit* e : w->findChildren<QLineEdit*>())
            if (e->validator() && e->isVisible() && e->isEnabled() && !e->isReadOnly()) out.push_back(e);
        return out;
    }
    static void Show(QDialog* d)
    {
        d->show();
        QApplication::setActiveWindow(d);
        ASSERT_TRUE(QTest::qWaitForWindowActive(d)) << d->objectName().toStdString();
    }
};

} // namespace

TEST_F(Fields, CtrlASelectsAllAndTabSelectsTheTextTypingReplaces)
{
    Named<QTimer>(*form, "Timer1")->stop();
    int fields = 0;
    for (QDialog* d : Windows()) {
        ASSERT_NE(d, nullptr);
        SCOPED_TRACE(d->objectName().toStdString());
        Show(d);
        for (QLineEdit* e : NumberFields(d)) {
            SCOPED_TRACE(e->objectName().toStdString());
            ++fields;
            if (e->text().isEmpty()) e->setText(QStringLiteral("1.5"));
            e->setFocus(Qt::MouseFocusReason);
            e->setCursorPosition(0);
            ASSERT_FALSE(e->hasSelectedText());
            QTest::keyClick(e, Qt::Key_A, Qt::ControlModifier);
            EXPECT_EQ(e->selectedText(), e->text());

            // Away with Shift+Tab, back with Tab: the text is selected, and
            // a digit typed replaces it.
            QTest::keyClick(e, Qt::Key_Backtab);
            QWidget* before = QApplication::focusWidget();
            ASSERT_NE(before, e);
            QTest::keyClick(before, Qt::Key_Tab);
            ASSERT_EQ(QApplication::focusWidget(), e);
            EXPECT_EQ(e->selectedText(), e->text());
            QTest::keyClick(e, Qt::Key_7);
            EXPECT_EQ(e->text(), "7");
        }
        d->hide();
    }
    EXPECT_GE(fields, 22 + 22 + 3 + 2 + 4 + 9);
}

// Return is OK in the small setting dialogs, typed into the field or right
// after the dialog opened (the focus on Cancel).
TEST_F(Fields, ReturnInASmallSettingDialogIsOK)
{
    Named<QTimer>(*form, "Timer1")->stop();
    const ChildWindows& f = ChildWindowsOf(*form);
    const struct {
        QDialog* dialog;
        QLineEdit* edit;
        const char* typed;
        std::function<bool()> applied;
    } cases[] = {
        {f.DrivAng, f.DrivAng->Edit1, "90", [&] { return state.gear.DriverAngle == 90; }},
        {f.StpAng, f.StpAng->Edit1, "5", [&] { return state.anim.SelectedStep == 5; }},
        // The bar's position, a thousandth of a unit off mid gear, is the arm's.
        {f.RevPos, f.RevPos->Edit1, "0.5", [&] { return std::fabs(state.gear.RevArmPos - 0.5f) < 1e-3f; }},
        {f.GraphZoom, f.GraphZoom->Edit1, "12", [&] { return state.view.GraphicZoom == 12; }},
        {f.RefPnts, f.RefPnts->Edit1, "2.5", [&] { return state.gear.PointY[kRefPoint1] == 2.5f; }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.dialog->objectName().toStdString());
        for (bool typing : {false, true}) {
            bool shown = false;
            DriveModal([&] {
                if (QApplication::activeModalWidget() != c.dialog || !c.dialog->isActiveWindow()) return false;
                shown = true;
                if (typing) {
                    c.edit->setFocus(Qt::TabFocusReason);
                    c.edit->selectAll();
                    QTest::keyClicks(c.edit, QString::fromLatin1(c.typed));
                }
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
                // A dialog that did not take Return ends the test, failed.
                QTimer::singleShot(3000, c.dialog, [d = c.dialog] {
                    if (d->isVisible()) d->done(-1);
                });
                return true;
            });
            EXPECT_EQ(c.dialog->exec(), QDialog::Accepted) << "typing " << typing;
            EXPECT_TRUE(shown);
            if (typing) {
                EXPECT_TRUE(c.applied());
            }
        }
        auto* ok = c.dialog->findChild<QPushButton*>(QStringLiteral("OK"));
        ASSERT_NE(ok, nullptr);
        EXPECT_TRUE(ok->isDefault());
    }
}

// One sentence for each dimension field, each its own; the close-up button
// says what it does.
TEST_F(Fields, EveryDimensionFieldSaysWhereItIsMeasured)
{
    QSet<QString> seen;
    for (TDimensionDialog* d :
         std::initializer_list<TDimensionDialog*>{ChildWindowsOf(*form).FrameDi, ChildWindowsOf(*form).CylDimen})
        for (int k = 1; k <= TDimensionDialog::kFields; ++k) {
            const QString tip = d->Edit[k]->toolTip();
            EXPECT_EQ(tip.toStdString(), DimensionWhereText(d->FieldCode(k)));
            EXPECT_TRUE(QRegularExpression(QStringLiteral("^[A-Z][^.]*\\.$")).match(tip).hasMatch())
                << tip.toStdString();
            EXPECT_FALSE(seen.contains(tip)) << tip.toStdString();
            seen.insert(tip);
            EXPECT_EQ(d->Button[k]->toolTip(), QString::fromLatin1(kCloseUpButtonText));
        }
    EXPECT_EQ(seen.size(), 44);
}
