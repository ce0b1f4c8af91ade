#include "analysis/SweptEnvelope.h"

#include "analysis/OutlineGrid.h"
#include "analysis/ValveEvents.h"
#include "model/DesignEdit.h"
#include "model/Model.h"
#include "model/NumberText.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <tuple>
#include <unordered_set>
#include <utility>

using LD = long double;

namespace {

constexpr int kOutlineCells = 1000; // along the longer side of a part's extent
constexpr int kGoldenSteps = 40;    // 2 samples apart to 4e-9 of it
constexpr LD kInfinity = std::numeric_limits<LD>::infinity();

// ---------------------------------------------------------------- samples

struct Sample {
    std::array<float, kPointCount> x{}, y{};
    float angle = 0;
};

struct NotchRun {
    int notch = 0;
    float arm = 0;
    std::vector<Sample> samples;
    long clamped = 0;
};

float SampleAngle(int k, int samples) { return ToModelFloat(static_cast<LD>(k) * 360 / samples); }

// An angle folded into 0 <= angle < 360, as the solver takes it.
float FoldAngle(LD a)
{
    while (a < 0) a += 360;
    while (a >= 360) a -= 360;
    float f = ToModelFloat(a);
    if (f >= 360.0f) f = 0;
    return f;
}

void Solve(Gear& g, float angle)
{
    g.DriverAngle = angle;
    SolveLinkage(g);
}

// The gear as a sample left it (points and angle), for the shapes.
void Restore(Gear& g, const Sample& s)
{
    g.PointX = s.x;
    g.PointY = s.y;
    g.DriverAngle = s.angle;
}

// Least of f over [t - d, t + d] by golden-section search, f(t) = ft known;
// the least value found and where (the first found of equals).
template <class F>
std::pair<LD, LD> RefineLeast(const F& f, LD t, LD d, LD ft)
{
    constexpr LD kRatio = 0.6180339887498948482L;
    LD best = ft, where = t;
    LD a = t - d, b = t + d;
    LD c = b - kRatio * (b - a), e = a + kRatio * (b - a);
    LD fc = f(c), fe = f(e);
    auto note = [&](LD v, LD at) {
        if (v < best) {
            best = v;
            where = at;
        }
    };
    note(fc, c);
    note(fe, e);
    for (int i = 0; i < kGoldenSteps; ++i) {
        if (fc <= fe) {
            b = e;
            e = c;
            fe = fc;
            c = b - kRatio * (b - a);
            fc = f(c);
            note(fc, c);
        } else {
            a = c;
            c = e;
            fc = fe;
            e = a + kRatio * (b - a);
            fe = f(e);
            note(fe, e);
        }
    }
    return {best, where};
}

// ---------------------------------------------------------------- distances

using outline_grid::PointSegment2;
using outline_grid::V2;
V2 Of(const WorldPt& p) { return {p.x, p.y}; }
LD Cross(V2 o, V2 a, V2 b) { return (a.x - o.x) * (b.y - o.y) - (a.y - o.y) * (b.x - o.x); }
LD Dist2(V2 a, V2 b) { return (a.x - b.x) * (a.x - b.x) + (a.y - b.y) * (a.y - b.y); }
LD Dist(V2 a, V2 b) { return std::sqrt(Dist2(a, b)); }

LD PointSegment(V2 p, V2 a, V2 b) { return std::sqrt(PointSegment2(p, a, b)); }

bool OnSegment(V2 p, V2 a, V2 b)
{
    return std::min(a.x, b.x) <= p.x && p.x <= std::max(a.x, b.x) && std::min(a.y, b.y) <= p.y &&
           p.y <= std::max(a.y, b.y);
}

LD SegmentSegment(V2 a, V2 b, V2 c, V2 d)
{
    const LD d1 = Cross(c, d, a), d2 = Cross(c, d, b), d3 = Cross(a, b, c), d4 = Cross(a, b, d);
    if (((d1 > 0 && d2 < 0) || (d1 < 0 && d2 > 0)) && ((d3 > 0 && d4 < 0) || (d3 < 0 && d4 > 0))) return 0;
    if ((d1 == 0 && OnSegment(a, c, d)) || (d2 == 0 && OnSegment(b, c, d)) || (d3 == 0 && OnSegment(c, a, b)) ||
        (d4 == 0 && OnSegment(d, a, b)))
        return 0;
    return std::sqrt(
        std::min({PointSegment2(a, c, d), PointSegment2(b, c, d), PointSegment2(c, a, b), PointSegment2(d, a, b)}));
}

// A segment and the rim of a circle: 0 when it crosses or touches it.
LD SegmentRim(V2 a, V2 b, V2 centre, LD radius)
{
    const LD nearest = PointSegment(centre, a, b);
    const LD farthest = std::sqrt(std::max(Dist2(a, centre), Dist2(b, centre)));
    if (radius < nearest) return nearest - radius;
    if (radius > farthest) return radius - farthest;
    return 0;
}

LD SegmentToShape(V2 a, V2 b, const OverlayShape& s)
{
    if (s.circle) return SegmentRim(a, b, Of(s.a), std::fabs(s.r));
    return SegmentSegment(a, b, Of(s.a), Of(s.b));
}

} // namespace

