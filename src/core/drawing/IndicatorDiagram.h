// The indicator diagram of one point of the steam performance model: the p-V
// loops of both ends of the cylinder in real units, the ideal diagram dotted
// behind them, the chest and back pressures as thin lines, admission,
// cut-off, release and compression marked on each loop, the axes in the
// design's units. Drawn on any Canvas: the command line's picture, and the
// indicator window.
#pragma once

#include "analysis/SteamEngine.h"
#include "platform/Canvas.h"

#include <string>

// The size of the picture the command line writes.
inline constexpr int kIndicatorWidth = 632;
inline constexpr int kIndicatorHeight = 414;

struct IndicatorView {
    bool gauge = false;         // pressures above the atmosphere instead of absolute
    bool percentStroke = false; // the piston's way in % of the stroke instead of the volume
};

// A step of 1, 2 or 5 times a power of ten that cuts `range` into about
// `parts`, and the decimals its numbers need: the axes of the engine's pictures.
long double AxisStep(long double range, int parts);
int AxisDecimals(long double step);

// The caption of a point: "Normal notch forward, 120 rpm" ("notch 6 reverse").
std::string IndicatorCaption(const PointResult& point);

// Draws the loops of `real` (either of them may be absent: not ok) with
// `ideal` dotted behind, on a canvas of width x height pixels.
void DrawIndicatorDiagram(Canvas& c, int width, int height, const EngineSetup& engine, const PointResult& real,
                          const PointResult& ideal, const IndicatorView& view = {});
