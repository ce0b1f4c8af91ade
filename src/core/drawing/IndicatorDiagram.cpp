#include "drawing/IndicatorDiagram.h"

#include "model/EngineData.h"
#include "model/Model.h"
#include "model/NumberText.h"

#include <algorithm>
#include <cmath>
#include <vector>

using LD = long double;

namespace {

constexpr int kMarginLeft = 56, kMarginRight = 64, kMarginTop = 24, kMarginBottom = 34;
constexpr Colour kEndColour[kCylinderEnds] = {clBlue, clRed};
constexpr Colour kIdealColour = clGray;
constexpr Colour kGridColour = RGBColour(225, 225, 225);
constexpr Colour kSupplyColour = clTeal;
const char* const kEventMark[kValveEventKinds] = {"adm", "c/o", "rel", "comp"};

LD NiceStep(LD range, int parts) { return AxisStep(range, parts); }

int Decimals(LD step) { return AxisDecimals(step); }

struct Axes {
    LD left, right, top, bottom;
    LD x0, x1, y0, y1; // the values at the edges
    int X(LD v) const { return ToPixel(left + (v - x0) / (x1 - x0) * (right - left)); }
    int Y(LD v) const { return ToPixel(bottom - (v - y0) / (y1 - y0) * (bottom - top)); }
};

// What a loop's point is on the axes.
struct Scale {
    const EngineSetup& engine;
    const IndicatorView& view;
    LD volumeUnit, pressureUnit;
    LD X(int end, double volume) const
    {
        if (!view.percentStroke) return volume / volumeUnit;
        return 100 * (volume / engine.sweptVolume - engine.clearance[end]);
    }
    LD Y(double pressure) const { return (pressure - (view.gauge ? engine.atmosphere : 0)) / pressureUnit; }
};

void DrawLoop(Canvas& c, const Axes& a, const Scale& s, const PointResult& r, int end)
{
    const EndFigures& f = r.end[end];
    const size_t n = f.volume.size();
    if (n == 0) return;
    // A jump at an event (the ideal diagram's release and admission) is drawn
    // as the vertical it is.
    std::vector<int> jump(n, -1);
    for (int kind = 0; kind < kValveEventKinds; ++kind) {
        const LoopEvent& e = f.event[kind];
        if (e.occurs && e.pressureBefore != e.pressure) jump[static_cast<size_t>(e.point)] = kind;
    }
    c.MoveTo(a.X(s.X(end, f.volume[0])), a.Y(s.Y(f.pressure[0])));
    for (size_t k = 1; k <= n; ++k) {
        const size_t i = k % n;
        const int x = a.X(s.X(end, f.volume[i]));
        if (jump[i] >= 0) c.LineTo(x, a.Y(s.Y(f.event[jump[i]].pressureBefore)));
        c.LineTo(x, a.Y(s.Y(f.pressure[i])));
    }
}

void DrawEvents(Canvas& c, const Axes& a, const Scale& s, const PointResult& r, int end)
{
    const EndFigures& f = r.end[end];
    c.SetPenColour(kEndColour[end]);
    c.SetPenStyle(PenStyle::Solid);
    c.SetFontColour(kEndColour[end]);
    for (int kind = 0; kind < kValveEventKinds; ++kind) {
        const LoopEvent& e = f.event[kind];
        if (!e.occurs) continue;
        // On the loop where the event takes it: before a jump.
        const int x = a.X(s.X(end, e.volume)), y = a.Y(s.Y(e.pressureBefore));
        c.Ellipse(x - 3, y - 3, x + 4, y + 4);
        // The label outside the loop: above for the events of the upper line,
        // below for those of the lower, on the side of the end's stroke.
        const bool upper = kind == veCutOff || kind == veRelease;
        const bool rightSide = (kind == veRelease || kind == veCompression) == (end == endFront);
        const std::string text = kEventMark[kind];
        const int tx = rightSide ? x + 5 : x - 5 - c.TextWidth(text);
        c.TextOut(tx, upper ? y - 15 : y + 3, text);
    }
}

} // namespace

long double AxisStep(long double range, int parts)
{
    if (!(range > 0) || !std::isfinite(range)) return 1;
    const LD raw = range / parts;
    const LD power = std::pow(10.0L, std::floor(std::log10(raw)));
    for (const LD m : {1.0L, 2.0L, 5.0L})
        if (raw <= m * power) return m * power;
    return 10 * power;
}

int AxisDecimals(long double step) { return step >= 1 ? 0 : static_cast<int>(std::ceil(-std::log10(step) - 1e-9L)); }

std::string IndicatorCaption(const PointResult& point)
{
    const std::string notch = point.notch == kNormalNotch ? "Normal notch" : "Notch " + std::to_string(point.notch);
    const std::string direction = point.running == Running::Forward ? "forward" : "reverse";
    return notch + " " + direction + ", " + DecimalText(point.rpm, point.rpm == std::round(point.rpm) ? 0 : 2) + " rpm";
}

