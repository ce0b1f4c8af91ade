// Scaling a design: every length times the factor, the view following, the
// events in percent and degrees as they were, one undo record; the unit; the
// factor from scales and gauges.
#include "model/DesignScale.h"
#include "analysis/ValveEventsTable.h"
#include "drawing/ScaleDesignValues.h"
#include "files/DesignValues.h"
#include "files/NativeFile.h"
#include "files/OlderFile.h"
#include "model/DesignEdit.h"
#include "model/DynVars.h"
#include "model/Model.h"
#include "model/NumberText.h"

#include "DiagramTestUtil.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>

namespace {

using LD = long double;

// Designs unlike each other: the built-in one, a longer valve rod with a
// turned eccentric, the rocker's other branch, a wide front lap (no front
// admission near mid gear, repeated events), lines and reference points.
std::vector<std::pair<const char*, std::function<void(AppState&)>>> Designs()
{
    return {
        {"built-in", [](AppState&) {}},
        {"long rod",
         [](AppState& s) {
             s.gear.ValveRodLength = 4.25f;
             s.gear.EccAngleDeg = 12.5f;
             s.gear.RevArm[4] = 0.6f;
         }},
        {"short stroke",
         [](AppState& s) {
             s.gear.Stroke = 3.0f;
             s.gear.EccCircleDiam = 1.0f;
             s.gear.RevArmNormal = 0.75f;
         }},
        {"wide lap",
         [](AppState& s) {
             s.gear.Cyl(ciValveLengthFrontHalf) += 0.1f;
             s.gear.PointX[19] = 3.5f;
             s.gear.PointY[20] = -2.25f;
         }},
    };
}

AppState Design(const std::function<void(AppState&)>& change)
{
    AppState s = StartedState();
    s.overlay.Item[2] = {1, 2, 3.25f, 4, 0.5f, 0.75f, 1.5f, 2.5f, 1, 255, 2, 5, 14};
    change(s);
    RecomputeRevArmCentre(s.gear);
    return s;
}

std::vector<std::array<LD, kValveEventsColumns>> Numbers(const Gear& g)
{
    std::vector<std::array<LD, kValveEventsColumns>> out;
    for (const ValveEventsRow& r : BuildValveEventsTable(g)) out.push_back(ValveEventsNumbers(r));
    return out;
}

} // namespace

