// The engine as the indicator window shows it: the speeds of a map and the
// road speed in closed form, the maps of a design and its reference counted
// and stopped, a point with its figures; the Engine Data window's fields and
// least clearance; the pictures drawn on a RecordingCanvas.
#include "analysis/EngineStudy.h"
#include "analysis/PerformanceText.h"
#include "drawing/DiagramCommon.h"
#include "drawing/EngineDataFields.h"
#include "drawing/EnginePictures.h"
#include "model/DesignScale.h"
#include "model/EngineData.h"
#include "model/Model.h"
#include "model/NumberText.h"
#include "platform/RecordingCanvas.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

// The built-in design at full size in inches, as a file opens it.
Gear FullSize()
{
    AppState s;
    StartupModel(s);
    ApplyScale(s, {7, LengthUnit::Inch, RoundGrid::None});
    RecomputeRevArmCentre(s.gear);
    return s.gear;
}

EngineMapRequest SmallMap()
{
    EngineMapRequest r;
    r.topRpm = 240;
    r.speeds = 3;
    r.notches = {6, 18};
    return r;
}

} // namespace

TEST(EngineStudy, SpeedsAndRoadSpeedInClosedForm)
{
    const std::vector<double> v = MapSpeeds(300, kDefaultMapSpeeds);
    ASSERT_EQ(v.size(), 20u);
    for (int k = 0; k < 20; ++k) EXPECT_DOUBLE_EQ(v[static_cast<size_t>(k)], 300 * (0.1 + 0.9 * k / 19));
    EXPECT_EQ(MapSpeeds(120, 1), std::vector<double>{120});
    EXPECT_EQ(DefaultMapNotches(), (std::vector<int>{3, 6, 9, 12, 15, 18}));

    // A wheel of 1 m at 60 rpm rolls pi m a second.
    EXPECT_DOUBLE_EQ(RoadSpeed(60, 1, RoadUnit::Kmh), std::numbers::pi * 3.6);
    EXPECT_DOUBLE_EQ(RoadSpeed(60, 1, RoadUnit::Mph), std::numbers::pi * 3600 / 1609.344);
    EXPECT_NEAR(RpmAtRoadSpeed(RoadSpeed(137, 1.53, RoadUnit::Mph), 1.53, RoadUnit::Mph), 137, 1e-9);
    EXPECT_EQ(DefaultRoadUnit(LengthUnit::Unspecified), RoadUnit::Mph);
    EXPECT_EQ(DefaultRoadUnit(LengthUnit::Millimetre), RoadUnit::Kmh);

    const struct {
        void (*change)(EngineMapRequest&);
        const char* why;
    } requests[] = {
        {[](EngineMapRequest&) {}, ""},
        {[](EngineMapRequest& r) { r.topRpm = 0; }, "The top speed must be above 0 rpm."},
        {[](EngineMapRequest& r) { r.speeds = 1; }, "The speeds must be a whole number from 2 to 200."},
        {[](EngineMapRequest& r) { r.notches.clear(); }, "Tick a notch at least."},
        {[](EngineMapRequest& r) { r.directions.clear(); }, "Tick a direction at least."},
    };
    for (const auto& c : requests) {
        EngineMapRequest r;
        c.change(r);
        EXPECT_EQ(CheckMapRequest(r), c.why);
    }
}

// The maps of a design and of the same design as its reference: every point
// counted once, the reference's figures the design's; a stopped map runs none.
TEST(EngineStudy, TheMapsOfADesignAndItsReferenceCountedAndStopped)
{
    const Gear g = FullSize();
    const EngineMapRequest r = SmallMap();
    MapControl control;
    const EngineMaps maps = RunEngineMaps(g, g, r, &control);
    ASSERT_TRUE(maps.reference.has_value());
    EXPECT_FALSE(maps.stopped);
    EXPECT_EQ(control.done.load(), MapPointCount(r, true));
    EXPECT_EQ(MapPointCount(r, true), 24);
    ASSERT_EQ(maps.design.points.size(), 12u);
    EXPECT_EQ(maps.design.rpms, MapSpeeds(240, 3));
    for (size_t k = 0; k < 12; ++k) {
        const PointResult &p = maps.design.points[k], &q = maps.reference->points[k];
        ASSERT_TRUE(p.ok);
        EXPECT_EQ(p.running, k < 6 ? Running::Forward : Running::Reverse);
        EXPECT_EQ(p.notch, k % 6 < 3 ? 6 : 18);
        EXPECT_EQ(p.rpm, maps.design.rpms[k % 3]);
        EXPECT_EQ(p.mep, q.mep);
    }

    MapControl stopped;
    stopped.stop = true;
    const EngineMaps none = RunEngineMaps(g, std::nullopt, r, &stopped);
    EXPECT_TRUE(none.stopped);
    EXPECT_EQ(stopped.done.load(), 0);
    EXPECT_TRUE(
        std::none_of(none.design.points.begin(), none.design.points.end(), [](const PointResult& p) { return p.ok; }));
}

