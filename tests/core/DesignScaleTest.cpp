// Scaling a design: every length times the factor, the view following, the
// events in percent and degrees as they were, one undo record; the unit; the
// factor from scales and gauges.
#include "model/DesignScale.h"
#include "analysis/ValveEventsTable.h"
#include "dialogs/ScaleDesignValues.h"
#include "files/DesignValues.h"
#include "model/DesignEdit.h"
#include "model/DynVars.h"
#include "model/Model.h"
#include "model/NumberText.h"

#include "DiagramTestUtil.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

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
