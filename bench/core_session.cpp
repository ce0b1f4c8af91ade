// The design session's work on every frame: whether the design has unsaved
// changes (the title's mark), and a record through the undo funnel.
#include "model/Changes.h"
#include "model/Model.h"
#include "session/DesignSession.h"

#include <benchmark/benchmark.h>

static void BM_SessionChanged(benchmark::State& st)
{
    AppState s;
    DesignSession session(s);
    session.Start();
    s.gear.Stroke = 4.0f;
    for (auto _ : st) benchmark::DoNotOptimize(session.Changed());
}
BENCHMARK(BM_SessionChanged);

static void BM_RecordUnitChange(benchmark::State& st)
{
    AppState s;
    DesignSession session(s);
    session.Start();
    bool inch = false;
    for (auto _ : st) {
        inch = !inch;
        session.SetUnit(inch ? LengthUnit::Inch : LengthUnit::Millimetre);
    }
}
BENCHMARK(BM_RecordUnitChange);
