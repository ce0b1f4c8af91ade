// Reference points, pivot slots and the main window's mouse selection.
#include "drawing/PivotDrawing.h"
#include "drawing/PivotSelection.h"
#include "model/Model.h"
#include "model/NumberText.h"
#include "platform/RecordingCanvas.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

AppState Started()
{
    AppState s;
    StartupModel(s);
    s.gear.DriverAngle = 0;
    SolveLinkage(s.gear);
    MapPointsToScreen(s.gear, s.view);
    return s;
}

// Screen pixel of a solved point.
int Sx(const AppState& s, int i) { return WorldToScreenX(s.view, s.gear.PointX[i]); }
int Sy(const AppState& s, int i) { return WorldToScreenY(s.view, s.gear.PointY[i]); }

} // namespace

TEST(ReferencePoints, LeftAndRightClicksPlaceThePointsOnlyInTheDrawingArea)
{
    AppState s = Started();
    s.display.RefPointsOn = true;

    // The control strip: left of x 248 above y 121, and everything above y 68.
    EXPECT_FALSE(InDrawingArea(100, 100));
    EXPECT_FALSE(InDrawingArea(247, 68));
    EXPECT_FALSE(InDrawingArea(600, 67));
    EXPECT_TRUE(InDrawingArea(248, 68));
    EXPECT_TRUE(InDrawingArea(0, 121));

    MouseDownResult r = PivotMouseDown(s, MouseButton::Left, 100, 100);
    EXPECT_FALSE(r.enableRefPt1Zero);
    EXPECT_EQ(s.gear.PointX[19], 0.0f);
    EXPECT_EQ(s.gear.PointY[19], 0.0f);

    r = PivotMouseDown(s, MouseButton::Left, 300, 100);
    EXPECT_TRUE(r.enableRefPt1Zero);
    EXPECT_FALSE(r.enableRefPt2Zero);
    EXPECT_FLOAT_EQ(s.gear.PointX[19], 200.0f / 22.0f);
    EXPECT_FLOAT_EQ(s.gear.PointY[19], 160.0f / 22.0f);
    EXPECT_EQ(s.pivots.MouseX, 300);
    EXPECT_EQ(s.pivots.MouseY, 100);
    EXPECT_EQ(s.gear.PointX[20], 0.0f);

    r = PivotMouseDown(s, MouseButton::Right, 122, 304);
    EXPECT_TRUE(r.enableRefPt2Zero);
    EXPECT_FLOAT_EQ(s.gear.PointX[20], 1.0f);
    EXPECT_FLOAT_EQ(s.gear.PointY[20], -2.0f);
    EXPECT_FLOAT_EQ(s.gear.PointX[19], 200.0f / 22.0f); // point 1 stays

    // With the reference points off a click places nothing.
    s.display.RefPointsOn = false;
    r = PivotMouseDown(s, MouseButton::Left, 500, 300);
    EXPECT_FALSE(r.enableRefPt1Zero);
    EXPECT_FLOAT_EQ(s.gear.PointX[19], 200.0f / 22.0f);
}

TEST(ReferencePoints, NearestPivotSkipsTheReferencePointsAndTheLowestIndexWinsATie)
{
    AppState s = Started();
    Gear& g = s.gear;
    for (int i = 0; i < kPointCount; ++i) {
        g.PointX[i] = 500.0f + static_cast<float>(i);
        g.PointY[i] = 500.0f;
    }
    g.PointX[19] = 10;
    g.PointY[19] = 10;
    g.PointX[20] = 10; // the other reference point on top of it is no pivot
    g.PointY[20] = 10;
    g.PointX[7] = 11; // distance 1 + 1
    g.PointY[7] = 11;
    g.PointX[4] = 12; // distance 2 + 0: a tie with point 7
    g.PointY[4] = 10;
    EXPECT_EQ(NearestPivotForMouse(g), 4);
    g.PointX[4] = 12.5f;
    EXPECT_EQ(NearestPivotForMouse(g), 7);

    // The mouse searches 1..18, the line dialog 1..26.
    g.PointX[23] = 10;
    g.PointY[23] = 10.5f;
    EXPECT_EQ(NearestPivotForMouse(g), 7);
    EXPECT_EQ(NearestPivotForDialog(g, 19), 23);

    // Nothing nearer than 10000 (or only NaN) leaves the origin.
    for (int i = 0; i < kPointCount; ++i) g.PointX[i] = std::numeric_limits<float>::quiet_NaN();
    EXPECT_EQ(NearestPivotForDialog(g, 19), 0);
}

