#include "analysis/SweptEnvelope.h"

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

struct V2 {
    LD x, y;
};
V2 Of(const WorldPt& p) { return {p.x, p.y}; }
LD Cross(V2 o, V2 a, V2 b) { return (a.x - o.x) * (b.y - o.y) - (a.y - o.y) * (b.x - o.x); }
LD Dist2(V2 a, V2 b) { return (a.x - b.x) * (a.x - b.x) + (a.y - b.y) * (a.y - b.y); }
LD Dist(V2 a, V2 b) { return std::sqrt(Dist2(a, b)); }

// The square of the distance of a point from a segment.
LD PointSegment2(V2 p, V2 a, V2 b)
{
    const LD dx = b.x - a.x, dy = b.y - a.y;
    const LD len2 = dx * dx + dy * dy;
    LD t = len2 > 0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / len2 : 0;
    t = std::clamp(t, 0.0L, 1.0L);
    return Dist2(p, {a.x + t * dx, a.y + t * dy});
}
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

class Grid {
public:
    Grid(LD x0, LD y0, LD h, int nx, int ny)
        : x0_(x0), y0_(y0), h_(h), nx_(nx), ny_(ny), cell_(static_cast<size_t>(nx) * static_cast<size_t>(ny), 0)
    {}

    // Every cell the segment passes through (its ends' cells included): the
    // ends in fixed point (1/65536 of a cell), then cell by cell, crossing
    // whichever cell side the segment meets first (exact integer comparisons).
    void Segment(LD ax, LD ay, LD bx, LD by)
    {
        if (!std::isfinite(ax) || !std::isfinite(ay) || !std::isfinite(bx) || !std::isfinite(by)) return;
        Walk(FixedX(ax), FixedY(ay), FixedX(bx), FixedY(by));
    }

    // The rim of a circle, as a polygon of edges about a cell long. A circle
    // that falls on the quarter cells of one drawn before is not drawn again
    // (the crank disk, the eccentric at every notch).
    void Circle(LD cx, LD cy, LD r)
    {
        if (!std::isfinite(cx) || !std::isfinite(cy) || !std::isfinite(r) || !(r > 0)) return;
        if (!drawn_.insert({Q(cx), Q(cy), Q(r)}).second) return;
        const int m = std::clamp(static_cast<int>(std::ceil(2 * kPi * r / h_)), 12, 2048);
        if (static_cast<int>(unit_.size()) != m) {
            unit_.resize(static_cast<size_t>(m));
            for (int k = 0; k < m; ++k)
                unit_[static_cast<size_t>(k)] = {std::cos(2 * kPi * k / m), std::sin(2 * kPi * k / m)};
        }
        std::int64_t px = FixedX(cx + r), py = FixedY(cy);
        for (int k = 1; k <= m; ++k) {
            const V2& q = unit_[static_cast<size_t>(k % m)];
            const std::int64_t qx = FixedX(cx + r * q.x), qy = FixedY(cy + r * q.y);
            Walk(px, py, qx, qy);
            px = qx;
            py = qy;
        }
    }

    // The two sides of the band a circle sweeps from one place to the next.
    void Band(LD ax, LD ay, LD bx, LD by, LD r)
    {
        const LD dx = bx - ax, dy = by - ay, len = std::sqrt(dx * dx + dy * dy);
        if (!(len > 0) || !std::isfinite(len) || !(r > 0)) return;
        const LD nx = -dy / len * r, ny = dx / len * r;
        Segment(ax + nx, ay + ny, bx + nx, by + ny);
        Segment(ax - nx, ay - ny, bx - nx, by - ny);
    }

    void Draw(const Prim& p)
    {
        if (p.circle)
            Circle(p.a, p.b, p.c);
        else
            Segment(p.a, p.b, p.c, p.d);
    }

    // Everything the marks enclose is filled; the traced boundary of the
    // filled cells, counter-clockwise, simplified to within 0.75 cell.
    std::vector<std::vector<EnvelopePoint>> Outlines()
    {
        FillOutside();
        Widen();
        return Trace();
    }

private:
    struct Key {
        long long x, y, r;
        bool operator==(const Key& o) const { return x == o.x && y == o.y && r == o.r; }
    };
    struct KeyHash {
        size_t operator()(const Key& k) const
        {
            std::uint64_t h = 1469598103934665603ull;
            for (long long v : {k.x, k.y, k.r}) h = (h ^ static_cast<std::uint64_t>(v)) * 0x100000001B3ull;
            return static_cast<size_t>(h ^ (h >> 29));
        }
    };
    // Quarters of a cell.
    long long Q(LD v) const
    {
        return static_cast<long long>(static_cast<double>(std::clamp(v / h_ * 4, -1e15L, 1e15L)));
    }

