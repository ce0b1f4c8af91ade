#include "drawing/SteamDiagram.h"

#include "DiagramTestUtil.h"
#include "model/NumberText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

AppState DefaultsWithPositions(int count)
{
    AppState s = StartedState();
    s.graph.GraphPosCount = count;
    return s;
}

// Ops of each position n (1..count), split at the legend rows.
std::vector<std::vector<CanvasOp>> OpsPerPosition(const RecordingCanvas& c, int count)
{
    std::vector<std::vector<CanvasOp>> out(static_cast<size_t>(count) + 1);
    int current = 0;
    for (const CanvasOp& op : c.Ops()) {
        if (op.kind == CanvasOp::Text && op.x1 == 545) {
            for (int n = 1; n <= count; ++n)
                if (op.text == FormatInt(n, 5)) current = n;
        }
        out[static_cast<size_t>(current)].push_back(op);
    }
    return out;
}

} // namespace

// ---------------------------------------------------------------- phase model

TEST(SteamPhases, ExhaustDecaysToTheFloorAndCompressionFollowsWhenItCloses)
{
    AppState s = StartedState();
    Gear& g = s.gear;
    SteamDiagramState& d = s.steamDia;

    d.FrontPhase = '1';
    d.FrontPressure = 100;
    d.FrontReleasePressure = 150;
    g.FrontExhOpen = 0.1f;
    UpdateFrontSteamPhase(s);
    EXPECT_FLOAT_EQ(d.FrontPressure, 90.0f);
    EXPECT_EQ(d.FrontPhase, '1');

    d.FrontPressure = 8;
    UpdateFrontSteamPhase(s);
    EXPECT_FLOAT_EQ(d.FrontPressure, 5.0f);

    // Exhaust closed: compression step, q = 300 / (299 + 1) + 0.3 = 1.3.
    g.FrontExhOpen = 0;
    g.PrevPistonPx = 300;
    g.PistonPx = 299;
    UpdateFrontSteamPhase(s);
    EXPECT_EQ(d.FrontPhase, '2');
    EXPECT_NEAR(d.FrontPressure, 5 + std::pow(1.3, 4), 1e-5);

    // Rear: q = (640 - 340) / (641 - 341) + 0.3 = 1.3.
    d.RearPhase = '1';
    d.RearPressure = 20;
    g.RearExhOpen = -0.01f;
    g.PrevPistonPx = 340;
    g.PistonPx = 341;
    UpdateRearSteamPhase(s);
    EXPECT_EQ(d.RearPhase, '2');
    EXPECT_NEAR(d.RearPressure, 20 + std::pow(1.3, 4), 1e-5);
}

TEST(SteamPhases, AdmissionRaisesTheSharedSteamOpeningAndCapsThePressure)
{
    AppState s = StartedState();
    Gear& g = s.gear;
    SteamDiagramState& d = s.steamDia;

    d.FrontPhase = '2';
    d.FrontPressure = 40;
    g.FrontSteamOpen = 0.002f;
    g.PrevPistonPx = 10;
    g.PistonPx = 5;
    UpdateFrontSteamPhase(s);
    EXPECT_EQ(g.FrontSteamOpen, 0.005f); // the model value itself
    EXPECT_NEAR(d.FrontPressure, 40 + 0.005 * 100000 / 50, 1e-4);
    EXPECT_EQ(d.FrontPhase, '3');

    // Admission goes on, capped at 303; it re-arms the curve number.
    d.FrontLabelArmed = false;
    d.FrontPressure = 300;
    g.FrontSteamOpen = 0.1f;
    g.PistonPx = 55;
    UpdateFrontSteamPhase(s);
    EXPECT_FLOAT_EQ(d.FrontPressure, 303.0f);
    EXPECT_EQ(g.FrontSteamOpen, 0.1f);
    EXPECT_EQ(d.FrontPhase, '3');
    EXPECT_TRUE(d.FrontLabelArmed);

    // Rear admission: opening * 100000 / (685 - piston).
    d.RearPhase = '3';
    d.RearPressure = 50;
    g.RearSteamOpen = 0.001f;
    g.PistonPx = 585;
    UpdateRearSteamPhase(s);
    EXPECT_EQ(g.RearSteamOpen, 0.005f);
    EXPECT_NEAR(d.RearPressure, 50 + 0.005 * 100000 / 100, 1e-4);
    EXPECT_EQ(d.RearPhase, '3');
}

