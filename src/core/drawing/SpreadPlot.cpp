#include "drawing/SpreadPlot.h"

#include "drawing/CutOffPlot.h"
#include "model/Model.h"
#include "model/NumberText.h"

#include <algorithm>
#include <cmath>

using LD = long double;

namespace {

constexpr Colour kBand[kCylinderEnds] = {RGBColour(170, 190, 255), RGBColour(255, 180, 180)};
constexpr Colour kLine[kCylinderEnds] = {clBlue, clRed};

// The value of a curve at notch x between its points (none in a gap).
bool At(const std::vector<SpreadPoint>& pts, LD x, LD& lo, LD& hi)
{
    for (size_t k = 1; k < pts.size(); ++k) {
        const SpreadPoint &a = pts[k - 1], &b = pts[k];
        if (x < a.notch || x > b.notch || b.notch - a.notch > 1 || !a.measured || !b.measured) continue;
        const LD t = b.notch == a.notch ? 0 : (x - a.notch) / (static_cast<LD>(b.notch) - a.notch);
        lo = a.min + t * (static_cast<LD>(b.min) - a.min);
        hi = a.max + t * (static_cast<LD>(b.max) - a.max);
        return true;
    }
    return false;
}

} // namespace

std::vector<SpreadPoint> CutOffSpread(const ToleranceResult& r, int end)
{
    std::vector<SpreadPoint> reverse, forward;
    const size_t q = static_cast<size_t>(EventQuantityOf(end, veCutOff));
    for (const ToleranceRow& row : r.rows) {
        if (row.row.notch == kNormalNotch) continue;
        const QuantitySpread& s = row.figure[q];
        if (!s.nominalKnown) continue;
        const bool fwd = row.row.running == Running::Forward;
        const SpreadPoint p{static_cast<float>(fwd ? row.row.notch : -row.row.notch), s.count > 0, s.nominal, s.min,
                            s.max};
        (fwd ? forward : reverse).push_back(p);
    }
    std::reverse(reverse.begin(), reverse.end());
    reverse.insert(reverse.end(), forward.begin(), forward.end());
    return reverse;
}

void DrawSpreadPlot(Canvas& c, int width, int height, const ToleranceResult& r)
{
    c.Clear(clWhite);
    const std::vector<SpreadPoint> ends[kCylinderEnds] = {CutOffSpread(r, endFront), CutOffSpread(r, endRear)};
    // The scale: tens of percents that hold every point.
    LD lowest = 100, highest = 0;
    for (const auto& pts : ends)
        for (const SpreadPoint& p : pts) {
            lowest = std::min<LD>(lowest, p.measured ? std::min(p.min, p.nominal) : p.nominal);
            highest = std::max<LD>(highest, p.measured ? std::max(p.max, p.nominal) : p.nominal);
        }
    if (lowest > highest) { // nothing to show
        lowest = 0;
        highest = 100;
    }
    lowest = std::floor(std::max<LD>(lowest, -1000) / 10) * 10;
    highest = std::ceil(std::min<LD>(highest, 1000) / 10) * 10;
    if (highest <= lowest) highest = lowest + 10;
    const NotchPlotArea area = NotchArea(width, height);
    const LD ys = (area.bottom - area.top) / (highest - lowest);
    const auto Y = [&](LD v) { return ToPixel(area.bottom - ys * (std::clamp(v, lowest, highest) - lowest)); };

    // The bands, one pixel column at a time; where both ends have one, the
    // even columns show the front, the odd ones the rear.
    for (int x = ToPixel(area.left) + 1; x <= ToPixel(area.right); ++x) {
        const LD notch = (x - area.x0) / area.xs;
        LD lo[kCylinderEnds] = {}, hi[kCylinderEnds] = {};
        bool in[kCylinderEnds] = {};
        for (int e = 0; e < kCylinderEnds; ++e) in[e] = At(ends[e], notch, lo[e], hi[e]);
        for (int e = 0; e < kCylinderEnds; ++e) {
            if (!in[e] || (in[0] && in[1] && x % 2 != e)) continue;
            c.SetPenColour(kBand[e]);
            c.Line(x, Y(hi[e]), x, Y(lo[e]) + 1);
        }
    }
    DrawNotchFrame(c, area, area.bottom);

    c.SetFontColour(clBlack);
    c.SetFontSize(11);
    c.TextOut(2, ToPixel(area.top) - 7, DecimalText(highest, 0));
    c.TextOut(2, ToPixel((area.top + area.bottom) / 2) - 7, DecimalText((highest + lowest) / 2, 0));
    c.TextOut(2, ToPixel(area.bottom) - 7, DecimalText(lowest, 0));
    c.TextOut(ToPixel(area.left), 2, "cut-off, % of stroke: samples min-max, nominal");
    DrawNotchNames(c, area);
    const std::string legend[kCylinderEnds] = {"front", "rear"};
    int at = ToPixel(area.right);
    for (int e = kCylinderEnds - 1; e >= 0; --e) {
        at -= c.TextWidth(legend[e]);
        c.SetFontColour(kLine[e]);
        c.TextOut(at, 2, legend[e]);
        at -= 8;
    }

    // The nominal lines; a gap in the rows breaks a line.
    c.SetPenWidth(2);
    for (int e = 0; e < kCylinderEnds; ++e) {
        c.SetPenColour(kLine[e]);
        const std::vector<SpreadPoint>& pts = ends[e];
        for (size_t k = 0; k < pts.size(); ++k) {
            const int x = ToPixel(area.X(pts[k].notch)), y = Y(pts[k].nominal);
            if (k > 0 && pts[k].notch - pts[k - 1].notch <= 1)
                c.LineTo(x, y);
            else
                c.MoveTo(x, y);
        }
    }
    c.SetPenWidth(1);
}