    // A coordinate in cells, in fixed point (1/65536 of a cell, cut towards
    // zero: a finer rounding would change no cell that matters).
    static constexpr std::int64_t kOne = 65536;
    std::int64_t FixedX(LD v) const { return Fixed(v, x0_); }
    std::int64_t FixedY(LD v) const { return Fixed(v, y0_); }
    std::int64_t Fixed(LD v, LD origin) const
    {
        constexpr LD kFar = 1e12L; // far beyond any grid, well within 64 bits
        // Through a double: its conversion to an integer is a fast one.
        return static_cast<std::int64_t>(static_cast<double>(std::clamp((v - origin) / h_ * kOne, -kFar, kFar)));
    }

    // Every cell the segment passes through (its ends' cells included), cell
    // by cell, crossing whichever cell side the segment meets first (exact
    // integer comparisons).
    void Walk(std::int64_t X0, std::int64_t Y0, std::int64_t X1, std::int64_t Y1)
    {
        auto cellOf = [](std::int64_t v) { return v >= 0 ? v / kOne : -((-v + kOne - 1) / kOne); };
        std::int64_t i = cellOf(X0), j = cellOf(Y0);
        const std::int64_t ie = cellOf(X1), je = cellOf(Y1);
        const int di = X1 > X0 ? 1 : -1, dj = Y1 > Y0 ? 1 : -1;
        const __int128 adx = X1 > X0 ? X1 - X0 : X0 - X1, ady = Y1 > Y0 ? Y1 - Y0 : Y0 - Y1;
        // The next cell side across the way, in x and in y.
        std::int64_t sideX = di > 0 ? (i + 1) * kOne : i * kOne;
        std::int64_t sideY = dj > 0 ? (j + 1) * kOne : j * kOne;
        Mark(i, j);
        for (std::int64_t n = (ie > i ? ie - i : i - ie) + (je > j ? je - j : j - je); n > 0; --n) {
            // Sooner in x when |sideX - X0| / adx < |sideY - Y0| / ady.
            const __int128 gx = sideX > X0 ? sideX - X0 : X0 - sideX;
            const __int128 gy = sideY > Y0 ? sideY - Y0 : Y0 - sideY;
            if (i != ie && (j == je || gx * ady < gy * adx)) {
                i += di;
                sideX += di * kOne;
            } else {
                j += dj;
                sideY += dj * kOne;
            }
            Mark(i, j);
        }
    }

    void Mark(std::int64_t i, std::int64_t j)
    {
        if (i >= 0 && j >= 0 && i < nx_ && j < ny_) cell_[Index(static_cast<int>(i), static_cast<int>(j))] = 1;
    }
    size_t Index(int i, int j) const
    {
        return static_cast<size_t>(j) * static_cast<size_t>(nx_) + static_cast<size_t>(i);
    }
    bool Inside(int i, int j) const { return i >= 0 && j >= 0 && i < nx_ && j < ny_ && cell_[Index(i, j)] != 2; }

    // Outside: every unmarked cell reachable from the border (4-neighbours).
    void FillOutside()
    {
        std::vector<std::pair<int, int>> stack;
        auto push = [&](int i, int j) {
            if (i < 0 || j < 0 || i >= nx_ || j >= ny_ || cell_[Index(i, j)] != 0) return;
            cell_[Index(i, j)] = 2;
            stack.push_back({i, j});
        };
        for (int i = 0; i < nx_; ++i) {
            push(i, 0);
            push(i, ny_ - 1);
        }
        for (int j = 0; j < ny_; ++j) {
            push(0, j);
            push(nx_ - 1, j);
        }
        while (!stack.empty()) {
            const auto [i, j] = stack.back();
            stack.pop_back();
            push(i + 1, j);
            push(i - 1, j);
            push(i, j + 1);
            push(i, j - 1);
        }
    }

    // Every outside cell beside (or diagonally beside) an inside one joins the
    // inside: a link a cell wide becomes three, so that simplifying the
    // boundary by less than a cell never cuts into it.
    void Widen()
    {
        std::vector<size_t> join;
        for (int j = 1; j + 1 < ny_; ++j) {
            for (int i = 1; i + 1 < nx_; ++i) {
                if (cell_[Index(i, j)] != 2) continue;
                bool near = false;
                for (int dj = -1; dj <= 1 && !near; ++dj)
                    for (int di = -1; di <= 1 && !near; ++di) near = cell_[Index(i + di, j + dj)] < 2;
                if (near) join.push_back(Index(i, j));
            }
        }
        for (size_t k : join) cell_[k] = 1;
    }

