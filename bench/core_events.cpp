#include "analysis/ThreadPool.h"
#include "analysis/ValveEvents.h"
#include "analysis/ValveEventsTable.h"
#include "model/Model.h"

#include <benchmark/benchmark.h>

// The whole valve events table: 2 directions x 20 notches, each a sampled
// turn with every event refined by bisection, and the extremes; the rows on
// the shared pool. Times measured with work on more than one thread are wall
// times (UseRealTime).
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
BENCHMARK(BM_ValveEventsTable)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same table on the caller alone (ThreadPool::Serial()).
static void BM_ValveEventsTableSerial(benchmark::State& st)
{
    AppState s;
    StartupModel(s);
    for (auto _ : st) {
        const auto rows = BuildValveEventsTable(s.gear, ThreadPool::Serial());
        benchmark::DoNotOptimize(rows.data());
    }
    st.SetLabel("40 rows, 1 thread");
}
BENCHMARK(BM_ValveEventsTableSerial)->Unit(benchmark::kMillisecond);

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
BENCHMARK(BM_ValveEventsText)->Unit(benchmark::kMillisecond)->UseRealTime();

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
BENCHMARK(BM_ValveEventsOneNotch)->Unit(benchmark::kMicrosecond)->UseRealTime();

// One notch on the caller alone: what each row of the table costs a thread.
static void BM_ValveEventsOneNotchSerial(benchmark::State& st)
{
    AppState s;
    StartupModel(s);
    const float normal = NormalNotchPosition(s.gear, Running::Forward);
    for (auto _ : st) {
        const NotchEvents e = MeasureNotch(s.gear, normal, Running::Forward, nmAll, ThreadPool::Serial());
        benchmark::DoNotOptimize(e);
    }
}
BENCHMARK(BM_ValveEventsOneNotchSerial)->Unit(benchmark::kMicrosecond);

// One notch of a design never measured before: every iteration changes the
// stroke, so the crank terms of the whole degrees are solved afresh.
static void BM_ValveEventsOneNotchNewDesign(benchmark::State& st)
{
    AppState s;
    StartupModel(s);
    const float normal = NormalNotchPosition(s.gear, Running::Forward);
    const float stroke = s.gear.Stroke;
    int n = 0;
    for (auto _ : st) {
        s.gear.Stroke = stroke * (1 + 1e-6f * static_cast<float>(++n % 1000));
        const NotchEvents e = MeasureNotch(s.gear, normal, Running::Forward);
        benchmark::DoNotOptimize(e);
    }
}
BENCHMARK(BM_ValveEventsOneNotchNewDesign)->Unit(benchmark::kMicrosecond)->UseRealTime();

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
BENCHMARK(BM_ValveEventsOneNotchEventsOnly)->Unit(benchmark::kMicrosecond)->UseRealTime();

// One notch, the two cut-offs only: what a trial of the cut-off balance measures.
static void BM_ValveEventsOneNotchCutOffs(benchmark::State& st)
{
    AppState s;
    StartupModel(s);
    const float normal = NormalNotchPosition(s.gear, Running::Forward);
    for (auto _ : st) {
        const NotchEvents e = MeasureNotch(s.gear, normal, Running::Forward, nmCutOffs);
        benchmark::DoNotOptimize(e);
    }
}
BENCHMARK(BM_ValveEventsOneNotchCutOffs)->Unit(benchmark::kMicrosecond)->UseRealTime();

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
