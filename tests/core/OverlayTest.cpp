// The lines and circles overlay: drawing, committing items and the dialog's
// choices and rows.
#include "drawing/LineItems.h"
#include "drawing/OverlayDrawing.h"
#include "model/Model.h"
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
    return s;
}

void SetRefPoints(AppState& s, float x1, float y1, float x2, float y2)
{
    s.gear.PointX[19] = x1;
    s.gear.PointY[19] = y1;
    s.gear.PointX[20] = x2;
    s.gear.PointY[20] = y2;
}

int Px(long double x) { return ToPixel(x * 22 + 100); }
int Py(long double y) { return ToPixel(260 - y * 22); }

// Places an item through the dialog as a user does with reference "0,0".
void PlaceFixed(LineDialogModel& m, int type, int colour)
{
    m.Activate();
    m.ChooseType(type);
    m.ChooseColour(colour);
    m.ChooseReference(0);
    m.DrawClose();
}

} // namespace

TEST(OverlayDrawing, EveryKindAndReferencePair)
{
    AppState s = Started();
    Gear& g = s.gear;
    const long double p1x = g.PointX[2], p1y = g.PointY[2]; // crank pin
    const long double p2x = g.PointX[16], p2y = g.PointY[16];
    for (int kind : {-1, 0, 1, 2}) {
        for (int ref : {-1, 0, 1, 2, 3, 4}) {
            AppState t = s;
            OverlayItem& it = t.overlay.Item[5];
            it = OverlayItem{};
            it.X1 = 1;
            it.Y1 = 2;
            it.X2 = 4;
            it.Y2 = 6;
            it.Kind = static_cast<float>(kind);
            it.Reference = static_cast<float>(ref);
            it.Colour = 255;
            it.Pivot1Index = 2;
            it.Pivot2Index = 16;
            RecordingCanvas c;
            DrawOverlay(c, t);
            const auto lines = c.OfKind(CanvasOp::Line);
            const auto ellipses = c.OfKind(CanvasOp::Ellipse);
            SCOPED_TRACE(testing::Message() << "kind " << kind << " ref " << ref);
            if (kind == 0 && ref >= 0 && ref <= 3) {
                ASSERT_EQ(lines.size(), 1u);
                EXPECT_TRUE(ellipses.empty());
                EXPECT_EQ(lines[0].colour, clRed);
                const CanvasOp& l = lines[0];
                if (ref == 0) {
                    EXPECT_TRUE(c.HasLine(Px(1), Py(2), Px(4), Py(6)));
                } else if (ref == 1) {
                    EXPECT_TRUE(c.HasLine(Px(p1x + 1), Py(p1y + 2), Px(p1x + 4), Py(p1y + 6)));
                } else if (ref == 2) {
                    EXPECT_TRUE(c.HasLine(Px(p1x + 1), Py(p1y + 2), Px(4), Py(6)));
                } else {
                    EXPECT_TRUE(c.HasLine(Px(p1x + 1), Py(p1y + 2), Px(p2x + 4), Py(p2y + 6)))
                        << l.x1 << "," << l.y1 << " " << l.x2 << "," << l.y2;
                }
            } else if (kind == 1 && (ref == 0 || ref == 1)) {
                EXPECT_TRUE(lines.empty());
                ASSERT_EQ(ellipses.size(), 1u);
                const long double cx = ref == 0 ? 1 : p1x + 1, cy = ref == 0 ? 2 : p1y + 2, r = 4;
                const CanvasOp& e = ellipses[0];
                EXPECT_EQ(e.x1, ToPixel((cx - r) * 22 + 100));
                EXPECT_EQ(e.y1, ToPixel(260 - (cy - r) * 22 + 1));
                EXPECT_EQ(e.x2, ToPixel((cx + r) * 22 + 100 + 1));
                EXPECT_EQ(e.y2, ToPixel(260 - (cy + r) * 22));
            } else {
                EXPECT_TRUE(lines.empty());
                EXPECT_TRUE(ellipses.empty());
            }
            EXPECT_EQ(c.PenColour(), clBlack);
        }
    }
}

