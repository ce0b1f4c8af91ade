#include "drawing/PortDiagram.h"

#include "DiagramTestUtil.h"
#include "model/NumberText.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

PortSample Sample(float piston, float frontSteam, float frontExh = -1, float rearSteam = -1, float rearExh = -1)
{
    PortSample p;
    p.piston = piston;
    p.open = {frontSteam, frontExh, rearSteam, rearExh};
    return p;
}

// Feeds a row of samples to the tracer as the draw does (tests from the
// second sample on).
void FeedRow(PortEventTracer& t, Canvas& c, int row, const std::vector<PortSample>& samples)
{
    for (size_t i = 1; i < samples.size(); ++i) t.TestEvents(c, row, samples[i - 1], samples[i]);
}

int FrontX(long double e) { return static_cast<int>(std::lround(0.84375L * e)) + 9; }

} // namespace

// ---------------------------------------------------------------- events

TEST(PortEvents, InterpolatesTheZeroCrossingAndTracesLinesFromTheRowAbove)
{
    RecordingCanvas c;
    PortEventTracer t(true);
    // Row 0: the front steam port opens halfway between pistons 100 and 110.
    FeedRow(t, c, 0, {Sample(100, -0.1f), Sample(110, 0.1f)});
    EXPECT_TRUE(c.Ops().empty()); // a first occurrence draws nothing
    EXPECT_TRUE(t.Occurred(peFrontSteamOpens));
    EXPECT_FLOAT_EQ(t.LastPosition(peFrontSteamOpens), 105.0f);
    EXPECT_FALSE(t.Occurred(peFrontSteamCloses));
    EXPECT_FLOAT_EQ(t.LastPosition(peFrontSteamCloses), -1.0f);

    // Row 1: the port is open at every sample, so nothing happens there.
    FeedRow(t, c, 1, {Sample(0, 0.2f), Sample(200, 0.3f), Sample(400, 0.1f), Sample(600, 0.4f)});
    EXPECT_TRUE(c.Ops().empty());
    EXPECT_FLOAT_EQ(t.LastPosition(peFrontSteamOpens), 105.0f);

    // Row 2: the next opening, a quarter of the way from 200 to 240; its line
    // starts at row 0's event, at the height of row 1.
    FeedRow(t, c, 2, {Sample(200, -0.1f), Sample(240, 0.3f)});
    ASSERT_EQ(c.Ops().size(), 1u);
    const CanvasOp& l = c.Ops()[0];
    EXPECT_EQ(l.kind, CanvasOp::Line);
    EXPECT_EQ(l.colour, clTeal);
    EXPECT_EQ(l.x1, FrontX(105));
    EXPECT_EQ(l.y1, 359 - 16 * 2);
    EXPECT_EQ(l.x2, FrontX(210));
    EXPECT_EQ(l.y2, 343 - 16 * 2);
}

TEST(PortEvents, ExactZeroIsAnOpeningAfterCoverAndAClosingAfterOpen)
{
    RecordingCanvas c;
    PortEventTracer t(true);
    // Exactly 0 after negative: an opening at the current piston, no closing.
    t.TestEvents(c, 0, Sample(50, -0.2f), Sample(60, 0.0f));
    EXPECT_TRUE(t.Occurred(peFrontSteamOpens));
    EXPECT_FLOAT_EQ(t.LastPosition(peFrontSteamOpens), 60.0f);
    EXPECT_FALSE(t.Occurred(peFrontSteamCloses));
    // Zero after zero: nothing.
    t.TestEvents(c, 0, Sample(60, 0.0f), Sample(70, 0.0f));
    EXPECT_FALSE(t.Occurred(peFrontSteamCloses));
    EXPECT_FLOAT_EQ(t.LastPosition(peFrontSteamOpens), 60.0f);
    // Exactly 0 after positive: a closing, not an opening.
    t.TestEvents(c, 0, Sample(80, 0.3f), Sample(90, 0.0f));
    EXPECT_TRUE(t.Occurred(peFrontSteamCloses));
    EXPECT_FLOAT_EQ(t.LastPosition(peFrontSteamCloses), 90.0f);
    EXPECT_FLOAT_EQ(t.LastPosition(peFrontSteamOpens), 60.0f);
    EXPECT_TRUE(c.Ops().empty());
}

