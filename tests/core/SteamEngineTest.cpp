// The steam performance model: the ideal diagram against its closed form, mass
// and energy conserved, the same mean effective pressure at the same piston
// speed on a scaled design, the trends with speed and cut-off, and the step
// in crank angle fine enough; the texts and the picture of a point.
#include "analysis/SteamEngine.h"
#include "analysis/PerformanceText.h"
#include "drawing/IndicatorDiagram.h"
#include "model/DesignScale.h"
#include "model/EngineData.h"
#include "model/Model.h"
#include "platform/RecordingCanvas.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {

// The built-in design at full size: seven times, in inches, with the default
// engine data kept in it, opened as a file is (mid gear found).
AppState FullSize(LengthUnit unit = LengthUnit::Inch)
{
    AppState s;
    StartupModel(s);
    ApplyScale(s, {unit == LengthUnit::Millimetre ? 7 * 25.4L : 7, unit, RoundGrid::None});
    RecomputeRevArmCentre(s.gear);
    s.gear.HasEngine = true;
    s.gear.Engine = DefaultEngineData(s.gear);
    return s;
}

PointResult Point(const Gear& g, int notch, Running d, double rpm, PointOptions o = {}, int steps = kDefaultTurnSteps)
{
    const EngineTurn turn = SolveEngineTurn(g, notch, d, steps);
    return RunEnginePoint(turn, MakeEngineSetup(g, g.Engine), rpm, o);
}

std::string Where(int notch, Running d, double rpm)
{
    return NotchName(notch) + " " + DirectionName(d) + " " + std::to_string(static_cast<int>(rpm)) + " rpm";
}

} // namespace

// The ideal diagram: admission at the chest pressure to cut-off, p V^n to
// release, the back pressure to compression, p V^n to admission, with the
// volumes of the events as the events table gives them (% of stroke and the
// clearance): its work in closed form.
TEST(SteamEngine, TheIdealDiagramIsTheClosedFormOfTheEventsTable)
{
    for (const LengthUnit unit : {LengthUnit::Inch, LengthUnit::Millimetre}) {
        AppState s = FullSize(unit);
        s.gear.Engine.ClearanceRear = 11; // the ends differ
        const EngineSetup e = MakeEngineSetup(s.gear, s.gear.Engine);
        for (const int notch : {kNormalNotch, 18, 6})
            for (const Running d : {Running::Forward, Running::Reverse})
                for (const double n : {1.0, 1.3}) {
                    SCOPED_TRACE(Where(notch, d, 120) + " n " + std::to_string(n));
                    const EngineTurn turn = SolveEngineTurn(s.gear, notch, d);
                    PointOptions o;
                    o.ideal = true;
                    o.n = n;
                    const PointResult r = RunEnginePoint(turn, e, 120, o);
                    ASSERT_TRUE(r.ok) << r.problem;
                    for (int end = 0; end < kCylinderEnds; ++end) {
                        const auto& ev = turn.events.event[end];
                        const auto V = [&](int kind) {
                            return e.sweptVolume * (ev[kind].percent / 100.0 + e.clearance[end]);
                        };
                        const double pc = e.chest.p, pb = e.backPressure;
                        const double adm = V(veAdmission), cut = V(veCutOff), rel = V(veRelease),
                                     cmp = V(veCompression);
                        const auto law = [n](double p, double v0, double v1) {
                            return n == 1 ? p * v0 * std::log(v1 / v0)
                                          : p * std::pow(v0, n) * (std::pow(v1, 1 - n) - std::pow(v0, 1 - n)) / (1 - n);
                        };
                        const double work = pc * (cut - adm) + law(pc, cut, rel) + pb * (cmp - rel) + law(pb, cmp, adm);
                        EXPECT_NEAR(r.end[end].mep / (work / e.sweptVolume), 1, 1e-6) << end;
                        EXPECT_NEAR(r.end[end].releasePressure / (pc * std::pow(cut / rel, n)), 1, 1e-6);
                        EXPECT_NEAR(r.end[end].compressionPeak / (pb * std::pow(cmp / adm, n)), 1, 1e-6);
                    }
                    EXPECT_NEAR(r.cutOffPressureRatio, 1, 1e-12);
                }
    }
}

