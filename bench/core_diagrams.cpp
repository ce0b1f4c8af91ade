// One full draw of the oval and of the sine diagram with the default three
// reverse arm positions, recorded (the drawing and solver work alone).
#include "drawing/RevArmPositions.h"
#include "drawing/ValveDiagrams.h"
#include "model/Model.h"
#include "platform/RecordingCanvas.h"

#include <benchmark/benchmark.h>

namespace {

void DefaultPositions(AppState& s)
{
    StartupModel(s);
    RecordingCanvas scratch;
    RevArmLayout lay;
    LayoutRevArmDialog(scratch, s, lay); // GraphPosCount 3
}

} // namespace

static void BM_OvalDiagram_Recorded(benchmark::State& st)
{
    AppState s;
    DefaultPositions(s);
    for (auto _ : st) {
        RecordingCanvas c;
        DrawOvalDiagram(c, s);
        benchmark::DoNotOptimize(c.Ops().data());
    }
}
BENCHMARK(BM_OvalDiagram_Recorded)->Unit(benchmark::kMicrosecond);

static void BM_SineDiagram_Recorded(benchmark::State& st)
{
    AppState s;
    DefaultPositions(s);
    for (auto _ : st) {
        RecordingCanvas c;
        DrawSineDiagram(c, s);
        benchmark::DoNotOptimize(c.Ops().data());
    }
}
BENCHMARK(BM_SineDiagram_Recorded)->Unit(benchmark::kMicrosecond);
