// View operations and the mechanism drawing on a recording canvas.
#include "drawing/FrameDrawing.h"
#include "drawing/ViewOps.h"
#include "model/Model.h"
#include "platform/DisplayList.h"
#include "platform/RecordingCanvas.h"
#include "platform/Services.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>

namespace {
AppState Started()
{
    AppState s;
    StartupModel(s);
    return s;
}
} // namespace

TEST(Stepper, ArrowPageAndDrag)
{
    int last = 0, prev = 0;
    // Arrow click right: position 1, then the handler puts the bar back to 0.
    EXPECT_FLOAT_EQ(StepperIncrement(1, last, prev, 10, 10), 0.1f);
    EXPECT_FLOAT_EQ(StepperIncrement(0, last, prev, 10, 10), 0.0f);
    // Page click left.
    EXPECT_FLOAT_EQ(StepperIncrement(-10, last, prev, 10, 10), -1.0f);
    EXPECT_FLOAT_EQ(StepperIncrement(0, last, prev, 10, 10), 0.0f);
    // A drag to 37: moving away from the centre to the right increases.
    EXPECT_FLOAT_EQ(StepperIncrement(37, last, prev, 10, 10), 3.7f);
    // Reference point bars: divisor 1000, page 25.
    last = prev = 0;
    EXPECT_FLOAT_EQ(StepperIncrement(25, last, prev, 1000, 25), 0.025f);
    EXPECT_FLOAT_EQ(StepperIncrement(0, last, prev, 1000, 25), 0.0f);
    EXPECT_FLOAT_EQ(StepperIncrement(-1, last, prev, 1000, 25), -0.001f);
}

TEST(Zoom, TenPageClicksKeepTheCentre)
{
    AppState s = Started();
    View& v = s.view;
    const long double wx = (320 - v.ViewOffsetX) / v.ViewScale;
    const long double wy = -(240 - v.ViewOffsetY) / v.ViewScale;
    for (int i = 0; i < 10; ++i) ZoomStep(v, 1.0f);
    EXPECT_NEAR(v.ViewScale, 22 * std::pow(1.01, 10), 1e-3);
    EXPECT_NEAR(wx * v.ViewScale + v.ViewOffsetX, 320, 1e-2);
    EXPECT_NEAR(-wy * v.ViewScale + v.ViewOffsetY, 240, 1e-2);
}

TEST(Zoom, ClampAfterOffsets)
{
    View v;
    v.ViewScale = 2990;
    v.ViewOffsetX = 1000;
    v.ViewOffsetY = 500;
    ZoomStep(v, 1.0f);
    EXPECT_EQ(v.ViewScale, 3000.0f);
    // Offsets computed for the unclamped scale 2990 * 1.01.
    EXPECT_NEAR(v.ViewOffsetX, (1000 - 320) * 1.01 + 320, 1e-2);
    v.ViewScale = 0.5f;
    ZoomStep(v, -1.0f);
    EXPECT_EQ(v.ViewScale, 0.5f);
}

TEST(Presets, CaptureStoreRecallNorm)
{
    AppState s = Started();
    View& v = s.view;
    PanHorizontal(v, 33);
    CapturePendingPreset(v);
    RecallPreset(v, 3, true);
    EXPECT_EQ(v.PresetTable[9], 22.0f);
    EXPECT_EQ(v.PresetTable[10], 133.0f);
    RecallPreset(v, 4, false);
    EXPECT_EQ(v.ViewScale, 80.0f);
    EXPECT_EQ(v.PresetTable[12], 80.0f); // preset 4 untouched
    RecallPreset(v, 3, false);
    EXPECT_EQ(v.ViewOffsetX, 133.0f);
    NormView(v);
    EXPECT_EQ(v.ViewScale, 22.0f);
    EXPECT_EQ(v.ViewOffsetX, 100.0f);
    EXPECT_EQ(v.ViewOffsetY, 260.0f);
    EXPECT_EQ(v.SavedOffsetX, 133.0f);
}

TEST(Presets, CentreOnPoint)
{
    AppState s = Started();
    View& v = s.view;
    const PanBarPositions p = CentreOnPoint(v, 2.0f, 1.0f);
    EXPECT_FLOAT_EQ(v.ViewOffsetX, 320 - 44);
    EXPECT_FLOAT_EQ(v.ViewOffsetY, 22 + 240);
    EXPECT_EQ(p.horz, ToPixel(-((276.0L - 320) * 22 / 22 + 320 - 100) * 100 / 100));
    EXPECT_EQ(p.vert, ToPixel(((262.0L - 240) + 240 - 260) * 200 / 260));
}