TEST(OverlayDrawing, CircleBoxAndUnusedItemsAndForeignValues)
{
    AppState s = Started();
    OverlayItem& it = s.overlay.Item[1];
    it.Kind = 1;
    it.Reference = 0;
    it.Colour = 16711680;
    it.X1 = 1;
    it.Y1 = 2;
    it.X2 = 5;
    // Items with Kind -1 are never drawn, whatever they hold.
    for (int k = 2; k <= 20; ++k) {
        OverlayItem& u = s.overlay.Item[k];
        u.Kind = -1;
        u.Reference = 0;
        u.Colour = 255;
        u.X1 = 3;
        u.X2 = 9;
    }
    RecordingCanvas c;
    DrawOverlay(c, s);
    ASSERT_EQ(c.Ops().size(), 1u);
    const CanvasOp& e = c.Ops()[0];
    EXPECT_EQ(e.kind, CanvasOp::Ellipse);
    EXPECT_EQ(e.colour, clBlue);
    EXPECT_EQ(e.x1, 12);  // round((1 - 5) * 22 + 100)
    EXPECT_EQ(e.y1, 327); // round(260 - (2 - 5) * 22 + 1)
    EXPECT_EQ(e.x2, 233); // round((1 + 5) * 22 + 100 + 1)
    EXPECT_EQ(e.y2, 106); // round(260 - (2 + 5) * 22)

    // Pivot indices naming no point draw nothing; colours that are no colour
    // draw in black; huge coordinates stay finite pixels.
    const float nan = std::numeric_limits<float>::quiet_NaN();
    AppState t = Started();
    const float badIndex[] = {27, -1, 1e38f, nan};
    for (int k = 0; k < 4; ++k) {
        OverlayItem& a = t.overlay.Item[k + 1];
        a.Kind = 0;
        a.Reference = 3;
        a.Colour = 255;
        a.Pivot1Index = badIndex[k];
        a.Pivot2Index = 2;
        OverlayItem& b = t.overlay.Item[k + 5];
        b.Kind = 0;
        b.Reference = 3;
        b.Colour = 255;
        b.Pivot1Index = 2;
        b.Pivot2Index = badIndex[k];
        OverlayItem& d = t.overlay.Item[k + 9];
        d.Kind = 1;
        d.Reference = 1;
        d.Pivot1Index = badIndex[k];
    }
    OverlayItem& big = t.overlay.Item[13];
    big.Kind = 0;
    big.Reference = 0;
    big.Colour = nan;
    big.X1 = 1e38f;
    big.Y1 = -1e38f;
    big.X2 = nan;
    OverlayItem& last = t.overlay.Item[20];
    last.Kind = 0;
    last.Reference = 1;
    last.Colour = -5;
    last.Pivot1Index = 26.3f; // rounds to the last point of the table
    c.Reset();
    DrawOverlay(c, t);
    const auto lines = c.OfKind(CanvasOp::Line);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].colour, clBlack);
    EXPECT_EQ(lines[0].x1, kPixelLimit);
    EXPECT_EQ(lines[0].y1, kPixelLimit);
    EXPECT_EQ(lines[0].x2, 0);
    EXPECT_EQ(lines[1].colour, clBlack);
    EXPECT_TRUE(c.OfKind(CanvasOp::Ellipse).empty());
}

