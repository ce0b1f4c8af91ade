#include "drawing/HighlightView.h"
#include "drawing/FrameDrawing.h"
#include "model/Model.h"
#include "platform/RecordingCanvas.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace {

AppState Ticked()
{
    AppState s;
    StartupModel(s);
    TickModel(s);
    return s;
}

// Lines drawn with the highlight pen (width 3): the dimension itself.
std::vector<CanvasOp> ThickLines(const RecordingCanvas& c)
{
    std::vector<CanvasOp> out;
    for (const CanvasOp& op : c.OfKind(CanvasOp::Line))
        if (op.penWidth == 3) out.push_back(op);
    return out;
}

// One frame: the model tick, then the close-up drawn on a fresh canvas.
FrameEffects Frame(AppState& s, RecordingCanvas& c)
{
    c.Reset();
    TickModel(s);
    FrameEffects fx;
    DrawHighlight(c, s, fx);
    return fx;
}

const int kAllCodes[] = {1,   2,   3,   4,   5,   6,   7,   8,   9,   10,  11,  12,  13,  14,  15,
                         16,  17,  18,  19,  20,  21,  22,  101, 102, 103, 104, 105, 106, 107, 108,
                         109, 110, 111, 112, 113, 114, 115, 116, 117, 118, 119, 120, 121, 122};

} // namespace

TEST(HighlightView, HourglassAndLabelOnEveryFrame)
{
    AppState s = Ticked();
    s.highlight.HighlightDim = 3;
    RecordingCanvas c;
    FrameEffects fx;
    DrawHighlight(c, s, fx);
    // Frame of the hourglass (width 2) and its sand (width 1), all black.
    EXPECT_TRUE(c.HasLine(20, 100, 44, 100));
    EXPECT_TRUE(c.HasLine(22, 130, 22, 142));
    EXPECT_TRUE(c.HasLine(20, 138, 20, 142));
    EXPECT_TRUE(c.HasLine(26, 111, 37, 111));
    int width2 = 0, width1 = 0;
    for (const CanvasOp& op : c.OfKind(CanvasOp::Line)) {
        if (op.penWidth == 2) {
            ++width2;
            EXPECT_EQ(op.colour, clBlack);
        }
        if (op.penWidth == 1) {
            ++width1;
            EXPECT_EQ(op.colour, clBlack);
        }
    }
    EXPECT_EQ(width2, 18);
    EXPECT_EQ(width1, 5);
    const CanvasOp* label = c.FindText("Main Rod Length");
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->x1, 30);
    EXPECT_EQ(label->y1, 75);
    EXPECT_TRUE(fx.closeFrameDialog);
    EXPECT_FALSE(fx.closeCylDialog);
    EXPECT_TRUE(s.highlight.ReopenFrameDialog);
}

TEST(HighlightView, EveryCodeHasItsLabelScaleAndLine)
{
    struct Expect {
        int code;
        float n;
        bool offsets;
        float ox, oy;
        int lines;
    };
    const Expect rows[] = {
        {1, 30, true, 290, 212, 1},    {2, 30, true, 290, 212, 1},    {3, 30, true, 200, 212, 1},
        {4, 30, true, 290, 212, 1},    {5, 30, true, 290, 212, 1},    {6, 30, true, 290, 212, 2},
        {7, 30, true, 290, 240, 1},    {8, 30, true, 290, 240, 1},    {9, 30, true, 290, 300, 1},
        {10, 30, true, 290, 300, 1},   {11, 30, true, 290, 300, 1},   {12, 30, true, 290, 300, 1},
        {13, 30, true, 290, 300, 1},   {14, 30, true, 290, 300, 1},   {15, 30, true, 100, 240, 1},
        {16, 30, true, 100, 240, 1},   {17, 30, true, 100, 240, 1},   {18, 30, true, 100, 240, 1},
        {19, 30, true, 100, 240, 1},   {20, 30, true, 0, 240, 1},     {21, 22, false, 0, 0, 2},
        {22, 22, false, 0, 0, 2},      {101, 22, false, 0, 0, 1},     {103, 55, true, -800, 250, 1},
        {104, 55, true, -800, 250, 1}, {105, 55, true, -800, 250, 1}, {106, 40, true, -300, 260, 1},
        {107, 55, true, -800, 295, 1}, {108, 55, true, -800, 295, 1}, {109, 55, true, -800, 295, 1},
        {110, 55, true, -800, 295, 1}, {111, 55, true, -800, 295, 1}, {112, 55, true, -800, 295, 1},
        {113, 55, true, -800, 295, 1}, {114, 55, true, -800, 295, 1}, {115, 55, true, -800, 355, 1},
        {116, 55, true, -800, 295, 1}, {117, 55, true, -800, 295, 1}, {118, 55, true, -800, 295, 1},
        {119, 55, true, -800, 295, 1}, {120, 55, true, -800, 295, 1}, {121, 55, true, -800, 295, 1},
        {122, 55, true, -600, 350, 1},
    };
    for (const Expect& e : rows) {
        SCOPED_TRACE(e.code);
        AppState s = Ticked();
        s.view.ViewOffsetX = 123;
        s.view.ViewOffsetY = 45;
        s.highlight.HighlightDim = e.code;
        RecordingCanvas c;
        FrameEffects fx;
        DrawHighlight(c, s, fx);
        EXPECT_FLOAT_EQ(s.view.ViewScale, e.n);
        EXPECT_FLOAT_EQ(s.view.ViewOffsetX, e.offsets ? e.ox : 123);
        EXPECT_FLOAT_EQ(s.view.ViewOffsetY, e.offsets ? e.oy : 45);
        EXPECT_EQ(static_cast<int>(ThickLines(c).size()), e.lines);
        EXPECT_NE(c.FindText(DimensionShortLabel(e.code)), nullptr);
        EXPECT_EQ(fx.closeCylDialog, e.code > 99);
        EXPECT_EQ(fx.closeFrameDialog, e.code < 100);
    }
}

