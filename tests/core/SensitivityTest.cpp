#include "analysis/Sensitivity.h"
#include "analysis/BalanceText.h"
#include "drawing/EffectBar.h"
#include "model/DesignEdit.h"
#include "model/DesignScale.h"
#include "model/Model.h"
#include "platform/RecordingCanvas.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using LD = long double;

// The built-in design with some values stored, every length multiplied by
// `scale` (the eccentric angle kept), as a file opens it.
Gear Design(const std::vector<DimensionValue>& changes = {}, float scale = 1)
{
    AppState s;
    StartupModel(s);
    for (const DimensionValue& v : changes) StoreDimensionValue(s.gear, v.code, v.value);
    if (scale != 1) ScaleGearLengths(s.gear, scale);
    RecomputeRevArmCentre(s.gear);
    RecomputeRevArmCentre(s.gear); // again from where it left the arm: a mid gear re-centring keeps
    return s.gear;
}

// The row measured on the design with one dimension moved by `delta`, as the
// dimension dialogs would leave it.
NotchEvents MovedRow(const Gear& design, int code, LD delta, const EventsRow& row)
{
    Gear g = design;
    StoreDimensionValue(g, code, static_cast<float>(GetDimension(design, code) + delta));
    RecomputeRevArmCentre(g);
    const float at =
        row.notch == kNormalNotch ? NormalNotchPosition(g, row.running) : NotchPosition(g, row.notch, row.running);
    return MeasureNotch(g, at, row.running);
}

const DimensionEffect& EffectOf(const SensitivityResult& r, int code)
{
    for (const DimensionEffect& e : r.effects)
        if (e.code == code) return e;
    static const DimensionEffect none;
    ADD_FAILURE() << "no dimension " << code;
    return none;
}

constexpr EventsRow kForwardNormal{Running::Forward, kNormalNotch};

} // namespace

// Every figure of a few dimensions on a few designs and rows against a
// four-point difference of the test's own at another step (the study's
// trials are not among its own), within the solver's float noise.
TEST(Sensitivity, AgreesWithAnIndependentFiniteDifference)
{
    struct Case {
        std::vector<DimensionValue> design;
        EventsRow row;
    };
    const Case cases[] = {
        {{}, kForwardNormal},
        {{{20, 3.8f}}, {Running::Reverse, 9}},
        {{{6, 3.0f}, {12, 2.1f}}, {Running::Forward, 12}},
    };
    for (const Case& c : cases) {
        const Gear g = Design(c.design);
        const SensitivityResult r = MeasureSensitivity(g, c.row);
        ASSERT_FALSE(r.nominalClamped);
        for (int code : {10, 20, 12, 16, 6, 113}) {
            const DimensionEffect& e = EffectOf(r, code);
            ASSERT_FALSE(e.clamped || e.lost || e.noStep)
                << code << " row " << c.row.notch << " " << e.clamped << e.lost;
            const LD h = code == 6 ? 0.035L : std::fabs(static_cast<LD>(g.Stroke)) / 700;
            const NotchEvents p1 = MovedRow(g, code, h, c.row), m1 = MovedRow(g, code, -h, c.row);
            const NotchEvents p2 = MovedRow(g, code, 2 * h, c.row), m2 = MovedRow(g, code, -2 * h, c.row);
            for (int q = 0; q < kEventQuantities; ++q) {
                LD a = 0, b = 0, a2 = 0, b2 = 0;
                ASSERT_TRUE(QuantityValue(p1, q, a) && QuantityValue(m1, q, b) && QuantityValue(p2, q, a2) &&
                            QuantityValue(m2, q, b2));
                const LD d = (8 * (a - b) - (a2 - b2)) / (12 * h);
                ASSERT_TRUE(e.known[size_t(q)]);
                EXPECT_NEAR(e.derivative[size_t(q)], d, 3e-3L * std::fabs(d) + 0.02L)
                    << DimensionName(code) << " figure " << q << " row " << c.row.notch;
            }
        }
    }
}

