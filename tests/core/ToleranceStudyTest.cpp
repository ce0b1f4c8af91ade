#include "analysis/ToleranceStudy.h"
#include "analysis/ThreadPool.h"
#include "analysis/ValveEventsTable.h"
#include "drawing/SpreadPlot.h"
#include "model/DesignEdit.h"
#include "model/Model.h"
#include "model/NumberText.h"
#include "platform/RecordingCanvas.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

using LD = long double;

Gear BuiltIn()
{
    AppState s;
    StartupModel(s);
    RecomputeRevArmCentre(s.gear); // again from where it left the arm: a mid gear re-centring keeps
    return s.gear;
}

// Every tolerance 0 but the ones given.
ToleranceSettings Only(const std::vector<DimensionValue>& tolerances, int samples, std::uint64_t seed)
{
    ToleranceSettings settings = UniformTolerances(0);
    const std::vector<int> codes = ToleranceDimensionCodes();
    for (const DimensionValue& t : tolerances)
        settings.tolerance[size_t(std::find(codes.begin(), codes.end(), t.code) - codes.begin())] = t.value;
    settings.samples = samples;
    settings.seed = seed;
    return settings;
}

const QuantitySpread& Spread(const ToleranceResult& r, const EventsRow& row, int q)
{
    for (const ToleranceRow& t : r.rows)
        if (t.row == row) return t.figure[size_t(q)];
    static const QuantitySpread none;
    ADD_FAILURE() << "no row";
    return none;
}

} // namespace

// The lead front is exactly linear in the port and valve lengths (1, 1, -1,
// -1 and 1/2 per unit): a part at the edge moves it by its weight times the
// tolerance, the worst by the tolerance itself; a sample by at most the sum
// of the weights times it; and every deviation of a sample doubles with the
// tolerance (the same seed draws the same numbers).
TEST(ToleranceStudy, LinearResponseGivesASpreadThatDoublesWithTheTolerance)
{
    const Gear g = BuiltIn();
    const float t = 0.002f;
    const std::vector<int> codes = {112, 114, 119, 122, 110};
    const LD weight = 4.5L; // 1 + 1 + 1 + 1 + 1/2
    ToleranceResult r[2];
    for (int k = 0; k < 2; ++k) {
        std::vector<DimensionValue> tol;
        for (int code : codes) tol.push_back({code, (k + 1) * t});
        r[k] = RunToleranceStudy(g, Only(tol, 24, 7));
        ASSERT_EQ(r[k].outcome, ToleranceOutcome::Done);
        EXPECT_EQ(r[k].valid, 24);
    }
    for (const EventsRow row : {EventsRow{Running::Forward, kNormalNotch}, EventsRow{Running::Reverse, 9}}) {
        const QuantitySpread &a = Spread(r[0], row, eqLeadFront), &b = Spread(r[1], row, eqLeadFront);
        EXPECT_EQ(a.nominal, b.nominal);
        EXPECT_EQ(a.count, 24);
        for (int k = 0; k < 2; ++k) {
            const QuantitySpread& s = k ? b : a;
            const LD tolerance = (k + 1) * t;
            ASSERT_TRUE(s.worstKnown);
            EXPECT_NEAR(s.worstHigh - static_cast<LD>(s.nominal), tolerance, 2e-6);
            EXPECT_NEAR(static_cast<LD>(s.nominal) - s.worstLow, tolerance, 2e-6);
            EXPECT_TRUE(s.worstCode == 112 || s.worstCode == 114 || s.worstCode == 119 || s.worstCode == 122);
            EXPECT_LE(s.max - static_cast<LD>(s.nominal), weight * tolerance + 2e-6);
            EXPECT_LE(static_cast<LD>(s.nominal) - s.min, weight * tolerance + 2e-6);
        }
        EXPECT_NEAR(static_cast<LD>(b.stdDev) / a.stdDev, 2, 1e-3);
        EXPECT_NEAR(b.max - static_cast<LD>(b.nominal), 2 * (a.max - static_cast<LD>(a.nominal)), 2e-6);
        EXPECT_NEAR(b.min - static_cast<LD>(b.nominal), 2 * (a.min - static_cast<LD>(a.nominal)), 2e-6);
        EXPECT_NEAR(b.mean - static_cast<LD>(b.nominal), 2 * (a.mean - static_cast<LD>(a.nominal)), 2e-6);
        // Uniform draws: the spread of a sum of five, about sqrt(sum w^2 / 3) t.
        EXPECT_NEAR(a.stdDev, std::sqrt(4.25L / 3) * t, 0.35L * std::sqrt(4.25L / 3) * t);
    }
}

