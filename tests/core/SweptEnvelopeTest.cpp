// The swept envelope checked against the solver itself: the pivot extremes
// and the clearance against fine sweeps of the solver, the outlines against
// the places the parts take; and the distances it is made of, in closed form.
#include "analysis/SweptEnvelope.h"
#include "model/DesignEdit.h"
#include "model/Model.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using LD = long double;

namespace {

// The built-in design as opened, swept at four notches (both directions, mid
// gear, full gear).
struct Swept {
    AppState s;
    Gear design;
    EnvelopeSettings settings;
    SweptEnvelope e;
    explicit Swept(bool withKeepOut = false)
    {
        StartupModel(s);
        if (withKeepOut) {
            // A line under the gear, and a circle about the axle cutting the crank's path.
            s.overlay.Item[1] = {-3, -4.5f, 15, -4.5f, 0, 0, 0, 0, 0, 0, 0, 0, 0, true};
            s.overlay.Item[2] = {0, 0, 1.2f, 0, 0, 0, 0, 0, 1, 255, 0, 0, 0, true};
            s.overlay.Item[3] = {0, 5, 10, 5, 0, 0, 0, 0, 0, 0, 0, 0, 0, false}; // not keep-out
        }
        design = s.gear;
        settings.notch.fill(false);
        for (int n : {0, 7, -11, 18}) settings.notch[static_cast<size_t>(n + kEnvelopeNotchMax)] = true;
        e = SweepEnvelope(design, s.overlay, settings);
    }
    // The solver at notch n and driver angle a.
    Gear At(int n, float a) const
    {
        Gear g = design;
        g.RevArmPos = EnvelopeNotchPosition(design, n);
        g.DriverAngle = a;
        SolveLinkage(g);
        return g;
    }
};

bool InsideLoop(const std::vector<EnvelopePoint>& loop, LD x, LD y)
{
    bool in = false;
    for (size_t i = 0, j = loop.size() - 1; i < loop.size(); j = i++) {
        const LD xi = loop[i].x, yi = loop[i].y, xj = loop[j].x, yj = loop[j].y;
        if ((yi > y) != (yj > y) && x < (xj - xi) * (y - yi) / (yj - yi) + xi) in = !in;
    }
    return in;
}

} // namespace

TEST(SweptEnvelope, ExtremesAreTheSolversOwnAndNoFineSampleGoesBeyondThem)
{
    const Swept w;
    ASSERT_FALSE(w.e.stopped);
    EXPECT_EQ(w.e.notches, (std::vector<int>{0, 7, -11, 18}));
    EXPECT_EQ(w.e.solves, 4 * 360);
    // A sweep of every ticked notch at 0.05 degrees.
    std::array<PivotExtremes, kMotionPoints> fine{};
    for (auto& p : fine) {
        p.minX.value = p.minY.value = std::numeric_limits<float>::infinity();
        p.maxX.value = p.maxY.value = -std::numeric_limits<float>::infinity();
    }
    for (int n : w.e.notches) {
        for (int k = 0; k < 7200; ++k) {
            const Gear g = w.At(n, static_cast<float>(k) * 0.05f);
            for (int i = 0; i < kMotionPoints; ++i) {
                PivotExtremes& p = fine[static_cast<size_t>(i)];
                p.minX.value = std::min(p.minX.value, g.PointX[static_cast<size_t>(i)]);
                p.maxX.value = std::max(p.maxX.value, g.PointX[static_cast<size_t>(i)]);
                p.minY.value = std::min(p.minY.value, g.PointY[static_cast<size_t>(i)]);
                p.maxY.value = std::max(p.maxY.value, g.PointY[static_cast<size_t>(i)]);
            }
        }
    }
    for (int i = 0; i < kMotionPoints; ++i) {
        SCOPED_TRACE("P" + std::to_string(i));
        const PivotExtremes& got = w.e.pivots[static_cast<size_t>(i)];
        const PivotExtremes& f = fine[static_cast<size_t>(i)];
        const struct {
            const EnvelopeExtreme& got;
            float fine;
            bool least, x;
        } kinds[] = {{got.minX, f.minX.value, true, true},
                     {got.maxX, f.maxX.value, false, true},
                     {got.minY, f.minY.value, true, false},
                     {got.maxY, f.maxY.value, false, false}};
        for (const auto& k : kinds) {
            // The best of the fine samples to 1e-6 (between samples 0.025 degrees
            // apart a pin moves less than that from its extreme; the solver's
            // floats are a little rough on that scale).
            EXPECT_NEAR(k.got.value, k.fine, 1e-6f);
            // The solver puts the pivot there at the angle and notch reported.
            const Gear g = w.At(k.got.notch, k.got.angle);
            EXPECT_EQ(k.got.value, k.x ? g.PointX[static_cast<size_t>(i)] : g.PointY[static_cast<size_t>(i)]);
            EXPECT_GE(k.got.angle, 0.0f);
            EXPECT_LT(k.got.angle, 360.0f);
        }
    }
    // The crank pin goes round the axle: its extremes are the stroke's half at 0, 90, 180, 270.
    const PivotExtremes& pin = w.e.pivots[2];
    const LD half = static_cast<LD>(w.design.Stroke) / 2;
    EXPECT_NEAR(pin.maxX.value, half, 1e-6);
    EXPECT_NEAR(pin.minY.value, -half, 1e-6);
    EXPECT_NEAR(pin.maxX.angle, 0.0, 1e-3);
    EXPECT_NEAR(pin.minY.angle, 90.0, 1e-3);
    // A fixed pivot ties everywhere: mid gear at 0 degrees, the first measured.
    EXPECT_EQ(w.e.pivots[15].maxX.notch, 0);
    EXPECT_EQ(w.e.pivots[15].maxX.angle, 0.0f);
    EXPECT_EQ(w.e.pivots[15].maxX.value, w.design.PointX[15]);
}