// Closed forms: the leads and the largest openings are sums of the port
// widths and the valve's lengths (exactly linear); a dimension the valve does
// not feel has no effect at all; a design twice the size has the same
// events and half their derivatives by every length.
TEST(Sensitivity, FollowsTheClosedForms)
{
    struct Linear {
        int code;
        int figure;
        float derivative;
    };
    const Linear linear[] = {
        {112, eqLeadFront, 1},       {114, eqLeadFront, 1},      {119, eqLeadFront, -1}, {122, eqLeadFront, -1},
        {110, eqLeadFront, 0.5f},    {111, eqLeadRear, 1},       {118, eqLeadRear, -1},  {122, eqLeadRear, 1},
        {112, eqMaxOpeningFront, 1}, {111, eqMaxOpeningRear, 1}, {101, eqLeadFront, 1},  {101, eqLeadRear, -1},
        {111, eqLeadFront, 0},       {112, eqValveTravel, 0},
    };
    const Gear g = Design();
    const SensitivityResult r = MeasureSensitivity(g, kForwardNormal);
    for (const Linear& l : linear)
        EXPECT_NEAR(EffectOf(r, l.code).derivative[size_t(l.figure)], l.derivative, 2e-4)
            << DimensionName(l.code) << " figure " << l.figure;
    for (int code : {1, 4, 103, 104, 106, 107, 115, 116, 117}) // drawn only
        for (int q = 0; q < kEventQuantities; ++q) EXPECT_EQ(EffectOf(r, code).derivative[size_t(q)], 0) << code;
    // Front minus rear cut-off: the difference of the two columns.
    for (const DimensionEffect& e : r.effects) {
        if (!e.differenceKnown) continue;
        EXPECT_NEAR(e.cutOffDifference,
                    e.derivative[size_t(EventQuantityOf(endFront, veCutOff))] -
                        e.derivative[size_t(EventQuantityOf(endRear, veCutOff))],
                    1e-3)
            << e.code;
    }

    const Gear twice = Design({}, 2);
    EXPECT_EQ(SensitivityStep(twice, 10), 2 * SensitivityStep(g, 10));
    const SensitivityResult r2 = MeasureSensitivity(twice, kForwardNormal);
    for (int code : {3, 10, 12, 16, 20, 113, 6}) {
        const DimensionEffect &a = EffectOf(r, code), &b = EffectOf(r2, code);
        for (int q = 0; q < kEventQuantities; ++q) {
            // Percents by a length halve; lengths by a length stay; by the
            // angle a percent stays and a length doubles.
            const bool length = QuantityIsLength(q);
            const LD factor = code == 6 ? (length ? 2 : 1) : (length ? 1 : 0.5L);
            const LD want = factor * a.derivative[size_t(q)];
            EXPECT_NEAR(b.derivative[size_t(q)], want, 1e-3L * std::fabs(want) + 1e-4L) << code << " figure " << q;
        }
    }
}

