#include "analysis/DesignCheck.h"
#include "analysis/Optimise.h"
#include "model/DesignEdit.h"
#include "model/DesignScale.h"
#include "model/EngineData.h"
#include "model/Model.h"

#include <benchmark/benchmark.h>

namespace {

// The optimiser on the built-in design against equal cut-off in every notch of
// both directions, with the first `n` of six dimensions at their default
// bounds (+-10 %).
void Optimise(benchmark::State& st, size_t n)
{
    AppState s;
    StartupModel(s);
    RecomputeRevArmCentre(s.gear); // again from where it left the arm: a mid gear re-centring keeps
    const Gear g = s.gear;
    OptimiseGoals goals;
    goals.targets = {{DesignTarget::CutOffForwardAll, 1}, {DesignTarget::CutOffReverseAll, 1}};
    const int codes[] = {20, 10, 17, 12, 16, 11};
    for (size_t j = 0; j < n; ++j) goals.dimensions.push_back(DefaultOptimiseDimension(g, codes[j]));
    OptimiseResult r;
    for (auto _ : st) {
        r = OptimiseDesign(g, goals);
        benchmark::DoNotOptimize(r.values.data());
    }
    st.counters["trials"] = r.trials;
    st.counters["objective"] = static_cast<double>(r.after.objective);
}

} // namespace

static void BM_OptimiseOneDimension(benchmark::State& st) { Optimise(st, 1); }
BENCHMARK(BM_OptimiseOneDimension)->Unit(benchmark::kMillisecond)->Iterations(1);

static void BM_OptimiseThreeDimensions(benchmark::State& st) { Optimise(st, 3); }
BENCHMARK(BM_OptimiseThreeDimensions)->Unit(benchmark::kMillisecond)->Iterations(1);

static void BM_OptimiseSixDimensions(benchmark::State& st) { Optimise(st, 6); }
BENCHMARK(BM_OptimiseSixDimensions)->Unit(benchmark::kMillisecond)->Iterations(1);

// The design check of the built-in design: the whole events table and the rules.
static void BM_DesignCheck(benchmark::State& st)
{
    AppState s;
    StartupModel(s);
    RecomputeRevArmCentre(s.gear); // again from where it left the arm: a mid gear re-centring keeps
    const Gear g = s.gear;
    for (auto _ : st) benchmark::DoNotOptimize(CheckDesign(g, DefaultCheckLimits()).lines.data());
}
BENCHMARK(BM_DesignCheck)->Unit(benchmark::kMillisecond);

// Designing for the engine: the built-in design at full size with engine
// data; the check with its engine rules, and the search for more power at
// 120 rpm with the rocker's lower arm (the README's example).
namespace {
Gear FullSize()
{
    AppState s;
    StartupModel(s);
    ApplyScale(s, {7, LengthUnit::Inch, RoundGrid::None});
    RecomputeRevArmCentre(s.gear);
    s.gear.HasEngine = true;
    s.gear.Engine = DefaultEngineData(s.gear);
    return s.gear;
}
} // namespace

static void BM_DesignCheckWithEngine(benchmark::State& st)
{
    const Gear g = FullSize();
    for (auto _ : st) benchmark::DoNotOptimize(CheckDesign(g, DefaultCheckLimits()).lines.data());
}
BENCHMARK(BM_DesignCheckWithEngine)->Unit(benchmark::kMillisecond);

static void BM_OptimisePowerFullSize(benchmark::State& st)
{
    const Gear g = FullSize();
    OptimiseGoals goals;
    goals.targets = {{DesignTarget::Power, 1, 120}};
    goals.dimensions = {DefaultOptimiseDimension(g, 15)};
    OptimiseResult r;
    for (auto _ : st) {
        r = OptimiseDesign(g, goals);
        benchmark::DoNotOptimize(r.values.data());
    }
    st.counters["trials"] = r.trials;
    st.counters["objective"] = static_cast<double>(r.after.objective);
}
BENCHMARK(BM_OptimisePowerFullSize)->Unit(benchmark::kMillisecond)->Iterations(1);

// One measure of the balance of mean effective pressure in every notch
// forward at 120 rpm: twenty points of the model, spread over the pool.
static void BM_MeasureMepBalanceForwardAll(benchmark::State& st)
{
    const Gear g = FullSize();
    OptimiseGoals goals;
    goals.targets = {{DesignTarget::MepBalanceForwardAll, 1, 120}};
    DesignMeasure m;
    for (auto _ : st) {
        m = MeasureDesign(g, goals);
        benchmark::DoNotOptimize(m.targets.data());
    }
    st.counters["rows"] = static_cast<double>(m.targets[0].rows.size());
    st.counters["rms"] = static_cast<double>(m.targets[0].Rms());
}
BENCHMARK(BM_MeasureMepBalanceForwardAll)->Unit(benchmark::kMillisecond);
