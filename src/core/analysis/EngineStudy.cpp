#include "analysis/EngineStudy.h"

#include "model/DesignScale.h"
#include "model/EngineData.h"

#include <cmath>
#include <numbers>

namespace {

constexpr double kMetresPerMile = 1609.344; // the international mile
constexpr double kKmhPerMetreSecond = 3.6;

// m/s in one road unit.
double RoadUnitSI(RoadUnit unit) { return unit == RoadUnit::Mph ? kMetresPerMile / 3600 : 1 / kKmhPerMetreSecond; }

EngineMap RunMap(const Gear& design, const EngineMapRequest& request, MapControl* control)
{
    EngineMap map;
    map.engine = MakeEngineSetup(design, EngineDataOf(design));
    map.rpms = MapSpeeds(request.topRpm, request.speeds);
    map.problem = map.engine.problem;
    if (!map.problem.empty()) return map;
    MapRequest r;
    r.directions = request.directions;
    r.notches = request.notches;
    r.rpms = map.rpms;
    // `done` goes on counting from the points of a map run before.
    map.points = RunPerformanceMap(design, map.engine, r, control);
    return map;
}

} // namespace

EngineDesigns EngineDesignsOf(const AppState& s)
{
    EngineDesigns d;
    d.design = s.gear;
    if (std::optional<Gear> reference = ComparedReference(s)) {
        d.reference = std::move(reference);
        d.referenceName = s.compare.ReferenceName;
    }
    return d;
}

IndicatorPoint RunIndicatorPoint(const Gear& design, const IndicatorRequest& request)
{
    IndicatorPoint p;
    p.engine = MakeEngineSetup(design, EngineDataOf(design));
    if (!p.engine.problem.empty()) {
        p.problem = "The engine cannot run: " + p.engine.problem + ".";
        return p;
    }
    p.turn = SolveEngineTurn(design, request.notch, request.running);
    p.real = RunEnginePoint(p.turn, p.engine, request.rpm);
    if (request.ideal) {
        PointOptions ideal;
        ideal.ideal = true;
        p.ideal = RunEnginePoint(p.turn, p.engine, request.rpm, ideal);
    }
    if (!p.real.ok) p.problem = p.real.problem.empty() ? "The point cannot be run." : p.real.problem;
    return p;
}

RoadUnit DefaultRoadUnit(LengthUnit unit)
{
    return EngineUnitSystem(unit) == LengthUnit::Millimetre ? RoadUnit::Kmh : RoadUnit::Mph;
}

const char* RoadUnitText(RoadUnit unit) { return unit == RoadUnit::Mph ? "mph" : "km/h"; }

double RoadSpeed(double rpm, double wheel, RoadUnit unit)
{
    return std::numbers::pi * wheel * rpm / 60 / RoadUnitSI(unit);
}

double RpmAtRoadSpeed(double speed, double wheel, RoadUnit unit)
{
    if (!(wheel > 0)) return 0;
    return speed * RoadUnitSI(unit) * 60 / (std::numbers::pi * wheel);
}

std::vector<int> DefaultMapNotches() { return {3, 6, 9, 12, 15, 18}; }

std::vector<double> MapSpeeds(double top, int count)
{
    std::vector<double> v;
    if (count == 1) return {top};
    for (int k = 0; k < count; ++k) v.push_back(top * (0.1 + 0.9 * k / (count - 1)));
    return v;
}

std::string CheckMapRequest(const EngineMapRequest& r)
{
    if (!(r.topRpm > 0) || !std::isfinite(r.topRpm)) return "The top speed must be above 0 rpm.";
    if (r.speeds < 2 || r.speeds > kMaxMapSpeeds)
        return "The speeds must be a whole number from 2 to " + std::to_string(kMaxMapSpeeds) + ".";
    if (r.notches.empty()) return "Tick a notch at least.";
    if (r.directions.empty()) return "Tick a direction at least.";
    return {};
}

int MapPointCount(const EngineMapRequest& r, bool withReference)
{
    const auto n = static_cast<int>(r.notches.size() * r.directions.size()) * r.speeds;
    return withReference ? 2 * n : n;
}

EngineMaps RunEngineMaps(const Gear& design, const std::optional<Gear>& reference, const EngineMapRequest& request,
                         MapControl* control)
{
    EngineMaps maps;
    maps.request = request;
    maps.design = RunMap(design, request, control);
    if (reference) maps.reference = RunMap(*reference, request, control);
    maps.stopped = control && control->stop.load();
    return maps;
}