TEST(HighlightView, LinesFollowTheScreenPointsAndTheNewView)
{
    {
        // Stroke: crank pin through the centre to the opposite side, the far
        // end mapped through the close-up view.
        AppState s = Ticked();
        s.highlight.HighlightDim = 2;
        RecordingCanvas c;
        FrameEffects fx;
        DrawHighlight(c, s, fx);
        const Gear& g = s.gear;
        const auto lines = ThickLines(c);
        ASSERT_EQ(lines.size(), 1u);
        EXPECT_EQ(lines[0].x1, g.ScreenX[2]);
        EXPECT_EQ(lines[0].y1, g.ScreenY[2]);
        EXPECT_EQ(lines[0].x2, std::lround((2.0L * g.PointX[1] - g.PointX[2]) * 30 + 290));
        EXPECT_EQ(lines[0].y2, std::lround(-(2.0L * g.PointY[1] - g.PointY[2]) * 30 + 212));
    }
    {
        // Rocker pivot height: from the driver's level up to the pivot.
        AppState s = Ticked();
        s.highlight.HighlightDim = 18;
        RecordingCanvas c;
        FrameEffects fx;
        DrawHighlight(c, s, fx);
        const auto lines = ThickLines(c);
        ASSERT_EQ(lines.size(), 1u);
        EXPECT_EQ(lines[0].x1, s.gear.ScreenX[15]);
        EXPECT_EQ(lines[0].y1, s.gear.ScreenY[1]);
        EXPECT_EQ(lines[0].x2, s.gear.ScreenX[15]);
        EXPECT_EQ(lines[0].y2, s.gear.ScreenY[15]);
    }
    {
        // Valve front half: half-way point truncated towards zero.
        AppState s = Ticked();
        s.gear.ValveOutline[0] = {-7, 50};
        s.gear.ValveOutline[1] = {2, 50};
        s.highlight.HighlightDim = 119;
        RecordingCanvas c;
        FrameEffects fx;
        DrawHighlight(c, s, fx);
        const auto lines = ThickLines(c);
        ASSERT_EQ(lines.size(), 1u);
        EXPECT_EQ(lines[0].x1, 2);
        EXPECT_EQ(lines[0].x2, -2); // (2 + -7) / 2 = -2.5 -> -2
        EXPECT_EQ(lines[0].y2, 50);
    }
}

TEST(HighlightView, TwoColouredRowsSwapColoursWithTheBlink)
{
    for (int code : {6, 21}) {
        SCOPED_TRACE(code);
        AppState s = Ticked();
        s.highlight.HighlightDim = code;
        RecordingCanvas c;
        Frame(s, c); // frame 1: red first
        auto lines = ThickLines(c);
        ASSERT_EQ(lines.size(), 2u);
        EXPECT_EQ(lines[0].colour, clRed);
        EXPECT_EQ(lines[1].colour, clBlack);
        if (code == 21) {
            // Horizontal under the reverse arm end, centre to either side.
            const Gear& g = s.gear;
            const View& v = s.view;
            EXPECT_EQ(lines[0].y1, g.ScreenY[18] + 5);
            EXPECT_EQ(lines[1].y2, g.ScreenY[18] + 5);
            EXPECT_EQ(lines[0].x1, WorldToScreenX(v, static_cast<long double>(g.RevArmCentre()) - g.RevArmNormal));
            EXPECT_EQ(lines[0].x2, WorldToScreenX(v, g.RevArmCentre()));
            EXPECT_EQ(lines[1].x2, WorldToScreenX(v, static_cast<long double>(g.RevArmCentre()) + g.RevArmNormal));
        }
        Frame(s, c);
        Frame(s, c);
        Frame(s, c); // frame 4: black first
        lines = ThickLines(c);
        ASSERT_EQ(lines.size(), 2u);
        EXPECT_EQ(lines[0].colour, clBlack);
        EXPECT_EQ(lines[1].colour, clRed);
    }
}

