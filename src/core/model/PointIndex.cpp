#include "model/PointIndex.h"

#include <cmath>

using LD = long double;

int SafePointIndex(float index)
{
    if (!std::isfinite(index)) return -1;
    const LD r = std::round(static_cast<LD>(index));
    if (r < 0 || r > kPointCount - 1) return -1;
    return static_cast<int>(r);
}

int PointIndexOrOrigin(float index)
{
    const int p = SafePointIndex(index);
    return p < 0 ? 0 : p;
}

int FindNearestPivot(const Gear& g, int ref, int first, int last)
{
    if (ref < 0 || ref >= kPointCount) return 0;
    if (first < 0) first = 0;
    if (last > kPointCount - 1) last = kPointCount - 1;
    const LD rx = g.PointX[ref], ry = g.PointY[ref];
    LD best = 10000;
    int nearest = 0;
    for (int i = first; i <= last; ++i) {
        if (i == kRefPoint1 || i == kRefPoint2) continue;
        const LD d = std::fabs(ry - g.PointY[i]) + std::fabs(rx - g.PointX[i]);
        if (d < best) {
            best = d;
            nearest = i;
        }
    }
    return nearest;
}