long double ShapeDistance(const PartShapes& part, const OverlayShape& s)
{
    LD best = kInfinity;
    for (const PartSegment& seg : part.segments) best = std::min(best, SegmentToShape(Of(seg.a), Of(seg.b), s));
    for (const PartPolyline& pl : part.polylines) {
        const size_t n = pl.points.size();
        for (size_t i = 0; i + 1 < n || (pl.closed && i < n && n > 1); ++i)
            best = std::min(best, SegmentToShape(Of(pl.points[i]), Of(pl.points[(i + 1) % n]), s));
    }
    for (const PartCircle& c : part.circles) {
        // A filled circle: the distance of its centre less its radius.
        const LD centre =
            s.circle ? std::fabs(Dist(Of(c.c), Of(s.a)) - std::fabs(s.r)) : PointSegment(Of(c.c), Of(s.a), Of(s.b));
        best = std::min(best, std::max(0.0L, centre - c.r));
    }
    return best;
}

namespace {

// ---------------------------------------------------------------- outlines

// A part's shapes at one sample, flattened: segments and circles.
struct Prim {
    bool circle = false;
    LD a = 0, b = 0, c = 0, d = 0; // segment: x1 y1 x2 y2; circle: cx cy r
};

void Flatten(const PartShapes& s, std::vector<Prim>& out)
{
    for (const PartSegment& seg : s.segments) out.push_back({false, seg.a.x, seg.a.y, seg.b.x, seg.b.y});
    for (const PartPolyline& pl : s.polylines) {
        const size_t n = pl.points.size();
        for (size_t i = 0; i + 1 < n || (pl.closed && i < n && n > 1); ++i) {
            const WorldPt& p = pl.points[i];
            const WorldPt& q = pl.points[(i + 1) % n];
            out.push_back({false, p.x, p.y, q.x, q.y});
        }
    }
    for (const PartCircle& c : s.circles) out.push_back({true, c.c.x, c.c.y, c.r, 0});
}

// An axis-aligned box (empty: the infinities).
struct Box {
    LD x0 = kInfinity, y0 = kInfinity, x1 = -kInfinity, y1 = -kInfinity;
    void Add(LD x, LD y, LD r = 0)
    {
        x0 = std::min(x0, x - r);
        y0 = std::min(y0, y - r);
        x1 = std::max(x1, x + r);
        y1 = std::max(y1, y + r);
    }
    void Add(const Prim& p)
    {
        if (p.circle) {
            Add(p.a, p.b, p.c);
        } else {
            Add(p.a, p.b);
            Add(p.c, p.d);
        }
    }
    // Their least distance (0 when they overlap; NaN when either holds a NaN).
    LD Distance(const Box& o) const
    {
        const LD dx = std::max({LD(0), o.x0 - x1, x0 - o.x1}), dy = std::max({LD(0), o.y0 - y1, y0 - o.y1});
        return std::sqrt(dx * dx + dy * dy);
    }
};

Box BoxOf(const OverlayShape& s)
{
    Box b;
    if (s.circle) {
        b.Add(s.a.x, s.a.y, std::fabs(s.r));
    } else {
        b.Add(s.a.x, s.a.y);
        b.Add(s.b.x, s.b.y);
    }
    return b;
}

// A part's shapes at one sample on the grid.
void Draw(OutlineGrid& grid, const Prim& p)
{
    if (p.circle)
        grid.Circle(p.a, p.b, p.c);
    else
        grid.Segment(p.a, p.b, p.c, p.d);
}

struct PartWork {
    GearPart part;
    std::vector<Prim> prims;
    std::vector<std::uint32_t> first; // prims of sample s: [first[s], first[s + 1])
};

} // namespace