TEST(ReferencePoints, PointIndicesFromOutsideNeverLeaveThePointTable)
{
    EXPECT_EQ(SafePointIndex(0), 0);
    EXPECT_EQ(SafePointIndex(26.4f), 26);
    EXPECT_EQ(SafePointIndex(-0.4f), 0);
    EXPECT_EQ(SafePointIndex(26.6f), -1);
    EXPECT_EQ(SafePointIndex(-0.6f), -1);
    EXPECT_EQ(SafePointIndex(1e38f), -1);
    EXPECT_EQ(SafePointIndex(-1e38f), -1);
    EXPECT_EQ(SafePointIndex(std::numeric_limits<float>::quiet_NaN()), -1);
    EXPECT_EQ(SafePointIndex(std::numeric_limits<float>::infinity()), -1);
    EXPECT_EQ(PointIndexOrOrigin(1e38f), 0);
    EXPECT_EQ(PointIndexOrOrigin(17.0f), 17);

    // A slot holding a foreign index shows the origin's coordinates.
    AppState s = Started();
    s.display.PivotDataOn = true;
    s.pivots.PivotSlotSet[3] = true;
    s.pivots.PivotOfSlot[3] = std::numeric_limits<float>::quiet_NaN();
    s.pivots.PivotSlotSet[4] = true;
    s.pivots.PivotOfSlot[4] = -7e30f;
    RecordingCanvas c;
    DrawPivotData(c, s);
    ASSERT_NE(c.FindText("  0.000"), nullptr);
    EXPECT_EQ(c.TextsContaining("0.000").size(), 5u); // two pairs and their distance
}

TEST(PivotSlots, ASlotNumberThenAClickOnTheDrawingAssignsTheNearestPivot)
{
    AppState s = Started();
    s.display.RefPointsOn = true;
    s.display.PivotDataOn = true;

    // Slot 2's number sits in row 160: its box is 162 < y < 171, 1 <= x < 20.
    MouseDownResult r = PivotMouseDown(s, MouseButton::Left, 5, 165);
    EXPECT_TRUE(r.slotChosen);
    EXPECT_EQ(s.pivots.PivotSlot, 2);
    EXPECT_TRUE(s.pivots.PivotSlotPending);
    EXPECT_TRUE(s.pivots.PivotSlotSet[2]);

    // A second slot click while slot 2 is pending is ignored.
    r = PivotMouseDown(s, MouseButton::Left, 5, 185);
    EXPECT_FALSE(r.slotChosen);
    EXPECT_FALSE(r.pivotAssigned);
    EXPECT_EQ(s.pivots.PivotSlot, 2);
    EXPECT_TRUE(s.pivots.PivotSlotPending);
    EXPECT_FALSE(s.pivots.PivotSlotSet[4]);
    EXPECT_EQ(s.pivots.PivotOfSlot[2], 0.0f);

    // The next click near the crosshead (point 3) gives slot 2 its pivot.
    r = PivotMouseDown(s, MouseButton::Left, Sx(s, 3) + 2, Sy(s, 3) - 1);
    EXPECT_TRUE(r.pivotAssigned);
    EXPECT_FALSE(s.pivots.PivotSlotPending);
    EXPECT_EQ(s.pivots.NearestPoint, 3);
    EXPECT_EQ(s.pivots.PivotOfSlot[2], 3.0f);

    // A right click selects no slot; a click just outside the boxes neither.
    r = PivotMouseDown(s, MouseButton::Right, 5, 155);
    EXPECT_FALSE(r.slotChosen);
    r = PivotMouseDown(s, MouseButton::Left, 20, 155);
    EXPECT_FALSE(r.slotChosen);
    r = PivotMouseDown(s, MouseButton::Left, 5, 152);
    EXPECT_FALSE(r.slotChosen);
    r = PivotMouseDown(s, MouseButton::Left, 5, 153);
    EXPECT_TRUE(r.slotChosen);
    EXPECT_EQ(s.pivots.PivotSlot, 1);
}