TEST(DesignScale, ScalingKeepsEveryPercentAndDegreeAndMultipliesEveryLength)
{
    for (const auto& [name, change] : Designs()) {
        const AppState before = Design(change);
        const auto events = Numbers(before.gear);
        for (const ValveEventsRow& r : BuildValveEventsTable(before.gear)) ASSERT_FALSE(r.events.clamped) << name;
        for (const LD f : {2.0L, 0.125L, 25.4L}) {
            SCOPED_TRACE(std::string(name) + " x" + FactorText(f));
            AppState s = before;
            ASSERT_TRUE(ApplyScale(s, {f, LengthUnit::Millimetre, RoundGrid::None}));
            // Every length is the float of the product; the angle stays.
            for (int code = 1; code <= 122; ++code) {
                if (!IsFrameCode(code) && !IsCylinderCode(code)) continue;
                const float was = GetDimension(before.gear, code);
                EXPECT_EQ(GetDimension(s.gear, code), code == 6 ? was : ToModelFloat(was * f)) << code;
            }
            for (int i = 0; i < kPointCount; ++i) {
                EXPECT_EQ(s.gear.PointX[i], ToModelFloat(before.gear.PointX[i] * f)) << i;
                EXPECT_EQ(s.gear.PointY[i], ToModelFloat(before.gear.PointY[i] * f)) << i;
            }
            for (int k = 0; k <= 9; ++k) EXPECT_EQ(s.gear.RevArm[k], ToModelFloat(before.gear.RevArm[k] * f));
            EXPECT_EQ(s.gear.RevArmPos, ToModelFloat(before.gear.RevArmPos * f));
            EXPECT_EQ(s.overlay.Item[2].X2, ToModelFloat(before.overlay.Item[2].X2 * f));
            EXPECT_EQ(s.overlay.Item[2].Pivot2Y0, ToModelFloat(before.overlay.Item[2].Pivot2Y0 * f));
            EXPECT_EQ(s.overlay.Item[2].Pivot2Index, 14.0f);
            EXPECT_EQ(s.overlay.Item[2].Colour, 255.0f);
            EXPECT_EQ(s.graph.GraphVerticalScale, ToModelFloat(1.5L * f));
            EXPECT_EQ(s.view.ViewScale, ToModelFloat(22 / f));
            EXPECT_EQ(s.view.PresetTable[3], ToModelFloat(62 / f));
            EXPECT_EQ(s.view.PresetTable[4], 315.0f); // offsets kept
            EXPECT_EQ(s.view.HomeScale, 22.0f);
            EXPECT_EQ(s.gear.Unit, LengthUnit::Millimetre);

            // The events: percent and degrees as they were, lengths times f:
            // exactly for a power of two; for 25.4 (the products rounded to
            // floats) within a unit of the table's last decimal, an event
            // where a port barely opens being the most sensitive.
            const bool exact = f != 25.4L;
            const auto scaled = Numbers(s.gear);
            ASSERT_EQ(scaled.size(), events.size());
            for (size_t r = 0; r < events.size(); ++r)
                for (int c = 2; c < kValveEventsColumns - 1; ++c) {
                    const LD a = events[r][size_t(c)], b = scaled[r][size_t(c)];
                    ASSERT_EQ(std::isnan(a), std::isnan(b)) << r << " " << c;
                    if (std::isnan(a)) continue;
                    const bool length = ValveEventsColumnKind(c) == EventsColumn::Length;
                    const LD want = length ? a * f : a;
                    EXPECT_NEAR(b, want, exact ? 0 : length ? 1e-5L * f : 0.01L) << r << " " << c;
                }
        }
    }
}

// The view follows: every pivot and outline point on the screen where it was
// (exactly for a power of two, within a pixel for 25.4).
TEST(DesignScale, TheGearLooksTheSameOnTheScreen)
{
    for (const LD f : {2.0L, 0.125L, 25.4L}) {
        AppState a = StartedState(), b = StartedState();
        a.gear.DriverAngle = b.gear.DriverAngle = 37;
        ASSERT_TRUE(ApplyScale(b, {f, LengthUnit::Unspecified, RoundGrid::None}));
        TickModel(a);
        TickModel(b);
        const int slack = f == 25.4L ? 1 : 0;
        for (int i = 0; i < kScreenPoints; ++i) {
            EXPECT_NEAR(b.gear.ScreenX[i], a.gear.ScreenX[i], slack) << f << " " << i;
            EXPECT_NEAR(b.gear.ScreenY[i], a.gear.ScreenY[i], slack) << f << " " << i;
        }
        for (size_t i = 0; i < a.gear.CylOutline.size(); ++i) {
            EXPECT_NEAR(b.gear.CylOutline[i].x, a.gear.CylOutline[i].x, slack);
            EXPECT_NEAR(b.gear.CylOutline[i].y, a.gear.CylOutline[i].y, slack);
        }
    }
}

