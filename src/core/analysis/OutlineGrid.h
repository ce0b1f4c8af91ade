// The outline of the space a part sweeps, found on a grid: the places the
// part takes are marked cell by cell (every cell a segment or a circle's rim
// passes through, with exact integer walks), everything the marks enclose is
// filled and widened by a cell, and the boundary of the filled cells is traced
// and simplified to within 0.75 of a cell (analysis/SweptEnvelope).
#pragma once

#include "model/AppState.h"
#include "model/GearParts.h"
#include "model/NumberText.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <unordered_set>
#include <utility>
#include <vector>

namespace outline_grid {
using LD = long double;
inline constexpr LD kInfinity = std::numeric_limits<LD>::infinity();
struct V2 {
    LD x, y;
};
// The square of the distance of a point from a segment.
inline LD PointSegment2(V2 p, V2 a, V2 b)
{
    const LD dx = b.x - a.x, dy = b.y - a.y;
    const LD len2 = dx * dx + dy * dy;
    LD t = len2 > 0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / len2 : 0;
    t = std::clamp(t, 0.0L, 1.0L);
    const LD ex = p.x - (a.x + t * dx), ey = p.y - (a.y + t * dy);
    return ex * ex + ey * ey;
}
} // namespace outline_grid

// A grid of nx x ny cells of side h whose lower left corner is (x0, y0).
class OutlineGrid {
    using LD = outline_grid::LD;
    using V2 = outline_grid::V2;
    static constexpr LD kInfinity = outline_grid::kInfinity;
    static LD Distance(V2 p, V2 a, V2 b) { return std::sqrt(outline_grid::PointSegment2(p, a, b)); }

public:
    OutlineGrid(LD x0, LD y0, LD h, int nx, int ny)
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
                    const LD d = Distance({static_cast<LD>(loop[i].first), static_cast<LD>(loop[i].second)}, pa, pb);
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