TEST(Mechanism, CirclesLinksAndCounterweight)
{
    AppState s = Started();
    s.anim.ActiveStep = 0; // keep the driver at 0 degrees
    TickModel(s);
    RecordingCanvas c;
    DrawMechanism(c, s);
    const auto ellipses = c.OfKind(CanvasOp::Ellipse);
    // Driver disk, eccentric, 4 pins and axle, 8 joints, point 18 again.
    EXPECT_EQ(ellipses.size(), 15u);
    // Driver disk about the origin: radius 8.625 / 2 at scale 22.
    EXPECT_EQ(ellipses[0].x1, ToPixel(-4.3125L * 22 + 100));
    EXPECT_EQ(ellipses[0].x2, ToPixel(4.3125L * 22 + 100));
    const auto arcs = c.OfKind(CanvasOp::Arc);
    ASSERT_EQ(arcs.size(), 1u);
    // At driver angle 0 the arc's end points are symmetric about the horizontal
    // through the axle and lie on the side opposite 0 degrees (left).
    const CanvasOp& a = arcs[0];
    EXPECT_EQ(a.y3 - 260, -(a.y4 - 260));
    EXPECT_LT(a.x3, 100);
    EXPECT_EQ(a.x3, a.x4);
    // Fixed pivot crosses in red, with the main rod, eccentric crank, reverse head.
    EXPECT_TRUE(c.HasLine(s.gear.ScreenX[0] + 5, s.gear.ScreenY[0] + 5, s.gear.ScreenX[0] - 6, s.gear.ScreenY[0] - 6));
    int red = 0, lime = 0, blue = 0;
    for (const CanvasOp& op : c.OfKind(CanvasOp::Line)) {
        if (op.colour == clRed) ++red;
        if (op.colour == clLime) ++lime;
        if (op.colour == clBlue) ++blue;
    }
    EXPECT_EQ(red, 6 + 3);
    EXPECT_EQ(lime, 3);
    EXPECT_EQ(blue, 4);
    // The spindle to the valve rod joint is dotted; the pen is solid again after it.
    int dotted = 0;
    for (const CanvasOp& op : c.OfKind(CanvasOp::Line))
        if (op.penStyle == PenStyle::Dot) ++dotted;
    EXPECT_EQ(dotted, 1);
    EXPECT_EQ(c.PenStyleNow(), PenStyle::Solid);
    EXPECT_EQ(c.PenColour(), clBlack);
    // The reach rod runs off the left edge.
    EXPECT_TRUE(c.HasLine(s.gear.ScreenX[18], s.gear.ScreenY[18], 0, s.gear.ScreenY[18]));
}

TEST(Mechanism, PointEighteenFollowsTheReverseArm)
{
    AppState s = Started();
    TickModel(s);
    s.gear.PointX[18] = 99;
    s.gear.RevArmPos = 0.5f;
    RecordingCanvas c;
    DrawMechanism(c, s);
    EXPECT_EQ(s.gear.PointX[18], 0.5f);
}

TEST(Frame, LineWidthTwoEverywhere)
{
    AppState s = Started();
    s.display.LineWidth = 2;
    TickModel(s);
    RecordingCanvas c;
    RecordingSound sound;
    FixedRandom random;
    FrameServices services{sound, random};
    FrameEffects fx;
    ComposeFrame(c, s, services, fx);
    int lines = 0;
    for (const CanvasOp& op : c.Ops())
        if (op.kind == CanvasOp::Line || op.kind == CanvasOp::Ellipse || op.kind == CanvasOp::Arc) {
            EXPECT_EQ(op.penWidth, 2);
            ++lines;
        }
    EXPECT_GT(lines, 40);
    EXPECT_EQ(fx.undoButton, Vis::Hide); // undo is off
}

