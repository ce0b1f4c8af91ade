#include "mainwin/ViewOps.h"

#include "model/Model.h"

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
    return static_cast<float>(inc);
}

void PanVertical(View& v, float increment)
{
    v.ViewOffsetY = static_cast<float>(static_cast<LD>(v.ViewOffsetY) - increment);
    v.PrevScale = v.ViewScale;
    v.PrevOffsetX = v.ViewOffsetX;
    v.PrevOffsetY = v.ViewOffsetY;
}

void PanHorizontal(View& v, float increment)
{
    v.ViewOffsetX = static_cast<float>(static_cast<LD>(v.ViewOffsetX) + increment);
    v.PrevScale = v.ViewScale;
    v.PrevOffsetX = v.ViewOffsetX;
    v.PrevOffsetY = v.ViewOffsetY;
}

void ZoomStep(View& v, float increment)
{
    v.PrevScale = v.ViewScale;
    v.PrevOffsetX = v.ViewOffsetX;
    v.PrevOffsetY = v.ViewOffsetY;
    v.ViewScale = static_cast<float>(static_cast<LD>(v.ViewScale) * (1 + static_cast<LD>(increment) / 100));
    if (v.PrevScale != 0) {
        v.ViewOffsetX = static_cast<float>((static_cast<LD>(v.PrevOffsetX) - 320) * v.ViewScale / v.PrevScale + 320);
        v.ViewOffsetY = static_cast<float>((static_cast<LD>(v.PrevOffsetY) - 240) * v.ViewScale / v.PrevScale + 240);
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
    v.ViewOffsetX = static_cast<float>(320 - static_cast<LD>(x) * v.ViewScale);
    v.ViewOffsetY = static_cast<float>(static_cast<LD>(y) * v.ViewScale + 240);
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
