#include "drawing/PortDiagram.h"
#include "drawing/SteamDiagram.h"
#include "model/Model.h"
#include "platform/RecordingCanvas.h"

#include <benchmark/benchmark.h>

// One full pass of the port open/close graph with the default dimensions
// (19 settings x 91 samples).
static void BM_PortDiagramForward(benchmark::State& st)
{
    AppState s;
    StartupModel(s);
    s.graph.PortGraphMode = 'F';
    RecordingCanvas c;
    for (auto _ : st) {
        c.Reset();
        DrawPortDiagram(c, s);
        benchmark::DoNotOptimize(c.Ops().size());
    }
}
BENCHMARK(BM_PortDiagramForward)->Unit(benchmark::kMillisecond);

// "BothGraphs": the forward and the reverse pass.
static void BM_PortDiagramBoth(benchmark::State& st)
{
    AppState s;
    StartupModel(s);
    RecordingCanvas c;
    for (auto _ : st) {
        c.Reset();
        DrawPortBothGraphs(c, s);
        benchmark::DoNotOptimize(c.Ops().size());
    }
}
BENCHMARK(BM_PortDiagramBoth)->Unit(benchmark::kMillisecond);

// The steam diagram with the three default positions (3 x 150 steps).
static void BM_SteamDiagram(benchmark::State& st)
{
    AppState s;
    StartupModel(s);
    s.graph.GraphPosCount = 3;
    RecordingCanvas c;
    for (auto _ : st) {
        c.Reset();
        DrawSteamDiagram(c, s);
        benchmark::DoNotOptimize(c.Ops().size());
    }
}
BENCHMARK(BM_SteamDiagram)->Unit(benchmark::kMillisecond);