TEST(SweptEnvelope, OutlinesHoldEveryPlaceAPartTakesAndHugItWithinThreeCells)
{
    const Swept w;
    ASSERT_EQ(w.e.outlines.size(), kMovingParts.size());
    for (const PartOutline& o : w.e.outlines) {
        SCOPED_TRACE(PartName(o.part));
        ASSERT_FALSE(o.loops.empty());
        LD x0 = 1e9, x1 = -1e9, y0 = 1e9, y1 = -1e9;
        std::vector<PartShapes> places, between; // at the sampled angles, and halfway between them
        for (int n : w.e.notches) {
            for (int k = 0; k < 360; ++k) {
                places.push_back(ShapesOfPart(w.At(n, static_cast<float>(k)), o.part, PinSet::Ends));
                if (k % 3 == 0)
                    between.push_back(ShapesOfPart(w.At(n, static_cast<float>(k) + 0.5f), o.part, PinSet::Ends));
                // The part's extent, as the grid is laid over it.
                for (const PartSegment& s : places.back().segments) {
                    x0 = std::min({x0, s.a.x, s.b.x});
                    x1 = std::max({x1, s.a.x, s.b.x});
                    y0 = std::min({y0, s.a.y, s.b.y});
                    y1 = std::max({y1, s.a.y, s.b.y});
                }
                for (const PartPolyline& l : places.back().polylines) {
                    for (const WorldPt& q : l.points) {
                        x0 = std::min(x0, q.x);
                        x1 = std::max(x1, q.x);
                        y0 = std::min(y0, q.y);
                        y1 = std::max(y1, q.y);
                    }
                }
                for (const PartCircle& c : places.back().circles) {
                    x0 = std::min(x0, c.c.x - c.r);
                    x1 = std::max(x1, c.c.x + c.r);
                    y0 = std::min(y0, c.c.y - c.r);
                    y1 = std::max(y1, c.c.y + c.r);
                }
            }
        }
        // Every end of a link, also between the samples, lies inside an outline.
        for (const PartShapes& p : between) {
            for (const PartSegment& s : p.segments) {
                for (const WorldPt& q : {s.a, s.b}) {
                    bool in = false;
                    for (const auto& loop : o.loops) in = in || InsideLoop(loop, q.x, q.y);
                    EXPECT_TRUE(in) << q.x << ", " << q.y;
                }
            }
        }
        // Every corner of the outline lies within three cells of a place the
        // part takes (a cell of the grid holds a place, the outline runs a cell
        // outside the cells that do: at most 2 sqrt(2) cells).
        const LD cell = std::max(x1 - x0, y1 - y0) / 1000;
        for (const auto& loop : o.loops) {
            for (size_t i = 0; i < loop.size(); i += 5) {
                OverlayShape dot;
                dot.circle = true;
                dot.a = {loop[i].x, loop[i].y};
                LD nearest = 1e9;
                for (const PartShapes& p : places) nearest = std::min(nearest, ShapeDistance(p, dot));
                EXPECT_LT(nearest, 3 * cell) << loop[i].x << ", " << loop[i].y;
            }
        }
    }
}

TEST(SweptEnvelope, DistancesBetweenPartsAndKeepOutShapesInClosedForm)
{
    auto segment = [](LD x1, LD y1, LD x2, LD y2) {
        PartShapes p;
        p.segments.push_back({{x1, y1}, {x2, y2}});
        return p;
    };
    auto disc = [](LD x, LD y, LD r) {
        PartShapes p;
        p.circles.push_back({{x, y}, r, -1});
        return p;
    };
    auto line = [](LD x1, LD y1, LD x2, LD y2) {
        OverlayShape s;
        s.a = {x1, y1};
        s.b = {x2, y2};
        return s;
    };
    auto rim = [](LD x, LD y, LD r) {
        OverlayShape s;
        s.circle = true;
        s.a = {x, y};
        s.r = r;
        return s;
    };
    const struct {
        const char* what;
        PartShapes part;
        OverlayShape shape;
        LD distance;
    } cases[] = {
        {"parallel segments 2 apart", segment(0, 0, 4, 0), line(1, 2, 3, 2), 2},
        {"crossing segments", segment(0, 0, 4, 4), line(0, 4, 4, 0), 0},
        {"touching at an end", segment(0, 0, 2, 0), line(2, 0, 2, 5), 0},
        {"end to end, 3-4-5", segment(0, 0, 1, 0), line(4, 4, 9, 4), 5},
        {"segment outside a rim", segment(5, -1, 5, 1), rim(0, 0, 3), 2},
        {"segment inside a rim", segment(-1, 0, 1, 0), rim(0, 0, 3), 2},
        {"segment across a rim", segment(0, 0, 5, 0), rim(0, 0, 3), 0},
        {"a negative radius is its size", segment(5, -1, 5, 1), rim(0, 0, -3), 2},
        {"disc beside a line", disc(0, 3, 1), line(-5, 0, 5, 0), 2},
        {"disc over a line", disc(0, 0.5L, 1), line(-5, 0, 5, 0), 0},
        {"disc inside a rim", disc(1, 0, 0.5L), rim(0, 0, 4), 2.5L},
        {"disc outside a rim", disc(10, 0, 1), rim(0, 0, 4), 5},
    };
    for (const auto& c : cases) EXPECT_NEAR(ShapeDistance(c.part, c.shape), c.distance, 1e-15L) << c.what;
}