TEST(PivotSlots, LargeFontMovesTheSlotRowsAndTheirHitBoxes)
{
    AppState s = Started();
    s.display.RefPointsOn = true;
    s.display.PivotDataOn = true;

    // Small font: y 190 is in slot 4's box (182 < y < 191).
    EXPECT_TRUE(PivotMouseDown(s, MouseButton::Left, 10, 190).slotChosen);
    EXPECT_EQ(s.pivots.PivotSlot, 4);
    s.pivots.PivotSlotPending = false;

    s.view.FontScaleX = 1.27f;
    s.view.FontScaleY = 1.22f;
    const SlotBox b1 = PivotSlotBox(s.view, 1);
    EXPECT_EQ(b1.top, 185);    // round(1.22 * 152)
    EXPECT_EQ(b1.bottom, 196); // round(1.22 * 161)
    EXPECT_EQ(b1.right, 25);   // round(20 * 1.27)
    EXPECT_TRUE(PivotMouseDown(s, MouseButton::Left, 22, 190).slotChosen);
    EXPECT_EQ(s.pivots.PivotSlot, 1);
    s.pivots.PivotSlotPending = false;
    EXPECT_FALSE(PivotMouseDown(s, MouseButton::Left, 10, 245).slotChosen); // between slots 5 and 6
    EXPECT_TRUE(PivotMouseDown(s, MouseButton::Left, 10, 250).slotChosen);  // 246 < y < 257
    EXPECT_EQ(s.pivots.PivotSlot, 6);

    // The printed slot numbers move with the boxes.
    RecordingCanvas c;
    DrawPivotData(c, s);
    const CanvasOp* one = c.FindText("1");
    ASSERT_NE(one, nullptr);
    EXPECT_EQ(one->x1, 4);   // round(3 * 1.27)
    EXPECT_EQ(one->y1, 183); // round(150 * 1.22)
    EXPECT_EQ(one->colour, clRed);
    const CanvasOp* head = c.FindText("    Pivot Data");
    ASSERT_NE(head, nullptr);
    EXPECT_EQ(head->y1, 156); // round(128 * 1.22)
}

TEST(PivotSlots, PanelListsTheSlotsAndThePairDistances)
{
    AppState s = Started();
    Gear& g = s.gear;
    s.display.PivotDataOn = true;
    RecordingCanvas c;
    DrawPivotData(c, s);
    EXPECT_NE(c.FindText("    Pivot Data"), nullptr);
    EXPECT_NE(c.FindText("No.  Vert     Horz"), nullptr);
    for (int k = 1; k <= 6; ++k) {
        const CanvasOp* n = c.FindText(std::to_string(k));
        ASSERT_NE(n, nullptr);
        EXPECT_EQ(n->x1, 3);
        EXPECT_EQ(n->y1, 150 + 10 * (k - 1));
        EXPECT_EQ(n->colour, clRed);
    }
    EXPECT_EQ(c.OfKind(CanvasOp::Text).size(), 8u); // nothing assigned yet

    s.pivots.PivotSlotSet[1] = true;
    s.pivots.PivotOfSlot[1] = 2; // crank pin
    s.pivots.PivotSlotSet[2] = true;
    s.pivots.PivotOfSlot[2] = 3; // crosshead
    s.pivots.PivotSlotSet[5] = true;
    s.pivots.PivotOfSlot[5] = 14;
    c.Reset();
    DrawPivotData(c, s);
    const auto texts = c.OfKind(CanvasOp::Text);
    auto at = [&](int x, int y) -> const CanvasOp* {
        for (const CanvasOp& op : texts)
            if (op.x1 == x && op.y1 == y) return &op;
        return nullptr;
    };
    ASSERT_NE(at(12, 150), nullptr);
    EXPECT_EQ(at(12, 150)->text, FormatFixed(g.PointY[2], 7, 3));
    EXPECT_EQ(at(50, 150)->text, FormatFixed(g.PointX[2], 7, 3));
    EXPECT_EQ(at(50, 150)->colour, clBlack);
    EXPECT_EQ(at(50, 160)->text, FormatFixed(g.PointX[3], 7, 3));
    const long double d = std::hypot(static_cast<long double>(g.PointX[2]) - g.PointX[3],
                                     static_cast<long double>(g.PointY[2]) - g.PointY[3]);
    ASSERT_NE(at(90, 155), nullptr);
    EXPECT_EQ(at(90, 155)->text, FormatFixed(d, 7, 3));
    EXPECT_EQ(at(90, 175), nullptr); // pair 3/4 not set
    EXPECT_EQ(at(90, 195), nullptr); // slot 6 not set
    // The slot number beside its pivot on the drawing, in window pixels.
    const CanvasOp* mark = at(ToPixel(g.PointX[3] * 22.0L + 104), ToPixel(-g.PointY[3] * 22.0L + 248));
    ASSERT_NE(mark, nullptr);
    EXPECT_EQ(mark->text, "2");
    EXPECT_EQ(mark->colour, clRed);
    EXPECT_EQ(c.FontColour(), clBlack);

    s.display.PivotDataOn = false;
    c.Reset();
    DrawPivotData(c, s);
    EXPECT_TRUE(c.Ops().empty());
}

