// The frame and cylinder dimensions dialogs driven as a user drives them.
#include "dialogs/TCylDimen.h"
#include "dialogs/TFrameDi.h"
#include "gui/GuiTestSupport.h"
#include "model/DynVars.h"
#include "model/Model.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>

namespace {

AppState Started()
{
    AppState s;
    StartupModel(s);
    return s;
}

void Activate(QWidget& w)
{
    w.show();
    QApplication::setActiveWindow(&w);
    EXPECT_TRUE(QTest::qWaitForWindowActive(&w));
}

void Reshow(QDialog& d)
{
    d.hide();
    Activate(d);
}

template <typename Dialog>
std::unique_ptr<Dialog> Shown(AppState& s)
{
    auto d = std::make_unique<Dialog>(s, nullptr);
    Activate(*d);
    return d;
}

QLineEdit* Field(QDialog& d, int k)
{
    auto* e = d.findChild<QLineEdit*>(QStringLiteral("Edit%1").arg(k));
    EXPECT_NE(e, nullptr) << "Edit" << k;
    return e;
}

QPushButton* Btn(QDialog& d, const QString& name)
{
    auto* b = d.findChild<QPushButton*>(name);
    EXPECT_NE(b, nullptr) << name.toStdString();
    return b;
}

// Click into a field, select what it shows and type over it.
void TypeInto(QLineEdit* e, const char* text)
{
    QTest::mouseClick(e, Qt::LeftButton);
    ASSERT_TRUE(e->hasFocus());
    e->selectAll();
    QTest::keyClicks(e, QString::fromLatin1(text));
}

// Leave a field with Enter, which moves the focus to Close1 (the exit
// handler commits the field).
void Leave(QLineEdit* e)
{
    QTest::keyClick(e, Qt::Key_Return);
    ASSERT_FALSE(e->hasFocus());
}

bool DarkPixelIn(const QImage& img, QRect r)
{
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (qGray(img.pixel(x, y)) < 100) return true;
    return false;
}

} // namespace

TEST(FrameDimensionsDialog, LayoutAndFieldsOnActivation)
{
    AppState s = Started();
    auto d = Shown<TFrameDi>(s);
    EXPECT_EQ(d->windowTitle(), "Frame Dimensions");
    EXPECT_EQ(d->size(), QSize(396, 203));
    EXPECT_EQ(Field(*d, 1)->geometry(), QRect(152, 0, 40, 13));
    EXPECT_EQ(Field(*d, 11)->geometry(), QRect(152, 130, 40, 13));
    EXPECT_EQ(Field(*d, 12)->geometry(), QRect(352, 0, 40, 13));
    EXPECT_EQ(Field(*d, 22)->geometry(), QRect(352, 130, 40, 13));
    EXPECT_EQ(Btn(*d, "Button1")->geometry(), QRect(0, 0, 8, 13));
    EXPECT_EQ(Btn(*d, "Button12")->geometry(), QRect(202, 0, 8, 13));
    EXPECT_EQ(Btn(*d, "ResetFrame")->geometry(), QRect(298, 152, 89, 25));
    EXPECT_EQ(Btn(*d, "ResetFrame")->text(), "ResetFrameDim");
    EXPECT_EQ(Btn(*d, "Close1")->geometry(), QRect(298, 176, 89, 25));
    EXPECT_EQ(Btn(*d, "Close1")->text(), "Close");
    EXPECT_TRUE(Btn(*d, "Close1")->hasFocus());
    // Grey fields take part in dynamic variables; 21 and 22 do not.
    EXPECT_EQ(Field(*d, 20)->palette().color(QPalette::Base), QColor(192, 192, 192));
    EXPECT_EQ(Field(*d, 21)->palette().color(QPalette::Base), QColor(Qt::white));
    EXPECT_FALSE(Field(*d, 1)->hasFrame());
    EXPECT_EQ(Field(*d, 1)->text(), "8.625");
    EXPECT_EQ(Field(*d, 6)->text(), "0.000");
    EXPECT_EQ(Field(*d, 13)->text(), "4.200");
    EXPECT_EQ(Field(*d, 16)->text(), "-1.292");
    EXPECT_EQ(Field(*d, 22)->text(), "1.300");

    // Labels and help lines are painted on the dialog.
    QImage img = d->grab().toImage();
    EXPECT_TRUE(DarkPixelIn(img, QRect(10, 1, 120, 11)));  // "Crank Disk ..."
    EXPECT_TRUE(DarkPixelIn(img, QRect(212, 1, 120, 11))); // "Rev Head Pivot ..."
    EXPECT_TRUE(DarkPixelIn(img, QRect(1, 165, 250, 11))); // first help line
    EXPECT_TRUE(DarkPixelIn(img, QRect(1, 178, 250, 11))); // second help line
    EXPECT_FALSE(DarkPixelIn(img, QRect(1, 146, 140, 4))); // nothing between
    auto texts = d->PaintedTexts();
    ASSERT_EQ(texts.size(), 24u);
    EXPECT_EQ(texts[0].text, "Crank Disk             Diameter");
    EXPECT_EQ(texts[10].text, "Reverse Head           Upper");
    EXPECT_EQ(texts[10].y, 130);
    EXPECT_EQ(texts[21].text, "RevArm(Head)to CentMax");
    EXPECT_EQ(texts[21].x, 212);
    EXPECT_EQ(texts[22].text, "To Show Graphic Position of Variable, Click Small Button");
    EXPECT_EQ(texts[23].text, "To Select Dynamic Variable, Click Dimension in Gray Area");
    EXPECT_EQ(texts[23].y, 177);
    // Large font: anchors move with the font scale.
    s.view.FontScaleX = 1.27f;
    s.view.FontScaleY = 1.22f;
    texts = d->PaintedTexts();
    EXPECT_EQ(texts[0].x, 13);
    EXPECT_EQ(texts[10].y, 159);
    EXPECT_EQ(texts[12].x, 269);
    EXPECT_EQ(texts[12].y, 16);
    EXPECT_EQ(texts[22].x, 1);
    EXPECT_EQ(texts[22].y, 200);
    EXPECT_EQ(texts[23].y, 216);
}