// One "UnDo" record takes the whole scaling back, below it the history stays.
TEST(DesignScale, OneUndoRecordRestoresTheWholeDesign)
{
    AppState s = StartedState();
    s.dyn.EditDirty = true;
    CommitDimensionValue(s, 10, 10.0f); // a typed value, then the dialog's Close
    RecomputeRevArmCentre(s.gear);
    s.gear.RevArmPos = 0.5f;
    s.overlay.Item[1] = {1, 2, 3, 4, 5, 6, 7, 8, 0, 255, 1, 2, 3};
    const AppState before = s;
    for (const auto& [request, line] :
         {std::pair{ScaleRequest{25.4L, LengthUnit::Millimetre, RoundGrid::None}, " 2- Design scale 25.400 to  1.000"},
          std::pair{ScaleRequest{0.125L, LengthUnit::Unspecified, RoundGrid::SixtyFourthInch},
                    " 2- Design scale, rounded  0.125 to  1.000"}}) {
        ASSERT_TRUE(ScaleDesign(s, request));
        EXPECT_EQ(s.dyn.UndoCount, 2);
        EXPECT_EQ(UndoSummaryText(s), line);
        EXPECT_EQ(s.dyn.Slot[1].Value, s.gear.EccRodLength); // the slot shows the new value
        EXPECT_TRUE(UndoButtonClick(s));
        EXPECT_EQ(DesignSnapshot(s), DesignSnapshot(before));
        EXPECT_EQ(s.gear.RevArm, before.gear.RevArm);
        EXPECT_EQ(s.gear.RevArmPos, before.gear.RevArmPos);
        EXPECT_EQ(s.gear.PointX, before.gear.PointX);
        EXPECT_EQ(s.gear.Unit, LengthUnit::Unspecified);
        EXPECT_EQ(s.view.ViewScale, before.view.ViewScale);
        EXPECT_EQ(s.view.PresetTable, before.view.PresetTable);
        EXPECT_EQ(s.graph.GraphVerticalScale, before.graph.GraphVerticalScale);
        EXPECT_EQ(s.dyn.Slot[1].Value, 10.0f);
        EXPECT_EQ(s.dyn.UndoCount, 1);
        EXPECT_EQ(s.dyn.Undo[1].Code, 10); // the typed value's record is next
        EXPECT_FALSE(s.dyn.Undo[1].WholeBefore);
        // "ReDo" puts the scaled design back, and "UnDo" takes it again.
        const AppState scaled = [&] {
            AppState t = before;
            ScaleDesign(t, request);
            return t;
        }();
        ASSERT_TRUE(PopRedo(s));
        EXPECT_EQ(DesignSnapshot(s), DesignSnapshot(scaled));
        EXPECT_EQ(s.gear.RevArm, scaled.gear.RevArm);
        EXPECT_EQ(s.gear.RevArmPos, scaled.gear.RevArmPos);
        EXPECT_EQ(s.gear.Unit, scaled.gear.Unit);
        EXPECT_EQ(s.view.ViewScale, scaled.view.ViewScale);
        EXPECT_EQ(s.dyn.Slot[1].Value, s.gear.EccRodLength);
        EXPECT_EQ(UndoSummaryText(s), line);
        EXPECT_TRUE(UndoButtonClick(s));
        EXPECT_EQ(DesignSnapshot(s), DesignSnapshot(before));
        EXPECT_EQ(s.gear.RevArmPos, before.gear.RevArmPos);
    }
    // A factor that cannot scale changes nothing and records nothing.
    for (const LD bad : {0.0L, -2.0L, std::numeric_limits<LD>::infinity(), std::numeric_limits<LD>::quiet_NaN()}) {
        EXPECT_FALSE(ScaleDesign(s, {bad, LengthUnit::Inch, RoundGrid::None}));
        EXPECT_EQ(DesignSnapshot(s), DesignSnapshot(before));
        EXPECT_EQ(s.dyn.UndoCount, 1);
    }
    // A full history takes a scaling as one more record, the oldest dropping out.
    for (int k = 0; k < kUndoDepth; ++k) {
        s.dyn.EditDirty = true;
        CommitDimensionValue(s, 2, 3.5f + 0.01f * k);
    }
    ASSERT_TRUE(ScaleDesign(s, {2, LengthUnit::Unspecified, RoundGrid::None}));
    EXPECT_EQ(s.dyn.UndoCount, kUndoDepth);
    EXPECT_EQ(s.dyn.Undo[1].Code, kWholeDesignCode);
    EXPECT_EQ(s.dyn.Undo[2].Code, 2);
}