TEST(LineItems, FixedLineAndCircleShowTheirValuesAndStayPut)
{
    AppState s = Started();
    SetRefPoints(s, 1, 2, 4, 6);
    LineDialogModel m(s);
    PlaceFixed(m, 0, 1);
    const auto& row1 = m.RowAt(1);
    EXPECT_EQ(row1.edit[0], "  2.000");
    EXPECT_EQ(row1.edit[1], "  1.000");
    EXPECT_EQ(row1.edit[2], "  6.000");
    EXPECT_EQ(row1.edit[3], "  4.000");
    EXPECT_EQ(row1.type, "Line");
    EXPECT_EQ(row1.colour, "Red");
    EXPECT_EQ(row1.ref, "0 , 0");
    const OverlayItem& line = s.overlay.Item[1];
    EXPECT_EQ(line.Kind, 0.0f);
    EXPECT_EQ(line.Colour, 255.0f);
    EXPECT_EQ(line.Reference, 0.0f);
    EXPECT_EQ(line.X1, 1.0f);
    EXPECT_EQ(line.Y2, 6.0f);
    EXPECT_EQ(s.overlay.CurrentItem, 2);
    EXPECT_EQ(s.overlay.TypeChoice, -1);
    EXPECT_FALSE(m.DrawButEnabled());

    PlaceFixed(m, 1, 5);
    const OverlayItem& circle = s.overlay.Item[2];
    EXPECT_EQ(circle.X2, 5.0f);
    EXPECT_EQ(circle.Y2, 6.0f); // kept, not used for drawing
    EXPECT_EQ(circle.Colour, 8421504.0f);
    EXPECT_EQ(m.RowAt(2).edit[2], "");
    EXPECT_EQ(m.RowAt(2).edit[3], "  5.000");
    EXPECT_EQ(m.RowAt(2).type, "Circle");
    EXPECT_EQ(m.RowAt(2).colour, "Gray");
    // The radius column of a circle row refuses typing; the line row takes it.
    EXPECT_FALSE(m.AcceptKey(2, 2, "", '5'));
    EXPECT_FALSE(m.AcceptKey(2, 2, "", '\b'));
    EXPECT_TRUE(m.AcceptKey(2, 3, "", '5'));
    EXPECT_TRUE(m.AcceptKey(1, 2, "", '5'));

    // Fixed items do not move while the gear turns.
    RecordingCanvas a, b;
    DrawOverlay(a, s);
    s.gear.DriverAngle = 135;
    SolveLinkage(s.gear);
    DrawOverlay(b, s);
    ASSERT_EQ(a.Ops().size(), 2u);
    ASSERT_EQ(b.Ops().size(), 2u);
    for (size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(a.Ops()[i].x1, b.Ops()[i].x1);
        EXPECT_EQ(a.Ops()[i].y2, b.Ops()[i].y2);
    }
    EXPECT_TRUE(a.HasLine(Px(1), Py(2), Px(4), Py(6)));
}

TEST(LineItems, AttachedItemsFollowTheirPivots)
{
    AppState s = Started();
    Gear& g = s.gear;
    g.DriverAngle = 40;
    SolveLinkage(g);
    // Reference points beside the crank pin (2) and the crosshead (3).
    const float r1x = g.PointX[2] + 0.3f, r1y = g.PointY[2] - 0.2f;
    const float r2x = g.PointX[3] - 0.25f, r2y = g.PointY[3] + 0.15f;
    SetRefPoints(s, r1x, r1y, r2x, r2y);

    LineDialogModel m(s);
    m.SelectRow(4);
    m.Activate();
    m.ChooseType(0);
    m.ChooseColour(2);
    LineOp op = m.ChooseReference(3);
    EXPECT_TRUE(op.close);
    EXPECT_TRUE(s.overlay.LinePivotPending);
    EXPECT_EQ(s.overlay.CurrentItem, 3);
    EXPECT_EQ(m.RowAt(4).ref, "Piv1/P2");

    // The pick: the reopened dialog attaches the pivots nearest to the points.
    m.Activate();
    EXPECT_EQ(s.overlay.CurrentItem, 4);
    const OverlayItem& it = s.overlay.Item[4];
    EXPECT_EQ(it.Pivot1Index, 2.0f);
    EXPECT_EQ(it.Pivot2Index, 3.0f);
    EXPECT_EQ(it.Pivot1X0, g.PointX[2]);
    EXPECT_EQ(it.Pivot2Y0, g.PointY[3]);
    m.DrawClose();
    EXPECT_FALSE(s.overlay.LinePivotPending);
    EXPECT_EQ(s.overlay.CurrentItem, 5);
    // Offsets stored as their texts read.
    EXPECT_NEAR(it.X1, 0.3, 1e-6);
    EXPECT_NEAR(it.Y1, -0.2, 1e-6);
    EXPECT_NEAR(it.X2, -0.25, 1e-6);
    EXPECT_NEAR(it.Y2, 0.15, 1e-6);
    EXPECT_EQ(m.RowAt(4).edit[0], " -0.200");
    EXPECT_EQ(m.RowAt(4).edit[3], " -0.250");

    // At the angle of attachment the line lies on the reference points.
    RecordingCanvas c;
    DrawOverlay(c, s);
    EXPECT_TRUE(c.HasLine(Px(r1x), Py(r1y), Px(r2x), Py(r2y)));
    // Elsewhere it moves with both pivots.
    g.DriverAngle = 200;
    SolveLinkage(g);
    c.Reset();
    DrawOverlay(c, s);
    EXPECT_TRUE(
        c.HasLine(Px(g.PointX[2] + 0.3L), Py(g.PointY[2] - 0.2L), Px(g.PointX[3] - 0.25L), Py(g.PointY[3] + 0.15L)));
    EXPECT_FALSE(c.HasLine(Px(r1x), Py(r1y), Px(r2x), Py(r2y)));

    // A circle on one pivot: the radius runs from reference point 1 as it was
    // when the dialog opened to reference point 2.
    g.DriverAngle = 40;
    SolveLinkage(g);
    SetRefPoints(s, g.PointX[5], g.PointY[5] + 1, g.PointX[5] + 3, g.PointY[5] + 5);
    m.Activate(); // captures reference point 1
    m.ChooseType(1);
    m.ChooseColour(0);
    op = m.ChooseReference(1);
    EXPECT_TRUE(op.close);
    s.gear.PointX[19] = g.PointX[5]; // the pick right on the eccentric centre
    s.gear.PointY[19] = g.PointY[5];
    m.Activate();
    EXPECT_EQ(s.overlay.Item[5].Pivot1Index, 5.0f);
    m.DrawClose();
    EXPECT_EQ(s.overlay.Item[5].X2, 5.0f);
    EXPECT_NEAR(s.overlay.Item[5].Y1, 1.0, 1e-6);
    EXPECT_EQ(m.RowAt(5).edit[2], "");
    c.Reset();
    DrawOverlay(c, s);
    const auto e = c.OfKind(CanvasOp::Ellipse);
    ASSERT_EQ(e.size(), 1u);
    EXPECT_EQ(e[0].x1, ToPixel((g.PointX[5] - 5.0L) * 22 + 100));
}