TEST(PivotSlots, SelectionMessagesFollowTheLineDialogsReference)
{
    AppState s = Started();
    RecordingCanvas c;
    DrawPivotMessages(c, s);
    EXPECT_TRUE(c.Ops().empty());

    s.overlay.LinePivotPending = true;
    s.overlay.ReferenceChoice = 2;
    DrawPivotMessages(c, s);
    const CanvasOp* m = c.FindText("STOP MOTION AND SELECT PIVOT 1");
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(m->x1, 10);
    EXPECT_EQ(m->y1, 130);
    EXPECT_EQ(m->colour, clRed);
    EXPECT_TRUE(m->bold);
    EXPECT_NE(c.FindText("USE LEFT MOUSE BUTTON"), nullptr);
    EXPECT_EQ(c.FindText("MOVE MOTION IF NECESSARY TO CLEAR PIVOT")->y1, 156);
    EXPECT_EQ(c.FontColour(), clBlack);
    EXPECT_FALSE(c.FontBold());

    s.overlay.ReferenceChoice = 3;
    s.view.FontScaleX = 1.27f;
    s.view.FontScaleY = 1.22f;
    c.Reset();
    DrawPivotMessages(c, s);
    const CanvasOp* two = c.FindText("USE LEFT MOUSE BUTTON FIRST THEN RIGHT");
    ASSERT_NE(two, nullptr);
    EXPECT_EQ(two->x1, 13);  // round(10 * 1.27)
    EXPECT_EQ(two->y1, 174); // round(143 * 1.22)
    EXPECT_NE(c.FindText("STOP MOTION AND SELECT PIVOT 1 AND PIVOT 2"), nullptr);
    EXPECT_NE(c.FindText("MOVE MOTION IF NECESSARY TO CLEAR PIVOTS"), nullptr);
}

TEST(ReferencePoints, MarksShowCrossesCoordinatesAndTheDifference)
{
    AppState s = Started();
    Gear& g = s.gear;
    g.PointX[19] = 1;
    g.PointY[19] = 2;
    g.PointX[20] = 4;
    g.PointY[20] = 6;
    MapPointsToScreen(g, s.view);
    RecordingCanvas c;
    DrawReferenceMarks(c, s);
    EXPECT_TRUE(c.Ops().empty());

    s.display.RefPointsOn = true;
    DrawReferenceMarks(c, s);
    const int x1 = 122, y1 = 216, x2 = 188, y2 = 128;
    EXPECT_TRUE(c.HasLine(x1, y1 - 10, x1, y1 + 10));
    EXPECT_TRUE(c.HasLine(x1 - 10, y1, x1 + 10, y1));
    EXPECT_TRUE(c.HasLine(x2, y2 - 10, x2, y2 + 10));
    EXPECT_TRUE(c.HasLine(x2 - 10, y2, x2 + 10, y2));
    EXPECT_EQ(c.FindText("Pt1V  2.000")->y1, 71);
    EXPECT_EQ(c.FindText("Pt1H  1.000")->y1, 83);
    EXPECT_EQ(c.FindText("Pt2V  6.000")->y1, 95);
    EXPECT_EQ(c.FindText("Pt2H  4.000")->x1, 143);
    EXPECT_EQ(c.FindText("1")->x1, x1 + 3);
    EXPECT_EQ(c.FindText("2")->y1, y2 - 17);
    EXPECT_EQ(c.FindText("-4.000")->x1, 210);
    EXPECT_EQ(c.FindText("-3.000")->y1, 83);
    EXPECT_EQ(c.FindText("Pt1-Pt2")->x1, 207);
    EXPECT_EQ(c.FindText(" 5.000")->x1, 209);
}