std::vector<int> EnvelopeNotchOrder(const EnvelopeSettings& settings)
{
    std::vector<int> order;
    if (settings.Ticked(0)) order.push_back(0);
    for (int n = 1; n <= kEnvelopeNotchMax; ++n) {
        if (settings.Ticked(n)) order.push_back(n);
        if (settings.Ticked(-n)) order.push_back(-n);
    }
    return order;
}

float EnvelopeNotchPosition(const Gear& design, int n)
{
    return NotchPosition(design, std::abs(n), n < 0 ? Running::Reverse : Running::Forward);
}

std::string EnvelopeNotchText(int n)
{
    if (n == 0) return "mid gear";
    return EnvelopeDirectionText(n) + " notch " + std::to_string(std::abs(n));
}

std::string EnvelopeDirectionText(int n)
{
    if (n == 0) return "mid gear";
    return n > 0 ? "forward" : "reverse";
}

float DefaultLeastClearance(LengthUnit unit)
{
    return DefaultCheckLimits(unit)[static_cast<size_t>(CheckRule::Clearance)];
}

void AddClearanceCheck(DesignCheckResult& r, const SweptEnvelope& e, const Overlay& overlay, const CheckLimits& limits)
{
    if (e.clearance.empty()) return;
    CheckLine l;
    l.rule = CheckRule::Clearance;
    l.direction = CheckDirection::Both;
    l.limit = limits[static_cast<size_t>(CheckRule::Clearance)];
    const PartClearance* least = nullptr;
    for (const PartClearance& c : e.clearance)
        if (c.measured && (!least || c.distance < least->distance)) least = &c;
    if (least) {
        const OverlayItem& it = overlay.Item[static_cast<size_t>(std::clamp(least->item, 1, kOverlayItems))];
        l.measured = true;
        l.value = least->distance;
        l.where = std::string(PartName(least->part)) + " from item " + std::to_string(least->item) + " (" +
                  (it.Kind == 1 ? "circle" : "line") + "), " + EnvelopeNotchText(least->notch) + " at " +
                  DecimalText(least->angle, 2) + "\u00b0";
        l.pass = l.value >= l.limit;
    }
    r.lines.push_back(l);
}

DesignCheckResult CheckDesignWithClearance(const AppState& s, const CheckLimits& limits, double topRpm)
{
    DesignCheckResult r = CheckDesign(s.gear, limits, topRpm);
    if (!KeepOutItems(s.overlay).empty())
        AddClearanceCheck(r, SweepEnvelope(s.gear, s.overlay, EnvelopeSettings()), s.overlay, limits);
    return r;
}