TEST(PortEvents, RearEventsFromTheOtherEndAndColoursPerGraph)
{
    RecordingCanvas fwd, rev;
    PortEventTracer tf(true), tr(false);
    for (PortEventTracer* t : {&tf, &tr}) {
        Canvas& c = t == &tf ? static_cast<Canvas&>(fwd) : static_cast<Canvas&>(rev);
        // Rear exhaust closes at piston 400 on rows 3 and 4, front exhaust opens at 100.
        t->TestEvents(c, 3, Sample(390, -1, -0.5f, -1, 0.5f), Sample(410, -1, 0.5f, -1, -0.5f));
        t->TestEvents(c, 4, Sample(390, -1, -0.5f, -1, 0.5f), Sample(410, -1, 0.5f, -1, -0.5f));
    }
    const int rearX = static_cast<int>(std::lround(540 - 0.84375L * 400)) + 9;
    const int frontX = FrontX(400);
    ASSERT_EQ(fwd.Ops().size(), 2u);
    // Tests run opening kinds first: front exhaust opens, then rear exhaust closes.
    EXPECT_EQ(fwd.Ops()[0].colour, clTeal);
    EXPECT_EQ(fwd.Ops()[0].x2, frontX);
    EXPECT_EQ(fwd.Ops()[1].colour, clRed);
    EXPECT_EQ(fwd.Ops()[1].x1, rearX);
    EXPECT_EQ(fwd.Ops()[1].x2, rearX);
    EXPECT_EQ(fwd.Ops()[1].y1, 359 - 64);
    EXPECT_EQ(fwd.Ops()[1].y2, 343 - 64);
    ASSERT_EQ(rev.Ops().size(), 2u);
    EXPECT_EQ(rev.Ops()[0].colour, clGreen);
    EXPECT_EQ(rev.Ops()[1].colour, clMaroon);
}

TEST(PortEvents, RowThirteenKeepsTheFrontEventsUnrounded)
{
    RecordingCanvas c;
    PortEventTracer t(true);
    // On row 12 nothing is kept.
    t.TestEvents(c, 12, Sample(10, -1, -1), Sample(20, 1, 1));
    EXPECT_FLOAT_EQ(t.XA(), 0.0f);
    // Row 13: admission at 15, release at 15, then cut-off at 305, compression at 500.
    t.TestEvents(c, 13, Sample(10, -1, -1), Sample(20, 1, 1));
    t.TestEvents(c, 13, Sample(300, 1, 1), Sample(310, -1, 1));
    t.TestEvents(c, 13, Sample(490, -1, 1), Sample(510, -1, -1));
    EXPECT_FLOAT_EQ(t.XA(), static_cast<float>(0.84375L * 15 + 9));
    EXPECT_FLOAT_EQ(t.XR(), static_cast<float>(0.84375L * 15 + 9));
    EXPECT_FLOAT_EQ(t.XC(), static_cast<float>(0.84375L * 305 + 9));
    EXPECT_FLOAT_EQ(t.XK(), static_cast<float>(0.84375L * 500 + 9));
}

// ---------------------------------------------------------------- whole graph