TEST(SweptEnvelope, ClearanceIsTheLeastOfAFineSweepWithWhereItOccurs)
{
    const Swept w(true);
    // Two keep-out items (1 and 3 is not) for each of the six moving parts.
    ASSERT_EQ(w.e.clearance.size(), 2 * kMovingParts.size());
    for (const PartClearance& c : w.e.clearance) {
        SCOPED_TRACE(std::string(PartName(c.part)) + ", item " + std::to_string(c.item));
        ASSERT_TRUE(c.measured);
        EXPECT_TRUE(c.item == 1 || c.item == 2);
        const OverlayItem& it = w.s.overlay.Item[static_cast<size_t>(c.item)];
        LD fine = std::numeric_limits<LD>::infinity();
        for (int n : w.e.notches) {
            for (int k = 0; k < 3600; ++k) {
                const Gear g = w.At(n, static_cast<float>(k) * 0.1f);
                fine = std::min(fine, ShapeDistance(ShapesOfPart(g, c.part, PinSet::Ends), *OverlayItemShape(it, g)));
            }
        }
        EXPECT_LE(c.distance, fine + 1e-6);
        EXPECT_GE(c.distance, fine - 1e-4); // between samples 0.05 degrees apart
        const Gear g = w.At(c.notch, c.angle);
        EXPECT_NEAR(ShapeDistance(ShapesOfPart(g, c.part, PinSet::Ends), *OverlayItemShape(it, g)), c.distance, 1e-6);
    }
    // The crank pin's circle crosses the rim of radius 1.2 about the axle.
    EXPECT_EQ(w.e.clearance[1].part, GearPart::CrankMainRod);
    EXPECT_EQ(w.e.clearance[1].distance, 0.0f);
    const auto rows = ClearanceRows(w.e, w.s.overlay, DefaultLeastClearance(w.design.Unit));
    EXPECT_EQ(rows[1][2], "circle");
    EXPECT_EQ(rows[1][7], "FAIL");
}

TEST(SweptEnvelope, TheDesignCheckGetsAClearanceLineOnlyForKeepOutShapes)
{
    const Swept plain;
    const CheckLimits limits = DefaultCheckLimits(LengthUnit::Inch);
    EXPECT_EQ(limits[static_cast<size_t>(CheckRule::Clearance)], 0.03125f);
    EXPECT_EQ(DefaultCheckLimits(LengthUnit::Millimetre)[static_cast<size_t>(CheckRule::Clearance)], 1.0f);
    const DesignCheckResult without = CheckDesignWithClearance(plain.s, limits);
    EXPECT_EQ(CheckCsvRows(without), CheckCsvRows(CheckDesign(plain.design, limits))) << "as before";

    const Swept w(true);
    const DesignCheckResult with = CheckDesignWithClearance(w.s, limits);
    ASSERT_EQ(with.lines.size(), without.lines.size() + 1);
    const CheckLine& l = with.lines.back();
    EXPECT_EQ(l.rule, CheckRule::Clearance);
    EXPECT_EQ(l.value, 0.0f); // the crank pin crosses the rim about the axle
    EXPECT_FALSE(l.pass);
    EXPECT_EQ(l.where.rfind("crank and main rod from item 2 (circle), ", 0), 0u) << l.where;
    EXPECT_EQ(CheckCsvRows(with).back(), (std::vector<std::string>{"clearance", "both", "0.0000", "0.03125", "FAIL"}));
    // With the rim out of the way, the least of the line's clearances, judged against the limit.
    AppState s = w.s;
    s.overlay.Item[2].KeepOut = false;
    const DesignCheckResult line = CheckDesignWithClearance(s, limits);
    float least = std::numeric_limits<float>::infinity();
    for (const PartClearance& c : SweepEnvelope(s.gear, s.overlay, EnvelopeSettings()).clearance)
        least = std::min(least, c.distance);
    EXPECT_EQ(line.lines.back().value, least);
    EXPECT_EQ(line.lines.back().pass, least >= 0.03125f);
}
