// The figures of the steam performance model as text tables in the design's
// units (model/EngineData.h, the unit table): the performance rows of the
// command line's --performance and the loop of --indicator.
#pragma once

#include "analysis/EngineStudy.h"
#include "analysis/SteamEngine.h"
#include "files/TextTable.h"

#include <string>
#include <vector>

// "fwd" or "rev".
const char* DirectionName(Running running);
// "0" to "18", or "normal".
std::string NotchName(int notch);

// The header of the performance rows, and their units in the unit system of
// `unit` (",,rpm,ft/min,% stroke,psi,...").
TextRow PerformanceHeader();
TextRow PerformanceUnits(LengthUnit unit);
// One row a point; a point that could not be run has its figures empty.
// Pressures at release and the compression peak are absolute; the cut-off,
// its pressure ratio and the release pressure are the mean of the two ends,
// the compression peak the higher.
TextRow PerformanceRow(const PointResult& point, LengthUnit unit);
// Header, units and a row a point.
std::vector<TextRow> PerformanceCsvRows(const std::vector<PointResult>& points, LengthUnit unit);

// The loop of a point: a row a point of the turn, driver angle, then the
// volume (the unit's cube) and absolute pressure of each end.
std::vector<TextRow> IndicatorCsvRows(const EngineTurn& turn, const PointResult& point, LengthUnit unit);

// The figures of an indicator point beside its diagram: a row a figure, its
// name, its value in the design's units (as many decimals as the unit makes
// sensible) and its unit; the road speed in `road`; the ideal diagram's mean
// effective pressure when it was run. No rows for a point that could not be run.
std::vector<TextRow> IndicatorFigureRows(const IndicatorPoint& point, RoadUnit road);
// "" or the warning of a compression peak above the chest pressure.
std::string CompressionWarning(const PointResult& point);
