#include "analysis/SweptEnvelope.h"
#include "model/DesignEdit.h"
#include "model/Model.h"

#include <benchmark/benchmark.h>

// The swept envelope of the built-in design over the whole range (37 notches,
// a sample a degree), on both cores (0) and on one (1); with three keep-out
// shapes, so that the clearance is measured too. The window computes it so.
static void BM_SweptEnvelope(benchmark::State& st)
{
    AppState s;
    StartupModel(s);
    for (int k : {1, 2, 3}) {
        OverlayItem& it = s.overlay.Item[static_cast<size_t>(k)];
        it.Kind = k == 3 ? 1 : 0;
        it.Colour = 0;
        it.Reference = 0;
        it.KeepOut = true;
    }
    s.overlay.Item[1] = {-2, -4.5f, 14, -4.5f, 0, 0, 0, 0, 0, 0, 0, 0, 0, true}; // below the gear
    s.overlay.Item[2] = {-2, 6, 14, 6, 0, 0, 0, 0, 0, 0, 0, 0, 0, true};         // above it
    s.overlay.Item[3] = {0, 0, 4.6f, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, true};        // about the axle
    const Gear design = DesignAsOpened(s.gear);
    const EnvelopeSettings settings;
    ThreadPool& pool = st.range(0) == 0 ? ThreadPool::Shared() : ThreadPool::Serial();
    for (auto _ : st) {
        const SweptEnvelope e = SweepEnvelope(design, s.overlay, settings, nullptr, pool);
        benchmark::DoNotOptimize(e.outlines.data());
    }
}
BENCHMARK(BM_SweptEnvelope)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();