TEST(SteamPhases, CompressionTurnsToAdmissionWhenThePistonTurnsBack)
{
    AppState s = StartedState();
    Gear& g = s.gear;
    SteamDiagramState& d = s.steamDia;
    g.FrontSteamOpen = -0.1f;
    g.RearSteamOpen = -0.1f;

    // Front end: the piston still closing on it (position falling) stays in compression.
    d.FrontPhase = '2';
    d.FrontPressure = 50;
    g.PrevPistonPx = 20;
    g.PistonPx = 10;
    UpdateFrontSteamPhase(s);
    EXPECT_EQ(d.FrontPhase, '2');
    g.PrevPistonPx = 10;
    g.PistonPx = 12;
    UpdateFrontSteamPhase(s);
    EXPECT_EQ(d.FrontPhase, '3');
    EXPECT_EQ(g.FrontSteamOpen, -0.1f); // no admission step, no raise

    // Rear end mirrors it: the position rising closes on the rear.
    d.RearPhase = '2';
    d.RearPressure = 50;
    g.PrevPistonPx = 600;
    g.PistonPx = 610;
    UpdateRearSteamPhase(s);
    EXPECT_EQ(d.RearPhase, '2');
    g.PrevPistonPx = 610;
    g.PistonPx = 605;
    UpdateRearSteamPhase(s);
    EXPECT_EQ(d.RearPhase, '3');
}

TEST(SteamPhases, ExpansionReleaseAndReadmission)
{
    AppState s = StartedState();
    Gear& g = s.gear;
    SteamDiagramState& d = s.steamDia;

    // Cut-off: expansion by (100 + 100) / (300 + 100) * 0.96.
    d.FrontPhase = '3';
    d.FrontPressure = 200;
    g.FrontSteamOpen = -0.01f;
    g.FrontExhOpen = -0.2f;
    g.PrevPistonPx = 100;
    g.PistonPx = 300;
    UpdateFrontSteamPhase(s);
    EXPECT_EQ(d.FrontPhase, '4');
    EXPECT_NEAR(d.FrontPressure, 96.0, 1e-4);

    // Release: the pressure is kept, then the exhaust step.
    g.FrontExhOpen = 0.05f;
    UpdateFrontSteamPhase(s);
    EXPECT_EQ(d.FrontPhase, '1');
    EXPECT_FLOAT_EQ(d.FrontReleasePressure, 96.0f);
    EXPECT_NEAR(d.FrontPressure, 96.0 - 96.0 / 15, 1e-4);

    // Rear expansion: (740 - 500) / (740 - 340) * 0.96; an opening steam
    // port during expansion goes straight back to admission.
    d.RearPhase = '4';
    d.RearPressure = 100;
    g.RearExhOpen = -0.2f;
    g.RearSteamOpen = 0.01f;
    g.PrevPistonPx = 500;
    g.PistonPx = 340;
    UpdateRearSteamPhase(s);
    EXPECT_NEAR(d.RearPressure, 100.0 * 240 / 400 * 0.96, 1e-4);
    EXPECT_EQ(d.RearPhase, '3');
}