TEST(FrameDimensionsDialog, TabAndClickingElsewhereLeaveAFieldToo)
{
    AppState s = Started();
    auto d = Shown<TFrameDi>(s);
    QLineEdit* e3 = Field(*d, 3);
    TypeInto(e3, "12");
    QTest::keyClick(e3, Qt::Key_Tab);
    EXPECT_TRUE(Field(*d, 4)->hasFocus());
    EXPECT_FLOAT_EQ(s.gear.MainRodLength, 12.0f);
    EXPECT_EQ(s.dyn.Slot[1].Code, 3);
    // Clicking another field leaves field 4: it becomes the newest variable
    // without an undo record.
    QTest::mouseClick(Field(*d, 15), Qt::LeftButton);
    EXPECT_EQ(s.dyn.Slot[1].Code, 4);
    EXPECT_EQ(s.dyn.Slot[2].Code, 3);
    EXPECT_EQ(s.dyn.UndoCount, 1);
}

TEST(FrameDimensionsDialog, KeyFilterAllowsOneMinusAnywhereAndOnePoint)
{
    AppState s = Started();
    auto d = Shown<TFrameDi>(s);
    QLineEdit* e = Field(*d, 3);
    TypeInto(e, "1-2-");
    EXPECT_EQ(e->text(), "1-2");
    e->selectAll();
    QTest::keyClicks(e, "1.2.3");
    EXPECT_EQ(e->text(), "1.23");
    QTest::keyClicks(e, "abc+e ,");
    EXPECT_EQ(e->text(), "1.23");
    QTest::keyClick(e, Qt::Key_Backspace);
    EXPECT_EQ(e->text(), "1.2");
    // Paste does not get past the filter either.
    QGuiApplication::clipboard()->setText("99x");
    QTest::keyClick(e, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(e->text(), "1.2");
    Leave(e);
    EXPECT_FLOAT_EQ(s.gear.MainRodLength, 1.2f);
    // A minus after digits: the conversion keeps what it read before it.
    TypeInto(e, "7-5");
    Leave(e);
    EXPECT_FLOAT_EQ(s.gear.MainRodLength, 7.0f);
    // An empty field gives 0.
    TypeInto(e, "");
    QTest::keyClick(e, Qt::Key_Backspace);
    EXPECT_EQ(e->text(), "");
    Leave(e);
    EXPECT_FLOAT_EQ(s.gear.MainRodLength, 0.0f);
}

TEST(FrameDimensionsDialog, EccentricAngleIsBroughtIntoOneTurn)
{
    AppState s = Started();
    auto d = Shown<TFrameDi>(s);
    QLineEdit* e = Field(*d, 6);
    TypeInto(e, "370");
    Leave(e);
    EXPECT_FLOAT_EQ(s.gear.EccAngleDeg, 10.0f);
    TypeInto(e, "-30");
    Leave(e);
    EXPECT_FLOAT_EQ(s.gear.EccAngleDeg, 330.0f);
    EXPECT_FLOAT_EQ(s.dyn.Slot[1].Value, 330.0f);
    EXPECT_FLOAT_EQ(s.dyn.Undo[1].New, 330.0f);
    EXPECT_FLOAT_EQ(s.dyn.Undo[1].Old, 10.0f);
    TypeInto(e, "7200");
    Leave(e);
    EXPECT_FLOAT_EQ(s.gear.EccAngleDeg, 0.0f);
    // A huge number does not hang the dialog.
    TypeInto(e, "100000000000000000000000000000000000000000000000000");
    Leave(e);
    EXPECT_GE(s.gear.EccAngleDeg, 0.0f);
    EXPECT_LT(s.gear.EccAngleDeg, 360.0f);
}

TEST(FrameDimensionsDialog, LeavingAGreyFieldSelectsItTypingAlsoRecordsUndo)
{
    AppState s = Started();
    auto d = Shown<TFrameDi>(s);
    QLineEdit* e3 = Field(*d, 3);
    QTest::mouseClick(e3, Qt::LeftButton);
    QTest::keyClick(e3, Qt::Key_Tab);
    EXPECT_EQ(s.dyn.Slot[1].Code, 3);
    EXPECT_FLOAT_EQ(s.dyn.Slot[1].Value, 11.625f);
    EXPECT_EQ(s.dyn.Slot[1].Name, "Main Rod Length");
    EXPECT_EQ(s.dyn.UndoCount, 0);
    EXPECT_EQ(s.dyn.Undo[1].Code, 0);
    EXPECT_FLOAT_EQ(s.gear.MainRodLength, 11.625f);

    // Clicking back into field 3 leaves field 4 (selected, nothing typed).
    TypeInto(e3, "12");
    EXPECT_EQ(s.dyn.Slot[1].Code, 4);
    EXPECT_EQ(s.dyn.UndoCount, 0);
    EXPECT_TRUE(s.dyn.EditDirty);
    Leave(e3);
    EXPECT_FALSE(s.dyn.EditDirty);
    EXPECT_FLOAT_EQ(s.gear.MainRodLength, 12.0f);
    EXPECT_EQ(s.dyn.UndoCount, 1);
    EXPECT_EQ(s.dyn.Undo[1].Code, 3);
    EXPECT_FLOAT_EQ(s.dyn.Undo[1].Old, 11.625f);
    EXPECT_FLOAT_EQ(s.dyn.Undo[1].New, 12.0f);
    EXPECT_EQ(s.dyn.Undo[1].Name, "Main Rod Length");
    EXPECT_TRUE(s.dyn.UndoButtonsEnabled);
    // Field 3 was already held (slot 2): updated in place, no reordering.
    EXPECT_EQ(s.dyn.Slot[1].Code, 4);
    EXPECT_EQ(s.dyn.Slot[2].Code, 3);
    EXPECT_FLOAT_EQ(s.dyn.Slot[2].Value, 12.0f);

    // A new field pushes the others down.
    QLineEdit* e13 = Field(*d, 13);
    TypeInto(e13, "4.5");
    Leave(e13);
    EXPECT_EQ(s.dyn.Slot[1].Code, 13);
    EXPECT_EQ(s.dyn.Slot[2].Code, 4);
    EXPECT_EQ(s.dyn.Slot[3].Code, 3);
    EXPECT_FLOAT_EQ(s.gear.PointY[8], 4.5f);
    EXPECT_FLOAT_EQ(s.gear.PointY[9], 4.5f); // the solver's copy of the pivot
    QLineEdit* e14 = Field(*d, 14);
    TypeInto(e14, "-0.25");
    Leave(e14);
    EXPECT_FLOAT_EQ(s.gear.PointX[9], -0.25f);
    EXPECT_EQ(s.dyn.UndoCount, 3);
    // Enter counts as a key of the field: leaving with it records an entry
    // even when nothing else was typed.
    QTest::mouseClick(Field(*d, 17), Qt::LeftButton);
    QTest::keyClick(Field(*d, 17), Qt::Key_Return);
    EXPECT_EQ(s.dyn.UndoCount, 4);
    EXPECT_EQ(s.dyn.Undo[1].Code, 17);
    PopUndo(s);
    // Undo takes the typed value back.
    PopUndo(s);
    EXPECT_FLOAT_EQ(s.gear.PointX[8], 0.0f);
}

TEST(FrameDimensionsDialog, EnterMovesToCloseAndCommitsWithoutClosing)
{
    AppState s = Started();
    auto d = Shown<TFrameDi>(s);
    QLineEdit* e = Field(*d, 2);
    TypeInto(e, "4");
    QTest::keyClick(e, Qt::Key_Return);
    EXPECT_EQ(e->text(), "4");
    EXPECT_TRUE(Btn(*d, "Close1")->hasFocus());
    EXPECT_TRUE(d->isVisible());
    EXPECT_FLOAT_EQ(s.gear.Stroke, 4.0f);
    EXPECT_EQ(s.dyn.UndoCount, 1);
    // Escape does nothing in a dialog without a cancel button.
    QTest::keyClick(Btn(*d, "Close1"), Qt::Key_Escape);
    EXPECT_TRUE(d->isVisible());
}

TEST(FrameDimensionsDialog, ReverseArmTravelClamps)
{
    AppState s = Started();
    Gear& g = s.gear;
    const float c = g.RevArmCentre();
    g.RevArm[4] = c + 3;
    g.RevArm[5] = c - 3;
    g.RevArm[6] = c + 0.5f;
    auto d = Shown<TFrameDi>(s);

    // RevArmNormal above RevArmMax becomes RevArmMax; non-empty positions
    // are brought within the new normal travel; the field keeps the text.
    QLineEdit* e21 = Field(*d, 21);
    TypeInto(e21, "2");
    Leave(e21);
    EXPECT_FLOAT_EQ(g.RevArmNormal, 1.3f);
    EXPECT_EQ(e21->text(), "2");
    EXPECT_FLOAT_EQ(g.RevArm[4], static_cast<float>(static_cast<long double>(c) + 1.3f));
    EXPECT_FLOAT_EQ(g.RevArm[5], static_cast<float>(static_cast<long double>(c) - 1.3f));
    EXPECT_FLOAT_EQ(g.RevArm[6], c + 0.5f);
    EXPECT_EQ(g.RevArm[7], 0.0f); // empty entries stay empty
    // No dynamic variable, no undo for the reverse arm travel.
    EXPECT_EQ(s.dyn.Slot[1].Code, 0);
    EXPECT_FALSE(s.dyn.EditDirty);
    EXPECT_EQ(s.dyn.UndoCount, 0);

    // RevArmMax below RevArmNormal becomes RevArmNormal; all nine entries,
    // empty ones included, are brought within the travel.
    QLineEdit* e22 = Field(*d, 22);
    TypeInto(e22, "0.5");
    Leave(e22);
    EXPECT_FLOAT_EQ(g.RevArmMax, 1.3f);
    EXPECT_EQ(s.dyn.UndoCount, 0);
    TypeInto(e21, ".8");
    Leave(e21);
    EXPECT_FLOAT_EQ(g.RevArmNormal, 0.8f);
    TypeInto(e22, "0.5");
    Leave(e22);
    EXPECT_FLOAT_EQ(g.RevArmMax, 0.8f);
    const float lo = static_cast<float>(static_cast<long double>(c) - 0.8f);
    const float hi = static_cast<float>(static_cast<long double>(c) + 0.8f);
    for (int i = 1; i <= 9; ++i) {
        EXPECT_GE(g.RevArm[i], lo) << i;
        EXPECT_LE(g.RevArm[i], hi) << i;
    }
    if (c < 0) {
        EXPECT_FLOAT_EQ(g.RevArm[7], 0.0f); // 0 lies inside the travel
    }
    // A larger RevArmMax is simply stored.
    TypeInto(e22, "2.5");
    Leave(e22);
    EXPECT_FLOAT_EQ(g.RevArmMax, 2.5f);
    EXPECT_EQ(s.dyn.Slot[1].Code, 0);
}

TEST(FrameDimensionsDialog, SmallButtonCommitsTheFieldFirstThenAsksForTheCloseUp)
{
    AppState s = Started();
    auto d = Shown<TFrameDi>(s);
    QLineEdit* e = Field(*d, 5);
    TypeInto(e, "2");
    QTest::mouseClick(Btn(*d, "Button9"), Qt::LeftButton);
    EXPECT_FLOAT_EQ(s.gear.EccCircleDiam, 2.0f);
    EXPECT_EQ(s.dyn.Slot[1].Code, 5);
    EXPECT_EQ(s.dyn.UndoCount, 1);
    EXPECT_EQ(s.highlight.HighlightDim, 9);
    QTest::mouseClick(Btn(*d, "Button22"), Qt::LeftButton);
    EXPECT_EQ(s.highlight.HighlightDim, 22);
    EXPECT_EQ(s.dyn.Slot[1].Code, 5); // a button alone selects nothing
}

TEST(FrameDimensionsDialog, ResetByMouseRunsTwiceByKeyboardOnce)
{
    AppState s = Started();
    auto d = Shown<TFrameDi>(s);
    QLineEdit* e = Field(*d, 1);
    TypeInto(e, "9");
    Leave(e);
    s.gear.CylDims[ciPistonWidth] = 2;
    ASSERT_EQ(s.dyn.UndoCount, 1);
    ASSERT_EQ(s.dyn.Slot[1].Code, 1);
    QPushButton* reset = Btn(*d, "ResetFrame");

    // Mouse-down: reset, slots cleared, undo kept.
    QTest::mousePress(reset, Qt::LeftButton);
    EXPECT_FLOAT_EQ(s.gear.CrankDiskDia, 8.625f);
    EXPECT_EQ(Field(*d, 1)->text(), "8.625");
    EXPECT_EQ(s.dyn.Slot[1].Code, 0);
    EXPECT_EQ(s.dyn.Slot[1].Name, kEmptySlotName);
    EXPECT_FLOAT_EQ(s.dyn.BarIncrement, 0.0f);
    EXPECT_EQ(s.dyn.UndoCount, 1);
    // The click: reset again, undo cleared.
    QTest::mouseRelease(reset, Qt::LeftButton);
    EXPECT_EQ(s.dyn.UndoCount, 0);
    EXPECT_FALSE(s.dyn.UndoButtonsEnabled);
    EXPECT_FLOAT_EQ(s.gear.CylDims[ciPistonWidth], 2.0f); // the cylinder set is not touched

    // A field with focus is committed before the reset runs.
    TypeInto(e, "9");
    QTest::mousePress(reset, Qt::LeftButton);
    EXPECT_EQ(s.dyn.UndoCount, 1);
    EXPECT_FLOAT_EQ(s.gear.CrankDiskDia, 8.625f);
    QTest::mouseRelease(reset, Qt::LeftButton);
    EXPECT_EQ(s.dyn.UndoCount, 0);

    // Keyboard: one reset with the undo history cleared.
    TypeInto(e, "9");
    Leave(e);
    ASSERT_EQ(s.dyn.UndoCount, 1);
    reset->setFocus();
    QTest::keyClick(reset, Qt::Key_Space);
    EXPECT_FLOAT_EQ(s.gear.CrankDiskDia, 8.625f);
    EXPECT_EQ(s.dyn.UndoCount, 0);
    EXPECT_EQ(s.dyn.Slot[1].Code, 0);
}

TEST(FrameDimensionsDialog, CloseRecentresTheReverseArm)
{
    AppState s = Started();
    auto d = Shown<TFrameDi>(s);
    QLineEdit* e = Field(*d, 12);
    TypeInto(e, "2.5");
    Leave(e);
    s.steam.FrontCutOffText = " 25.0";
    s.steam.RearCutOffText = " 30.0";
    s.gear.DriverAngle = 123;
    AppState expected = s;
    RecomputeRevArmCentre(expected.gear);
    ASSERT_NE(expected.gear.RevArmCentre(), s.gear.RevArmCentre());
    QTest::mouseClick(Btn(*d, "Close1"), Qt::LeftButton);
    EXPECT_FALSE(d->isVisible());
    EXPECT_EQ(d->result(), QDialog::Accepted);
    EXPECT_FLOAT_EQ(s.gear.RevArmCentre(), expected.gear.RevArmCentre());
    EXPECT_FLOAT_EQ(s.gear.RevArmPos, expected.gear.RevArmCentre());
    EXPECT_FLOAT_EQ(s.gear.DriverAngle, 123.0f);
    EXPECT_TRUE(s.steam.FrontCutOffText.empty());
    EXPECT_TRUE(s.steam.RearCutOffText.empty());
}

TEST(CylinderDimensionsDialog, LayoutAndFields)
{
    AppState s = Started();
    auto d = Shown<TCylDimen>(s);
    EXPECT_EQ(d->windowTitle(), "Cylinder Dimensions");
    EXPECT_EQ(d->size(), QSize(396, 230));
    EXPECT_EQ(Field(*d, 5)->geometry(), QRect(152, 52, 40, 13));
    EXPECT_EQ(Field(*d, 6)->geometry(), QRect(152, 78, 40, 13));
    EXPECT_EQ(Field(*d, 12)->geometry(), QRect(152, 156, 40, 13));
    EXPECT_EQ(Field(*d, 13)->geometry(), QRect(352, 0, 40, 13));
    EXPECT_EQ(Field(*d, 21)->geometry(), QRect(352, 104, 40, 13));
    EXPECT_EQ(Field(*d, 22)->geometry(), QRect(352, 130, 40, 13));
    EXPECT_EQ(Btn(*d, "Button6")->geometry(), QRect(0, 65, 8, 13));
    EXPECT_EQ(Btn(*d, "Button7")->geometry(), QRect(0, 91, 8, 13));
    EXPECT_EQ(Btn(*d, "Button22")->geometry(), QRect(202, 117, 8, 13));
    EXPECT_EQ(Btn(*d, "Reset1")->geometry(), QRect(304, 168, 90, 25));
    EXPECT_EQ(Btn(*d, "Reset1")->text(), "ResetCylDim");
    EXPECT_EQ(Btn(*d, "Close1")->geometry(), QRect(304, 192, 90, 25));
    EXPECT_TRUE(Btn(*d, "Close1")->hasFocus());
    for (int k = 1; k <= 22; ++k) EXPECT_EQ(Field(*d, k)->palette().color(QPalette::Base), QColor(192, 192, 192));
    EXPECT_EQ(Field(*d, 1)->text(), "21.000");
    EXPECT_EQ(Field(*d, 2)->text(), "0.000");
    EXPECT_EQ(Field(*d, 12)->text(), "0.375"); // bridge width front
    EXPECT_EQ(Field(*d, 22)->text(), "7.125");
    QImage img = d->grab().toImage();
    EXPECT_TRUE(DarkPixelIn(img, QRect(82, 79, 50, 11)));   // "(Piston Rod)"
    EXPECT_TRUE(DarkPixelIn(img, QRect(274, 131, 60, 11))); // "(Valve Stem)"
    EXPECT_TRUE(DarkPixelIn(img, QRect(1, 204, 250, 11)));  // second help line
}

TEST(CylinderDimensionsDialog, NoPaintedTextOfEitherDialogRunsUnderAControl)
{
    AppState s = Started();
    auto check = [](TDimensionDialog& d) {
        const QFontMetrics fm(d.font());
        for (const auto& t : d.PaintedTexts()) {
            const QRect box(t.x, t.y, fm.horizontalAdvance(QString::fromStdString(t.text)), fm.height());
            for (const QWidget* w : d.findChildren<QWidget*>())
                EXPECT_FALSE(box.intersects(w->geometry())) << t.text << " under " << w->objectName().toStdString();
        }
    };
    check(*Shown<TFrameDi>(s));
    check(*Shown<TCylDimen>(s));
}

TEST(CylinderDimensionsDialog, HeightFieldWritesPointThreeAndShowsZeroAfterASolve)
{
    AppState s = Started();
    auto d = Shown<TCylDimen>(s);
    QLineEdit* e2 = Field(*d, 2);
    TypeInto(e2, "2.5");
    Leave(e2);
    EXPECT_FLOAT_EQ(s.gear.PointY[3], 2.5f);
    EXPECT_FLOAT_EQ(s.gear.PointY[13], 6.0f);
    EXPECT_EQ(s.dyn.Slot[1].Code, 102);
    EXPECT_EQ(s.dyn.Slot[1].Name, "Cyl CL above Driver ctr");
    EXPECT_EQ(s.dyn.Undo[1].Code, 102);
    // The next solve puts the cylinder centre line back on the driver's.
    SolveLinkage(s.gear);
    Reshow(*d);
    EXPECT_EQ(Field(*d, 2)->text(), "0.000");
    // The valve stem height follows field 9 as well.
    QLineEdit* e9 = Field(*d, 9);
    TypeInto(e9, "4");
    Leave(e9);
    EXPECT_FLOAT_EQ(s.gear.Cyl(ciValveStemClToCylCl), 4.0f);
    EXPECT_FLOAT_EQ(s.gear.PointY[13], 4.0f);
    EXPECT_EQ(s.dyn.Slot[1].Name, "Valve Stem CL to Cyl CL");
    // Cylinder fields are neither limited nor normalised.
    QLineEdit* e6 = Field(*d, 6);
    TypeInto(e6, "-370");
    Leave(e6);
    EXPECT_FLOAT_EQ(s.gear.Cyl(ciPistonCtrToCrosshead), -370.0f);
}

TEST(CylinderDimensionsDialog, ResetRestoresTheSpareSlotAndLeavesTheFrameAlone)
{
    AppState s = Started();
    auto d = Shown<TCylDimen>(s);
    QLineEdit* e = Field(*d, 22);
    TypeInto(e, "8");
    Leave(e);
    ASSERT_EQ(s.dyn.UndoCount, 1);
    ASSERT_EQ(s.dyn.Undo[1].Code, 122);
    s.gear.CylDims[ciCylSpare] = 5;
    s.gear.Stroke = 4;
    QPushButton* reset = Btn(*d, "Reset1");
    QTest::mousePress(reset, Qt::LeftButton);
    EXPECT_FLOAT_EQ(s.gear.Cyl(ciValveCtrToJoint), 7.125f);
    EXPECT_FLOAT_EQ(s.gear.CylDims[ciCylSpare], 0.0f);
    EXPECT_EQ(Field(*d, 22)->text(), "7.125");
    EXPECT_EQ(s.dyn.Slot[1].Code, 0);
    EXPECT_EQ(s.dyn.UndoCount, 1);
    QTest::mouseRelease(reset, Qt::LeftButton);
    EXPECT_EQ(s.dyn.UndoCount, 0);
    EXPECT_FLOAT_EQ(s.gear.Stroke, 4.0f);

    TypeInto(e, "8");
    Leave(e);
    reset->setFocus();
    QTest::keyClick(reset, Qt::Key_Space);
    EXPECT_FLOAT_EQ(s.gear.Cyl(ciValveCtrToJoint), 7.125f);
    EXPECT_EQ(s.dyn.UndoCount, 0);
}

TEST(CylinderDimensionsDialog, SmallButtonsAskForCylinderCodes)
{
    AppState s = Started();
    auto d = Shown<TCylDimen>(s);
    QTest::mouseClick(Btn(*d, "Button2"), Qt::LeftButton);
    EXPECT_EQ(s.highlight.HighlightDim, 102);
    QTest::mouseClick(Btn(*d, "Button17"), Qt::LeftButton);
    EXPECT_EQ(s.highlight.HighlightDim, 117);
}