TEST(Frame, FarPanStillDrawsThroughTheTransform)
{
    AppState s = Started();
    s.view.ViewOffsetX = -50000;
    s.view.ViewScale = 3000;
    TickModel(s);
    RecordingCanvas c;
    DrawMechanism(c, s);
    for (const CanvasOp& op : c.Ops()) {
        EXPECT_LE(std::abs(op.x1), kPixelLimit);
        EXPECT_LE(std::abs(op.x2), kPixelLimit);
    }
    EXPECT_FALSE(c.Ops().empty());
}

TEST(FitView, TheWholeGearThroughATurnFillsTheArea)
{
    AppState s = Started();
    PanHorizontal(s.view, 4000); // far away, zoomed in: the fit does not depend on it
    ZoomStep(s.view, 900);
    const ScreenArea area{0, 86, 632, 294};
    ASSERT_TRUE(FitGearToArea(s.view, s.gear, area));
    const View fitted = s.view;
    s.anim.ActiveStep = 15;
    int left = 1 << 20, right = -left, top = left, bottom = -left;
    for (int k = 0; k < 24; ++k) {
        TickModel(s);
        RecordingCanvas c;
        DrawMechanism(c, s);
        for (const CanvasOp& op : c.Ops()) {
            if (op.kind == CanvasOp::Line && (op.x1 == 0 || op.x2 == 0)) continue; // the reach rod runs off
            left = std::min({left, op.x1, op.x2});
            right = std::max({right, op.x1, op.x2});
            top = std::min({top, op.y1, op.y2});
            bottom = std::max({bottom, op.y1, op.y2});
        }
    }
    EXPECT_GE(left, area.left);
    EXPECT_LE(right, area.left + area.width);
    EXPECT_GE(top, area.top);
    EXPECT_LE(bottom, area.top + area.height);
    // It fills the area one way (within the margins and the pivot crosses).
    EXPECT_TRUE(right - left > area.width - 40 || bottom - top > area.height - 40)
        << left << " " << right << " " << top << " " << bottom;

    // No room: the view stays.
    EXPECT_FALSE(FitGearToArea(s.view, s.gear, {0, 0, 10, 10}));
    EXPECT_EQ(s.view.ViewScale, fitted.ViewScale);
    EXPECT_EQ(s.view.ViewOffsetX, fitted.ViewOffsetX);
}

// A state that says its frame stays still composes the same frame, with the
// same effects, tick after tick; every other one changes something the
// window shows within a few ticks (the gear, the blinking error picture, the
// close-up, the steam).
TEST(Frame, AStillFrameIsComposedAgainAndAgain)
{
    const struct {
        const char* what;
        std::function<void(AppState&)> set;
        bool still;
    } cases[] = {
        {"stopped", [](AppState& s) { s.anim.ActiveStep = 0; }, true},
        {"stopped with every panel on",
         [](AppState& s) {
             s.anim.ActiveStep = 0;
             s.gear.DriverAngle = 180;
             s.dyn.DynVarsOn = s.dyn.UndoOn = s.display.PivotDataOn = s.display.RefPointsOn = true;
         },
         true},
        {"running", [](AppState&) {}, false},
        {"stopped where it cannot be assembled",
         [](AppState& s) { s.anim.ActiveStep = 0, s.gear.MainRodLength = 1, s.gear.DriverAngle = 90; }, false},
        {"stopped, a dimension's close-up", [](AppState& s) { s.anim.ActiveStep = 0, s.highlight.HighlightDim = 3; },
         false},
        {"stopped, steam display", [](AppState& s) { s.anim.ActiveStep = 0, s.display.SteamDisplayOn = true; }, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        AppState s = Started();
        c.set(s);
        RecordingSound sound;
        FixedRandom random;
        FrameServices services{sound, random};
        // What the window shows after a tick: the frame and the error picture.
        auto tick = [&](DisplayList& list) {
            TickModel(s);
            list.Reset(632, 380);
            DisplayListCanvas canvas(list);
            FrameEffects fx;
            ComposeFrame(canvas, s, services, fx);
            return fx.errorItem;
        };
        DisplayList first, next;
        tick(first);
        const Vis firstError = tick(first);
        EXPECT_EQ(FrameStaysStill(s), c.still);
        bool changed = false;
        for (int i = 0; i < 40; ++i) {
            const Vis error = tick(next);
            changed = changed || !next.SameAs(first) || error != firstError || !sound.played.empty();
            if (c.still) {
                EXPECT_TRUE(FrameStaysStill(s));
            }
        }
        EXPECT_EQ(changed, !c.still);
    }
}