TEST(HighlightView, Code102ShowsOnlyItsLabelAndStillReopensTheCylinderDialog)
{
    AppState s = Ticked();
    const View before = s.view;
    s.highlight.HighlightDim = 102;
    RecordingCanvas c;
    FrameEffects fx = Frame(s, c);
    EXPECT_TRUE(ThickLines(c).empty());
    ASSERT_NE(c.FindText("** NOT USED **"), nullptr);
    EXPECT_EQ(c.OfKind(CanvasOp::Text).size(), 1u);
    EXPECT_TRUE(fx.closeCylDialog);
    EXPECT_FALSE(s.highlight.ReopenFrameDialog);
    EXPECT_FLOAT_EQ(s.view.ViewScale, before.ViewScale);
    EXPECT_FLOAT_EQ(s.view.ViewOffsetX, before.ViewOffsetX);
    EXPECT_FLOAT_EQ(s.view.ViewOffsetY, before.ViewOffsetY);
    for (int i = 2; i <= 1000; ++i) {
        fx = Frame(s, c);
        ASSERT_FALSE(fx.reopenCylDialog) << "frame " << i;
    }
    fx = Frame(s, c);
    EXPECT_TRUE(fx.reopenCylDialog);
    EXPECT_FALSE(fx.reopenFrameDialog);
    EXPECT_EQ(s.highlight.HighlightDim, 0);
}

TEST(HighlightView, GraphicZoomFifteenHalvesTheScale)
{
    for (int code : {3, 21, 106, 117}) {
        SCOPED_TRACE(code);
        AppState a = Ticked();
        AppState b = Ticked();
        b.view.GraphicZoom = 15;
        a.highlight.HighlightDim = b.highlight.HighlightDim = code;
        RecordingCanvas c;
        FrameEffects fx;
        DrawHighlight(c, a, fx);
        DrawHighlight(c, b, fx);
        EXPECT_FLOAT_EQ(b.view.ViewScale * 2, a.view.ViewScale);
    }
}

TEST(HighlightView, ThousandFramesThenTheSavedViewAndTheDialogComeBack)
{
    AppState s = Ticked();
    s.view.ViewScale = 41;
    s.view.ViewOffsetX = 17;
    s.view.ViewOffsetY = 333;
    s.highlight.HighlightDim = 9;
    RecordingCanvas c;
    const Colour expected[7] = {clRed, clRed, clRed, clBlack, clBlack, clBlack, clRed};
    for (int i = 1; i <= 1000; ++i) {
        FrameEffects fx = Frame(s, c);
        ASSERT_EQ(s.highlight.HighlightDim, 9) << "frame " << i;
        ASSERT_EQ(s.highlight.HighlightTicks, i);
        ASSERT_TRUE(fx.closeFrameDialog);
        ASSERT_FALSE(fx.reopenFrameDialog);
        ASSERT_FALSE(fx.restoreCursor);
        if (i <= 7) {
            const auto lines = ThickLines(c);
            ASSERT_EQ(lines.size(), 1u);
            EXPECT_EQ(lines[0].colour, expected[i - 1]) << "frame " << i;
        }
        if (i == 1) {
            // The first frame still shows points mapped with the user's view.
            EXPECT_TRUE(c.HasLine(s.gear.ScreenX[6], s.gear.ScreenY[6], s.gear.ScreenX[14], s.gear.ScreenY[14]));
            EXPECT_FLOAT_EQ(s.view.SavedScale, 41);
        }
        if (i == 2) {
            // From the second frame on the points are those of the close-up.
            EXPECT_EQ(s.gear.ScreenX[6], WorldToScreenX(s.view, s.gear.PointX[6]));
        }
    }
    EXPECT_FLOAT_EQ(s.view.ViewScale, 30);
    FrameEffects fx = Frame(s, c);
    EXPECT_TRUE(fx.reopenFrameDialog);
    EXPECT_FALSE(fx.reopenCylDialog);
    EXPECT_TRUE(fx.restoreCursor);
    EXPECT_EQ(s.highlight.HighlightDim, 0);
    EXPECT_EQ(s.highlight.HighlightTicks, 0);
    EXPECT_EQ(s.highlight.BlinkCount, 0);
    EXPECT_FLOAT_EQ(s.view.ViewScale, 41);
    EXPECT_FLOAT_EQ(s.view.ViewOffsetX, 17);
    EXPECT_FLOAT_EQ(s.view.ViewOffsetY, 333);
}