SweptEnvelope SweepEnvelope(const Gear& design, const Overlay& overlay, const EnvelopeSettings& settings,
                            BalanceControl* control, ThreadPool& pool)
{
    SweptEnvelope result;
    result.notches = EnvelopeNotchOrder(settings);
    const int samples = std::clamp(settings.samples, 8, 36000);
    result.samples = samples;
    const LD step = 360.0L / samples;
    auto stopped = [control] { return control && control->stop.load(); };
    auto progress = [control](int p) {
        if (control) control->progress.store(p);
    };
    const size_t notchCount = result.notches.size();
    if (notchCount == 0) return result;

    // 1. Every sample of every notch.
    std::vector<NotchRun> runs(notchCount);
    pool.ParallelFor(notchCount, [&](size_t r) {
        if (stopped()) return;
        NotchRun& run = runs[r];
        run.notch = result.notches[r];
        Gear g = design;
        g.ErrorBeepOn = false;
        run.arm = EnvelopeNotchPosition(design, run.notch);
        g.RevArmPos = run.arm;
        run.samples.resize(static_cast<size_t>(samples));
        for (int k = 0; k < samples; ++k) {
            Sample& s = run.samples[static_cast<size_t>(k)];
            s.angle = SampleAngle(k, samples);
            Solve(g, s.angle);
            if (g.SolveClamps != 0) ++run.clamped;
            s.x = g.PointX;
            s.y = g.PointY;
        }
    });
    if (stopped()) {
        result.stopped = true;
        return result;
    }
    for (const NotchRun& run : runs) {
        result.solves += static_cast<long>(run.samples.size());
        result.clampedSamples += run.clamped;
    }
    progress(300);

    // The solver at notch `r`, angle `a`, on the caller's gear.
    auto solveAt = [&](Gear& g, size_t r, LD a) {
        g.RevArmPos = runs[r].arm;
        Solve(g, FoldAngle(a));
    };

    // 2. Pivot extremes: the best sample of each notch refined, the best of them.
    constexpr int kKinds = 4; // least x, greatest x, least y, greatest y
    pool.ParallelFor(static_cast<size_t>(kMotionPoints * kKinds), [&](size_t task) {
        if (stopped()) return;
        const size_t point = task / kKinds;
        const int kind = static_cast<int>(task % kKinds);
        const bool isX = kind < 2;
        const LD sign = kind % 2 == 0 ? 1 : -1; // the least of sign * coordinate
        auto value = [&](const std::array<float, kPointCount>& x, const std::array<float, kPointCount>& y) {
            return sign * static_cast<LD>(isX ? x[point] : y[point]);
        };
        Gear g = design;
        g.ErrorBeepOn = false;
        LD best = kInfinity;
        EnvelopeExtreme found;
        for (size_t r = 0; r < notchCount; ++r) {
            const std::vector<Sample>& s = runs[r].samples;
            size_t at = 0;
            for (size_t k = 1; k < s.size(); ++k)
                if (value(s[k].x, s[k].y) < value(s[at].x, s[at].y)) at = k;
            const LD here = value(s[at].x, s[at].y);
            const size_t before = (at + s.size() - 1) % s.size(), after = (at + 1) % s.size();
            LD v = here, where = s[at].angle;
            if (value(s[before].x, s[before].y) != here || value(s[after].x, s[after].y) != here) {
                auto f = [&](LD a) {
                    solveAt(g, r, a);
                    return value(g.PointX, g.PointY);
                };
                std::tie(v, where) = RefineLeast(f, s[at].angle, step, here);
            }
            if (v < best) {
                best = v;
                found = {ToModelFloat(sign * v), FoldAngle(where), runs[r].notch};
            }
        }
        PivotExtremes& p = result.pivots[point];
        (kind == 0 ? p.minX : kind == 1 ? p.maxX : kind == 2 ? p.minY : p.maxY) = found;
    });
    if (stopped()) {
        result.stopped = true;
        return result;
    }
    progress(500);

    // 3. Each moving part: its shapes at every sample, its clearance of each
    //    keep-out shape, its outline.
    const std::vector<int> keepOut = KeepOutItems(overlay);
    const size_t parts = kMovingParts.size();
    std::vector<PartOutline> outlines(parts);
    std::vector<std::vector<PartClearance>> clearance(parts);
    std::vector<Sample> flat; // all samples, notch after notch
    for (const NotchRun& run : runs) flat.insert(flat.end(), run.samples.begin(), run.samples.end());
    pool.ParallelFor(parts, [&](size_t pi) {
        if (stopped()) return;
        const GearPart part = kMovingParts[pi];
        Gear g = design;
        g.ErrorBeepOn = false;
        PartWork w{part, {}, {}};
        w.first.reserve(flat.size() + 1);
        // Per keep-out item and notch: the least distance and its sample.
        const size_t items = keepOut.size();
        std::vector<LD> least(items * notchCount, kInfinity);
        std::vector<size_t> leastAt(items * notchCount, 0);
        for (size_t f = 0; f < flat.size(); ++f) {
            Restore(g, flat[f]);
            const PartShapes shapes = ShapesOfPart(g, part, PinSet::Ends);
            w.first.push_back(static_cast<std::uint32_t>(w.prims.size()));
            Flatten(shapes, w.prims);
            const size_t r = f / static_cast<size_t>(samples);
            // The part's box at this sample: no point of it is nearer a shape
            // than the box is to the shape's box.
            Box part;
            for (size_t k = w.first.back(); k < w.prims.size(); ++k) part.Add(w.prims[k]);
            for (size_t i = 0; i < items; ++i) {
                const auto shape = OverlayItemShape(overlay.Item[static_cast<size_t>(keepOut[i])], g);
                if (!shape) continue;
                if (!(part.Distance(BoxOf(*shape)) < least[i * notchCount + r])) continue;
                const LD d = ShapeDistance(shapes, *shape);
                if (d < least[i * notchCount + r]) {
                    least[i * notchCount + r] = d;
                    leastAt[i * notchCount + r] = f % static_cast<size_t>(samples);
                }
            }
        }
        w.first.push_back(static_cast<std::uint32_t>(w.prims.size()));

        for (size_t i = 0; i < items; ++i) {
            PartClearance c;
            c.part = part;
            c.item = keepOut[i];
            LD best = kInfinity;
            const OverlayItem& it = overlay.Item[static_cast<size_t>(keepOut[i])];
            for (size_t r = 0; r < notchCount && !stopped(); ++r) {
                const LD here = least[i * notchCount + r];
                if (!std::isfinite(here)) continue;
                const Sample& s = runs[r].samples[leastAt[i * notchCount + r]];
                LD v = here, where = s.angle;
                if (here > 0) {
                    auto f = [&](LD a) {
                        solveAt(g, r, a);
                        const auto shape = OverlayItemShape(it, g);
                        return shape ? ShapeDistance(ShapesOfPart(g, part, PinSet::Ends), *shape) : kInfinity;
                    };
                    std::tie(v, where) = RefineLeast(f, s.angle, step, here);
                }
                if (v < best) {
                    best = v;
                    c.measured = true;
                    c.distance = ToModelFloat(v);
                    c.angle = FoldAngle(where);
                    c.notch = runs[r].notch;
                }
            }
            clearance[pi].push_back(c);
        }

        // The outline on a grid over the part's extent.
        LD x0 = kInfinity, y0 = kInfinity, x1 = -kInfinity, y1 = -kInfinity;
        auto extend = [&](LD x, LD y, LD r) {
            if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(r)) return;
            x0 = std::min(x0, x - r);
            x1 = std::max(x1, x + r);
            y0 = std::min(y0, y - r);
            y1 = std::max(y1, y + r);
        };
        for (const Prim& p : w.prims) {
            if (p.circle) {
                extend(p.a, p.b, p.c);
            } else {
                extend(p.a, p.b, 0);
                extend(p.c, p.d, 0);
            }
        }
        outlines[pi].part = part;
        if (!(x1 >= x0 && y1 >= y0)) return;
        const LD extent = std::max(x1 - x0, y1 - y0);
        const LD h = extent > 0 ? extent / kOutlineCells : 1e-3L;
        const int nx = static_cast<int>(std::ceil((x1 - x0) / h)) + 5,
                  ny = static_cast<int>(std::ceil((y1 - y0) / h)) + 5;
        OutlineGrid grid(x0 - 2 * h, y0 - 2 * h, h, nx, ny);
        const size_t linkStride = static_cast<size_t>(std::max(1, samples / 90));
        auto same = [&](size_t f, size_t g2) {
            const std::uint32_t a = w.first[f], b = w.first[f + 1], c = w.first[g2];
            if (w.first[g2 + 1] - c != b - a) return false;
            for (std::uint32_t k = 0; k < b - a; ++k) {
                const Prim& p = w.prims[a + k];
                const Prim& q = w.prims[c + k];
                if (p.circle != q.circle || p.a != q.a || p.b != q.b || p.c != q.c || p.d != q.d) return false;
            }
            return true;
        };
        for (size_t f = 0; f < flat.size() && !stopped(); ++f) {
            // A part that stands where it stood at this angle of the first
            // notch (the crank at every notch) is drawn there already.
            if (f >= static_cast<size_t>(samples) && same(f, f % static_cast<size_t>(samples))) continue;
            const std::uint32_t a = w.first[f], b = w.first[f + 1];
            // The links and circles every few samples: between two of them
            // what they sweep is closed in by the paths of the links' ends
            // and the sides of the circles' bands (drawn at every sample), and
            // filled. How far the envelope of a link bulges beyond that over
            // 4 degrees of the driver is below a ten-thousandth of its length.
            if ((f % static_cast<size_t>(samples)) % linkStride == 0)
                for (std::uint32_t k = a; k < b; ++k) Draw(grid, w.prims[k]);
            // The paths of the ends and centres to the next sample of the notch.
            const size_t next = (f % static_cast<size_t>(samples) + 1 == static_cast<size_t>(samples))
                                    ? f + 1 - static_cast<size_t>(samples)
                                    : f + 1;
            const std::uint32_t na = w.first[next], nb = w.first[next + 1];
            if (nb - na != b - a) continue;
            for (std::uint32_t k = 0; k < b - a; ++k) {
                const Prim& p = w.prims[a + k];
                const Prim& q = w.prims[na + k];
                if (p.circle != q.circle) continue;
                if (p.circle) {
                    grid.Band(p.a, p.b, q.a, q.b, p.c);
                } else {
                    grid.Segment(p.a, p.b, q.a, q.b);
                    grid.Segment(p.c, p.d, q.c, q.d);
                }
            }
        }
        outlines[pi].loops = grid.Outlines();
    });
    if (stopped()) {
        result.stopped = true;
        return result;
    }
    result.outlines = std::move(outlines);
    for (auto& c : clearance) result.clearance.insert(result.clearance.end(), c.begin(), c.end());
    progress(1000);
    return result;
}

