// A gear that cannot be assembled says why: the main window's error picture
// and the status line at its foot, and the dimension dialogs under their fields.
#include "GuiTestSupport.h"
#include "dialogs/TCylDimen.h"
#include "dialogs/TFrameDi.h"
#include "mainwin/TMainForm.h"
#include "model/Model.h"
#include "platform/Services.h"

#include <QAction>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QStatusBar>
#include <QTest>
#include <QToolTip>
#include <gtest/gtest.h>

#include <memory>

namespace {

const QString kShortRod =
    QStringLiteral("Main rod cannot reach the crosshead between 35° and 145° and between 215° and 325°");

struct AssemblyMain : StoppedMainWindowTest {
    // One tick with the gear stopped at `angle`.
    void TickAt(float angle)
    {
        state.anim.ActiveStep = 0;
        state.gear.DriverAngle = angle;
        form->Tick();
    }
};

} // namespace

TEST_F(AssemblyMain, TheErrorPictureAndTheStatusLineSayWhichLinkCannotReachWhere)
{
    QStatusBar* status = Named<QStatusBar>(*form, "AssemblyStatus");
    ASSERT_NE(status, nullptr);
    EXPECT_EQ(status->objectName(), "AssemblyStatus");
    const struct {
        const char* what;
        float mainRod, angle;
        QString text;
    } steps[] = {
        {"the built-in design", 11.625f, 90, ""},
        {"a short rod where it still reaches: nothing clamps yet", 1, 20, ""},
        {"turned to where it cannot", 1, 90, kShortRod},
        {"turned on, still the same design", 1, 20, kShortRod},
        {"a long enough rod again", 11.625f, 90, ""},
    };
    for (const auto& st : steps) {
        SCOPED_TRACE(st.what);
        state.gear.MainRodLength = st.mainRod;
        TickAt(st.angle);
        EXPECT_EQ(QString::fromStdString(form->Session().AssemblyText()), st.text);
        EXPECT_EQ(Named<QAction>(*form, "Error")->toolTip(), st.text);
        EXPECT_EQ(status->isVisible(), !st.text.isEmpty());
        EXPECT_EQ(status->currentMessage(), st.text);
    }

    // Shown at the foot of the client area, the error picture's tooltip on hover.
    state.gear.MainRodLength = 1;
    TickAt(90);
    ASSERT_TRUE(Named<QAction>(*form, "Error")->isVisible());
    EXPECT_EQ(status->geometry().bottom(), form->Area()->height() - 1);
    EXPECT_GE(status->height(), status->fontMetrics().height());
    EXPECT_TRUE(status->isVisibleTo(form->Area()));
    EXPECT_EQ(status->width(), form->Area()->width());
    QMenuBar* bar = form->menuBar();
    const QPoint at = bar->actionGeometry(Named<QAction>(*form, "Error")).center();
    QHelpEvent help(QEvent::ToolTip, at, bar->mapToGlobal(at));
    QApplication::sendEvent(bar, &help);
    EXPECT_TRUE(QTest::qWaitFor([] { return QToolTip::isVisible(); }, 5000));
    EXPECT_EQ(QToolTip::text(), kShortRod);
    QToolTip::hideText();
    // A larger window: the line stays at the foot.
    form->resize(form->width() + 100, form->height() + 80);
    EXPECT_TRUE(QTest::qWaitFor([&] { return status->geometry().bottom() == form->Area()->height() - 1; }, 5000));
}

// The dialogs say it under the fields while the design cannot be assembled,
// the dialog taller by the text; it goes once a value mends the design.
TEST(AssemblyDialogs, TheDimensionDialogsSayItUnderTheFields)
{
    AppState s;
    StartupModel(s);
    TFrameDi frame(s, nullptr);
    TCylDimen cyl(s, nullptr);
    ASSERT_EQ(frame.height(), 203);
    ASSERT_EQ(cyl.height(), 230);
    const struct {
        const char* what;
        TDimensionDialog* dialog;
        int field;
        const char* typed;
        QString text;
    } steps[] = {
        {"a short main rod", &frame, 3, "1", kShortRod},
        {"mended", &frame, 3, "11.625", ""},
        {"no stroke", &frame, 2, "0", "Stroke has no length"},
        {"the cylinder dialog says it too", &cyl, 4, "5", "Stroke has no length"},
        {"a stroke again", &frame, 2, "3.5", ""},
    };
    for (const auto& st : steps) {
        SCOPED_TRACE(st.what);
        TDimensionDialog& d = *st.dialog;
        const int base = st.dialog == &frame ? 203 : 230;
        d.show();
        QApplication::setActiveWindow(&d);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&d));
        QLineEdit* e = d.Edit[st.field];
        QTest::mouseClick(e, Qt::LeftButton);
        e->selectAll();
        QTest::keyClicks(e, QString::fromLatin1(st.typed));
        QTest::keyClick(e, Qt::Key_Tab); // leaving the field commits it
        EXPECT_EQ(d.AssemblyText->text(), st.text);
        EXPECT_EQ(d.AssemblyText->isVisible(), !st.text.isEmpty());
        if (st.text.isEmpty()) {
            EXPECT_EQ(d.height(), base);
        } else {
            EXPECT_EQ(d.AssemblyText->geometry().top(), base);
            EXPECT_GT(d.AssemblyText->height(), 0);
            EXPECT_EQ(d.height(), d.AssemblyText->geometry().bottom() + 1 + 4);
        }
        d.hide();
    }
}
