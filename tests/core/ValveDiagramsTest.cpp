#include "drawing/ValveDiagrams.h"
#include "drawing/RevArmPositions.h"
#include "model/Model.h"
#include "model/NumberText.h"
#include "platform/RecordingCanvas.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace {

struct DiagramFixture : ::testing::Test {
    void SetUp() override
    {
        StartupModel(s);
        RecordingCanvas scratch;
        RevArmLayout lay;
        LayoutRevArmDialog(scratch, s, lay); // GraphPosCount 3
    }

    // Curve segments of position n: the lines drawn after its legend row and
    // before the next position's row (or the end).
    static std::vector<CanvasOp> CurveOf(const RecordingCanvas& c, int n)
    {
        const std::string row = FormatInt(n, 5), next = FormatInt(n + 1, 5);
        std::vector<CanvasOp> out;
        bool in = false;
        for (const CanvasOp& op : c.Ops()) {
            if (op.kind == CanvasOp::Text && op.text == row)
                in = true;
            else if (op.kind == CanvasOp::Text && op.text == next)
                in = false;
            else if (in && op.kind == CanvasOp::Line)
                out.push_back(op);
        }
        return out;
    }

    // Texts of the mid-gear readout (right margin), in drawing order.
    static std::vector<std::string> Readout(const RecordingCanvas& c)
    {
        std::vector<std::string> out;
        for (const CanvasOp& op : c.Ops())
            if (op.kind == CanvasOp::Text && (op.x1 == 592 || op.x1 == 595))
                out.push_back(std::to_string(op.y1) + ":" + op.text);
        return out;
    }

    static int CountLines(const RecordingCanvas& c, int x1, int x2)
    {
        int n = 0;
        for (const CanvasOp& op : c.OfKind(CanvasOp::Line))
            if (op.x1 == x1 && op.x2 == x2 && op.y1 == op.y2) ++n;
        return n;
    }

    AppState s;
    RecordingCanvas c;
};

} // namespace

TEST_F(DiagramFixture, OvalDrawsOneClosedLoopPerPositionAndRestoresTheGear)
{
    s.gear.RevArmPos = s.gear.RevArmCentre() + 0.37f;
    s.gear.DriverAngle = 123.5f;
    DrawOvalDiagram(c, s);
    EXPECT_FLOAT_EQ(s.gear.RevArmPos, s.gear.RevArmCentre() + 0.37f);
    EXPECT_FLOAT_EQ(s.gear.DriverAngle, 123.5f);
    EXPECT_EQ(s.graph.GraphRevArmPos, s.gear.RevArm[3]);

    for (int n = 1; n <= 3; ++n) {
        const auto seg = CurveOf(c, n);
        ASSERT_EQ(seg.size(), 45u) << n;
        // The loop closes: the first and the last sample are both at 32 degrees.
        EXPECT_EQ(seg.front().x1, seg.back().x2) << n;
        EXPECT_EQ(seg.front().y1, seg.back().y2) << n;
        EXPECT_EQ(seg.front().x1, ToPixel(OvalTravelX(s.gear, 32)));
        for (size_t i = 1; i < seg.size(); ++i) {
            EXPECT_EQ(seg[i].x1, seg[i - 1].x2);
            EXPECT_EQ(seg[i].y1, seg[i - 1].y2);
        }
        // Sample at 0 degrees: 0 % travel, right edge.
        EXPECT_TRUE(std::any_of(seg.begin(), seg.end(), [](const CanvasOp& o) { return o.x2 == 585; }));
    }
    // Loop numbers in bold at x 300 and 334.
    auto nums = c.TextsContaining(" 2");
    int bold = 0;
    for (const CanvasOp& o : nums)
        if (o.text == " 2" && o.bold && (o.x1 == 300 || o.x1 == 334)) ++bold;
    EXPECT_EQ(bold, 2);
    EXPECT_FALSE(c.FontBold());
}

TEST_F(DiagramFixture, OvalTravelAxisRunsFromZeroToFullStroke)
{
    EXPECT_NEAR(static_cast<double>(OvalTravelX(s.gear, 0)), 584.5, 1e-9);
    EXPECT_NEAR(static_cast<double>(OvalTravelX(s.gear, 180)), 43.5, 1e-9);
    s.gear.Stroke = 0; // guarded divisor: finite
    EXPECT_TRUE(std::isfinite(static_cast<double>(OvalTravelX(s.gear, 90))));
}

