#include "drawing/EnginePictures.h"

#include "analysis/PerformanceText.h"
#include "drawing/DiagramCommon.h"
#include "model/EngineData.h"
#include "model/Model.h"
#include "model/NumberText.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

using LD = long double;

namespace {

constexpr Colour kWarningColour = RGBColour(176, 0, 0);
constexpr Colour kGridColour = RGBColour(225, 225, 225);
constexpr int kFontSize = 11, kLineHeight = 17;

// Cuts a text into lines of at most `width` pixels at its blanks.
std::vector<std::string> Wrapped(Canvas& c, const std::string& text, int width)
{
    std::vector<std::string> lines;
    std::string line;
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find(' ', at);
        if (end == std::string::npos) end = text.size();
        const std::string word = text.substr(at, end - at);
        const std::string longer = line.empty() ? word : line + " " + word;
        if (!line.empty() && c.TextWidth(longer) > width) {
            lines.push_back(line);
            line = word;
        } else {
            line = longer;
        }
        at = end + 1;
    }
    if (!line.empty()) lines.push_back(line);
    return lines;
}

// ---------------------------------------------------------------- the map
struct Plot {
    int left, top, right, bottom;
    LD x1, y1; // the values at the right and the top (both axes from 0)
    int X(LD v) const { return ToPixel(left + v / x1 * (right - left)); }
    int Y(LD v) const { return ToPixel(bottom - v / y1 * (bottom - top)); }
};

// The points of the map of notch n and direction d, speed by speed.
const PointResult* PointAt(const EngineMap& m, const EngineMapRequest& r, size_t d, size_t n, size_t k)
{
    const size_t at = (d * r.notches.size() + n) * m.rpms.size() + k;
    return at < m.points.size() ? &m.points[at] : nullptr;
}

// The top of a figure's axis: the largest value, the steam rate only where
// the power is a tenth of the largest power at least (it grows without bound
// as the power goes to nothing near mid gear).
LD AxisTop(const EngineMaps& maps, MapFigure f, LengthUnit unit)
{
    double topPower = 0;
    for (const EngineMap* m : {&maps.design, maps.reference ? &*maps.reference : nullptr})
        if (m)
            for (const PointResult& p : m->points)
                if (p.ok) topPower = std::max(topPower, p.power);
    LD top = 0;
    for (const EngineMap* m : {&maps.design, maps.reference ? &*maps.reference : nullptr}) {
        if (!m) continue;
        for (const PointResult& p : m->points) {
            const double v = MapFigureValue(p, f, unit);
            if (!std::isfinite(v) || (f == MapFigure::SteamRate && p.power < topPower / 10)) continue;
            top = std::max<LD>(top, v);
        }
    }
    return top;
}

void DrawCurves(Canvas& c, const Plot& plot, const EngineMap& m, const EngineMapRequest& r, MapFigure f,
                LengthUnit unit, bool reference)
{
    for (size_t d = 0; d < r.directions.size(); ++d)
        for (size_t n = 0; n < r.notches.size(); ++n) {
            c.SetPenColour(reference ? kReferenceGrey : MapNotchColour(static_cast<int>(n)));
            c.SetPenStyle(r.directions[d] == Running::Forward ? PenStyle::Solid : PenStyle::Dot);
            bool drawing = false;
            for (size_t k = 0; k < m.rpms.size(); ++k) {
                const PointResult* p = PointAt(m, r, d, n, k);
                const double v = p ? MapFigureValue(*p, f, unit) : std::numeric_limits<double>::quiet_NaN();
                // A point not run, or off the top of the axis, breaks the curve.
                if (!std::isfinite(v) || v > plot.y1 || v < 0) {
                    drawing = false;
                    continue;
                }
                const int x = plot.X(m.rpms[k]), y = plot.Y(v);
                if (drawing)
                    c.LineTo(x, y);
                else
                    c.MoveTo(x, y);
                drawing = true;
            }
        }
    c.SetPenStyle(PenStyle::Solid);
}

