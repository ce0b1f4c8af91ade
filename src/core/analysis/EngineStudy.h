// The engine as the windows show it: one point of the steam performance model
// with its ideal diagram (the indicator window), the road speed of a point,
// and the performance map over speeds, notches and directions of the design
// and of a comparison reference. Plain calls on a copy of a design, for the
// indicator window, the command line's pictures and whoever else needs the
// same figures (a report, a check): each takes a copy of the design with the
// mid gear it holds (never one computed again) with its own engine data, or
// the defaults when it has none.
#pragma once

#include "analysis/SteamEngine.h"

#include <optional>
#include <string>
#include <vector>

// ---------------------------------------------------------------- the designs
// The copies a window or a picture of the engine works on: the design with the
// mid gear it holds, and a comparison's reference in its unit.
struct EngineDesigns {
    Gear design;
    std::optional<Gear> reference;
    std::string referenceName;
};
EngineDesigns EngineDesignsOf(const AppState& s);

// ---------------------------------------------------------------- one point
inline constexpr double kDefaultIndicatorRpm = 120;

struct IndicatorRequest {
    int notch = kNormalNotch; // 0..18, or the normal notch
    Running running = Running::Forward;
    double rpm = kDefaultIndicatorRpm;
    bool ideal = true; // the ideal diagram as well
};

struct IndicatorPoint {
    EngineSetup engine;
    EngineTurn turn;
    PointResult real, ideal; // `ideal` is not ok when it was not asked for
    std::string problem;     // why there is no loop ("" when `real` is ok)
};

// The point the request names: the notch's turn solved once, the cycle run,
// the ideal diagram from the same turn.
IndicatorPoint RunIndicatorPoint(const Gear& design, const IndicatorRequest& request);

// ---------------------------------------------------------------- road speed
enum class RoadUnit { Mph, Kmh };
// mph for a design in inches (or of no stated unit), km/h for one in millimetres.
RoadUnit DefaultRoadUnit(LengthUnit unit);
const char* RoadUnitText(RoadUnit unit); // "mph", "km/h"
// The speed of a wheel of diameter `wheel` (m) turning at `rpm` along the
// rail: pi wheel rpm / 60 m/s, in the road unit; and the other way.
double RoadSpeed(double rpm, double wheel, RoadUnit unit);
double RpmAtRoadSpeed(double speed, double wheel, RoadUnit unit);

// ---------------------------------------------------------------- the map
inline constexpr double kDefaultTopRpm = 300;
inline constexpr int kDefaultMapSpeeds = 20;
inline constexpr int kMaxMapSpeeds = 200;

// Every third notch from the first out of mid gear to full gear: 3, 6, ... 18.
std::vector<int> DefaultMapNotches();
// `count` speeds evenly from 10 % to 100 % of `top` (one speed: the top).
std::vector<double> MapSpeeds(double top, int count);

struct EngineMapRequest {
    double topRpm = kDefaultTopRpm;
    int speeds = kDefaultMapSpeeds;
    std::vector<int> notches = DefaultMapNotches();
    std::vector<Running> directions{Running::Forward, Running::Reverse};
};
// Why the request makes no map ("" when it does): a top speed above 0, 2 to
// kMaxMapSpeeds speeds, a notch and a direction at least.
std::string CheckMapRequest(const EngineMapRequest& request);

struct EngineMap {
    EngineSetup engine;
    std::vector<double> rpms;
    // Direction by direction, notch by notch, speed by speed: the point of
    // direction d, notch n, speed k at [(d * notches + n) * speeds + k].
    std::vector<PointResult> points;
    std::string problem; // the engine cannot run ("" when it can)
};

struct EngineMaps {
    EngineMapRequest request;
    EngineMap design;
    std::optional<EngineMap> reference; // a comparison's, on the same notches and speeds
    bool stopped = false;
};

// The points a map of the request has, with or without a reference.
int MapPointCount(const EngineMapRequest& request, bool withReference);
// The maps of `design` and of `reference` (when given) on the thread pool;
// `control` (optional) stops them and counts in `done` the points of both.
EngineMaps RunEngineMaps(const Gear& design, const std::optional<Gear>& reference, const EngineMapRequest& request,
                         MapControl* control = nullptr);