// Each step conserves mass and energy: the end's steam changes by exactly what
// the openings carried and the piston took. Over a revolution the steam that
// came in went out (within 0.1 %), and so did its energy less the work.
TEST(SteamEngine, MassAndEnergyAreConserved)
{
    AppState s = FullSize();
    for (const bool superheated : {false, true}) {
        s.gear.Engine.Superheat = superheated ? 150.0f : 0.0f;
        for (const auto& [notch, rpm] : {std::pair{kNormalNotch, 60.0}, {18, 300.0}, {3, 120.0}, {0, 200.0}}) {
            SCOPED_TRACE(Where(notch, Running::Forward, rpm) + (superheated ? " superheated" : ""));
            const PointResult r = Point(s.gear, notch, Running::Forward, rpm);
            ASSERT_TRUE(r.ok) << r.problem;
            EXPECT_TRUE(r.converged);
            for (const EndFigures& f : r.end) {
                const double in = f.massIn + f.massDrawn, out = f.massBack + f.massOut;
                EXPECT_NEAR(f.massChange, in - out, 1e-12 * in);
                const double energy = f.energyIn + f.energyDrawn - f.energyBack - f.energyOut;
                EXPECT_NEAR(f.energyChange, energy - f.work, 1e-9 * f.energyIn);
                EXPECT_NEAR(out / in, 1, 1e-3);
                EXPECT_NEAR(f.work, energy, 1e-3 * f.energyIn);
            }
        }
    }
}

// A design scaled by k run at the same piston speed: every time of the cycle
// scales with k, every area with k², every volume with k³. The mean effective
// pressure is the same, the power, the tractive effort and the steam k² times.
TEST(SteamEngine, AScaledDesignAtTheSamePistonSpeedGivesTheSamePressures)
{
    const AppState base = FullSize();
    for (const long double k : {2.0L, 1.0L / 7, 0.3L}) {
        AppState s = base;
        ASSERT_TRUE(ScaleDesign(s, {k, LengthUnit::Inch, RoundGrid::None}));
        for (const auto& [notch, rpm] : {std::pair{kNormalNotch, 120.0}, {12, 240.0}}) {
            SCOPED_TRACE(Where(notch, Running::Forward, rpm) + " x" + std::to_string(static_cast<double>(k)));
            const PointResult a = Point(base.gear, notch, Running::Forward, rpm);
            const PointResult b = Point(s.gear, notch, Running::Forward, rpm / static_cast<double>(k));
            ASSERT_TRUE(a.ok && b.ok);
            EXPECT_NEAR(b.pistonSpeed / a.pistonSpeed, 1, 1e-6);
            EXPECT_NEAR(b.mep / a.mep, 1, 1e-3);
            const double k2 = static_cast<double>(k * k);
            EXPECT_NEAR(b.power / a.power / k2, 1, 1e-3);
            EXPECT_NEAR(b.tractiveEffort / a.tractiveEffort / k2, 1, 1e-3);
            EXPECT_NEAR(b.steamPerHour / a.steamPerHour / k2, 1, 1e-3);
        }
    }
}

