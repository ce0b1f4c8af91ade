#include "analysis/SweptEnvelope.h"
#include "model/DesignEdit.h"
#include "model/Model.h"

#include <benchmark/benchmark.h>

// The swept envelope of the built-in design over the whole range (37 notches,
// a sample a degree), on both cores (first argument 0) and on one (1); without
// keep-out shapes (second argument 0) and with three, so that the clearance is
// measured too (3). The window computes it so.
static void BM_SweptEnvelope(benchmark::State& st)
{
    AppState s;
    StartupModel(s);
    s.overlay.Item[1] = {-2, -4.5f, 14, -4.5f, 0, 0, 0, 0, 0, 0, 0, 0, 0, true}; // below the gear
    s.overlay.Item[2] = {-2, 6, 14, 6, 0, 0, 0, 0, 0, 0, 0, 0, 0, true};         // above it
    s.overlay.Item[3] = {0, 0, 4.6f, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, true};        // about the axle
    if (st.range(1) == 0)
        for (OverlayItem& it : s.overlay.Item) it.KeepOut = false;
    const Gear design = s.gear;
    const EnvelopeSettings settings;
    ThreadPool& pool = st.range(0) == 0 ? ThreadPool::Shared() : ThreadPool::Serial();
    for (auto _ : st) {
        const SweptEnvelope e = SweepEnvelope(design, s.overlay, settings, nullptr, pool);
        benchmark::DoNotOptimize(e.outlines.data());
    }
}
BENCHMARK(BM_SweptEnvelope)
    ->Args({0, 0})
    ->Args({1, 0})
    ->Args({0, 3})
    ->Args({1, 3})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
