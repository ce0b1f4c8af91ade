#include "drawing/EffectBar.h"

#include "model/Model.h"

#include <algorithm>
#include <cmath>

void DrawEffectBar(Canvas& c, int width, int height, float share)
{
    const long double s = std::isfinite(share) ? std::clamp<long double>(share, -1, 1) : 0;
    const int length = ToPixel(std::fabs(s) * (width - 4));
    if (length <= 0) return;
    c.SetPenWidth(1);
    c.SetPenStyle(PenStyle::Solid);
    c.SetPenColour(s > 0 ? kEffectUp : kEffectDown);
    for (int y = 3; y < height - 3; ++y) c.Line(2, y, 2 + length, y);
}
