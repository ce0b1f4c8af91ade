// The steam performance model on the built-in design at full size (seven
// times, inches): one point (its notch's turn solved, then the cycle), the
// cycle alone on a turn solved before, and the whole map the performance
// window draws (every notch of both directions at 20 speeds). Goals on the
// two-core machine: a point within 10 ms, the map within 2 s.
#include "analysis/EngineStudy.h"
#include "analysis/SteamEngine.h"
#include "model/DesignScale.h"
#include "model/EngineData.h"
#include "model/Model.h"

#include <benchmark/benchmark.h>

namespace {

Gear FullSizeDesign()
{
    AppState s;
    StartupModel(s);
    ApplyScale(s, {7, LengthUnit::Inch, RoundGrid::None});
    RecomputeRevArmCentre(s.gear);
    return s.gear;
}

void BM_PerformancePoint(benchmark::State& st)
{
    const Gear g = FullSizeDesign();
    const EngineSetup e = MakeEngineSetup(g, EngineDataOf(g));
    const int notch = static_cast<int>(st.range(0));
    for (auto _ : st) {
        const EngineTurn turn = SolveEngineTurn(g, notch, Running::Forward);
        const PointResult r = RunEnginePoint(turn, e, static_cast<double>(st.range(1)));
        benchmark::DoNotOptimize(r.mep);
    }
}
BENCHMARK(BM_PerformancePoint)
    ->Args({kNormalNotch, 120})
    ->Args({18, 240})
    ->Args({3, 60})
    ->Unit(benchmark::kMillisecond);

void BM_PerformanceCycleOnly(benchmark::State& st)
{
    const Gear g = FullSizeDesign();
    const EngineSetup e = MakeEngineSetup(g, EngineDataOf(g));
    const EngineTurn turn = SolveEngineTurn(g, kNormalNotch, Running::Forward);
    for (auto _ : st) {
        const PointResult r = RunEnginePoint(turn, e, 120);
        benchmark::DoNotOptimize(r.mep);
    }
}
BENCHMARK(BM_PerformanceCycleOnly)->Unit(benchmark::kMillisecond);

void BM_PerformanceMap(benchmark::State& st)
{
    const Gear g = FullSizeDesign();
    const EngineSetup e = MakeEngineSetup(g, EngineDataOf(g));
    MapRequest request;
    request.directions = {Running::Forward, Running::Reverse};
    request.notches.clear();
    for (int n = 0; n < kGraphNotches; ++n) request.notches.push_back(n);
    request.notches.push_back(kNormalNotch);
    request.rpms.clear();
    for (int k = 1; k <= 20; ++k) request.rpms.push_back(20.0 * k);
    for (auto _ : st) {
        const std::vector<PointResult> map = RunPerformanceMap(g, e, request);
        benchmark::DoNotOptimize(map.data());
    }
    st.counters["points"] =
        static_cast<double>(request.directions.size() * request.notches.size() * request.rpms.size());
}
BENCHMARK(BM_PerformanceMap)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

// The indicator window's work: its point as it runs it (the ideal diagram
// too), and the map it draws on opening (20 speeds to 300 rpm, every third
// notch, both directions), alone and with a reference beside it.
void BM_IndicatorWindowPoint(benchmark::State& st)
{
    const Gear g = FullSizeDesign();
    for (auto _ : st) {
        const IndicatorPoint p = RunIndicatorPoint(g, IndicatorRequest{});
        benchmark::DoNotOptimize(p.real.mep);
    }
}
BENCHMARK(BM_IndicatorWindowPoint)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_IndicatorWindowMap(benchmark::State& st)
{
    const Gear g = FullSizeDesign();
    const std::optional<Gear> reference = st.range(0) ? std::optional<Gear>(g) : std::nullopt;
    const EngineMapRequest request;
    for (auto _ : st) {
        const EngineMaps maps = RunEngineMaps(g, reference, request);
        benchmark::DoNotOptimize(maps.design.points.data());
    }
    st.counters["points"] = MapPointCount(request, reference.has_value());
}
BENCHMARK(BM_IndicatorWindowMap)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

} // namespace
