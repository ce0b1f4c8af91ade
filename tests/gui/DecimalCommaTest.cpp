// The windows on a desktop whose locale writes a decimal comma: the fields
// show and take "." and leaving them keeps every value; the readouts and the
// dialogs' labels keep the point.
#include "support/DecimalComma.h"
#include "GuiTestSupport.h"
#include "dialogs/TCylDimen.h"
#include "dialogs/TFrameDi.h"
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