// At a notch the ports throttle the steam more the faster the engine runs;
// at a low speed a longer cut-off fills more of the stroke.
TEST(SteamEngine, TheMeanEffectivePressureFallsWithSpeedAndRisesWithTheCutOff)
{
    const AppState s = FullSize();
    for (const int notch : {kNormalNotch, 18, 9}) {
        double last = INFINITY;
        for (const double rpm : {30.0, 60.0, 120.0, 240.0, 400.0}) {
            const PointResult r = Point(s.gear, notch, Running::Forward, rpm);
            ASSERT_TRUE(r.ok);
            EXPECT_LT(r.mep, last) << Where(notch, Running::Forward, rpm);
            last = r.mep;
        }
    }
    for (const Running d : {Running::Forward, Running::Reverse}) {
        double lastCutOff = 0, lastMep = -INFINITY;
        for (int notch = 6; notch <= 18; notch += 3) {
            const PointResult r = Point(s.gear, notch, d, 30);
            ASSERT_TRUE(r.ok);
            EXPECT_GT(r.cutOff, lastCutOff) << Where(notch, d, 30);
            EXPECT_GT(r.mep, lastMep) << Where(notch, d, 30);
            lastCutOff = r.cutOff;
            lastMep = r.mep;
        }
    }
}

// Halving the step in crank angle changes the mean effective pressure by less
// than 0.1 %, from full gear at speed to mid gear, saturated or superheated.
TEST(SteamEngine, HalvingTheStepChangesTheMeanEffectivePressureByLessThanATenthOfAPercent)
{
    AppState s = FullSize();
    const struct {
        int notch;
        Running d;
        double rpm;
        float superheat;
    } cases[] = {{kNormalNotch, Running::Forward, 60, 0}, {kNormalNotch, Running::Reverse, 240, 0},
                 {18, Running::Forward, 400, 0},          {3, Running::Forward, 120, 0},
                 {0, Running::Forward, 240, 0},           {9, Running::Reverse, 200, 200}};
    for (const auto& c : cases) {
        SCOPED_TRACE(Where(c.notch, c.d, c.rpm));
        s.gear.Engine.Superheat = c.superheat;
        const PointResult a = Point(s.gear, c.notch, c.d, c.rpm, {}, kDefaultTurnSteps);
        const PointResult b = Point(s.gear, c.notch, c.d, c.rpm, {}, 2 * kDefaultTurnSteps);
        ASSERT_TRUE(a.ok && b.ok);
        EXPECT_LT(std::abs(a.mep - b.mep), 1e-3 * std::abs(b.mep));
    }
}

// An engine the model cannot run says why, and so does every point of it.
TEST(SteamEngine, AnEngineThatCannotRunSaysWhy)
{
    const AppState s = FullSize();
    const struct {
        int value;
        float v;
        const char* why;
    } cases[] = {{evChestPressure, 2.0f, "above the back pressure"},
                 {evDischargeCoefficient, 1.5f, "discharge coefficient"},
                 {evCylinders, 0.0f, "at least one cylinder"},
                 {evSteamPortLength, 0.0f, "port lengths"},
                 {evSuperheat, -10.0f, "superheat"},
                 {evWheelDiameter, -1.0f, "wheel"},
                 {evChestPressure, 5000.0f, "beyond the steam tables"}};
    const EngineTurn turn = SolveEngineTurn(s.gear, kNormalNotch, Running::Forward);
    for (const auto& c : cases) {
        EngineData e = s.gear.Engine;
        SetEngineValue(e, c.value, c.v);
        const EngineSetup setup = MakeEngineSetup(s.gear, e);
        EXPECT_NE(setup.problem.find(c.why), std::string::npos) << setup.problem;
        const PointResult r = RunEnginePoint(turn, setup, 120);
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.problem, setup.problem);
    }
}