TEST(PortDiagram, ForwardPassRowsAnnotationAndRestoredDriver)
{
    AppState s = StartedState();
    Gear& g = s.gear;
    g.RevArmPos = g.RevArmCentre() + 0.3f;
    g.DriverAngle = 123.5f;
    s.graph.PortGraphMode = 'F';
    RecordingCanvas c;
    DrawPortDiagram(c, s);

    EXPECT_EQ(g.RevArmPos, g.RevArmCentre() + 0.3f);
    EXPECT_EQ(g.DriverAngle, 123.5f);
    EXPECT_TRUE(c.OfKind(CanvasOp::Clear).empty());

    // Row 0 at mid gear, row 18 at full forward gear.
    ASSERT_EQ(TextsAt(c, 556, 336).size(), 1u);
    EXPECT_EQ(TextsAt(c, 556, 336)[0].text, FormatFixed(g.RevArmCentre(), 7, 3));
    ASSERT_EQ(TextsAt(c, 556, 336 - 16 * 18).size(), 1u);
    EXPECT_EQ(TextsAt(c, 556, 336 - 16 * 18)[0].text,
              FormatFixed(static_cast<float>(static_cast<long double>(g.RevArmCentre()) + g.RevArmMax), 7, 3));
    EXPECT_TRUE(TextsAt(c, 596, 336).empty());
    EXPECT_NE(c.FindText("Forward"), nullptr);
    EXPECT_NE(c.FindText("Fwd."), nullptr);
    EXPECT_EQ(c.FindText("Rev."), nullptr);

    // "Normal" line at the normal setting's height.
    const int yN = static_cast<int>(std::lround(343 - g.RevArmNormal * 288.0L / g.RevArmMax));
    EXPECT_TRUE(c.HasLine(59, yN, 650, yN));

    // Every event row 1..18 draws its lines between the row heights.
    const auto teal = LinesOfColour(c, clTeal);
    const auto red = LinesOfColour(c, clRed);
    EXPECT_GE(teal.size(), 4u * 18u - 8u);
    EXPECT_GE(red.size(), 4u * 18u - 8u);
    for (const auto* lines : {&teal, &red})
        for (const CanvasOp& l : *lines) {
            EXPECT_EQ(l.y1 - l.y2, 16);
            EXPECT_GE(l.x1, 9);
            EXPECT_LE(l.x1, 549);
            EXPECT_LE(l.y1, 343);
            EXPECT_GE(l.y2, 55);
        }

    // The annotation once, in bold, its cut-off arrow pointing at row 13's
    // front steam closing (one of the teal lines ending on row 13).
    for (const char* word : {"Exp", "Exh", "Com", "Adm"}) {
        ASSERT_EQ(c.TextsContaining(word).size(), 1u) << word;
        EXPECT_TRUE(c.TextsContaining(word)[0].bold);
    }
    const int expX = c.FindText("Exp")->x1 - 10;
    bool found = false;
    for (const CanvasOp& l : teal)
        if (l.y2 == 343 - 16 * 13 && std::abs(l.x2 - expX) <= 1) found = true;
    EXPECT_TRUE(found);

    // Same picture again.
    RecordingCanvas again;
    DrawPortDiagram(again, s);
    EXPECT_TRUE(SameOps(c.Ops(), again.Ops()));
}

TEST(PortDiagram, ReversePassStartsAtMidGearAndRunsTheDriverBackwards)
{
    AppState s = StartedState();
    Gear& g = s.gear;
    s.graph.PortGraphMode = 'R';
    s.graph.PortGraphAnnotate = false;
    RecordingCanvas c;
    DrawPortDiagram(c, s);
    ASSERT_EQ(TextsAt(c, 596, 336).size(), 1u);
    EXPECT_EQ(TextsAt(c, 596, 336)[0].text, FormatFixed(g.RevArmCentre(), 7, 3));
    EXPECT_EQ(TextsAt(c, 596, 336 - 16 * 18)[0].text,
              FormatFixed(static_cast<float>(static_cast<long double>(g.RevArmCentre()) - g.RevArmMax), 7, 3));
    EXPECT_NE(c.FindText("Rev."), nullptr);
    EXPECT_EQ(c.FindText("Forward"), nullptr);
    EXPECT_TRUE(c.TextsContaining("Exp").empty());
    EXPECT_FALSE(LinesOfColour(c, clGreen).empty());
    EXPECT_FALSE(LinesOfColour(c, clMaroon).empty());
    EXPECT_TRUE(LinesOfColour(c, clTeal).empty());
    // The last sample of a row is 356 degrees (0 - 4 folded).
    AppState probe = StartedState();
    probe.gear.RevArmPos = probe.gear.RevArmCentre() - probe.gear.RevArmMax;
    probe.gear.DriverAngle = 356;
    SolveLinkage(probe.gear);
    ComputePistonAndOpenings(probe.gear);
    EXPECT_FLOAT_EQ(g.PistonPx, probe.gear.PistonPx);
    EXPECT_FLOAT_EQ(g.PrevFrontSteamOpen, probe.gear.FrontSteamOpen);
}

