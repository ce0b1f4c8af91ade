// The windows on a desktop whose locale writes a decimal comma: the fields
// show and take "." and leaving them keeps every value; a comma typed is the
// decimal point in every number field; the readouts and the dialogs' labels
// keep the point.
#include "support/DecimalComma.h"
#include "GuiTestSupport.h"
#include "dialogs/TCylDimen.h"
#include "dialogs/TFrameDi.h"
#include "dialogs/TOptimise.h"
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

// A comma typed is the decimal point: a dimension field shows it as "."; a
// search window reads it, and says when bounds leave out the value.
TEST_F(MainWindowTest, ACommaTypedIsTheDecimalPoint)
{
    DecimalCommaLocale german;
    ASSERT_TRUE(german.Active()) << german.Why();
    Named<QTimer>(*form, "Timer1")->stop();
    const auto type = [](QWidget* w, QLineEdit* e, const char* text) {
        w->show();
        QApplication::setActiveWindow(w);
        EXPECT_TRUE(QTest::qWaitForWindowActive(w));
        e->setFocus(Qt::OtherFocusReason);
        e->selectAll();
        QTest::keyClicks(e, QString::fromLatin1(text));
    };
    TFrameDi* frame = ChildWindowsOf(*form).FrameDi;
    type(frame, frame->Edit[20], "3,8");
    EXPECT_EQ(frame->Edit[20]->text(), QStringLiteral("3.8"));
    QTest::keyClick(frame->Edit[20], Qt::Key_Tab);
    EXPECT_EQ(state.gear.ValveRodLength, 3.8f);
    frame->hide();
    TOptimise* o = ChildWindowsOf(*form).Optimise;
    type(o, o->LoEdit[0], "3,6");
    o->HiEdit[0]->setText(QStringLiteral("3,7"));
    o->FindBut->click();
    EXPECT_EQ(o->ResultText->text(),
              QStringLiteral("Searching… The bounds of Valve Rod Length, 3.6 to 3.7, leave out its value 3.8."));
    o->StopBut->click();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !o->Searching(); }, 30000));
    o->hide();
}