TEST(HighlightView, ClickEndsTheViewAtTheNextFrameWithTheSavedView)
{
    AppState s = Ticked();
    s.highlight.HighlightDim = 115;
    RecordingCanvas c;
    for (int i = 0; i < 5; ++i) Frame(s, c);
    EXPECT_FLOAT_EQ(s.view.ViewScale, 55);
    s.highlight.HighlightTicks = 1005; // the main window's mouse-down
    FrameEffects fx = Frame(s, c);
    EXPECT_TRUE(fx.reopenCylDialog);
    EXPECT_TRUE(fx.restoreCursor);
    EXPECT_EQ(s.highlight.HighlightDim, 0);
    EXPECT_FLOAT_EQ(s.view.ViewScale, 22);
    EXPECT_FLOAT_EQ(s.view.ViewOffsetX, 100);
    EXPECT_FLOAT_EQ(s.view.ViewOffsetY, 260);
    // The next frame draws no close-up at all.
    fx = Frame(s, c);
    EXPECT_TRUE(c.Ops().empty());
    EXPECT_FALSE(fx.reopenCylDialog);
}

TEST(HighlightView, WithTheReferencePointPanelShownTheLabelStandsClearOfIt)
{
    AppState s = Ticked();
    s.display.RefPointsOn = true;
    s.highlight.HighlightDim = 3;
    RecordingCanvas c;
    FrameEffects fx;
    DrawHighlight(c, s, fx);
    const CanvasOp* label = c.FindText("Main Rod Length");
    ASSERT_NE(label, nullptr);
    // The panel's bars, zero buttons and readouts fill x < 250, y 71..120; the
    // pivot data below it x < 143.
    EXPECT_TRUE(label->x1 >= 250 || (label->y1 >= 121 && label->x1 >= 143)) << label->x1 << "," << label->y1;
}

TEST(HighlightView, OnlyTheLabelIsLargeAndItFollowsTheFontScale)
{
    AppState s = Ticked();
    s.view.FontScaleX = 1.27f;
    s.view.FontScaleY = 1.22f;
    s.highlight.HighlightDim = 1;
    RecordingCanvas c;
    c.TextOut(10, 10, "before");
    FrameEffects fx;
    DrawHighlight(c, s, fx);
    c.TextOut(10, 20, "after");
    const auto texts = c.OfKind(CanvasOp::Text);
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[0].fontSize, 0);
    EXPECT_EQ(texts[1].text, "Crank Disk   Dia");
    EXPECT_EQ(texts[1].fontSize, 14);
    EXPECT_EQ(texts[1].x1, 38); // round(30 * 1.27)
    EXPECT_EQ(texts[1].y1, 92); // round(75 * 1.22)
    EXPECT_EQ(texts[2].fontSize, 0);
}

TEST(HighlightView, ComposedFrameKeepsOtherTextsAtTheDefaultSize)
{
    AppState s = Ticked();
    s.display.ScreenDataOn = true;
    s.highlight.HighlightDim = 7;
    RecordingSound sound;
    FixedRandom random;
    FrameServices services{sound, random};
    RecordingCanvas c;
    FrameEffects fx;
    ComposeFrame(c, s, services, fx);
    bool labelSeen = false;
    for (const CanvasOp& op : c.OfKind(CanvasOp::Text)) {
        if (op.text == "Ecc Strap Upper") {
            labelSeen = true;
            EXPECT_EQ(op.fontSize, 14);
        } else {
            EXPECT_EQ(op.fontSize, 0) << op.text;
        }
    }
    EXPECT_TRUE(labelSeen);
    EXPECT_TRUE(fx.closeFrameDialog);
}

TEST(HighlightView, DamagedValuesNeitherCrashNorLeaveABrokenView)
{
    for (int code : kAllCodes) {
        SCOPED_TRACE(code);
        AppState s = Ticked();
        s.view.GraphicZoom = std::numeric_limits<float>::quiet_NaN();
        s.gear.CrankDiskDia = std::numeric_limits<float>::infinity();
        s.gear.EccentricDiam = 1e38f;
        s.gear.CylDims[ciCylCtrToDriverCtr] = std::numeric_limits<float>::quiet_NaN();
        s.gear.RevArmNormal = -1e38f;
        s.highlight.HighlightDim = code;
        RecordingCanvas c;
        FrameEffects fx;
        DrawHighlight(c, s, fx);
        EXPECT_TRUE(std::isfinite(s.view.ViewScale));
        EXPECT_GT(s.view.ViewScale, 0);
    }
    AppState s = Ticked();
    s.view.GraphicZoom = 0;
    s.highlight.HighlightDim = 3;
    RecordingCanvas c;
    FrameEffects fx;
    DrawHighlight(c, s, fx);
    EXPECT_FLOAT_EQ(s.view.ViewScale, 30 / 0.5f * 7.5f);
}
