#include "drawing/DataTableBuilder.h"
#include "model/Model.h"

#include <benchmark/benchmark.h>

// The pivot data table at the smallest step: 36001 solves and lines, six
// pivots per line, joined into the memo's text.
static void BM_DataTableSmallestStep(benchmark::State& st)
{
    AppState s;
    StartupModel(s);
    s.anim.SelectedStep = 0.01f;
    const int pivots[7] = {0, 2, 3, 5, 14, 16, 17};
    for (int k = 1; k <= 6; ++k) s.pivots.PivotOfSlot[k] = static_cast<float>(pivots[k]);
    for (auto _ : st) {
        const auto lines = BuildDataTable(s, "08/12/2026", "12:00");
        const std::string text = JoinLines(lines);
        benchmark::DoNotOptimize(text.data());
    }
    st.SetLabel("36001 lines");
}
BENCHMARK(BM_DataTableSmallestStep)->Unit(benchmark::kMillisecond);