TEST(SteamPhases, VanishingPositionTermsStayFinite)
{
    AppState s = StartedState();
    Gear& g = s.gear;
    SteamDiagramState& d = s.steamDia;
    g.FrontExhOpen = -1;
    g.FrontSteamOpen = 1;
    g.RearExhOpen = -1;
    g.RearSteamOpen = 1;
    const struct {
        char front, rear;
        float piston;
    } cases[] = {{'1', '1', -1}, {'1', '1', 641}, {'3', '3', -45}, {'3', '3', 685}};
    for (const auto& k : cases) {
        d.FrontPhase = k.front;
        d.RearPhase = k.rear;
        d.FrontPressure = d.RearPressure = 10;
        g.PistonPx = k.piston;
        g.PrevPistonPx = 3;
        UpdateFrontSteamPhase(s);
        UpdateRearSteamPhase(s);
        EXPECT_TRUE(std::isfinite(d.FrontPressure));
        EXPECT_TRUE(std::isfinite(d.RearPressure));
    }
    g.FrontSteamOpen = g.RearSteamOpen = -1;
    for (float piston : {-100.0f, 740.0f}) {
        d.FrontPhase = d.RearPhase = '4';
        g.PistonPx = piston;
        UpdateFrontSteamPhase(s);
        UpdateRearSteamPhase(s);
        EXPECT_TRUE(std::isfinite(d.FrontPressure));
        EXPECT_TRUE(std::isfinite(d.RearPressure));
    }
}

// ---------------------------------------------------------------- steps

TEST(SteamSteps, TheFirstStepDrawsNothingTheSecondMarksACutOff)
{
    AppState s = StartedState();
    Gear& g = s.gear;
    ResetSteamDiagram(s);
    EXPECT_EQ(g.DriverAngle, 96.0f);
    g.RevArmPos = g.RevArmCentre();
    // A steam port open at the step before would make any drawn step mark a cut-off.
    g.PrevFrontSteamOpen = 1;
    g.PrevRearSteamOpen = 1;
    RecordingCanvas c;
    SteamDiagramStep(c, s, 1, 1);
    EXPECT_TRUE(c.Ops().empty());
    EXPECT_NE(s.steamDia.PrevFrontPressure, 0.0f);
    EXPECT_EQ(g.DriverAngle, 100.0f);

    ASSERT_LE(g.FrontSteamOpen, 0.0f);
    g.PrevFrontSteamOpen = 1;
    SteamDiagramStep(c, s, 1, 2);
    ASSERT_FALSE(c.TextsContaining("%CutOff").empty());
    EXPECT_EQ(c.TextsContaining("%CutOff")[0].colour, clGreen);
    // Loops only from step 61; the row's cell is blanked before its texts.
    EXPECT_TRUE(LinesOfColour(c, clGreen).empty());
    EXPECT_TRUE(LinesOfColour(c, clRed).empty());
    EXPECT_TRUE(c.HasLine(588, 246, 628, 246));
    EXPECT_TRUE(c.HasLine(588, 258, 628, 258));
}

TEST(SteamSteps, ThePositionOnTheCentreTurnsTheDriverForwards)
{
    AppState s = StartedState();
    Gear& g = s.gear;
    ResetSteamDiagram(s);
    RecordingCanvas c;
    g.RevArmPos = g.RevArmCentre();
    SteamDiagramStep(c, s, 1, 1);
    EXPECT_EQ(g.DriverAngle, 100.0f);
    g.RevArmPos = std::nextafter(g.RevArmCentre(), -1.0f);
    SteamDiagramStep(c, s, 1, 2);
    EXPECT_EQ(g.DriverAngle, 96.0f);
    // Folding past 0 and 360.
    g.DriverAngle = 2;
    SteamDiagramStep(c, s, 1, 3);
    EXPECT_EQ(g.DriverAngle, 358.0f);
    g.RevArmPos = g.RevArmCentre();
    SteamDiagramStep(c, s, 1, 4);
    EXPECT_EQ(g.DriverAngle, 2.0f);

    // In a whole draw: one position on the centre ends at 96 + 150 * 4 = 696,
    // that is 336 degrees, and the piston holds that sample.
    AppState w = DefaultsWithPositions(1);
    w.gear.DriverAngle = 10;
    RecordingCanvas d;
    DrawSteamDiagram(d, w);
    EXPECT_EQ(w.gear.DriverAngle, 10.0f);
    AppState probe = StartedState();
    probe.gear.RevArmPos = probe.gear.RevArmCentre();
    probe.gear.DriverAngle = 336;
    SolveLinkage(probe.gear);
    ComputePistonAndOpenings(probe.gear);
    EXPECT_FLOAT_EQ(w.gear.PistonPx, probe.gear.PistonPx);
    EXPECT_EQ(w.graph.GraphRevArmPos, w.gear.RevArmCentre());
}