// "UnDo" and "ReDo" of a scaling take back and put back what the scaling
// changed, and nothing else: a value changed after it by something that makes
// no record of its own keeps the newer value.
TEST(DesignScale, UndoAndRedoOfAScalingKeepLaterChangesOfOtherValues)
{
    const struct {
        const char* what;
        std::function<float&(AppState&)> value;
        float later;
    } cases[] = {
        {"a preset stored", [](AppState& s) -> float& { return s.view.PresetTable[3]; }, 44.0f},
        {"the view zoomed", [](AppState& s) -> float& { return s.view.ViewScale; }, 9.5f},
        {"the graphs' scale", [](AppState& s) -> float& { return s.graph.GraphVerticalScale; }, 2.75f},
        {"a line moved", [](AppState& s) -> float& { return s.overlay.Item[2].X1; }, 7.25f},
        {"a reference point moved", [](AppState& s) -> float& { return s.gear.PointX[19]; }, 5.5f},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        AppState s = StartedState();
        s.overlay.Item[2] = {1, 2, 3, 4, 5, 6, 7, 8, 0, 255, 1, 2, 3};
        const AppState before = s;
        ASSERT_TRUE(ScaleDesign(s, {2, LengthUnit::Millimetre, RoundGrid::None}));
        const AppState scaled = s;
        c.value(s) = c.later;
        ASSERT_TRUE(UndoButtonClick(s));
        EXPECT_EQ(c.value(s), c.later);
        EXPECT_EQ(s.gear.Stroke, before.gear.Stroke); // what the scaling changed is back
        EXPECT_EQ(s.gear.Unit, before.gear.Unit);
        EXPECT_EQ(s.gear.RevArmPos, before.gear.RevArmPos);
        // Every other value as before the scaling, bit for bit.
        AppState expected = before;
        c.value(expected) = c.later;
        EXPECT_EQ(DesignSnapshot(s), DesignSnapshot(expected));
        EXPECT_EQ(s.view.PresetTable, expected.view.PresetTable);
        EXPECT_EQ(s.view.ViewScale, expected.view.ViewScale);
        EXPECT_EQ(s.gear.PointX, expected.gear.PointX);
        ASSERT_TRUE(PopRedo(s));
        EXPECT_EQ(c.value(s), c.later);
        expected = scaled;
        c.value(expected) = c.later;
        EXPECT_EQ(DesignSnapshot(s), DesignSnapshot(expected));
        EXPECT_EQ(s.gear.Unit, LengthUnit::Millimetre);
    }
}

// Rounding after the scaling: each dimension on the grid; the arm re-centred.
TEST(DesignScale, RoundingPutsEveryDimensionOnTheGrid)
{
    for (const auto& [f, grid, per] :
         {std::tuple{0.125L, RoundGrid::SixtyFourthInch, 64}, {25.4L, RoundGrid::TenthMillimetre, 10}}) {
        AppState s = StartedState();
        ASSERT_TRUE(ApplyScale(s, {f, LengthUnit::Unspecified, grid}));
        for (int code = 1; code <= 122; ++code) {
            if ((!IsFrameCode(code) && !IsCylinderCode(code)) || code == 6) continue;
            const LD v = GetDimension(s.gear, code), steps = std::round(v * per);
            EXPECT_EQ(GetDimension(s.gear, code), ToModelFloat(steps / per)) << code;
            // The nearest step of the product.
            EXPECT_LE(std::fabs(steps / per - GetDimension(StartedState().gear, code) * f), 0.5L / per + 1e-6L) << code;
        }
        EXPECT_EQ(s.gear.PointX[9], s.gear.PointX[8]);
        EXPECT_EQ(s.gear.RevArmPos, s.gear.RevArmCentre());
    }
}

