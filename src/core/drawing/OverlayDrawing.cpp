#include "drawing/OverlayDrawing.h"

#include "model/GearParts.h"
#include "model/Model.h"

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
        const std::optional<OverlayShape> shape = OverlayItemShape(it, g);
        if (!shape) continue;
        if (shape->circle)
            circle(shape->a.x, shape->a.y, shape->r);
        else
            line(shape->a.x, shape->a.y, shape->b.x, shape->b.y);
    }
    c.SetPenColour(clBlack);
}