// ---------------------------------------------------------------- whole diagram

TEST(SteamDiagram, NoPositionsDrawOnlyTheBackgroundAndLegendHead)
{
    AppState s = DefaultsWithPositions(0);
    s.gear.DriverAngle = 42;
    s.gear.RevArmPos = 0.25f;
    RecordingCanvas c;
    DrawSteamDiagram(c, s);
    EXPECT_EQ(s.gear.DriverAngle, 42.0f);
    EXPECT_EQ(s.gear.RevArmPos, 0.25f);
    EXPECT_NE(c.FindText("Reverse Arm Positions"), nullptr);
    EXPECT_NE(c.FindText("Center"), nullptr);
    EXPECT_NE(c.FindText("Percent Piston Travel"), nullptr);
    EXPECT_NE(c.FindText("Forward End --->"), nullptr);
    EXPECT_TRUE(c.TextsContaining("%CutOff").empty());
    EXPECT_TRUE(TextsAt(c, 545, 24).empty());
    // Grid ticks, two verticals and the base line, all black.
    const auto lines = c.OfKind(CanvasOp::Line);
    EXPECT_EQ(lines.size(), 9u * (19u + 9u) + 3u);
    for (const CanvasOp& op : c.Ops())
        if (op.kind != CanvasOp::Clear) {
            EXPECT_EQ(op.colour, clBlack);
        }
    EXPECT_TRUE(c.HasLine(45, 343, 585, 343));
    EXPECT_TRUE(c.HasLine(44, 70, 44, 346));
}

TEST(SteamDiagram, DefaultsDrawThreeGreenAndThreeRedLoopsWithACutOffRowEach)
{
    AppState s = DefaultsWithPositions(3);
    RecordingCanvas c;
    DrawSteamDiagram(c, s);
    const auto per = OpsPerPosition(c, 3);
    for (int n = 1; n <= 3; ++n) {
        const auto& ops = per[static_cast<size_t>(n)];
        for (Colour colour : {clGreen, clRed}) {
            int count = 0, minX = 10000, maxX = -10000, minY = 10000, maxY = -10000;
            for (const CanvasOp& op : ops) {
                if (op.kind != CanvasOp::Line || op.colour != colour) continue;
                ++count;
                minX = std::min({minX, op.x1, op.x2});
                maxX = std::max({maxX, op.x1, op.x2});
                minY = std::min({minY, op.y1, op.y2});
                maxY = std::max({maxY, op.y1, op.y2});
            }
            // One revolution of 90 steps, round the whole stroke, from the
            // exhaust floor up to admission pressure.
            EXPECT_GE(count, 90) << n;
            EXPECT_LE(minX, 60) << n;
            EXPECT_GE(maxX, 570) << n;
            EXPECT_GT(maxY - minY, 150) << n;
        }
        // Cut-off rows: front end at the right margin, rear end at the left.
        const int y = 13 * n + 233;
        for (const auto& [numX, pctX] : {std::pair{588, 600}, std::pair{3, 15}}) {
            const auto num = TextsAt(c, numX, y);
            const auto pct = TextsAt(c, pctX, y);
            ASSERT_FALSE(num.empty()) << n;
            ASSERT_EQ(num.size(), pct.size());
            EXPECT_EQ(num[0].text, std::to_string(n));
            // Each repaint of the row blanks its cell first, clear of the chart.
            int blanks = 0;
            for (const CanvasOp& op : c.Ops())
                if (op.kind == CanvasOp::Line && op.colour == clWhite && op.y1 == y && op.x1 == numX) {
                    ++blanks;
                    EXPECT_TRUE(op.x2 < 44 || op.x1 > 584);
                }
            EXPECT_EQ(blanks, static_cast<int>(num.size()));
            const double v = std::stod(pct.back().text);
            EXPECT_GT(v, 0.0);
            EXPECT_LT(v, 100.0);
        }
        // Curve numbers in bold.
        bool numbered = false;
        for (const CanvasOp& op : ops)
            if (op.kind == CanvasOp::Text && op.bold && op.text == std::to_string(n)) numbered = true;
        EXPECT_TRUE(numbered) << n;
    }
    const auto frontTitle = TextsAt(c, 587, 231);
    ASSERT_FALSE(frontTitle.empty());
    EXPECT_EQ(frontTitle[0].text, "%CutOff");
    EXPECT_EQ(frontTitle[0].colour, clGreen);
    ASSERT_FALSE(TextsAt(c, 2, 231).empty());
    EXPECT_EQ(TextsAt(c, 2, 231)[0].colour, clRed);
}