    // The edges between inside and outside cells, directed with the inside on
    // the left, joined into loops (turning left where two loops touch at a corner).
    std::vector<std::vector<EnvelopePoint>> Trace() const
    {
        const int vx = nx_ + 1;
        auto id = [vx](int i, int j) { return j * vx + i; };
        const size_t vertices = static_cast<size_t>(vx) * static_cast<size_t>(ny_ + 1);
        std::vector<int> out1(vertices, -1), out2(vertices, -1);
        auto add = [&](int from, int to) {
            if (out1[static_cast<size_t>(from)] < 0)
                out1[static_cast<size_t>(from)] = to;
            else
                out2[static_cast<size_t>(from)] = to;
        };
        for (int j = 0; j < ny_; ++j) {
            for (int i = 0; i < nx_; ++i) {
                if (!Inside(i, j)) continue;
                if (!Inside(i, j - 1)) add(id(i, j), id(i + 1, j));
                if (!Inside(i + 1, j)) add(id(i + 1, j), id(i + 1, j + 1));
                if (!Inside(i, j + 1)) add(id(i + 1, j + 1), id(i, j + 1));
                if (!Inside(i - 1, j)) add(id(i, j + 1), id(i, j));
            }
        }
        // The way on from `v` for a walk that came from `from`: the only
        // one, or of two the left turn of the way in; taken off the vertex.
        auto take = [&](int from, int v) {
            const size_t c = static_cast<size_t>(v);
            int next = out1[c];
            if (out2[c] >= 0) {
                const int lx = -(v / vx - from / vx), ly = v % vx - from % vx;
                if (out2[c] % vx - v % vx == lx && out2[c] / vx - v / vx == ly) {
                    next = out2[c];
                } else {
                    out1[c] = out2[c];
                }
                out2[c] = -1;
            } else {
                out1[c] = -1;
            }
            return next;
        };
        std::vector<std::vector<EnvelopePoint>> loops;
        for (size_t start = 0; start < vertices; ++start) {
            while (out1[start] >= 0) {
                const int s = static_cast<int>(start);
                std::vector<std::pair<int, int>> loop = {{s % vx, s / vx}};
                int prev = s;
                int cur = take(s, s);
                while (cur >= 0 && cur != s) {
                    loop.push_back({cur % vx, cur / vx});
                    const int next = take(prev, cur);
                    prev = cur;
                    cur = next;
                }
                loops.push_back(Simplify(loop));
            }
        }
        return loops;
    }

    // Douglas-Peucker on the closed loop (grid corners), to world points.
    std::vector<EnvelopePoint> Simplify(const std::vector<std::pair<int, int>>& loop) const
    {
        const size_t n = loop.size();
        std::vector<bool> keep(n, false);
        if (n <= 3) {
            keep.assign(n, true);
        } else {
            // Split at the first corner and the one farthest from it.
            size_t far = 0;
            long best = -1;
            for (size_t i = 1; i < n; ++i) {
                const long dx = loop[i].first - loop[0].first, dy = loop[i].second - loop[0].second;
                if (dx * dx + dy * dy > best) {
                    best = dx * dx + dy * dy;
                    far = i;
                }
            }
            keep[0] = keep[far] = true;
            const LD tol = 0.75L;
            std::vector<std::pair<size_t, size_t>> spans = {{0, far}, {far, n}};
            while (!spans.empty()) {
                const auto [a, b] = spans.back();
                spans.pop_back();
                if (b - a < 2) continue;
                const V2 pa{static_cast<LD>(loop[a].first), static_cast<LD>(loop[a].second)};
                const V2 pb{static_cast<LD>(loop[b % n].first), static_cast<LD>(loop[b % n].second)};
                LD worst = -1;
                size_t at = a;
                for (size_t i = a + 1; i < b; ++i) {
                    const LD d =
                        PointSegment({static_cast<LD>(loop[i].first), static_cast<LD>(loop[i].second)}, pa, pb);
                    if (d > worst) {
                        worst = d;
                        at = i;
                    }
                }
                if (worst > tol) {
                    keep[at] = true;
                    spans.push_back({a, at});
                    spans.push_back({at, b});
                }
            }
        }
        std::vector<EnvelopePoint> out;
        for (size_t i = 0; i < n; ++i)
            if (keep[i])
                out.push_back({ToModelFloat(x0_ + loop[i].first * h_), ToModelFloat(y0_ + loop[i].second * h_)});
        return out;
    }

    LD x0_, y0_, h_;
    int nx_, ny_;
    std::vector<std::uint8_t> cell_;         // 0 empty, 1 marked, 2 outside
    std::unordered_set<Key, KeyHash> drawn_; // circles drawn
    std::vector<V2> unit_;                   // the unit circle's corners for the last polygon
};

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

DesignCheckResult CheckDesignWithClearance(const AppState& s, const CheckLimits& limits)
{
    const Gear design = DesignAsOpened(s.gear);
    DesignCheckResult r = CheckDesign(design, limits);
    if (!KeepOutItems(s.overlay).empty())
        AddClearanceCheck(r, SweepEnvelope(design, s.overlay, EnvelopeSettings()), s.overlay, limits);
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
            for (size_t i = 0; i < items; ++i) {
                const auto shape = OverlayItemShape(overlay.Item[static_cast<size_t>(keepOut[i])], g);
                if (!shape) continue;
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
        Grid grid(x0 - 2 * h, y0 - 2 * h, h, nx, ny);
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
                for (std::uint32_t k = a; k < b; ++k) grid.Draw(w.prims[k]);
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