// Tolerance 0: no spread, the worst cases are the design's figures; the same
// seed gives the same figures on any pool, another seed other ones.
TEST(ToleranceStudy, NoToleranceNoSpreadAndTheSameSeedTheSameFiguresOnAnyPool)
{
    const Gear g = BuiltIn();
    const ToleranceResult zero = RunToleranceStudy(g, Only({}, 3, 1));
    ASSERT_EQ(zero.outcome, ToleranceOutcome::Done);
    ASSERT_EQ(zero.rows.size(), 40u);
    for (const ToleranceRow& row : zero.rows)
        for (const QuantitySpread& s : row.figure) {
            if (!s.nominalKnown) continue;
            EXPECT_EQ(s.count, 3);
            EXPECT_TRUE(s.min == s.nominal && s.max == s.nominal && s.mean == s.nominal && s.stdDev == 0);
            EXPECT_TRUE(s.worstKnown && s.worstLow == s.nominal && s.worstHigh == s.nominal && s.worstCode == 0);
        }

    // The picture's points: reverse full gear to forward full gear, the
    // normal notch left out; no spread, no band beyond the nominal.
    for (int end : {endFront, endRear}) {
        const std::vector<SpreadPoint> pts = CutOffSpread(zero, end);
        ASSERT_EQ(pts.size(), 38u);
        EXPECT_TRUE(pts.front().notch == -18 && pts[18].notch == 0 && pts[19].notch == 0 && pts.back().notch == 18);
        for (const SpreadPoint& p : pts) EXPECT_TRUE(p.measured && p.min == p.nominal && p.max == p.nominal);
    }
    RecordingCanvas canvas;
    DrawSpreadPlot(canvas, 560, 250, zero);
    int nominalLines = 0;
    for (const CanvasOp& op : canvas.Ops()) nominalLines += op.kind == CanvasOp::Line && op.penWidth == 2;
    EXPECT_EQ(nominalLines, 2 * 37);

    ToleranceSettings settings = Only({{20, 0.003f}, {10, 0.003f}, {6, 0.2f}, {113, 0.003f}, {16, 0.003f}}, 6, 42);
    settings.pinClearance = 0.001f;
    ThreadPool three(3);
    const std::vector<TextRow> shared = ToleranceTableRows(g, RunToleranceStudy(g, settings));
    EXPECT_EQ(ToleranceTableRows(g, RunToleranceStudy(g, settings, nullptr, ThreadPool::Serial())), shared);
    EXPECT_EQ(ToleranceTableRows(g, RunToleranceStudy(g, settings, nullptr, three)), shared);
    settings.seed = 43;
    EXPECT_NE(ToleranceTableRows(g, RunToleranceStudy(g, settings)), shared);
}

// What a sample draws: each varied dimension within its tolerance, each rod
// at exactly +-play on top; the generator is the same everywhere.
TEST(ToleranceStudy, SamplesDrawWithinTheToleranceAndThePlayBothWays)
{
    SampleRandom first(1, 0);
    EXPECT_EQ(first.Next(), 0x7DFB8D977D320632ULL);
    double lo = 1, hi = -1, sum = 0;
    SampleRandom many(9, 3);
    for (int i = 0; i < 20000; ++i) {
        const double u = many.Unit();
        lo = std::min(lo, u);
        hi = std::max(hi, u);
        sum += u;
    }
    EXPECT_TRUE(lo >= -1 && lo < -0.999 && hi < 1 && hi > 0.999);
    EXPECT_NEAR(sum / 20000, 0, 0.02);

    const Gear g = BuiltIn();
    const std::vector<int> codes = ToleranceDimensionCodes();
    EXPECT_EQ(codes.size(), 24u);
    // Positions, travel settings and the sizes only drawn are left out; the
    // valve events do not depend on the last (no figure of the table moves).
    const std::vector<int> drawn = {1, 4, 103, 104, 105, 106, 107, 108, 109, 115, 116, 117};
    for (int out : {13, 14, 18, 19, 21, 22, 101, 102}) EXPECT_EQ(std::count(codes.begin(), codes.end(), out), 0);
    const std::vector<TextRow> table = ValveEventsText(BuildValveEventsTable(g));
    for (int out : drawn) {
        EXPECT_EQ(std::count(codes.begin(), codes.end(), out), 0);
        const Gear moved = TrialDesign(g, {{out, GetDimension(g, out) * 1.1f + 0.1f}});
        EXPECT_EQ(ValveEventsText(BuildValveEventsTable(moved)), table) << out;
    }
    ToleranceSettings play = Only({}, 1, 5);
    play.pinClearance = 0.004f;
    ToleranceSettings both = Only({{20, 0.01f}, {6, 0.5f}}, 1, 5);
    both.pinClearance = 0.004f;
    int longer = 0;
    for (std::uint64_t i = 0; i < 16; ++i) {
        const std::vector<DimensionValue> p = SampleValues(g, play, i);
        ASSERT_EQ(p.size(), 3u);
        for (const DimensionValue& v : p) {
            EXPECT_TRUE(IsPinnedLink(v.code));
            EXPECT_NEAR(std::fabs(static_cast<LD>(v.value) - GetDimension(g, v.code)), 0.004L, 1e-6L);
            longer += v.value > GetDimension(g, v.code);
        }
        for (const DimensionValue& v : SampleValues(g, both, i)) {
            const LD d = static_cast<LD>(v.value) - GetDimension(g, v.code);
            // The angle within its tolerance, the valve rod within its own and its play, the other rods at their play.
            const LD most = v.code == 6 ? 0.5L : v.code == 20 ? 0.014L : 0.004L;
            EXPECT_LE(std::fabs(d), most + 1e-6L) << v.code;
            EXPECT_TRUE(v.code == 6 || IsPinnedLink(v.code)) << v.code;
        }
    }
    EXPECT_GT(longer, 8);
    EXPECT_LT(longer, 40);
}

