#include "drawing/OverlayDrawing.h"

#include "model/Model.h"
#include "model/PointIndex.h"

#include <cmath>

using LD = long double;

Colour OverlayPenColour(float colour)
{
    if (!std::isfinite(colour)) return clBlack;
    const LD r = std::round(static_cast<LD>(colour));
    if (r < 0 || r > 0xFFFFFF) return clBlack;
    return static_cast<Colour>(r);
}

void DrawOverlay(Canvas& c, AppState& s)
{
    const Gear& g = s.gear;
    const View& v = s.view;
    const LD sc = v.ViewScale, ox = v.ViewOffsetX, oy = v.ViewOffsetY;
    auto sx = [&](LD x) { return ToPixel(x * sc + ox); };
    auto sy = [&](LD y) { return ToPixel(oy - y * sc); };
    auto line = [&](LD x1, LD y1, LD x2, LD y2) { c.Line(sx(x1), sy(y1), sx(x2), sy(y2)); };
    auto circle = [&](LD cx, LD cy, LD r) {
        c.Ellipse(ToPixel((cx - r) * sc + ox), ToPixel(oy - (cy - r) * sc + 1), ToPixel((cx + r) * sc + ox + 1),
                  ToPixel(oy - (cy + r) * sc));
    };

    for (int k = 1; k <= kOverlayItems; ++k) {
        const OverlayItem& it = s.overlay.Item[k];
        c.SetPenColour(OverlayPenColour(it.Colour));
        const bool line_ = it.Kind == 0, circle_ = it.Kind == 1;
        if (!line_ && !circle_) continue;
        const LD x1 = it.X1, y1 = it.Y1, x2 = it.X2, y2 = it.Y2;
        if (it.Reference == 0) {
            if (line_)
                line(x1, y1, x2, y2);
            else
                circle(x1, y1, x2);
            continue;
        }
        // Attached items: a pivot index that names no point draws nothing.
        const bool pivoted = it.Reference == 1 || (line_ && (it.Reference == 2 || it.Reference == 3));
        if (!pivoted) continue;
        const int p1 = SafePointIndex(it.Pivot1Index);
        if (p1 < 0) continue;
        const LD p1x = g.PointX[p1], p1y = g.PointY[p1];
        if (circle_) {
            circle(p1x + x1, p1y + y1, x2);
        } else if (it.Reference == 1) {
            line(p1x + x1, p1y + y1, p1x + x2, p1y + y2);
        } else if (it.Reference == 2) {
            line(p1x + x1, p1y + y1, x2, y2);
        } else {
            const int p2 = SafePointIndex(it.Pivot2Index);
            if (p2 < 0) continue;
            line(p1x + x1, p1y + y1, g.PointX[p2] + x2, g.PointY[p2] + y2);
        }
    }
    c.SetPenColour(clBlack);
}