std::vector<std::vector<std::string>> EnvelopeCsvRows(const SweptEnvelope& e)
{
    std::vector<std::vector<std::string>> rows;
    std::vector<std::string> header = {"Point", "Name"};
    for (const char* what : {"MinX", "MaxX", "MinY", "MaxY"})
        for (const char* part : {"", "Angle", "Notch"}) header.push_back(std::string(what) + part);
    rows.push_back(header);
    for (int i = 0; i < kMotionPoints; ++i) {
        const PivotExtremes& p = e.pivots[static_cast<size_t>(i)];
        std::vector<std::string> row = {"P" + std::to_string(i), MotionPointName(i)};
        for (const EnvelopeExtreme* x : {&p.minX, &p.maxX, &p.minY, &p.maxY}) {
            row.push_back(DecimalText(x->value, 6));
            row.push_back(DecimalText(x->angle, 4));
            row.push_back(std::to_string(x->notch));
        }
        rows.push_back(row);
    }
    return rows;
}

std::vector<std::string> ClearanceHeader(LengthUnit unit)
{
    return {"Part",  "Item",  "Shape",     "Distance (" + std::string(LengthUnitText(unit)) + ")",
            "Angle", "Notch", "Direction", "Result"};
}

std::vector<std::vector<std::string>> ClearanceRows(const SweptEnvelope& e, const Overlay& overlay, float least)
{
    std::vector<std::vector<std::string>> rows;
    for (const PartClearance& c : e.clearance) {
        const OverlayItem& it = overlay.Item[static_cast<size_t>(std::clamp(c.item, 1, kOverlayItems))];
        std::vector<std::string> row = {PartName(c.part), std::to_string(c.item), it.Kind == 1 ? "circle" : "line"};
        if (!c.measured) {
            row.insert(row.end(), {"", "", "", "", "not drawn"});
        } else {
            row.push_back(DecimalText(c.distance, 4));
            row.push_back(DecimalText(c.angle, 2));
            row.push_back(std::to_string(std::abs(c.notch)));
            row.push_back(EnvelopeDirectionText(c.notch));
            row.push_back(c.distance >= least ? "PASS" : "FAIL");
        }
        rows.push_back(row);
    }
    return rows;
}