// Bad settings are refused; a tolerance no gear survives leaves no sample to
// count, and every sample is counted as clamped or lost.
TEST(ToleranceStudy, RefusesBadSpecsAndCountsTheSamplesLeftOut)
{
    const std::pair<ToleranceSettings, const char*> bad[] = {
        {UniformTolerances(-0.001f), "The tolerance of Stroke must be a number of 0 or more."},
        {UniformTolerances(NAN), "The tolerance of Stroke must be a number of 0 or more."},
        {[] {
             ToleranceSettings s = UniformTolerances(0);
             s.pinClearance = -1;
             return s;
         }(),
         "The pin clearance must be a number of 0 or more."},
        {[] {
             ToleranceSettings s = UniformTolerances(0);
             s.samples = 0;
             return s;
         }(),
         "The samples must be a whole number from 1 to 100000."},
        {[] {
             ToleranceSettings s = UniformTolerances(0);
             s.samples = kMaxSamples + 1;
             return s;
         }(),
         "The samples must be a whole number from 1 to 100000."},
        {ToleranceSettings{}, "Give a tolerance for every dimension."},
    };
    for (const auto& [settings, message] : bad) {
        EXPECT_EQ(CheckToleranceSettings(settings), message);
        EXPECT_EQ(RunToleranceStudy(BuiltIn(), settings).outcome, ToleranceOutcome::Invalid);
    }

    ToleranceSettings huge = UniformTolerances(2);
    huge.samples = 6;
    const ToleranceResult r = RunToleranceStudy(BuiltIn(), huge);
    EXPECT_EQ(r.outcome, ToleranceOutcome::NoValidSample);
    EXPECT_EQ(r.valid, 0);
    EXPECT_EQ(r.clamped + r.lost, 6);
    for (const ToleranceRow& row : r.rows)
        for (const QuantitySpread& s : row.figure) EXPECT_EQ(s.count, 0);
    const std::vector<TextRow> csv = ToleranceCsvRows(BuiltIn(), r);
    ASSERT_EQ(csv.size(), 1u + 40 * 13);
    EXPECT_EQ(CsvText({csv[0], csv[4]}), "Direction,Notch,Event,Nominal,Min,Max,Mean,StdDev\r\n"
                                         "Forward,0,Front cut-off (% stroke),6.5899,,,,\r\n");
    EXPECT_EQ(ToleranceSummary(r).rfind("6 samples: 0 used, ", 0), 0u) << ToleranceSummary(r);
}

// One sample has no standard deviation (its cell is empty, not 0); two have
// |x1 - x2| / sqrt(2).
TEST(ToleranceStudy, OneSampleHasNoStandardDeviation)
{
    const Gear g = BuiltIn();
    for (const int samples : {1, 2}) {
        const ToleranceResult r = RunToleranceStudy(g, Only({{20, 0.01f}}, samples, 3));
        ASSERT_EQ(r.valid, samples);
        const EventsRow normal{Running::Forward, kNormalNotch};
        const QuantitySpread& s = Spread(r, normal, EventQuantityOf(endFront, veCutOff));
        const std::vector<TextRow> csv = ToleranceCsvRows(g, r);
        const TextRow* row = nullptr;
        for (const TextRow& t : csv)
            if (t[0] == "Forward" && t[1] == "normal" && t[2] == "Front cut-off (% stroke)") row = &t;
        ASSERT_TRUE(row);
        EXPECT_FALSE((*row)[6].empty()); // the mean
        if (samples == 1) {
            EXPECT_EQ((*row)[7], "");
            EXPECT_EQ(s.min, s.max);
        } else {
            EXPECT_NEAR(s.stdDev, (static_cast<LD>(s.max) - s.min) / std::sqrt(2.0L), 1e-5L);
            EXPECT_EQ((*row)[7], DecimalText(s.stdDev, 4));
        }
    }
}

// The time a study has left: what it took, times what is left over what is done.
TEST(ToleranceStudy, TimeLeftFromTheTimeTakenAndTheProgress)
{
    const struct {
        long double elapsed;
        int progress;
        bool told;
        long double left;
    } cases[] = {{2, 0, false, 0}, {0.25L, 100, false, 0}, {2, 5, true, 398}, {30, 250, true, 90}, {8, 1000, true, 0}};
    for (const auto& c : cases) {
        long double left = -1;
        EXPECT_EQ(StudySecondsLeft(c.elapsed, c.progress, left), c.told) << c.progress;
        if (c.told) EXPECT_EQ(left, c.left) << c.progress;
    }
}