TEST(LineItems, ChoicesOutOfOrderBeepAndAreUndone)
{
    AppState s = Started();
    LineDialogModel m(s);
    m.Activate();
    // Both reference points at (0, 0): the type beeps and closes the dialog.
    LineOp op = m.ChooseType(0);
    EXPECT_TRUE(op.beep);
    EXPECT_TRUE(op.close);
    EXPECT_EQ(s.overlay.TypeChoice, -1);

    SetRefPoints(s, 1, 2, 4, 6);
    op = m.ChooseColour(1);
    EXPECT_TRUE(op.beep);
    EXPECT_EQ(s.overlay.ColourChoice, -1);
    EXPECT_FALSE(m.ChooseType(1).beep);
    op = m.ChooseReference(0);
    EXPECT_TRUE(op.beep);
    EXPECT_EQ(s.overlay.ReferenceChoice, -1);
    EXPECT_FALSE(m.DrawButEnabled());
    EXPECT_FALSE(m.ChooseColour(3).beep);
    EXPECT_EQ(m.RowAt(1).colour, "Yellow");

    // A circle cannot hang between two pivots: the item is cleared.
    op = m.ChooseReference(3);
    EXPECT_TRUE(op.beep);
    EXPECT_FALSE(op.close);
    EXPECT_EQ(s.overlay.Item[1].Kind, -1.0f);
    EXPECT_EQ(s.overlay.Item[1].X1, 0.0f);
    EXPECT_EQ(m.RowAt(1).type, "");
    EXPECT_EQ(s.overlay.TypeChoice, -1);
    EXPECT_FALSE(s.overlay.LinePivotPending);
    EXPECT_FALSE(m.DrawButEnabled());
    EXPECT_EQ(s.overlay.CurrentItem, 1);

    // "Close" abandons the choices and "Draw Close" goes off with them.
    m.ChooseType(0);
    m.ChooseColour(0);
    m.ChooseReference(0);
    EXPECT_TRUE(m.DrawButEnabled());
    op = m.CloseDialog();
    EXPECT_TRUE(op.close);
    EXPECT_FALSE(m.DrawButEnabled());
    EXPECT_EQ(s.overlay.ReferenceChoice, -1);
}

TEST(LineItems, DrawCloseOnItemTwentyBeepsAndStays)
{
    AppState s = Started();
    SetRefPoints(s, 1, 2, 4, 6);
    LineDialogModel m(s);
    m.SelectRow(20);
    m.Activate();
    m.ChooseType(0);
    m.ChooseColour(4);
    m.ChooseReference(0);
    LineOp op = m.DrawClose();
    EXPECT_TRUE(op.beep);
    EXPECT_TRUE(op.close);
    EXPECT_EQ(s.overlay.CurrentItem, 20);
    EXPECT_EQ(s.overlay.Item[20].Colour, 16711680.0f);
    // The next item overwrites item 20 again.
    SetRefPoints(s, 7, 8, 9, 10);
    m.Activate();
    m.ChooseType(0);
    m.ChooseColour(1);
    m.ChooseReference(0);
    EXPECT_TRUE(m.DrawClose().beep);
    EXPECT_EQ(s.overlay.Item[20].X1, 7.0f);
    EXPECT_EQ(s.overlay.Item[20].Colour, 255.0f);
    EXPECT_EQ(m.RowAt(20).colour, "Red");
}