// A grid is the length it names whatever the design's unit, as the window asks
// for it (the command line scales the same way): the nearest multiple of it;
// a factor typed with a comma.
TEST(DesignScale, ARoundingGridIsTheLengthItNamesInEveryUnit)
{
    using U = LengthUnit;
    using C = UnitConversion;
    const struct {
        U from;
        ScaleChoice choice;
        LD step; // the grid in the unit of the scaled design
        const char* says;
    } kCases[] = {
        {U::Millimetre,
         {ScaleWay::Conversion, "", "", "", C::MillimetreToInch, true, RoundGrid::TenthMillimetre},
         0.1L / 25.4L,
         "0.1 mm (0.003937 in)."},
        {U::Inch,
         {ScaleWay::Conversion, "", "", "", C::InchToMillimetre, true, RoundGrid::SixtyFourthInch},
         25.4L / 64,
         "1/64 in (0.396875 mm)."},
        {U::Unspecified, {ScaleWay::Factor, "0,5", "", "", {}, true, RoundGrid::TenthMillimetre}, 0.1L, "0.1 mm."},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.says);
        AppState s = StartedState();
        s.gear.Unit = c.from;
        const ScaleOutcome o = WorkOutScale(s, c.choice);
        ASSERT_TRUE(o.ok) << o.text;
        EXPECT_TRUE(o.text.ends_with(std::string(" Then every dimension to the nearest ") + c.says)) << o.text;
        AppState exact = s;
        ASSERT_TRUE(ApplyScale(exact, {o.request.factor, o.request.unit, RoundGrid::None}));
        ASSERT_TRUE(ApplyScale(s, o.request));
        for (int code = 1; code <= 122; ++code) {
            if ((!IsFrameCode(code) && !IsCylinderCode(code)) || code == 6) continue;
            // On the grid (to a float's precision), at the step nearest the unrounded value.
            const LD v = GetDimension(s.gear, code), tolerance = 1e-6L * std::max(1.0L, std::fabs(v));
            EXPECT_NEAR(v, std::round(v / c.step) * c.step, tolerance) << code;
            EXPECT_LE(std::fabs(v - GetDimension(exact.gear, code)), c.step / 2 + tolerance) << code;
        }
    }
}

TEST(DesignScale, FactorFromTwoScalesOrGauges)
{
    const struct {
        const char *from, *to;
        LD factor; // 0: refused
    } kCases[] = {
        {"full size", "1:8", 0.125L},
        {"1:1", "1/8", 0.125L},
        {"1:12", "1:8 scale", 1.5L},
        {"4 ft 8½ in", "5 in", 5 / 56.5L},
        {"4' 8.5\"", "127 mm", 127 / 1435.1L},
        {"3 1/2 in gauge", "7¼ in", 7.25L / 3.5L},
        {"1435 mm", "45 mm", 45 / 1435.0L},
        {"1.435 m", "4.5 cm", 45 / 1435.0L},
        {"8", "1:8", 0},       // a bare number is neither
        {"1:8", "5 in", 0},    // a scale against a gauge
        {"abc", "5 in", 0},    //
        {"0 in", "5 in", 0},   // no gauge
        {"1:0", "1:8", 0},     //
        {"-5 in", "5 in", 0},  //
        {"5 inx", "5 in", 0},  // no unit word
        {"5 in 3", "5 in", 0}, // a part without its unit
        {"1,5 in", "5 in", 0}, // "." only
    };
    for (const auto& c : kCases) {
        LD f = 0;
        std::string why;
        EXPECT_EQ(FactorFromScales(c.from, c.to, f, why), c.factor != 0) << c.from << " " << c.to;
        if (c.factor != 0) {
            EXPECT_NEAR(f, c.factor, 1e-15L) << c.from << " " << c.to;
        }
        EXPECT_EQ(why.empty(), c.factor != 0) << why;
    }
    for (const auto& [f, text] : {std::pair{25.4L, "25.4"}, {0.125L, "0.125"}, {1 / 25.4L, "0.0393701"}, {2.0L, "2"}})
        EXPECT_EQ(FactorText(f), text);
}

