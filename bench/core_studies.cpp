#include "analysis/Sensitivity.h"
#include "analysis/ThreadPool.h"
#include "analysis/ToleranceStudy.h"
#include "model/DesignEdit.h"
#include "model/Model.h"

#include <benchmark/benchmark.h>

namespace {

Gear BuiltIn()
{
    AppState s;
    StartupModel(s);
    RecomputeRevArmCentre(s.gear); // again from where it left the arm: a mid gear re-centring keeps
    return s.gear;
}

// All 44 dimensions for the forward normal notch: 177 trials, each a
// re-centred design measured at the row; on the shared pool (wall time), or
// on the caller alone.
void Sensitivity(benchmark::State& st, ThreadPool& pool)
{
    const Gear g = BuiltIn();
    for (auto _ : st) {
        const SensitivityResult r = MeasureSensitivity(g, {Running::Forward, kNormalNotch}, nullptr, pool);
        benchmark::DoNotOptimize(r.effects.data());
    }
    st.SetLabel(pool.Threads() > 1 ? "44 dimensions, shared pool" : "44 dimensions, 1 thread");
}

// The tolerance study of the whole table: every length at +-0.005, the
// eccentric angle at +-0.1 degree, pin clearance 0.002, the samples asked,
// plus the worst cases (72 tables at the edges and the corners).
void Tolerance(benchmark::State& st, ThreadPool& pool)
{
    const Gear g = BuiltIn();
    ToleranceSettings settings = UniformTolerances(0.005f, 0.1f);
    settings.pinClearance = 0.002f;
    settings.samples = static_cast<int>(st.range(0));
    ToleranceResult r;
    for (auto _ : st) {
        r = RunToleranceStudy(g, settings, nullptr, pool);
        benchmark::DoNotOptimize(r.rows.data());
    }
    st.counters["valid"] = r.valid;
    st.SetLabel(pool.Threads() > 1 ? "whole table, shared pool" : "whole table, 1 thread");
}

} // namespace

static void BM_SensitivityOneRow(benchmark::State& st) { Sensitivity(st, ThreadPool::Shared()); }
BENCHMARK(BM_SensitivityOneRow)->Unit(benchmark::kMillisecond)->UseRealTime();

static void BM_SensitivityOneRowSerial(benchmark::State& st) { Sensitivity(st, ThreadPool::Serial()); }
BENCHMARK(BM_SensitivityOneRowSerial)->Unit(benchmark::kMillisecond);

static void BM_ToleranceStudy(benchmark::State& st) { Tolerance(st, ThreadPool::Shared()); }
BENCHMARK(BM_ToleranceStudy)->Arg(500)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

static void BM_ToleranceStudySerial(benchmark::State& st) { Tolerance(st, ThreadPool::Serial()); }
BENCHMARK(BM_ToleranceStudySerial)->Arg(500)->Unit(benchmark::kMillisecond)->Iterations(1);
