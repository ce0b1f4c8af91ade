#include "analysis/MotionData.h"
#include "files/JsonDesign.h"
#include "model/Model.h"

#include <benchmark/benchmark.h>

// The design as JSON: written, and read back as an open reads it (parsed,
// judged, stored, solved once).
static void BM_DesignJsonWrite(benchmark::State& st)
{
    AppState s;
    StartupModel(s);
    for (auto _ : st) {
        const std::string text = DesignJsonText(s);
        benchmark::DoNotOptimize(text.data());
    }
}
BENCHMARK(BM_DesignJsonWrite)->Unit(benchmark::kMicrosecond);

static void BM_DesignJsonRead(benchmark::State& st)
{
    AppState s;
    StartupModel(s);
    const std::string text = DesignJsonText(s);
    for (auto _ : st) {
        AppState t = s;
        const DesignFileResult r = LoadJsonDesignText(t, text);
        benchmark::DoNotOptimize(r.ok);
    }
    st.SetBytesProcessed(static_cast<int64_t>(st.iterations()) * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_DesignJsonRead)->Unit(benchmark::kMicrosecond);

// Motion data at a degree (360 solves) and at the smallest step (36000), as CSV.
static void BM_MotionCsv(benchmark::State& st)
{
    AppState s;
    StartupModel(s);
    const float step = st.range(0) == 0 ? 0.01f : 1.0f;
    for (auto _ : st) {
        const std::string csv = MotionCsvText(SweepMotion(s.gear, s.gear.RevArmPos, step));
        benchmark::DoNotOptimize(csv.data());
    }
    st.SetLabel(step == 1.0f ? "360 rows" : "36000 rows");
}
BENCHMARK(BM_MotionCsv)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);