TEST(PortDiagram, BothGraphsDrawsReverseOverForwardWithOneAnnotationAndRedrawRepeats)
{
    AppState s = StartedState();
    s.graph.PortGraphMode = 'R';
    RecordingCanvas both;
    DrawPortBothGraphs(both, s);
    EXPECT_EQ(s.graph.PortGraphMode, 'B');
    EXPECT_TRUE(s.graph.PortGraphAnnotate);

    // One clear, first; the forward pass (with the annotation) then the reverse one.
    ASSERT_FALSE(both.Ops().empty());
    EXPECT_EQ(both.Ops()[0].kind, CanvasOp::Clear);
    EXPECT_EQ(both.Ops()[0].colour, clWhite);
    EXPECT_EQ(both.OfKind(CanvasOp::Clear).size(), 1u);
    EXPECT_EQ(both.TextsContaining("Exp").size(), 1u);
    size_t lastForward = 0, firstReverse = both.Ops().size(), expAt = 0;
    for (size_t i = 0; i < both.Ops().size(); ++i) {
        const CanvasOp& op = both.Ops()[i];
        if (op.kind == CanvasOp::Text && op.text == "Forward") lastForward = i;
        if (op.kind == CanvasOp::Text && op.text == "Rev." && op.x1 == 605 && firstReverse == both.Ops().size())
            firstReverse = i;
        if (op.kind == CanvasOp::Text && op.text == "Exp") expAt = i;
    }
    EXPECT_LT(lastForward, expAt);
    EXPECT_LT(expAt, firstReverse);
    EXPECT_LT(firstReverse, both.Ops().size());

    // It is exactly the forward pass followed by the reverse pass without annotation.
    AppState f = StartedState();
    f.graph.PortGraphMode = 'F';
    RecordingCanvas expected;
    expected.Clear(clWhite);
    DrawPortDiagram(expected, f);
    f.graph.PortGraphMode = 'R';
    f.graph.PortGraphAnnotate = false;
    DrawPortDiagram(expected, f);
    EXPECT_TRUE(SameOps(both.Ops(), expected.Ops()));

    // Any redraw in mode 'B' repeats the whole sequence, cleared or not.
    RecordingCanvas redraw;
    RedrawPortDiagram(redraw, s, false);
    EXPECT_TRUE(SameOps(both.Ops(), redraw.Ops()));
    EXPECT_EQ(s.graph.PortGraphMode, 'B');
}

TEST(PortDiagram, RedrawClearsOnlyWhenAsked)
{
    AppState s = StartedState();
    s.graph.PortGraphMode = 'F';
    RecordingCanvas cleared, plain;
    RedrawPortDiagram(cleared, s, true);
    RedrawPortDiagram(plain, s, false);
    EXPECT_EQ(cleared.Ops()[0].kind, CanvasOp::Clear);
    EXPECT_TRUE(plain.OfKind(CanvasOp::Clear).empty());
    EXPECT_EQ(cleared.Ops().size(), plain.Ops().size() + 1);
    EXPECT_EQ(s.graph.PortGraphMode, 'F');
}

TEST(PortDiagram, BrokenReverseArmRangesDrawWithoutFault)
{
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    for (float max : {0.0f, nan, inf, -inf, 3e38f}) {
        for (char mode : {'F', 'R'}) {
            AppState s = StartedState();
            s.gear.RevArmMax = max;
            s.gear.RevArm[0] = max == 3e38f ? 3e38f : s.gear.RevArm[0];
            s.graph.PortGraphMode = mode;
            const float pos = s.gear.RevArmPos;
            RecordingCanvas c;
            DrawPortDiagram(c, s);
            EXPECT_EQ(s.gear.RevArmPos, pos);
            EXPECT_FALSE(c.Ops().empty());
            if (max == 0) {
                EXPECT_EQ(c.FindText("Normal"), nullptr);
            }
            for (const CanvasOp& op : c.Ops()) {
                EXPECT_LE(std::abs(op.x1), kPixelLimit + 1000);
                EXPECT_LE(std::abs(op.x2), kPixelLimit + 1000);
            }
        }
    }
}
