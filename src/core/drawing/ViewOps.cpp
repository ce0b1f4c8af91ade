#include "drawing/ViewOps.h"

#include "model/NumberText.h"

#include "model/Model.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

using LD = long double;

float StepperIncrement(int p, int& last, int& prev, float divisor, int page)
{
    LD inc = 0;
    const LD d = divisor;
    if (p > 0 && prev < p) inc = p / d;
    if (p < 0 && prev < p) inc = -p / d;
    if (p < 0 && p < prev) inc = p / d;
    if (p > 0 && p < prev) inc = -p / d;
    const long long jump = std::llabs(static_cast<long long>(p) - last);
    if (jump == 1 || jump == page) inc = p / d;
    prev = last;
    last = p;
    return ToModelFloat(inc);
}

void PanVertical(View& v, float increment)
{
    v.ViewOffsetY = ToModelFloat(static_cast<LD>(v.ViewOffsetY) - increment);
    v.PrevScale = v.ViewScale;
    v.PrevOffsetX = v.ViewOffsetX;
    v.PrevOffsetY = v.ViewOffsetY;
}

void PanHorizontal(View& v, float increment)
{
    v.ViewOffsetX = ToModelFloat(static_cast<LD>(v.ViewOffsetX) + increment);
    v.PrevScale = v.ViewScale;
    v.PrevOffsetX = v.ViewOffsetX;
    v.PrevOffsetY = v.ViewOffsetY;
}

void ZoomStep(View& v, float increment)
{
    v.PrevScale = v.ViewScale;
    v.PrevOffsetX = v.ViewOffsetX;
    v.PrevOffsetY = v.ViewOffsetY;
    v.ViewScale = ToModelFloat(static_cast<LD>(v.ViewScale) * (1 + static_cast<LD>(increment) / 100));
    if (v.PrevScale != 0) {
        v.ViewOffsetX = ToModelFloat((static_cast<LD>(v.PrevOffsetX) - 320) * v.ViewScale / v.PrevScale + 320);
        v.ViewOffsetY = ToModelFloat((static_cast<LD>(v.PrevOffsetY) - 240) * v.ViewScale / v.PrevScale + 240);
    }
    if (v.ViewScale > 3000) v.ViewScale = 3000;
    if (v.ViewScale < 0.5f) v.ViewScale = 0.5f;
}

void NormView(View& v)
{
    v.SavedScale = v.ViewScale;
    v.SavedOffsetX = v.ViewOffsetX;
    v.SavedOffsetY = v.ViewOffsetY;
    v.ViewScale = v.HomeScale;
    v.ViewOffsetX = v.HomeOffsetX;
    v.ViewOffsetY = v.HomeOffsetY;
}

void CapturePendingPreset(View& v)
{
    v.PresetTable[0] = v.ViewScale;
    v.PresetTable[1] = v.ViewOffsetX;
    v.PresetTable[2] = v.ViewOffsetY;
}

void RecallPreset(View& v, int k, bool storePending)
{
    if (k < 1 || k > 6) return;
    if (storePending) {
        v.PresetTable[3 * k] = v.PresetTable[0];
        v.PresetTable[3 * k + 1] = v.PresetTable[1];
        v.PresetTable[3 * k + 2] = v.PresetTable[2];
    }
    v.ViewScale = v.PresetTable[3 * k];
    v.ViewOffsetX = v.PresetTable[3 * k + 1];
    v.ViewOffsetY = v.PresetTable[3 * k + 2];
}