TEST_F(DiagramFixture, MidGearReadoutLeadsEqualPortOpeningsAtTheValveExtremes)
{
    DrawOvalDiagram(c, s);
    // Independent sweep of the mid-gear position over the oval's 46 angles.
    Gear g = s.gear;
    g.RevArmPos = g.RevArm[1];
    float rearLead = -1e9f, frontLead = -1e9f;
    for (int j = 7; j <= 52; ++j) {
        int a = 88 - 8 * j;
        while (a < 0) a += 360;
        g.DriverAngle = static_cast<float>(a);
        SolveLinkage(g);
        ComputePistonAndOpenings(g);
        rearLead = std::max(rearLead, g.RearSteamOpen);
        frontLead = std::max(frontLead, g.FrontSteamOpen);
    }
    const CanvasOp* lead1 = nullptr;
    const CanvasOp* lead2 = nullptr;
    for (const CanvasOp& op : c.Ops()) {
        if (op.kind != CanvasOp::Text) continue;
        if (op.x1 == 592 && op.y1 == 166) lead1 = &op;
        if (op.x1 == 592 && op.y1 == 295) lead2 = &op;
    }
    ASSERT_NE(lead1, nullptr);
    ASSERT_NE(lead2, nullptr);
    EXPECT_EQ(lead1->text, FormatFixed(rearLead, 6, 3));
    EXPECT_EQ(lead2->text, FormatFixed(frontLead, 6, 3));
    ASSERT_NE(c.FindText("ExCl"), nullptr);
    EXPECT_EQ(c.FindText("ExCl")->y1, 211);
    EXPECT_EQ(c.TextsContaining("Lead").size(), 2u); // one readout: only position 1 is at mid gear
    const auto readout = Readout(c);
    EXPECT_NE(std::find(readout.begin(), readout.end(), "195:" + FormatFixed(s.gear.FrontSteamLap, 6, 3)),
              readout.end());
    EXPECT_NE(std::find(readout.begin(), readout.end(), "237:" + FormatFixed(s.gear.RearExhClear, 6, 3)),
              readout.end());
}

TEST_F(DiagramFixture, ReadoutOnlyStrictlyWithinMidGearBand)
{
    s.gear.RevArm[1] = s.gear.RevArmCentre() + 0.06f;
    s.gear.RevArm[2] = s.gear.RevArmCentre() - 0.04f;
    s.gear.RevArm[3] = s.gear.RevArmCentre() + 0.02f;
    DrawOvalDiagram(c, s);
    EXPECT_EQ(c.TextsContaining("Lead").size(), 4u); // positions 2 and 3
    RecordingCanvas c2;
    s.gear.RevArm[2] = s.gear.RevArmCentre() + 0.5f;
    s.gear.RevArm[3] = s.gear.RevArmCentre() - 0.5f;
    DrawOvalDiagram(c2, s);
    EXPECT_TRUE(c2.TextsContaining("Lead").empty());
    EXPECT_TRUE(c2.TextsContaining("ExCl").empty());
}

TEST_F(DiagramFixture, VerticalScaleTicksAndLabels)
{
    // Default 1.5: a tick every 0.02 units, a label every 0.1.
    DrawVerticalScale(c, s, 15);
    EXPECT_EQ(CountLines(c, 39, 44), 61);
    EXPECT_EQ(CountLines(c, 36, 44), 13);
    ASSERT_NE(c.FindText("0.1"), nullptr);
    EXPECT_EQ(c.FindText("0.1")->x1, 15);
    EXPECT_EQ(c.FindText("0.1")->y1, 185);
    EXPECT_EQ(c.FindText("-0.6")->y1, 360);

    // Above 3.75 only every fifth tick and labels at multiples of 0.5.
    RecordingCanvas c4;
    s.graph.GraphVerticalScale = 4;
    DrawVerticalScale(c4, s, 14);
    EXPECT_EQ(CountLines(c4, 39, 44), 33);
    EXPECT_EQ(CountLines(c4, 36, 44), 7);
    std::vector<std::string> labels;
    for (const CanvasOp& op : c4.OfKind(CanvasOp::Text)) {
        EXPECT_EQ(op.x1, 14);
        labels.push_back(op.text);
    }
    EXPECT_EQ(labels, (std::vector<std::string>{"-1.5", "-1", "-0.5", "0", "0.5", "1", "1.5"}));
    EXPECT_EQ(c4.FindText("0.5")->y1, ToPixel(210 - 5 * 37.5L / 4));
}

TEST_F(DiagramFixture, PortLinesAtTheirHeights)
{
    DrawPortLines(c, s, 15, 584, kOvalPortLabels);
    const int yf = ValveOffsetY(s, s.gear.FrontSteamOpenLine);
    const int yr = ToPixel(215 + static_cast<long double>(s.gear.RearExhOpenLine) * 250);
    bool lime = false, red = false;
    for (const CanvasOp& op : c.OfKind(CanvasOp::Line)) {
        if (op.x1 == 15 && op.x2 == 584 && op.y1 == yf && op.colour == clLime) lime = true;
        if (op.x1 == 15 && op.x2 == 584 && op.y1 == yr && op.colour == clRed) red = true;
    }
    EXPECT_TRUE(lime);
    EXPECT_TRUE(red);
    const CanvasOp* t = c.FindText("Rear Exhaust Port Open");
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->x1, 430);
    EXPECT_EQ(t->colour, clBlack);
    EXPECT_EQ(c.PenColour(), clBlack);
}