void DrawPlot(Canvas& c, const Plot& box, const EngineMaps& maps, MapFigure f, LengthUnit unit)
{
    const EngineMapRequest& r = maps.request;
    const LD xStep = AxisStep(r.topRpm, 5);
    const LD top = AxisTop(maps, f, unit);
    const LD yStep = AxisStep(top > 0 ? top : 1, 5);
    Plot plot = box;
    plot.x1 = std::ceil(r.topRpm / xStep - 1e-9L) * xStep;
    plot.y1 = std::max<LD>(yStep, std::ceil(top * 1.04L / yStep) * yStep);

    c.SetFontColour(clBlack);
    for (LD v = 0; v <= plot.y1 + yStep / 1000; v += yStep) {
        const int y = plot.Y(v);
        c.SetPenColour(kGridColour);
        c.Line(plot.left, y, plot.right, y);
        const std::string t = DecimalText(v, AxisDecimals(yStep));
        c.TextOut(plot.left - 4 - c.TextWidth(t), y - 7, t);
    }
    for (LD v = 0; v <= plot.x1 + xStep / 1000; v += xStep) {
        const int x = plot.X(v);
        c.SetPenColour(kGridColour);
        c.Line(x, plot.top, x, plot.bottom);
        const std::string t = DecimalText(v, AxisDecimals(xStep));
        c.TextOut(x - c.TextWidth(t) / 2, plot.bottom + 3, t);
    }
    c.SetPenColour(clBlack);
    c.Line(plot.left, plot.bottom, plot.right, plot.bottom);
    c.Line(plot.left, plot.top, plot.left, plot.bottom);
    c.SetFontBold(true);
    c.TextOut(plot.left, plot.top - 20, MapFigureTitle(f, unit));
    c.SetFontBold(false);
    c.TextOut(plot.right - c.TextWidth("rpm"), plot.bottom + 17, "rpm");

    // The reference beneath, then the design.
    if (maps.reference && maps.reference->problem.empty()) DrawCurves(c, plot, *maps.reference, r, f, unit, true);
    if (maps.design.problem.empty()) DrawCurves(c, plot, maps.design, r, f, unit, false);
}

} // namespace

// ---------------------------------------------------------------- the indicator pane
void DrawIndicatorPane(Canvas& c, const IndicatorPoint& point, const IndicatorView& view, RoadUnit road)
{
    if (point.engine.problem.empty()) {
        DrawIndicatorDiagram(c, kIndicatorWidth, kIndicatorHeight, point.engine, point.real, point.ideal, view);
    } else {
        c.Clear(clWhite);
    }
    c.SetFontSize(kFontSize);
    c.SetPenStyle(PenStyle::Solid);
    c.SetPenColour(clSilver);
    const int left = kIndicatorWidth + 4, right = kIndicatorPaneWidth - 8;
    c.Line(left - 4, 4, left - 4, kIndicatorPaneHeight - 4);
    int y = 4;
    c.SetFontColour(clBlack);
    c.SetFontBold(true);
    c.TextOut(left + 4, y, point.real.ok ? IndicatorCaption(point.real) : std::string("No loop"));
    c.SetFontBold(false);
    y += kLineHeight + 4;
    for (const TextRow& row : IndicatorFigureRows(point, road)) {
        c.TextOut(left + 4, y, row[0]);
        const int valueRight = left + 200;
        c.TextOut(valueRight - c.TextWidth(row[1]), y, row[1]);
        c.TextOut(valueRight + 8, y, row[2]);
        y += kLineHeight;
    }
    std::vector<std::string> warnings;
    if (!point.problem.empty()) warnings.push_back(point.problem);
    if (const std::string w = CompressionWarning(point.real); !w.empty()) warnings.push_back(w);
    if (point.real.ok && !point.real.converged)
        warnings.push_back("The cycle did not settle within " + std::to_string(point.real.revolutions) +
                           " revolutions.");
    c.SetFontColour(kWarningColour);
    y += 4;
    for (const std::string& w : warnings)
        for (const std::string& line : Wrapped(c, w, right - left - 8)) {
            c.TextOut(left + 4, y, line);
            y += kLineHeight;
        }
    c.SetFontColour(clBlack);
}