void DrawIndicatorDiagram(Canvas& c, int width, int height, const EngineSetup& engine, const PointResult& real,
                          const PointResult& ideal, const IndicatorView& view)
{
    c.Clear(clWhite);
    c.SetPenWidth(1);
    c.SetFontSize(11);
    c.SetFontBold(false);
    const LengthUnit unit = engine.unit;
    const Scale s{engine, view, EngineUnitToSI(EngineQuantity::Volume, unit),
                  EngineUnitToSI(EngineQuantity::Pressure, unit)};

    // The ranges: the whole stroke with the clearance, and from 0 (or the
    // lowest pressure) to above the highest of the loops and the chest.
    const LD clearance = std::max(engine.clearance[0], engine.clearance[1]);
    LD xLow = view.percentStroke ? -100 * clearance : 0;
    LD xHigh = view.percentStroke ? 100 : engine.sweptVolume * (1 + clearance) / s.volumeUnit;
    LD yHigh = s.Y(engine.chest.p), yLow = view.gauge ? s.Y(engine.atmosphere) : 0;
    for (const PointResult* r : {&real, &ideal}) {
        if (!r->ok) continue;
        for (const EndFigures& f : r->end)
            for (double p : f.pressure) {
                yHigh = std::max(yHigh, s.Y(p));
                yLow = std::min(yLow, s.Y(p));
            }
    }
    if (!(xHigh > xLow)) xHigh = xLow + 1;
    const LD yStep = NiceStep(yHigh - yLow, 6), xStep = NiceStep(xHigh - xLow, 8);
    yHigh = std::ceil(yHigh * 1.04L / yStep) * yStep;
    yLow = std::floor(yLow / yStep) * yStep;
    xLow = std::floor(xLow / xStep) * xStep;
    xHigh = std::ceil(xHigh / xStep) * xStep;
    const Axes a{kMarginLeft, static_cast<LD>(width - kMarginRight),
                 kMarginTop,  static_cast<LD>(height - kMarginBottom),
                 xLow,        xHigh,
                 yLow,        yHigh > yLow ? yHigh : yLow + 1};

    // Grid, axes and their numbers.
    c.SetFontColour(clBlack);
    for (LD v = yLow; v <= a.y1 + yStep / 1000; v += yStep) {
        const int y = a.Y(v);
        c.SetPenColour(kGridColour);
        c.Line(ToPixel(a.left), y, ToPixel(a.right), y);
        const std::string t = DecimalText(v, Decimals(yStep));
        c.TextOut(ToPixel(a.left) - 4 - c.TextWidth(t), y - 7, t);
    }
    for (LD v = xLow; v <= xHigh + xStep / 1000; v += xStep) {
        const int x = a.X(v);
        c.SetPenColour(kGridColour);
        c.Line(x, ToPixel(a.top), x, ToPixel(a.bottom));
        const std::string t = DecimalText(v, Decimals(xStep));
        c.TextOut(x - c.TextWidth(t) / 2, ToPixel(a.bottom) + 3, t);
    }
    c.SetPenColour(clBlack);
    c.Line(ToPixel(a.left), ToPixel(a.bottom), ToPixel(a.right), ToPixel(a.bottom));
    c.Line(ToPixel(a.left), ToPixel(a.top), ToPixel(a.left), ToPixel(a.bottom));
    const std::string pressureTitle =
        EngineUnitText(EngineQuantity::Pressure, unit) + (view.gauge ? " gauge" : " absolute");
    c.TextOut(2, 4, pressureTitle);
    std::string xTitle =
        view.percentStroke ? "piston's way, % of stroke" : "volume, " + EngineUnitText(EngineQuantity::Volume, unit);
    if (engine.unitAssumed) xTitle += " (the design states no unit: inches taken)";
    c.TextOut(ToPixel(a.left), height - 15, xTitle);
    c.TextOut(ToPixel(a.left) + 40 + c.TextWidth(pressureTitle), 4, IndicatorCaption(real.ok ? real : ideal));

    // The chest and back pressures.
    c.SetPenColour(kSupplyColour);
    c.SetFontColour(kSupplyColour);
    const struct {
        double p;
        const char* name;
    } lines[] = {{engine.chest.p, "chest"}, {engine.backPressure, "exhaust"}};
    for (const auto& l : lines) {
        const int y = a.Y(s.Y(l.p));
        c.Line(ToPixel(a.left), y, ToPixel(a.right), y);
        c.TextOut(ToPixel(a.right) + 4, y - 7, l.name);
    }

    // The ideal diagram dotted behind, then the loops, then their events.
    if (ideal.ok) {
        c.SetPenColour(kIdealColour);
        c.SetPenStyle(PenStyle::Dot);
        for (int end = 0; end < kCylinderEnds; ++end) DrawLoop(c, a, s, ideal, end);
        c.SetPenStyle(PenStyle::Solid);
    }
    if (real.ok) {
        for (int end = 0; end < kCylinderEnds; ++end) {
            c.SetPenColour(kEndColour[end]);
            DrawLoop(c, a, s, real, end);
        }
    }
    const PointResult& marked = real.ok ? real : ideal;
    if (marked.ok)
        for (int end = 0; end < kCylinderEnds; ++end) DrawEvents(c, a, s, marked, end);

    // The legend.
    int x = width - kMarginRight;
    const auto legend = [&](const std::string& text, Colour colour, PenStyle style) {
        x -= c.TextWidth(text) + 30;
        c.SetPenColour(colour);
        c.SetPenStyle(style);
        c.Line(x, 11, x + 20, 11);
        c.SetFontColour(colour);
        c.TextOut(x + 24, 4, text);
    };
    if (ideal.ok) legend("ideal", kIdealColour, PenStyle::Dot);
    if (real.ok) {
        legend("rear", kEndColour[endRear], PenStyle::Solid);
        legend("front", kEndColour[endFront], PenStyle::Solid);
    }
    c.SetPenStyle(PenStyle::Solid);
    c.SetPenColour(clBlack);
    c.SetFontColour(clBlack);
}