PanBarPositions CentreOnPoint(View& v, float x, float y)
{
    v.ViewOffsetX = ToModelFloat(320 - static_cast<LD>(x) * v.ViewScale);
    v.ViewOffsetY = ToModelFloat(static_cast<LD>(y) * v.ViewScale + 240);
    PanBarPositions pos{0, 0};
    const LD vs = v.ViewScale;
    if (vs != 0 && v.HomeOffsetX != 0)
        pos.horz = ToPixel(-((static_cast<LD>(v.ViewOffsetX) - 320) * v.HomeScale / vs + 320 - v.HomeOffsetX) * 100 /
                           v.HomeOffsetX);
    if (vs != 0 && v.HomeOffsetY != 0)
        pos.vert = ToPixel(((static_cast<LD>(v.ViewOffsetY) - 240) * v.HomeScale / vs + 240 - v.HomeOffsetY) * 200 /
                           v.HomeOffsetY);
    return pos;
}

namespace {

// A box in world coordinates.
struct WorldBox {
    LD left = 0, right = 0, bottom = 0, top = 0;
    bool empty = true;
    void Add(LD x, LD y, LD r = 0)
    {
        if (!std::isfinite(x) || !std::isfinite(y)) return;
        if (empty) {
            left = right = x;
            bottom = top = y;
            empty = false;
        }
        left = std::min(left, x - r);
        right = std::max(right, x + r);
        bottom = std::min(bottom, y - r);
        top = std::max(top, y + r);
    }
};

// Places the world box in the screen rectangle inside the margin.
bool PlaceBox(View& v, const WorldBox& b, ScreenArea a, int margin)
{
    const LD w = b.right - b.left, h = b.top - b.bottom;
    const LD aw = a.width - 2 * margin, ah = a.height - 2 * margin;
    if (b.empty || aw < 1 || ah < 1 || (w <= 0 && h <= 0)) return false;
    LD scale = std::min(w > 0 ? aw / w : ah / h, h > 0 ? ah / h : aw / w);
    scale = std::clamp<LD>(scale, 0.5L, 3000);
    v.ViewScale = ToModelFloat(scale);
    const LD cx = a.left + a.width / 2.0L, cy = a.top + a.height / 2.0L;
    v.ViewOffsetX = ToModelFloat(cx - (b.left + b.right) / 2 * v.ViewScale);
    v.ViewOffsetY = ToModelFloat(cy + (b.bottom + b.top) / 2 * v.ViewScale);
    return true;
}

} // namespace

bool FitGearToArea(View& v, const Gear& gear, ScreenArea area)
{
    constexpr int kMargin = 8;
    constexpr int kLastGearPoint = 18; // 19 and 20 are the reference points
    Gear g = gear;
    WorldBox box;
    for (int a = 0; a < 360; a += 5) {
        g.DriverAngle = ToModelFloat(a);
        SolveLinkage(g);
        for (int i = 0; i <= kLastGearPoint; ++i) box.Add(g.PointX[i], g.PointY[i]);
        box.Add(g.PointX[1], g.PointY[1], static_cast<LD>(g.CrankDiskDia) / 2);
        box.Add(g.PointX[5], g.PointY[5], static_cast<LD>(g.EccentricDiam) / 2);
    }
    View trial = v;
    if (!PlaceBox(trial, box, area, kMargin)) return false;
    // The cylinder, piston and valve as drawn in that view, taken back to the
    // world (to within a pixel of it), then the view again with them.
    ComputePistonAndOpenings(g);
    BuildCylinderOutline(g, trial);
    BuildPistonValveOutline(g, trial);
    const LD s = trial.ViewScale;
    auto addScreen = [&](ScreenPt p) { box.Add((p.x - trial.ViewOffsetX) / s, (trial.ViewOffsetY - p.y) / s, 1 / s); };
    for (const ScreenPt& p : g.CylOutline) addScreen(p);
    for (const ScreenPt& p : g.PortOutline) addScreen(p);
    for (const ScreenPt& p : g.PistonOutline) addScreen(p);
    for (const ScreenPt& p : g.ValveOutline) addScreen(p);
    View fitted = v;
    if (!PlaceBox(fitted, box, area, kMargin)) return false;
    v.ViewScale = fitted.ViewScale;
    v.ViewOffsetX = fitted.ViewOffsetX;
    v.ViewOffsetY = fitted.ViewOffsetY;
    return true;
}