TEST(ReferencePoints, BarsStepByThousandthsAndZeroButtonsReset)
{
    AppState s = Started();
    Gear& g = s.gear;
    // An arrow click, the bar put back to 0, a second arrow click.
    RefBarChange(s, RefBar::Ref1Vert, 1);
    RefBarChange(s, RefBar::Ref1Vert, 0);
    RefBarChange(s, RefBar::Ref1Vert, 1);
    RefBarChange(s, RefBar::Ref1Vert, 0);
    EXPECT_NEAR(g.PointY[19], 0.002, 1e-7);
    // A page click to the left.
    RefBarChange(s, RefBar::Ref1Horz, -25);
    RefBarChange(s, RefBar::Ref1Horz, 0);
    EXPECT_NEAR(g.PointX[19], -0.025, 1e-7);
    RefBarChange(s, RefBar::Ref2Vert, -1);
    RefBarChange(s, RefBar::Ref2Horz, 25);
    EXPECT_NEAR(g.PointY[20], -0.001, 1e-7);
    EXPECT_NEAR(g.PointX[20], 0.025, 1e-7);
    // A drag to 100 moves by 0.1.
    RefBarChange(s, RefBar::Ref2Horz, 0);
    RefBarChange(s, RefBar::Ref2Horz, 100);
    EXPECT_NEAR(g.PointX[20], 0.125, 1e-6);

    ZeroRefPoint(s, 2);
    EXPECT_EQ(g.PointX[20], 0.0f);
    EXPECT_EQ(g.PointY[20], 0.0f);
    EXPECT_EQ(s.view.Ref2HorzLast, 0);
    EXPECT_NEAR(g.PointY[19], 0.002, 1e-7); // point 1 untouched
    ZeroRefPoint(s, 1);
    EXPECT_EQ(g.PointY[19], 0.0f);
}

TEST(ReferencePoints, ModeSwitchesAndTheLineDialogRoundTrip)
{
    AppState s = Started();
    EXPECT_TRUE(RefPointsSwitch(s));
    s.display.PivotDataOn = true;
    EXPECT_FALSE(RefPointsSwitch(s)); // ends pivot data too
    EXPECT_FALSE(s.display.PivotDataOn);
    EXPECT_TRUE(RefPointsSwitch(s));

    // A line on one pivot reopens the dialog on the left click.
    s.overlay.TypeChoice = 0;
    s.overlay.ColourChoice = 2;
    s.overlay.ReferenceChoice = 1;
    EXPECT_TRUE(PivotMouseDown(s, MouseButton::Left, 300, 300).openLineDialog);
    EXPECT_FALSE(PivotMouseDown(s, MouseButton::Right, 300, 300).openLineDialog);
    // Two pivots: left first, then right.
    s.overlay.ReferenceChoice = 3;
    s.pivots.LeftDownSeen = false;
    EXPECT_FALSE(PivotMouseDown(s, MouseButton::Right, 300, 300).openLineDialog);
    EXPECT_FALSE(PivotMouseDown(s, MouseButton::Left, 300, 300).openLineDialog);
    EXPECT_TRUE(PivotMouseDown(s, MouseButton::Right, 320, 300).openLineDialog);
    EXPECT_FALSE(s.pivots.LeftDownSeen);
    EXPECT_FALSE(PivotMouseDown(s, MouseButton::Right, 320, 300).openLineDialog);
    // No colour chosen: nothing reopens.
    s.overlay.ColourChoice = -1;
    s.overlay.ReferenceChoice = 0;
    EXPECT_FALSE(PivotMouseDown(s, MouseButton::Left, 300, 300).openLineDialog);

    // A click while a dimension is highlighted ends the view at the next frame.
    s.highlight.HighlightDim = 7;
    s.highlight.HighlightTicks = 12;
    PivotMouseDown(s, MouseButton::Left, 50, 50);
    EXPECT_EQ(s.highlight.HighlightTicks, 1005);
}
