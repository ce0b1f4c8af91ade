#include "analysis/ThreadPool.h"

#include <benchmark/benchmark.h>

#include <vector>

// What a loop on the shared pool costs beyond its work: waking the workers
// and waiting for them, for `range(0)` empty tasks.
static void BM_ParallelForEmpty(benchmark::State& st)
{
    const size_t count = static_cast<size_t>(st.range(0));
    std::vector<int> out(count);
    for (auto _ : st) {
        ThreadPool::Shared().ParallelFor(count, [&](size_t i) { out[i] = static_cast<int>(i); });
        benchmark::DoNotOptimize(out.data());
    }
    st.SetLabel(std::to_string(ThreadPool::Shared().Threads()) + " threads");
}
BENCHMARK(BM_ParallelForEmpty)->Arg(2)->Arg(40)->Unit(benchmark::kMicrosecond)->UseRealTime();
