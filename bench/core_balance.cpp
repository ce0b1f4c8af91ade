#include "analysis/Balance.h"
#include "model/Model.h"

#include <benchmark/benchmark.h>

namespace {

BalanceGoal Goal(const Gear& g, BalanceTarget t, int code)
{
    BalanceGoal goal{t, code, 0, 0};
    DefaultBalanceRange(g, code, goal.lo, goal.hi);
    return goal;
}

void Run(benchmark::State& st, const std::vector<std::pair<BalanceTarget, int>>& what)
{
    AppState s;
    StartupModel(s);
    std::vector<BalanceGoal> goals;
    for (auto [t, code] : what) goals.push_back(Goal(s.gear, t, code));
    int trials = 0;
    for (auto _ : st) {
        const BalanceResult r = BalanceEvents(s.gear, goals);
        trials = r.trials;
        benchmark::DoNotOptimize(r.values.data());
    }
    st.counters["trials"] = trials;
}

} // namespace

// One dimension, the default range (+-10 %) of the built-in design.
static void BM_BalanceLeadByValveRod(benchmark::State& st) { Run(st, {{BalanceTarget::Lead, 20}}); }
BENCHMARK(BM_BalanceLeadByValveRod)->Unit(benchmark::kMillisecond);

static void BM_BalanceCutOffForwardByEccRod(benchmark::State& st) { Run(st, {{BalanceTarget::CutOffForward, 10}}); }
BENCHMARK(BM_BalanceCutOffForwardByEccRod)->Unit(benchmark::kMillisecond);

// The least sum of squares of both directions: two notches per trial.
static void BM_BalanceCutOffBothByValveRod(benchmark::State& st) { Run(st, {{BalanceTarget::CutOffBoth, 20}}); }
BENCHMARK(BM_BalanceCutOffBothByValveRod)->Unit(benchmark::kMillisecond);

// Nothing to find: a drawing dimension, found out by the scan.
static void BM_BalanceNoEffect(benchmark::State& st) { Run(st, {{BalanceTarget::CutOffForward, 103}}); }
BENCHMARK(BM_BalanceNoEffect)->Unit(benchmark::kMillisecond);

// Two at once: leads by the valve rod, forward cut-off by the eccentric rod.
static void BM_BalanceTwoAtOnce(benchmark::State& st)
{
    Run(st, {{BalanceTarget::Lead, 20}, {BalanceTarget::CutOffForward, 10}});
}
BENCHMARK(BM_BalanceTwoAtOnce)->Unit(benchmark::kMillisecond);

// Two targets that cannot be met: the whole trial budget is spent.
static void BM_BalanceTwoAtOnceNotMet(benchmark::State& st)
{
    Run(st, {{BalanceTarget::CutOffForward, 6}, {BalanceTarget::CutOffReverse, 17}});
}
BENCHMARK(BM_BalanceTwoAtOnceNotMet)->Unit(benchmark::kMillisecond);