TEST_F(DiagramFixture, PortLabelsAndANinePositionLegendKeepClearOfTheNumbersAndThePlot)
{
    // The built-in design puts the front steam port's max line on the row of
    // travel numbers (y 353).
    for (int k = 1; k <= 9; ++k) s.gear.RevArm[k] = -0.8f + 0.2f * static_cast<float>(k);
    s.graph.GraphPosCount = 9;
    for (auto draw : {DrawOvalDiagram, DrawSineDiagram}) {
        RecordingCanvas c;
        draw(c, s);
        const CanvasOp* label = c.FindText("Front Steam Port Max");
        ASSERT_NE(label, nullptr);
        EXPECT_TRUE(label->y1 + 13 <= 353 || label->y1 >= 366) << label->y1;
        for (int n = 1; n <= 9; ++n) {
            const CanvasOp* row = c.FindText(FormatInt(n, 5));
            ASSERT_NE(row, nullptr);
            EXPECT_TRUE(row->y1 + 13 <= 84 || (row->y1 >= 381 && row->y1 + 13 <= 414)) << n << ": " << row->y1;
        }
    }
}

TEST_F(DiagramFixture, SineCurvesSpanFiftyEightToFiveEightySix)
{
    s.gear.DriverAngle = 77;
    DrawSineDiagram(c, s);
    EXPECT_FLOAT_EQ(s.gear.DriverAngle, 77);
    EXPECT_EQ(s.gear.RevArmPos, s.gear.RevArmCentre());
    for (int n = 1; n <= 3; ++n) {
        const auto seg = CurveOf(c, n);
        ASSERT_EQ(seg.size(), 66u) << n;
        EXPECT_EQ(seg.front().x1, 58);
        EXPECT_EQ(seg.back().x2, 586);
        // Driver angle 0 falls at x 90 and again at x 450.
        Gear g = s.gear;
        g.RevArmPos = g.RevArm[static_cast<size_t>(n)];
        g.DriverAngle = 0;
        SolveLinkage(g);
        const int y0 = ValveOffsetY(s, g.ValveCen);
        int hits = 0;
        for (const CanvasOp& o : seg)
            if ((o.x2 == 90 || o.x2 == 450) && o.y2 == y0) ++hits;
        EXPECT_EQ(hits, 2) << n;
        // The number at the left end, at the height of the first sample.
        bool number = false;
        for (const CanvasOp& o : c.OfKind(CanvasOp::Text))
            if (o.text == FormatInt(n, 2) && o.bold && o.x1 == 45 && o.y1 == seg.front().y1) number = true;
        EXPECT_TRUE(number) << n;
    }
    EXPECT_NE(c.FindText("Driver Clockwise Rotation --->"), nullptr);
    const CanvasOp* label = c.FindText("Front Exhaust Port Open");
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->x1, 230);
}

TEST_F(DiagramFixture, SineReadoutIsTheOvalReadout)
{
    RecordingCanvas oval;
    DrawOvalDiagram(oval, s);
    DrawSineDiagram(c, s);
    const auto a = Readout(oval), b = Readout(c);
    EXPECT_EQ(a.size(), 11u);
    EXPECT_EQ(a, b);
}

TEST_F(DiagramFixture, NoPositionsDrawsBackgroundOnly)
{
    s.graph.GraphPosCount = 0;
    DrawOvalDiagram(c, s);
    EXPECT_EQ(c.FindText("    1"), nullptr);
    EXPECT_NE(c.FindText("Reverse Arm Positions"), nullptr);
    EXPECT_TRUE(c.TextsContaining("Lead").empty());
}

TEST_F(DiagramFixture, BrokenScaleOrDesignDrawsWithoutFault)
{
    const float bad[] = {0.0f, -2.0f, std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                         1e38f};
    for (float v : bad) {
        AppState t = s;
        t.graph.GraphVerticalScale = v;
        t.gear.Stroke = 0;
        RecordingCanvas r1, r2;
        DrawOvalDiagram(r1, t);
        DrawSineDiagram(r2, t);
        for (const RecordingCanvas* r : {&r1, &r2})
            for (const CanvasOp& op : r->OfKind(CanvasOp::Line)) {
                EXPECT_LE(std::abs(op.y1), kPixelLimit);
                EXPECT_LE(std::abs(op.y2), kPixelLimit);
            }
        EXPECT_LT(r1.Ops().size(), 20000u) << v;
    }
}
