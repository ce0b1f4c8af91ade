#include "drawing/CutOffPlot.h"

#include "model/Model.h"
#include "model/NumberText.h"

#include <algorithm>
#include <cmath>

using LD = long double;

namespace {

constexpr int kMarginLeft = 44, kMarginRight = 10, kMarginTop = 20, kMarginBottom = 22;

void Curve(Canvas& c, const std::vector<CutOffPoint>& pts, LD x0, LD xs, LD y0, LD ys)
{
    // A gap in the rows (a missing cut-off) breaks the curve.
    for (size_t k = 0; k < pts.size(); ++k) {
        const int x = ToPixel(x0 + xs * pts[k].notch), y = ToPixel(y0 - ys * pts[k].difference);
        const bool joined =
            k > 0 && std::fabs(pts[k].notch - pts[k - 1].notch) <= 1.0f && pts[k].forward == pts[k - 1].forward;
        if (joined)
            c.LineTo(x, y);
        else
            c.MoveTo(x, y);
        c.Ellipse(x - 2, y - 2, x + 3, y + 3);
        c.MoveTo(x, y);
    }
}

} // namespace

NotchPlotArea NotchArea(int width, int height)
{
    NotchPlotArea a;
    a.left = kMarginLeft;
    a.right = width - kMarginRight;
    a.top = kMarginTop;
    a.bottom = height - kMarginBottom;
    a.x0 = (a.left + a.right) / 2;
    a.xs = (a.right - a.left) / 36;
    return a;
}

void DrawNotchFrame(Canvas& c, const NotchPlotArea& a, long double axisY)
{
    c.SetPenWidth(1);
    c.SetPenStyle(PenStyle::Solid);
    c.SetPenColour(clSilver);
    for (int n = -18; n <= 18; n += 6) c.Line(ToPixel(a.X(n)), ToPixel(a.top), ToPixel(a.X(n)), ToPixel(a.bottom));
    c.SetPenColour(clBlack);
    c.Line(ToPixel(a.left), ToPixel(axisY), ToPixel(a.right), ToPixel(axisY));
    c.Line(ToPixel(a.left), ToPixel(a.top), ToPixel(a.left), ToPixel(a.bottom));
}

void DrawNotchNames(Canvas& c, const NotchPlotArea& a)
{
    const int base = ToPixel(a.bottom) + 4;
    c.TextOut(ToPixel(a.left), base, "reverse 18");
    c.TextOut(ToPixel(a.x0) - c.TextWidth("mid gear") / 2, base, "mid gear");
    const std::string fwd = "forward 18";
    c.TextOut(ToPixel(a.right) - c.TextWidth(fwd), base, fwd);
}

std::vector<CutOffPoint> CutOffDifferences(const std::vector<ValveEventsRow>& table)
{
    std::vector<CutOffPoint> reverse, forward;
    for (const ValveEventsRow& r : table) {
        if (r.notch == kNormalNotch) continue;
        const ValveEvent& f = r.events.event[endFront][veCutOff];
        const ValveEvent& b = r.events.event[endRear][veCutOff];
        if (!f.occurs || !b.occurs) continue;
        const float d = ToModelFloat(static_cast<LD>(f.percent) - b.percent);
        if (r.events.running == Running::Forward)
            forward.push_back({static_cast<float>(r.notch), d, true});
        else
            reverse.push_back({-static_cast<float>(r.notch), d, false});
    }
    std::reverse(reverse.begin(), reverse.end());
    reverse.insert(reverse.end(), forward.begin(), forward.end());
    return reverse;
}

void DrawCutOffPlot(Canvas& c, int width, int height, const std::vector<ValveEventsRow>& before,
                    const std::vector<ValveEventsRow>& after)
{
    c.Clear(clWhite);
    const std::vector<CutOffPoint> b = CutOffDifferences(before), a = CutOffDifferences(after);
    // The scale: whole percents, at least 1.
    LD most = 1;
    for (const auto* pts : {&b, &a})
        for (const CutOffPoint& p : *pts) most = std::max<LD>(most, std::fabs(static_cast<LD>(p.difference)));
    most = std::ceil(most);
    const NotchPlotArea area = NotchArea(width, height);
    const LD top = area.top, bottom = area.bottom;
    const LD x0 = area.x0, xs = area.xs;
    const LD y0 = (top + bottom) / 2, ys = (bottom - top) / (2 * most);
    DrawNotchFrame(c, area, y0);

    c.SetFontColour(clBlack);
    c.SetFontSize(11);
    c.TextOut(2, ToPixel(top) - 7, "+" + DecimalText(most, 0));
    c.TextOut(2, ToPixel(y0) - 7, "0");
    c.TextOut(2, ToPixel(bottom) - 7, "-" + DecimalText(most, 0));
    c.TextOut(ToPixel(area.left), 2, "front - rear cut-off, % of stroke");
    DrawNotchNames(c, area);
    const LD right = area.right;
    const std::string legend = "before ... after -o-";
    c.TextOut(ToPixel(right) - c.TextWidth(legend), 2, legend);

    c.SetPenColour(clGray);
    c.SetPenStyle(PenStyle::Dot);
    Curve(c, b, x0, xs, y0, ys);
    c.SetPenColour(clBlue);
    c.SetPenStyle(PenStyle::Solid);
    c.SetPenWidth(2);
    Curve(c, a, x0, xs, y0, ys);
    c.SetPenWidth(1);
}