// A point with and without its ideal diagram, its figures in the design's
// units; an engine that cannot run says why.
TEST(EngineStudy, APointItsFiguresAndAnEngineThatCannotRun)
{
    Gear g = FullSize();
    const IndicatorPoint p = RunIndicatorPoint(g, {6, Running::Reverse, 240, true});
    ASSERT_TRUE(p.real.ok && p.ideal.ok);
    EXPECT_EQ(p.real.notch, 6);
    EXPECT_EQ(p.real.running, Running::Reverse);
    EXPECT_TRUE(p.problem.empty());
    EXPECT_FALSE(RunIndicatorPoint(g, {6, Running::Reverse, 240, false}).ideal.ok);

    const std::vector<TextRow> rows = IndicatorFigureRows(p, RoadUnit::Kmh);
    ASSERT_EQ(rows.size(), 14u);
    EXPECT_EQ(rows[0], (TextRow{"Road speed", DecimalText(RoadSpeed(240, p.engine.wheel, RoadUnit::Kmh), 1), "km/h"}));
    const auto psi = [](double pa) { return DecimalText(pa / 6894.757293168, 1); };
    EXPECT_EQ(rows[5], (TextRow{"MEP mean", psi(p.real.mep), "psi"}));
    EXPECT_EQ(rows[12], (TextRow{"Compression peak", psi(p.real.compressionPeak), "psi abs"}));
    EXPECT_EQ(rows[13], (TextRow{"Ideal MEP", psi(p.ideal.mep), "psi"}));

    SetDesignEngineValue(g, evDischargeCoefficient, 0);
    const IndicatorPoint none = RunIndicatorPoint(g, {});
    EXPECT_FALSE(none.real.ok);
    EXPECT_EQ(none.problem, "The engine cannot run: the discharge coefficient must be above 0 and at most 1.");
    EXPECT_EQ(EngineProblemText(g), none.problem);
    EXPECT_TRUE(IndicatorFigureRows(none, RoadUnit::Mph).empty());
}