// ---------------------------------------------------------------- the performance map
double MapFigureValue(const PointResult& p, MapFigure f, LengthUnit unit)
{
    if (!p.ok) return std::numeric_limits<double>::quiet_NaN();
    switch (f) {
    case MapFigure::Power: return static_cast<double>(p.power / EngineUnitToSI(EngineQuantity::Power, unit));
    case MapFigure::TractiveEffort:
        return static_cast<double>(p.tractiveEffort / EngineUnitToSI(EngineQuantity::Force, unit));
    case MapFigure::SteamRate:
        if (!(p.power > 0)) return std::numeric_limits<double>::quiet_NaN();
        return static_cast<double>(p.steamRate / EngineUnitToSI(EngineQuantity::SteamRate, unit));
    }
    return std::numeric_limits<double>::quiet_NaN();
}

std::string MapFigureTitle(MapFigure f, LengthUnit unit)
{
    switch (f) {
    case MapFigure::Power: return "Indicated power, " + EngineUnitText(EngineQuantity::Power, unit);
    case MapFigure::TractiveEffort: return "Tractive effort, " + EngineUnitText(EngineQuantity::Force, unit);
    case MapFigure::SteamRate: return "Steam rate, " + EngineUnitText(EngineQuantity::SteamRate, unit);
    }
    return {};
}

Colour MapNotchColour(int k)
{
    static constexpr Colour kColours[] = {
        RGBColour(0, 90, 200),  RGBColour(220, 40, 30), RGBColour(0, 140, 60),  RGBColour(150, 60, 200),
        RGBColour(230, 130, 0), RGBColour(0, 160, 170), RGBColour(120, 80, 30), RGBColour(220, 60, 150),
        RGBColour(90, 90, 90),  RGBColour(150, 150, 0),
    };
    constexpr int n = static_cast<int>(sizeof kColours / sizeof kColours[0]);
    return kColours[((k % n) + n) % n];
}

void DrawPerformanceMap(Canvas& c, int width, int height, const EngineMaps& maps, const std::string& referenceName)
{
    c.Clear(clWhite);
    c.SetPenWidth(1);
    c.SetPenStyle(PenStyle::Solid);
    c.SetFontSize(kFontSize);
    c.SetFontBold(false);
    const LengthUnit unit = maps.design.engine.unit;
    constexpr int kLegend = 44, kTop = 26, kBelow = 34, kLeftMargin = 52, kGap = 14;
    const int part = width / kMapFigures;
    for (int k = 0; k < kMapFigures; ++k) {
        const Plot box{part * k + kLeftMargin, kTop, part * (k + 1) - kGap, height - kLegend - kBelow, 1, 1};
        DrawPlot(c, box, maps, static_cast<MapFigure>(k), unit);
    }

    // The legend: each notch's colour, the directions' lines, the reference.
    const EngineMapRequest& r = maps.request;
    int x = kLeftMargin, y = height - kLegend + 4;
    c.SetFontColour(clBlack);
    for (size_t n = 0; n < r.notches.size(); ++n) {
        const std::string t = "notch " + NotchName(r.notches[n]);
        if (x + 26 + c.TextWidth(t) > width - 8) {
            x = kLeftMargin;
            y += kLineHeight;
        }
        c.SetPenColour(MapNotchColour(static_cast<int>(n)));
        c.Line(x, y + 7, x + 18, y + 7);
        c.TextOut(x + 22, y, t);
        x += 34 + c.TextWidth(t);
    }
    x = kLeftMargin;
    y += kLineHeight;
    const auto sample = [&](const std::string& text, Colour colour, PenStyle style) {
        c.SetPenColour(colour);
        c.SetPenStyle(style);
        c.Line(x, y + 7, x + 18, y + 7);
        c.SetPenStyle(PenStyle::Solid);
        c.TextOut(x + 22, y, text);
        x += 40 + c.TextWidth(text);
    };
    sample("forward", clBlack, PenStyle::Solid);
    sample("reverse", clBlack, PenStyle::Dot);
    if (maps.reference)
        sample(referenceName.empty() ? std::string("reference") : "reference: " + referenceName, kReferenceGrey,
               PenStyle::Solid);
    std::string note;
    if (!maps.design.problem.empty())
        note = "The engine cannot run: " + maps.design.problem + ".";
    else if (maps.stopped)
        note = "Stopped before the map was done.";
    if (maps.design.engine.unitAssumed)
        note += (note.empty() ? "" : " ") + std::string("The design states no unit: inches taken.");
    if (!note.empty()) {
        c.SetFontColour(kWarningColour);
        c.TextOut(x, y, note);
        c.SetFontColour(clBlack);
    }
    c.SetPenColour(clBlack);
}
