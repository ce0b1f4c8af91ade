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