TEST(SteamDiagram, PressureStaysOnTheChartAndRepeatedDrawsAreIdentical)
{
    AppState s = StartedState();
    Gear& g = s.gear;
    // Nine positions over the whole range of the arm.
    for (int n = 1; n <= 9; ++n)
        g.RevArm[static_cast<size_t>(n)] =
            static_cast<float>(g.RevArmCentre() + (n - 5) * static_cast<long double>(g.RevArmMax) / 4);
    s.graph.GraphPosCount = 9;
    RecordingCanvas c;
    DrawSteamDiagram(c, s);
    int drawn = 0;
    for (const CanvasOp& op : c.Ops()) {
        if (op.kind != CanvasOp::Line || (op.colour != clGreen && op.colour != clRed)) continue;
        ++drawn;
        // 303 maps to y 70, 5 to y 339.
        EXPECT_GE(std::min(op.y1, op.y2), 70);
        EXPECT_LE(std::max(op.y1, op.y2), 339);
    }
    EXPECT_GE(drawn, 9 * 2 * 90);
    EXPECT_EQ(s.steamDia.CurveNumber, 9);

    // The state is reset by each draw, whatever was left in it.
    s.steamDia.FrontPressure = 250;
    s.steamDia.RearPhase = '4';
    s.steamDia.CurveNumber = 7;
    g.PrevPistonPx = 333;
    RecordingCanvas again;
    DrawSteamDiagram(again, s);
    EXPECT_TRUE(SameOps(c.Ops(), again.Ops()));
}

TEST(SteamDiagram, BrokenValuesDrawWithoutFault)
{
    struct Case {
        const char* what;
        void (*apply)(AppState&);
    };
    const Case cases[] = {
        {"zero maximum", [](AppState& s) { s.gear.RevArmMax = 0; }},
        {"zero stroke", [](AppState& s) { s.gear.Stroke = 0; }},
        {"zero main rod", [](AppState& s) { s.gear.MainRodLength = 0; }},
        {"NaN position", [](AppState& s) { s.gear.RevArm[2] = std::numeric_limits<float>::quiet_NaN(); }},
        {"huge position", [](AppState& s) { s.gear.RevArm[3] = 3e38f; }},
        {"count beyond the list", [](AppState& s) { s.graph.GraphPosCount = 42; }},
    };
    for (const Case& k : cases) {
        AppState s = DefaultsWithPositions(3);
        k.apply(s);
        s.gear.DriverAngle = 17;
        RecordingCanvas c;
        DrawSteamDiagram(c, s);
        EXPECT_EQ(s.gear.DriverAngle, 17.0f) << k.what;
        EXPECT_NE(c.FindText("Reverse Arm Positions"), nullptr) << k.what;
        for (const CanvasOp& op : c.Ops()) {
            EXPECT_LE(std::abs(op.x1), kPixelLimit + 1000) << k.what;
            EXPECT_LE(std::abs(op.y2), kPixelLimit + 1000) << k.what;
        }
    }
}