// What a text left in a field of the Engine Data window means.
TEST(EngineDataFields, ATextLeftInAFieldIsAChangeNoneOrRefused)
{
    Gear g = FullSize();
    ASSERT_FALSE(g.HasEngine);
    EXPECT_EQ(EngineFieldText(g, evChestPressure), "200");
    EXPECT_EQ(EngineFieldText(g, evDischargeCoefficient), "0.611");
    const struct {
        int index;
        const char* text;
        bool change;
        float value;
        const char* why;
    } cases[] = {
        {evChestPressure, "200", false, 0, ""},     // the text shown
        {evChestPressure, "200.0", false, 200, ""}, // the value the figures use already
        {evChestPressure, "180,5", true, 180.5f, ""},
        {evChestPressure, "18o", false, 0, "The steam-chest pressure must be a number, not \"18o\"."},
        {evCylinders, "3", true, 3, ""},
        {evCylinders, "2.5", false, 0, "Number of cylinders must be a whole number from 1 to 64."},
        {evCylinders, "65", false, 0, "Number of cylinders must be a whole number from 1 to 64."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const EngineFieldEntry e = ReadEngineField(g, c.index, EngineFieldText(g, c.index), c.text);
        EXPECT_EQ(e.change, c.change);
        if (c.change) {
            EXPECT_EQ(e.value, c.value);
        }
        EXPECT_EQ(e.why, c.why);
    }

    // The least clearance the drawing leaves, and a value below it.
    for (int end = 0; end < 2; ++end) {
        const long double least = LeastClearancePercent(g, end);
        ASSERT_GT(least, 0);
        ClearanceNote n = LeastClearanceNote(g, end);
        EXPECT_EQ(n.text, "least " + DecimalText(least, 2) + " %");
        EXPECT_EQ(n.below, 8 < least);
        SetDesignEngineValue(g, end == 0 ? evClearanceFront : evClearanceRear, ToModelFloat(least / 2));
        n = LeastClearanceNote(g, end);
        EXPECT_TRUE(n.below);
        EXPECT_EQ(n.warning, std::string("The ") + (end == 0 ? "front" : "rear") + " clearance is below the " +
                                 DecimalText(least, 2) + " % the section drawing leaves.");
    }
}

// The map: the reference's curves in grey beneath the design's, a curve of
// its notch's colour per figure, solid forward and dotted reverse; the
// figures in the design's units.
TEST(EnginePictures, TheMapDrawsTheReferenceBeneathACurvePerNotchAndDirection)
{
    const Gear g = FullSize();
    const EngineMaps maps = RunEngineMaps(g, g, SmallMap());
    RecordingCanvas c;
    DrawPerformanceMap(c, kMapPictureWidth, kMapPictureHeight, maps, "Nominal");
    const std::vector<CanvasOp> lines = c.OfKind(CanvasOp::Line);
    const auto first = [&](Colour colour) {
        return std::find_if(lines.begin(), lines.end(), [&](const CanvasOp& o) { return o.colour == colour; });
    };
    ASSERT_NE(first(kReferenceGrey), lines.end());
    EXPECT_LT(first(kReferenceGrey), first(MapNotchColour(0)));
    // Notch 18: two segments a figure each way, and its legend line.
    const auto count = [&](Colour colour, PenStyle style) {
        return std::count_if(lines.begin(), lines.end(),
                             [&](const CanvasOp& o) { return o.colour == colour && o.penStyle == style; });
    };
    EXPECT_EQ(count(MapNotchColour(1), PenStyle::Solid), 3 * 2 + 1);
    EXPECT_EQ(count(MapNotchColour(1), PenStyle::Dot), 3 * 2);
    for (const char* text : {"Indicated power, hp", "Tractive effort, lb", "Steam rate, lb/(hp h)", "notch 6",
                             "notch 18", "forward", "reverse", "reference: Nominal"})
        EXPECT_NE(c.FindText(text), nullptr) << text;

    PointResult p;
    p.ok = true;
    p.power = 745.69987158227022;
    p.tractiveEffort = 9.80665;
    p.steamRate = 0.45359237 / 745.69987158227022 / 3600;
    EXPECT_DOUBLE_EQ(MapFigureValue(p, MapFigure::Power, LengthUnit::Inch), 1);
    EXPECT_DOUBLE_EQ(MapFigureValue(p, MapFigure::Power, LengthUnit::Millimetre), 0.74569987158227022);
    EXPECT_DOUBLE_EQ(MapFigureValue(p, MapFigure::TractiveEffort, LengthUnit::Millimetre), 1);
    EXPECT_DOUBLE_EQ(MapFigureValue(p, MapFigure::SteamRate, LengthUnit::Inch), 1);
    p.ok = false;
    EXPECT_TRUE(std::isnan(MapFigureValue(p, MapFigure::Power, LengthUnit::Inch)));
}

// The indicator pane: the figures beside the diagram, a compression peak
// above the chest pressure warned of in red.
TEST(EnginePictures, ThePaneShowsThePointsFiguresAndWarnings)
{
    IndicatorPoint p = RunIndicatorPoint(FullSize(), {});
    ASSERT_TRUE(p.real.ok);
    p.real.compressionAboveChest = true;
    RecordingCanvas c;
    DrawIndicatorPane(c, p, {}, RoadUnit::Mph);
    for (const TextRow& row : IndicatorFigureRows(p, RoadUnit::Mph)) {
        const CanvasOp* label = c.FindText(row[0]);
        ASSERT_NE(label, nullptr) << row[0];
        EXPECT_GE(label->x1, kIndicatorWidth);
        EXPECT_NE(c.FindText(row[1]), nullptr) << row[1];
    }
    // The warning in red, wrapped within the figures' column.
    std::string warned;
    for (const CanvasOp& o : c.OfKind(CanvasOp::Text))
        if (o.colour == RGBColour(176, 0, 0)) {
            EXPECT_GE(o.x1, kIndicatorWidth);
            EXPECT_LE(o.x1 + RecordingCanvas().TextWidth(o.text), kIndicatorPaneWidth);
            warned += (warned.empty() ? "" : " ") + o.text;
        }
    EXPECT_EQ(warned, CompressionWarning(p.real));
}