// A map runs each notch's turn once for all its speeds, counts its points and
// stops when told, leaving the rest "stopped".
TEST(SteamEngine, AMapCountsItsPointsAndStops)
{
    const AppState s = FullSize();
    MapRequest request;
    request.directions = {Running::Forward, Running::Reverse};
    request.notches = {kNormalNotch, 18};
    request.rpms = {60, 120, 180};
    MapControl control;
    const std::vector<PointResult> map =
        RunPerformanceMap(s.gear, MakeEngineSetup(s.gear, s.gear.Engine), request, &control);
    ASSERT_EQ(map.size(), 12u);
    EXPECT_EQ(control.done.load(), 12);
    EXPECT_EQ(control.total, 12);
    const PointResult alone = Point(s.gear, 18, Running::Reverse, 180);
    const PointResult& inMap = map[11];
    EXPECT_EQ(inMap.notch, 18);
    EXPECT_EQ(inMap.running, Running::Reverse);
    EXPECT_NEAR(inMap.mep / alone.mep, 1, 2e-4); // started from its neighbour: the same within the tolerance
    MapControl stopped;
    stopped.stop = true;
    for (const PointResult& r : RunPerformanceMap(s.gear, MakeEngineSetup(s.gear, s.gear.Engine), request, &stopped))
        EXPECT_EQ(r.problem, "stopped");
    EXPECT_EQ(stopped.done.load(), 0);
}

// The rows of the command line in each unit system, and the picture of a point.
TEST(SteamEngine, TheFiguresAreGivenInTheDesignsUnits)
{
    EXPECT_EQ(CsvText({PerformanceHeader()}),
              "Direction,Notch,RPM,PistonSpeed,CutOff,MEP,MEPFront,MEPRear,Power,TractiveEffort,SteamPerHour,"
              "SteamRate,CutOffPressureRatio,ReleasePressure,CompressionPeak\r\n");
    EXPECT_EQ(CsvText({PerformanceUnits(LengthUnit::Inch)}),
              ",,rpm,ft/min,% stroke,psi,psi,psi,hp,lb,lb/h,lb/(hp h),,psi abs,psi abs\r\n");
    EXPECT_EQ(CsvText({PerformanceUnits(LengthUnit::Millimetre)}),
              ",,rpm,m/s,% stroke,bar,bar,bar,kW,kg,kg/h,kg/(kW h),,bar abs,bar abs\r\n");
    // The same engine in both unit systems gives the same figures, converted.
    const PointResult in = Point(FullSize(LengthUnit::Inch).gear, kNormalNotch, Running::Forward, 120);
    const TextRow a = PerformanceRow(in, LengthUnit::Inch), b = PerformanceRow(in, LengthUnit::Millimetre);
    EXPECT_NEAR(std::stod(a[3]) * 0.00508, std::stod(b[3]), 0.01);    // ft/min, m/s
    EXPECT_NEAR(std::stod(a[5]) * 0.06894757, std::stod(b[5]), 1e-3); // psi, bar
    EXPECT_NEAR(std::stod(a[8]) * 0.7456999, std::stod(b[8]), 0.05);  // hp, kW

    PointOptions ideal;
    ideal.ideal = true;
    const AppState s = FullSize();
    const PointResult id = Point(s.gear, kNormalNotch, Running::Forward, 120, ideal);
    RecordingCanvas c;
    DrawIndicatorDiagram(c, kIndicatorWidth, kIndicatorHeight, MakeEngineSetup(s.gear, s.gear.Engine), in, id);
    EXPECT_NE(c.FindText("Normal notch forward, 120 rpm"), nullptr);
    EXPECT_NE(c.FindText("psi absolute"), nullptr);
    EXPECT_NE(c.FindText("volume, in³"), nullptr);
    EXPECT_EQ(c.TextsContaining("c/o").size(), 2u); // marked on both loops
    int dotted = 0;
    for (const CanvasOp& op : c.OfKind(CanvasOp::Line)) {
        dotted += op.penStyle == PenStyle::Dot;
        for (const int x : {op.x1, op.x2}) EXPECT_TRUE(x >= 0 && x <= kIndicatorWidth);
        for (const int y : {op.y1, op.y2}) EXPECT_TRUE(y >= 0 && y <= kIndicatorHeight);
    }
    EXPECT_GT(dotted, 2 * kDefaultTurnSteps); // the ideal loops
}
