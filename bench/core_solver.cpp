#include "analysis/Assembly.h"
#include "model/Model.h"

#include <benchmark/benchmark.h>

// One solve and the per-tick port computation, sweeping the driver angle.
static void BM_SolveAndOpenings(benchmark::State& st)
{
    AppState s;
    StartupModel(s);
    float angle = 0;
    for (auto _ : st) {
        s.gear.DriverAngle = angle;
        SolveLinkage(s.gear);
        ComputePistonAndOpenings(s.gear);
        benchmark::DoNotOptimize(s.gear.PistonPx);
        angle += 1.7f;
        if (angle > 360) angle -= 360;
    }
}
BENCHMARK(BM_SolveAndOpenings);

// The model part of one animation tick (solve, openings, mapping, outlines, advance).
static void BM_TickModel(benchmark::State& st)
{
    AppState s;
    StartupModel(s);
    for (auto _ : st) {
        TickModel(s);
        benchmark::DoNotOptimize(s.gear.ValveOutline);
    }
}
BENCHMARK(BM_TickModel);

// What the main window and the dimension dialogs pay once per design and
// reverse arm setting when the gear cannot be assembled: a turn on a copy.
static void BM_ExplainAssembly(benchmark::State& st)
{
    AppState s;
    StartupModel(s);
    s.gear.EccRodLength = 11;
    for (auto _ : st) benchmark::DoNotOptimize(ExplainAssembly(s.gear));
}
BENCHMARK(BM_ExplainAssembly);