TEST(LineItems, ClearLineEmptiesOnlyItsRow)
{
    AppState s = Started();
    SetRefPoints(s, 1, 2, 4, 6);
    LineDialogModel m(s);
    PlaceFixed(m, 0, 1);
    PlaceFixed(m, 0, 2);
    PlaceFixed(m, 1, 3);
    m.SelectRow(2);
    m.Activate();
    m.ClearLine();
    EXPECT_EQ(m.RowAt(2).edit, (std::array<std::string, 4>{}));
    EXPECT_EQ(m.RowAt(2).type, "");
    EXPECT_EQ(m.RowAt(2).colour, "");
    EXPECT_EQ(m.RowAt(2).ref, "");
    EXPECT_EQ(s.overlay.Item[2].Kind, -1.0f);
    EXPECT_EQ(s.overlay.Item[2].Colour, -1.0f);
    EXPECT_EQ(s.overlay.Item[2].X2, 0.0f);
    EXPECT_EQ(m.RowAt(1).edit[0], "  2.000");
    EXPECT_EQ(m.RowAt(3).type, "Circle");
    EXPECT_EQ(s.overlay.Item[3].X2, 5.0f);
}

TEST(LineItems, RowsFromStoredItemsEditsAndKeyFilter)
{
    AppState s = Started();
    LineDialogModel m(s);
    OverlayItem& a = s.overlay.Item[3];
    a.Kind = 1;
    a.Colour = 32768;
    a.Reference = 1;
    a.X1 = -1.5f;
    a.Y1 = 12345.678f;
    a.Y2 = 0.25f;
    a.X2 = 2;
    OverlayItem& b = s.overlay.Item[4];
    b.Kind = -1;
    b.X1 = 9; // an unused item shows nothing
    OverlayItem& c = s.overlay.Item[5];
    c.Kind = 0;
    c.Colour = 1e38f;
    c.Reference = std::numeric_limits<float>::quiet_NaN();
    m.RefreshLineRows();
    EXPECT_EQ(m.RowAt(3).edit[0], "12345.678");
    EXPECT_EQ(m.RowAt(3).edit[1], " -1.500");
    EXPECT_EQ(m.RowAt(3).edit[2], "  0.250");
    EXPECT_EQ(m.RowAt(3).type, "Circle");
    EXPECT_EQ(m.RowAt(3).colour, "Green");
    EXPECT_EQ(m.RowAt(3).ref, "Pivot1");
    EXPECT_EQ(m.RowAt(4).edit[1], "");
    EXPECT_EQ(m.RowAt(5).type, "Line");
    EXPECT_EQ(m.RowAt(5).colour, ""); // no colour of the table: left as it was
    EXPECT_EQ(m.RowAt(5).ref, "");
    m.ClearRowLabels();
    EXPECT_EQ(m.RowAt(3).type, "");
    EXPECT_EQ(m.RowAt(3).edit[1], " -1.500");

    // A typed cell becomes the item field at once.
    m.EditExit(4, 1, "3.25");
    EXPECT_EQ(b.X1, 3.25f);
    m.EditExit(4, 0, "");
    EXPECT_EQ(b.Y1, 0.0f);
    m.EditExit(4, 3, "-.5x");
    EXPECT_EQ(b.X2, -0.5f);
    EXPECT_EQ(m.RowAt(4).edit[3], "-.5x");
    m.EditExit(21, 0, "1"); // no such row
    m.EditExit(0, 0, "1");

    EXPECT_TRUE(m.AcceptKey(4, 0, "12", '.'));
    EXPECT_FALSE(m.AcceptKey(4, 0, "1.2", '.'));
    EXPECT_TRUE(m.AcceptKey(4, 0, "12", '-'));
    EXPECT_FALSE(m.AcceptKey(4, 0, "-12", '-'));
    EXPECT_FALSE(m.AcceptKey(4, 0, "12", 'e'));
    EXPECT_FALSE(m.AcceptKey(4, 0, "12", ' '));
    EXPECT_TRUE(m.AcceptKey(4, 0, "1.2", '\b'));
}

