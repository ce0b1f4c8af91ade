#include "analysis/ValveEvents.h"
#include "analysis/ValveEventsTable.h"
#include "model/Model.h"

#include <benchmark/benchmark.h>

// The whole valve events table: 2 directions x 20 notches, each a sampled
// turn with every event refined by bisection, and the extremes.
static void BM_ValveEventsTable(benchmark::State& st)
{
    AppState s;
    StartupModel(s);
    for (auto _ : st) {
        const auto rows = BuildValveEventsTable(s.gear);
        benchmark::DoNotOptimize(rows.data());
    }
    st.SetLabel("40 rows");
}
BENCHMARK(BM_ValveEventsTable)->Unit(benchmark::kMillisecond);

// The same table as the text the window and the CSV show.
static void BM_ValveEventsText(benchmark::State& st)
{
    AppState s;
    StartupModel(s);
    for (auto _ : st) {
        const auto text = ValveEventsTextOf(s.gear);
        benchmark::DoNotOptimize(text.data());
    }
}
BENCHMARK(BM_ValveEventsText)->Unit(benchmark::kMillisecond);

// One notch in one direction, everything measured: the unit a search repeats.
static void BM_ValveEventsOneNotch(benchmark::State& st)
{
    AppState s;
    StartupModel(s);
    const float normal = NormalNotchPosition(s.gear, Running::Forward);
    for (auto _ : st) {
        const NotchEvents e = MeasureNotch(s.gear, normal, Running::Forward);
        benchmark::DoNotOptimize(e);
    }
}
BENCHMARK(BM_ValveEventsOneNotch)->Unit(benchmark::kMicrosecond);

// One notch, the events only (no extremes).
static void BM_ValveEventsOneNotchEventsOnly(benchmark::State& st)
{
    AppState s;
    StartupModel(s);
    const float normal = NormalNotchPosition(s.gear, Running::Forward);
    for (auto _ : st) {
        const NotchEvents e = MeasureNotch(s.gear, normal, Running::Forward, nmEvents);
        benchmark::DoNotOptimize(e);
    }
}
BENCHMARK(BM_ValveEventsOneNotchEventsOnly)->Unit(benchmark::kMicrosecond);

// The leads at mid gear: two solves.
static void BM_MidGearLeads(benchmark::State& st)
{
    AppState s;
    StartupModel(s);
    for (auto _ : st) {
        const NotchEvents e = MidGearLeads(s.gear);
        benchmark::DoNotOptimize(e);
    }
}
BENCHMARK(BM_MidGearLeads)->Unit(benchmark::kMicrosecond);
