// The pictures of the indicator window (TIndicator), drawn on any Canvas: the
// indicator pane (the diagram of drawing/IndicatorDiagram with the figures of
// its point beside it) and the performance map (indicated power, tractive
// effort and steam rate against speed, a curve per notch and direction, a
// comparison reference's curves in grey beneath). The window shows them, and
// `quelf --export indicator | performance-map` writes them as the window
// draws them on opening.
#pragma once

#include "analysis/EngineStudy.h"
#include "drawing/IndicatorDiagram.h"
#include "platform/Canvas.h"

#include <string>

// ---------------------------------------------------------------- the indicator pane
inline constexpr int kIndicatorFiguresWidth = 280;
inline constexpr int kIndicatorPaneWidth = kIndicatorWidth + kIndicatorFiguresWidth;
inline constexpr int kIndicatorPaneHeight = kIndicatorHeight;

// The diagram of the point at the left, its figures (IndicatorFigureRows) at
// the right, the compression warning and a point's problem in red under them.
void DrawIndicatorPane(Canvas& c, const IndicatorPoint& point, const IndicatorView& view, RoadUnit road);

// ---------------------------------------------------------------- the performance map
inline constexpr int kMapPictureWidth = 960;
inline constexpr int kMapPictureHeight = 340;

enum class MapFigure { Power, TractiveEffort, SteamRate };
inline constexpr int kMapFigures = 3;

// A point's figure in the design's units (NaN for a point that was not run).
double MapFigureValue(const PointResult& point, MapFigure figure, LengthUnit unit);
// "Indicated power, hp".
std::string MapFigureTitle(MapFigure figure, LengthUnit unit);
// The colour of the k-th notch of the request (the same in every plot).
Colour MapNotchColour(int k);

// The three plots side by side over the speeds, the legend under them:
// the notches by colour, forward solid, reverse dotted, the reference grey.
void DrawPerformanceMap(Canvas& c, int width, int height, const EngineMaps& maps,
                        const std::string& referenceName = {});