TEST(LineItems, CurrentItemFromOutsideNeverLeavesTheTable)
{
    AppState s = Started();
    SetRefPoints(s, 1, 2, 4, 6);
    LineDialogModel m(s);
    for (int bad : {0, -40, 21, 1000000}) {
        s.overlay.CurrentItem = bad;
        EXPECT_EQ(HighlightedRow(s.overlay), 0);
        m.Activate();
        EXPECT_GE(s.overlay.CurrentItem, 1);
        EXPECT_LE(s.overlay.CurrentItem, 20);
    }
    // A pick pending on item 1 leaves 0 until the dialog comes back.
    s.overlay.CurrentItem = 1;
    m.ChooseType(0);
    m.ChooseColour(0);
    m.ChooseReference(1);
    EXPECT_EQ(s.overlay.CurrentItem, 0);
    EXPECT_EQ(HighlightedRow(s.overlay), 0);
    m.Activate();
    EXPECT_EQ(s.overlay.CurrentItem, 1);
    // A file that set the number meanwhile to something wild still lands in
    // the table when the dialog comes back with the pick.
    m.ChooseReference(2);
    s.overlay.CurrentItem = 5000;
    m.Activate();
    EXPECT_EQ(s.overlay.CurrentItem, 20);
    EXPECT_TRUE(m.DrawClose().beep);
    EXPECT_EQ(s.overlay.Item[20].Kind, 0.0f);
    EXPECT_EQ(s.overlay.CurrentItem, 20);

    // Row clicks outside the table are ignored.
    m.SelectRow(0);
    m.SelectRow(21);
    EXPECT_EQ(s.overlay.CurrentItem, 20);
    m.SelectRow(7);
    EXPECT_EQ(s.overlay.CurrentItem, 7);
}

TEST(LineItems, CommitTextsAndStoredOffsets)
{
    AppState s = Started();
    Overlay& ov = s.overlay;
    ov.CurrentItem = 6;
    OverlayItem& it = ov.Item[6];
    auto reset = [&] {
        it = OverlayItem{};
        it.X1 = 1.23456f;
        it.Y1 = 2.5f;
        it.X2 = 4.0004f;
        it.Y2 = 6;
        it.Pivot1X0 = 1;
        it.Pivot1Y0 = 2;
        it.Pivot2X0 = -3;
        it.Pivot2Y0 = 0.5f;
    };
    reset();
    ov.TypeChoice = 0;
    ov.ReferenceChoice = 0;
    auto t = CommitItem(s, false);
    EXPECT_EQ(t, (std::array<std::string, 4>{"  2.500", "  1.235", "  6.000", "  4.000"}));
    EXPECT_EQ(it.X1, 1.23456f); // nothing stored back
    EXPECT_EQ(it.X2, 4.0004f);

    reset();
    ov.ReferenceChoice = 1;
    t = CommitItem(s, false);
    EXPECT_EQ(t, (std::array<std::string, 4>{"  0.500", "  0.235", "  4.000", "  3.000"}));
    EXPECT_FLOAT_EQ(it.X1, 0.235f);
    EXPECT_FLOAT_EQ(it.X2, 3.0f);

    reset();
    ov.ReferenceChoice = 2;
    t = CommitItem(s, false);
    EXPECT_EQ(t, (std::array<std::string, 4>{"  0.500", "  0.235", "  6.000", "  4.000"}));
    EXPECT_EQ(it.X2, 4.0004f);

    reset();
    ov.ReferenceChoice = 3;
    t = CommitItem(s, false);
    EXPECT_EQ(t, (std::array<std::string, 4>{"  0.500", "  0.235", "  5.500", "  7.000"}));
    EXPECT_FLOAT_EQ(it.Y2, 5.5f);

    reset();
    ov.TypeChoice = 1;
    ov.ReferenceChoice = 1;
    ov.CapturedRefX = 1;
    ov.CapturedRefY = 2;
    t = CommitItem(s, false);
    EXPECT_EQ(t, (std::array<std::string, 4>{"  0.500", "  0.235", "", "  5.000"}));
    EXPECT_FLOAT_EQ(it.X2, 5.0f);

    t = CommitItem(s, true);
    EXPECT_EQ(t, (std::array<std::string, 4>{}));
    EXPECT_EQ(it.X1, 0.0f);
    EXPECT_EQ(it.Pivot2Y0, 0.0f);
}