// What the window makes of a choice, bad input included.
TEST(DesignScale, TheWindowsChoiceBecomesARequestOrAReason)
{
    AppState s = StartedState();
    const auto factor = [](std::string t) {
        ScaleChoice c;
        c.factor = std::move(t);
        return c;
    };
    for (const char* bad : {"0", "-2", "abc", "", "1e5000", "2x"}) {
        const ScaleOutcome o = WorkOutScale(s, factor(bad));
        EXPECT_FALSE(o.ok) << bad;
        EXPECT_EQ(o.text, "The factor must be a number greater than 0, e.g. 0.125 or 25.4.") << bad;
    }
    ScaleOutcome o = WorkOutScale(s, factor("1e9"));
    EXPECT_FALSE(o.ok);
    EXPECT_EQ(o.text, "The scaled design would hold values no gear can have (Crank Disk Diameter = 8.625e9).");
    o = WorkOutScale(s, factor("2"));
    EXPECT_TRUE(o.ok);
    EXPECT_EQ(o.request.factor, 2);
    EXPECT_EQ(o.text, "Every length times 2; the view follows.");

    ScaleChoice c;
    c.way = ScaleWay::Conversion;
    o = WorkOutScale(s, c);
    EXPECT_TRUE(o.ok);
    EXPECT_EQ(o.request.factor, 25.4L);
    EXPECT_EQ(o.request.unit, LengthUnit::Millimetre);
    EXPECT_EQ(o.text, "Every length times 25.4; the view follows. The design is then in millimetres.");
    s.gear.Unit = LengthUnit::Millimetre;
    o = WorkOutScale(s, c);
    EXPECT_FALSE(o.ok);
    EXPECT_EQ(o.text, "The design is in millimetres already.");
    c.conversion = UnitConversion::MillimetreToInch;
    c.round = true;
    o = WorkOutScale(s, c);
    EXPECT_TRUE(o.ok);
    EXPECT_EQ(o.request.unit, LengthUnit::Inch);
    EXPECT_EQ(o.request.round, RoundGrid::SixtyFourthInch);
}

// The unit lives in field 1 of record 71: 0 (what every file written before
// holds) is unspecified; a reader that keeps only field 5 of that record
// (the current item) sees the same design whatever the unit.
TEST(DesignScale, TheUnitIsKeptInTheLastRecordWhichOtherwiseReadsAsBefore)
{
    AppState s = StartedState();
    s.overlay.CurrentItem = 7;
    for (const auto& [unit, field] :
         {std::pair{LengthUnit::Unspecified, 0.0f}, {LengthUnit::Inch, 1.0f}, {LengthUnit::Millimetre, 2.0f}}) {
        s.gear.Unit = unit;
        const std::vector<NativeRecord> rec = BuildNativeRecords(s);
        EXPECT_EQ(rec[70], (NativeRecord{field, 0, 0, 0, 7}));
        AppState unstated = s;
        unstated.gear.Unit = LengthUnit::Unspecified;
        std::vector<NativeRecord> old = rec;
        old[70][0] = 0;
        EXPECT_EQ(BuildNativeRecords(unstated), old); // the other 1416 bytes as before
        AppState a = StartedState(), b = StartedState();
        StoreNativeRecords(a, rec);
        StoreNativeRecords(b, old);
        EXPECT_EQ(a.gear.Unit, unit);
        b.gear.Unit = unit;
        EXPECT_EQ(DesignSnapshot(a), DesignSnapshot(b));
        EXPECT_EQ(a.overlay.CurrentItem, 7);
        EXPECT_EQ(CheckDesignRecords(rec, RecordLayout::Native).verdict, ValueVerdict::Sound);
        // A unit stated is a change a save keeps.
        EXPECT_EQ(DesignSnapshot(s) == DesignSnapshot(unstated), unit == LengthUnit::Unspecified);
    }
    // Any other value, and a file without the record, say nothing.
    for (const float v : {3.0f, 1.5f, -1.0f, std::numeric_limits<float>::quiet_NaN(), 1e30f})
        EXPECT_EQ(UnitOfField(v), LengthUnit::Unspecified) << v;
    std::vector<NativeRecord> rec = BuildNativeRecords(s);
    rec.resize(kNativeShortRecords);
    AppState shortLoad = StartedState();
    shortLoad.gear.Unit = LengthUnit::Inch;
    StoreNativeRecords(shortLoad, rec);
    EXPECT_EQ(shortLoad.gear.Unit, LengthUnit::Unspecified);
    rec.resize(kOlderRecordCount);
    AppState imported = StartedState();
    imported.gear.Unit = LengthUnit::Millimetre;
    StoreOlderRecords(imported, rec);
    EXPECT_EQ(imported.gear.Unit, LengthUnit::Unspecified);
}
