// The windows on a desktop whose locale writes a decimal comma: the fields
// show and take "." and leaving them keeps every value; a comma typed is the
// decimal point in every number field; the readouts and the dialogs' labels
// keep the point.
#include "support/DecimalComma.h"
#include "GuiTestSupport.h"
#include "dialogs/TCylDimen.h"
#include "dialogs/TDrivAng.h"
#include "dialogs/TFrameDi.h"
#include "dialogs/TOptimise.h"
#include "dialogs/TScaleDesign.h"
#include "dialogs/TTolerance.h"
#include "drawing/DimensionEdit.h"
#include "model/Model.h"
#include "platform/RecordingCanvas.h"

#include <QLineEdit>
#include <QRegularExpression>

#include <memory>

namespace {

const QRegularExpression kCommaDecimal(QStringLiteral("\\d,\\d"));
const QRegularExpression kPointDecimal(QStringLiteral("\\d\\.\\d"));

// Focuses each field in turn and leaves it with Tab, typing nothing: the
// values must stay as they were, bit for bit.
template <typename Dialog>
void TabThroughEveryField(AppState& s)
{
    Dialog d(s, nullptr);
    d.show();
    QApplication::setActiveWindow(&d);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&d));
    const std::vector<float> before = DimensionValues(s.gear);
    for (int k = 1; k <= 22; ++k) {
        auto* e = d.template findChild<QLineEdit*>(QStringLiteral("Edit%1").arg(k));
        ASSERT_NE(e, nullptr) << k;
        EXPECT_FALSE(e->text().contains(kCommaDecimal)) << k << " " << e->text().toStdString();
        EXPECT_TRUE(e->text().contains(kPointDecimal)) << k << " " << e->text().toStdString();
        e->setFocus();
        ASSERT_TRUE(QTest::qWaitFor([e] { return e->hasFocus(); }));
        QTest::keyClick(e, Qt::Key_Tab);
    }
    const std::vector<float> after = DimensionValues(s.gear);
    ASSERT_EQ(after.size(), before.size());
    for (size_t i = 0; i < after.size(); ++i) EXPECT_EQ(after[i], before[i]) << "dimension " << i;
}

} // namespace

TEST(DecimalCommaDesktop, LeavingTheDimensionFieldsKeepsEveryValue)
{
    DecimalCommaLocale german;
    ASSERT_TRUE(german.Active()) << german.Why();
    AppState s;
    StartupModel(s);
    TabThroughEveryField<TFrameDi>(s);
    TabThroughEveryField<TCylDimen>(s);
    // A typed value with a point is taken whole.
    CommitDimensionField(s, 3, "12.375");
    EXPECT_EQ(s.gear.MainRodLength, 12.375f);
}

TEST_F(MainWindowTest, ReadoutsOnADecimalCommaDesktopKeepThePoint)
{
    DecimalCommaLocale german;
    ASSERT_TRUE(german.Active()) << german.Why();
    // Frames composed under the German locale, past a cut-off.
    for (int i = 0; i < 200; ++i) form->Tick();
    RecordingCanvas texts;
    form->FrameList().Replay(texts);
    int decimals = 0;
    for (const CanvasOp& op : texts.Ops()) {
        if (op.kind != CanvasOp::Text) continue;
        const QString t = QString::fromStdString(op.text);
        EXPECT_FALSE(t.contains(kCommaDecimal)) << op.text;
        if (t.contains(kPointDecimal)) ++decimals;
    }
    EXPECT_GE(decimals, 6); // piston, valve centre, four openings ...
}

// A comma typed is the decimal point: the fields of the dimension and small
// dialogs show it as "."; the search and scale windows read it, and say so
// when a text is no number; the optimiser says when bounds leave out the value.
TEST_F(MainWindowTest, ACommaTypedIsTheDecimalPointInEveryKindOfNumberField)
{
    DecimalCommaLocale german;
    ASSERT_TRUE(german.Active()) << german.Why();
    form->Timer1->stop();
    const ChildWindows& f = form->Forms;
    ASSERT_EQ(f.FrameDi->FieldCode(20), 20);
    const auto find = [&](const char* hi) {
        f.Optimise->HiEdit[0]->setText(QString::fromLatin1(hi));
        f.Optimise->FindBut->click();
        const QString said = f.Optimise->ResultText->text();
        f.Optimise->StopBut->click();
        EXPECT_TRUE(QTest::qWaitFor([&] { return !f.Optimise->Searching(); }, 30000));
        return said;
    };
    const struct {
        QWidget* window;
        const char* edit;
        const char* typed;
        const char* shown;           // the field's text then
        std::function<QString()> so; // what the window makes of it
        const char* says;
    } cases[] = {
        {f.FrameDi, "Edit20", "3,8", "3.8",
         [&] {
             QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
             return QString::number(state.gear.ValveRodLength == 3.8f);
         },
         "1"},
        {f.DrivAng, "Edit1", "12,5", "12.5", [&] { return f.DrivAng->Edit1->text(); }, "12.5"},
        {f.Tolerance, "LengthTolerance", "0,01", "0,01",
         [&] {
             ToleranceSettings t;
             std::string error;
             return QString::number(f.Tolerance->ReadSettings(t, error) && t.tolerance[0] == 0.01f);
         },
         "1"},
        {f.ScaleDesign, "FactorEdit", "0,5", "0,5", [&] { return f.ScaleDesign->ScaleResult->text(); },
         "Every length times 0.5; the view follows."},
        {f.Optimise, "Lo1", "3,6x", "3,6x", [&] { return find("3,7"); },
         "The lower bound of Valve Rod Length must be a number, not \"3,6x\"."},
        {f.Optimise, "Lo1", "3,6", "3,6", [&] { return find("3,7"); },
         "Searching… The bounds of Valve Rod Length, 3.6 to 3.7, leave out its value 3.8."}, // as typed above
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        c.window->show();
        QApplication::setActiveWindow(c.window);
        ASSERT_TRUE(QTest::qWaitForWindowActive(c.window));
        auto* e = c.window->findChild<QLineEdit*>(QString::fromLatin1(c.edit));
        ASSERT_NE(e, nullptr);
        e->setFocus(Qt::OtherFocusReason);
        e->selectAll();
        QTest::keyClicks(e, QString::fromLatin1(c.typed));
        EXPECT_EQ(e->text(), QString::fromLatin1(c.shown));
        EXPECT_EQ(c.so().toStdString(), c.says);
        c.window->hide();
    }
}