// A row where the gear cannot be assembled: every dimension marked, no
// figure guessed; the CSV keeps the row with empty cells and the note.
TEST(Sensitivity, MarksTrialsThatClampAndWritesTheTableColumns)
{
    const SensitivityResult bad = MeasureSensitivity(Design({{22, 3.0f}}), {Running::Reverse, 18});
    EXPECT_TRUE(bad.nominalClamped);
    ASSERT_EQ(bad.effects.size(), 44u);
    for (const DimensionEffect& e : bad.effects) {
        EXPECT_TRUE(e.clamped) << e.code;
        for (bool k : e.known) EXPECT_FALSE(k);
    }
    // A longer valve rod: at forward notch 6 the front admission has only
    // just begun, and a dimension whose trials lose it has no figure for it
    // (nor for its cut-off) but keeps the others.
    const SensitivityResult edge = MeasureSensitivity(Design({{20, 3.8f}}), {Running::Forward, 6});
    int lost = 0;
    for (const DimensionEffect& e : edge.effects) {
        if (!e.lost) continue;
        ++lost;
        EXPECT_FALSE(e.known[eqFrontAdmission]) << e.code;
        EXPECT_TRUE(e.known[eqLeadFront] && e.known[size_t(EventQuantityOf(endRear, veCutOff))]) << e.code;
        EXPECT_EQ(EffectNotes(e), kNoteEventLost);
    }
    EXPECT_GT(lost, 0);

    const Gear g = Design();
    const std::vector<TextRow> badCsv = SensitivityCsvRows(g, bad);
    EXPECT_EQ(CsvText({badCsv[20]}), "ValveRodLength,3.75,,,,,,,,,,,,,,trials clamp\r\n");

    const SensitivityResult r = MeasureSensitivity(g, kForwardNormal);
    const std::vector<TextRow> csv = SensitivityCsvRows(g, r);
    ASSERT_EQ(csv.size(), 45u);
    EXPECT_EQ(CsvText({csv[0]}),
              "Dimension,Value,Lead front (units),Lead rear (units),Front admission (% stroke),Front cut-off (% "
              "stroke),Front release (% stroke),Front compression (% stroke),Rear admission (% stroke),Rear cut-off (% "
              "stroke),Rear release (% stroke),Rear compression (% stroke),Max opening front (units),Max opening rear "
              "(units),Valve travel (units),Notes\r\n");
    EXPECT_EQ(CsvText({csv[1]}), "CrankDiskDia,8.625,0.0000,0.0000,0.0000,0.0000,0.0000,0.0000,0.0000,0.0000,0.0000,"
                                 "0.0000,0.0000,0.0000,0.0000,\r\n");
    EXPECT_EQ(csv[20][0], "ValveRodLength");
    EXPECT_EQ(csv[20][2], "-1.0000");

    // The window's order: by the size of the effect on front - rear cut-off,
    // the dimensions without it last; ascending the other way round.
    const std::vector<size_t> down = SensitivityOrder(r, kSensitivityDifferenceColumn, true);
    const std::vector<size_t> up = SensitivityOrder(r, kSensitivityDifferenceColumn, false);
    ASSERT_EQ(down.size(), 44u);
    float previous = INFINITY;
    for (size_t k : down) {
        const DimensionEffect& e = r.effects[k];
        if (!e.differenceKnown) continue;
        EXPECT_LE(std::fabs(e.cutOffDifference), previous);
        previous = std::fabs(e.cutOffDifference);
    }
    EXPECT_EQ(r.effects[down.front()].code, DimensionCodeOf("RockerPivotHorz"));
    EXPECT_EQ(r.effects[down.back()].code, DimensionCodeOf("CylClAboveDriver")); // value not kept: no figures
    EXPECT_EQ(EffectNotes(r.effects[down.back()]), kNoteNoStep);
    EXPECT_EQ(r.effects[up.front()].code, DimensionCodeOf("CrankDiskDia")); // no effect, the first in code order
    EXPECT_EQ(LargestEffect(r, kSensitivityDifferenceColumn), std::fabs(r.effects[down.front()].cutOffDifference));
}

// The bar beside a figure: its share of the cell's width, from the left, in
// the colour of its sign; nothing for no effect or no number.
TEST(Sensitivity, BarsAreTheFiguresShareOfTheWidth)
{
    struct Case {
        float share;
        int end; // the x where the bar ends, or 0 for none
        Colour colour;
    };
    const Case cases[] = {
        {1, 46, kEffectUp}, {0.5f, 24, kEffectUp}, {-1, 46, kEffectDown}, {-3, 46, kEffectDown}, {0, 0, 0},
        {NAN, 0, 0}};
    for (const Case& c : cases) {
        RecordingCanvas canvas;
        DrawEffectBar(canvas, 48, 20, c.share);
        const std::vector<CanvasOp>& ops = canvas.Ops();
        ASSERT_EQ(ops.size(), c.end ? 14u : 0u) << c.share; // rows 3 to 16
        for (const CanvasOp& op : ops) EXPECT_TRUE(op.x1 == 2 && op.x2 == c.end && op.colour == c.colour) << c.share;
    }
}
