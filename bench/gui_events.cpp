// Opening the valve events window: the whole table measured and put into the
// grid, as every opening does.
#include "graphs/TValveEvents.h"
#include "model/Model.h"

#include <benchmark/benchmark.h>

static void BM_ValveEventsWindowOpen(benchmark::State& st)
{
    AppState s;
    StartupModel(s);
    TValveEvents w(s);
    for (auto _ : st) {
        w.FormActivate();
        benchmark::DoNotOptimize(w.TableText().data());
    }
}
BENCHMARK(BM_ValveEventsWindowOpen)->Unit(benchmark::kMillisecond);
