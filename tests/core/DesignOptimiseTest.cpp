#include "analysis/Balance.h"
#include "analysis/DesignCheck.h"
#include "analysis/Optimise.h"
#include "drawing/CutOffPlot.h"
#include "model/DesignEdit.h"
#include "model/Model.h"
#include "platform/RecordingCanvas.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include <algorithm>
#include <cmath>

namespace {

using LD = long double;

// The built-in design with some dimensions changed, as a file opens it.
Gear Design(const std::vector<DimensionValue>& changes = {})
{
    AppState s;
    StartupModel(s);
    for (const DimensionValue& v : changes) StoreDimensionValue(s.gear, v.code, v.value);
    RecomputeRevArmCentre(s.gear);
    RecomputeRevArmCentre(s.gear); // again from where it left the arm: a mid gear re-centring keeps
    return s.gear;
}

const CheckLine& LineOf(const DesignCheckResult& r, CheckRule rule, CheckDirection d)
{
    for (const CheckLine& l : r.lines)
        if (l.rule == rule && l.direction == d) return l;
    static const CheckLine none;
    ADD_FAILURE() << "no line " << CheckRuleWord(rule);
    return none;
}

constexpr auto F = CheckDirection::Forward, R = CheckDirection::Reverse, B = CheckDirection::Both;

// Each rule passed by one design and failed by another (the built-in design
// with one dimension changed), with the default limits unless a looser one
// is given.
TEST(DesignCheck, EachRulePassesAndFailsOnDesignsThatKeepOrBreakIt)
{
    struct Case {
        std::vector<DimensionValue> design;
        CheckRule rule;
        CheckDirection direction;
        float limit; // 0: the default
        bool pass;
    };
    const std::vector<Case> cases = {
        {{}, CheckRule::Assembles, F, 0, true},
        {{{22, 3.0f}}, CheckRule::Assembles, R, 0, false}, // the arm's travel beyond what the links reach
        {{}, CheckRule::EqualLeads, B, 0, true},
        {{{20, 3.5f}}, CheckRule::EqualLeads, B, 0, false}, // a short valve rod: blind at one end
        {{}, CheckRule::EqualCutOffForward, F, 7, true},
        {{}, CheckRule::EqualCutOffForward, F, 0, false},
        {{}, CheckRule::EqualCutOffReverse, R, 6, true},
        {{}, CheckRule::EqualCutOffReverse, R, 0, false},
        {{}, CheckRule::FullGearCutOff, F, 0, true},
        {{{20, 3.5f}}, CheckRule::FullGearCutOff, F, 0, false},
        {{{22, 3.0f}}, CheckRule::PortOpening, F, 0, true}, // a long travel opens the ports wide
        {{}, CheckRule::PortOpening, F, 0, false},
        {{{114, 0.0f}}, CheckRule::PortOpening, F, 0, false}, // no port: no value
        {{}, CheckRule::Release, F, 0, true},
        {{{6, 10.0f}}, CheckRule::Release, F, 0, false}, // the eccentric advanced: early release
        {{}, CheckRule::Compression, F, 0, true},
        {{{6, 10.0f}}, CheckRule::Compression, F, 0, false},
    };
    for (const Case& c : cases) {
        CheckLimits limits = DefaultCheckLimits();
        if (c.limit != 0) limits[static_cast<size_t>(c.rule)] = c.limit;
        const DesignCheckResult r = CheckDesign(Design(c.design), limits);
        const CheckLine& l = LineOf(r, c.rule, c.direction);
        EXPECT_EQ(l.pass, c.pass) << CheckRuleWord(c.rule) << " value " << l.value << " where " << l.where;
        EXPECT_FALSE(r.Passed() && !c.pass);
    }
}

// The values are the table's worst, as the rules define them; a limit just
// beyond the value passes, just short of it fails.
TEST(DesignCheck, ValuesAreTheWorstOfTheTableAndTheLimitsJudgeThem)
{
    const Gear g = Design();
    const std::vector<ValveEventsRow> table = BuildValveEventsTable(g);
    const DesignCheckResult r = CheckDesign(g, table, DefaultCheckLimits());
    ASSERT_EQ(r.lines.size(), 10u);

    LD worst[2] = {0, 0};
    for (const ValveEventsRow& row : table) {
        const ValveEvent &f = row.events.event[endFront][veCutOff], &b = row.events.event[endRear][veCutOff];
        if (f.occurs && b.occurs) {
            const auto d = static_cast<size_t>(row.events.running);
            worst[d] = std::max(worst[d], std::fabs(static_cast<LD>(f.percent) - b.percent));
        }
    }
    EXPECT_EQ(LineOf(r, CheckRule::EqualCutOffForward, F).value, static_cast<float>(worst[0]));
    EXPECT_EQ(LineOf(r, CheckRule::EqualCutOffReverse, R).value, static_cast<float>(worst[1]));
    const NotchEvents& mid = table[0].events; // forward notch 0: mid gear
    const LD lf = mid.leadFront, lr = mid.leadRear;
    EXPECT_EQ(LineOf(r, CheckRule::EqualLeads, B).value,
              static_cast<float>(std::fabs(lf - lr) / mid.valveTravel * 100));
    EXPECT_EQ(LineOf(r, CheckRule::FullGearCutOff, F).where, "forward notch 18 rear");
    EXPECT_EQ(LineOf(r, CheckRule::PortOpening, F).where, "forward notch 4 rear: 0.0424 of 0.3750 units");

    for (const CheckLine& l : r.lines) {
        if (l.rule == CheckRule::Assembles) continue;
        for (float step : {0.01f, -0.01f}) {
            CheckLimits limits = DefaultCheckLimits();
            limits[static_cast<size_t>(l.rule)] = l.value + step;
            const CheckLine again = LineOf(CheckDesign(g, table, limits), l.rule, l.direction);
            EXPECT_EQ(again.pass, CheckRuleIsLeast(l.rule) ? step < 0 : step > 0) << CheckRuleWord(l.rule);
        }
    }
    const std::vector<std::vector<std::string>> csv = CheckCsvRows(r);
    EXPECT_EQ(csv[0], (std::vector<std::string>{"Rule", "Direction", "Value", "Limit", "Result"}));
    EXPECT_EQ(csv[4], (std::vector<std::string>{"equal-cutoff-fwd", "forward", "6.17", "2.00", "FAIL"}));
}

OptimiseGoals Goals(const Gear& g, std::vector<DesignTarget> targets, std::vector<int> codes)
{
    OptimiseGoals goals;
    for (DesignTarget t : targets) goals.targets.push_back({t, 1});
    for (int code : codes) goals.dimensions.push_back(DefaultOptimiseDimension(g, code));
    return goals;
}

// The least objective of a coarse grid over the bounds (k points a side, the
// ends included), among the feasible points.
LD GridLeast(const Gear& g, const OptimiseGoals& goals, int k)
{
    const DesignMeasure before = MeasureDesign(g, goals);
    LD best = before.objective;
    const size_t n = goals.dimensions.size();
    std::vector<int> at(n, 0);
    for (;;) {
        std::vector<DimensionValue> values;
        for (size_t j = 0; j < n; ++j) {
            const OptimiseDimension& d = goals.dimensions[j];
            values.push_back({d.code, static_cast<float>(d.lo + (static_cast<LD>(d.hi) - d.lo) * at[j] / (k - 1))});
        }
        bool clamped = false;
        DesignMeasure m = MeasureDesign(TrialDesign(g, values, &clamped), goals);
        m.clamped = m.clamped || clamped;
        if (m.Feasible()) best = std::min(best, m.objective);
        size_t j = 0;
        while (j < n && ++at[j] == k) at[j++] = 0;
        if (j == n) return best;
    }
}

// On the built-in design and on deliberately unbalanced ones, the search
// does at least as well as a coarse grid over the same bounds, its objective
// is the one measured afresh on its values, and what it offers is feasible.
TEST(Optimise, BeatsACoarseGridAndReportsWhatItsValuesMeasure)
{
    struct Case {
        std::vector<DimensionValue> design;
        std::vector<DesignTarget> targets;
        std::vector<int> codes;
    };
    const std::vector<Case> cases = {
        {{}, {DesignTarget::CutOffForward, DesignTarget::CutOffReverse}, {20, 10}},
        {{{20, 3.9f}, {119, 1.215f}}, {DesignTarget::Lead, DesignTarget::CutOffForward}, {20, 119}},
        {{{17, 0.5f}}, {DesignTarget::Lead, DesignTarget::CutOffForward, DesignTarget::CutOffReverse}, {20, 10, 17}},
        {{{20, 3.6f}}, {DesignTarget::Lead, DesignTarget::FullGearForward}, {20}},
    };
    for (const Case& c : cases) {
        const Gear g = Design(c.design);
        const OptimiseGoals goals = Goals(g, c.targets, c.codes);
        const OptimiseResult r = OptimiseDesign(g, goals);
        ASSERT_EQ(r.outcome, OptimiseOutcome::Improved) << r.error;
        EXPECT_LE(r.after.objective, GridLeast(g, goals, c.codes.size() == 3 ? 4 : 6));
        EXPECT_LT(r.after.objective, r.before.objective);
        EXPECT_LE(r.trials, OptimiseTrialBudget(c.codes.size()));
        bool clamped = false;
        const DesignMeasure afresh = MeasureDesign(TrialDesign(g, r.values, &clamped), goals);
        EXPECT_FALSE(clamped);
        EXPECT_EQ(afresh.objective, r.after.objective);
        EXPECT_TRUE(afresh.Feasible());
        for (size_t j = 0; j < r.values.size(); ++j) {
            EXPECT_GE(r.values[j].value, goals.dimensions[j].lo);
            EXPECT_LE(r.values[j].value, goals.dimensions[j].hi);
        }
    }
}

// Where the two-dimension balance applies (equal cut-off both ways by two
// dimensions), the search reaches an objective no worse than the balance's.
TEST(Optimise, DoesAtLeastAsWellAsTheTwoDimensionBalance)
{
    const Gear g = Design({{20, 3.9f}});
    std::vector<BalanceGoal> bg(2);
    bg[0] = {BalanceTarget::CutOffForward, 20, 0, 0};
    bg[1] = {BalanceTarget::CutOffReverse, 10, 0, 0};
    for (BalanceGoal& b : bg) DefaultBalanceRange(g, b.code, b.lo, b.hi);
    const BalanceResult balance = BalanceEvents(g, bg);
    ASSERT_TRUE(balance.HasValues());
    const OptimiseGoals goals = Goals(g, {DesignTarget::CutOffForward, DesignTarget::CutOffReverse}, {20, 10});
    const LD balanced = MeasureDesign(TrialDesign(g, balance.values), goals).objective;
    const OptimiseResult r = OptimiseDesign(g, goals);
    ASSERT_TRUE(r.Improved());
    EXPECT_LE(r.after.objective, balanced + 1e-6L);
}

// The objective is the weighted sum of squares of the residuals; the lead's
// residual is its difference in % of the valve travel at mid gear.
TEST(Optimise, ObjectiveIsTheWeightedSumOfSquares)
{
    const Gear g = Design();
    OptimiseGoals goals = Goals(g, {DesignTarget::Lead, DesignTarget::CutOffReverseAll}, {20});
    goals.targets[0].weight = 2;
    goals.targets[1].weight = 0.5f;
    const DesignMeasure m = MeasureDesign(g, goals);
    ASSERT_EQ(m.targets.size(), 2u);
    const NotchEvents mid = BuildValveEventsTable(g)[0].events;
    const LD lf = mid.leadFront, lr = mid.leadRear;
    ASSERT_EQ(m.targets[0].rows.size(), 1u);
    EXPECT_EQ(m.targets[0].rows[0].value, static_cast<float>((lf - lr) / mid.valveTravel * 100));
    EXPECT_EQ(m.targets[1].rows.size(), 20u); // notches 0..18 and the normal notch
    LD sum = 0;
    for (size_t k = 0; k < 2; ++k)
        for (const Residual& r : m.targets[k].rows) sum += static_cast<LD>(goals.targets[k].weight) * r.value * r.value;
    EXPECT_EQ(m.objective, sum);
    EXPECT_EQ(ResidualRowText(m.targets[1].rows.back()), "reverse normal notch");
}

TEST(Optimise, RefusesGoalsThatMakeNoSearchAndStopsWhenAsked)
{
    const Gear g = Design();
    struct Case {
        OptimiseGoals goals;
        std::string error;
    };
    OptimiseGoals ok = Goals(g, {DesignTarget::CutOffForward}, {20});
    std::vector<Case> cases;
    OptimiseGoals c = ok;
    c.dimensions[0].hi = c.dimensions[0].lo;
    cases.push_back({c, "The bounds of ValveRodLength must run from a lower to a higher value."});
    c = ok;
    c.dimensions.clear();
    cases.push_back({c, "Choose at least one dimension to adjust."});
    c = Goals(g, {DesignTarget::CutOffForward}, {1, 2, 3, 4, 5, 6, 7, 8, 9});
    cases.push_back({c, "Choose at most 8 dimensions."});
    c = Goals(g, {DesignTarget::CutOffForward}, {20, 20});
    cases.push_back({c, "Choose each dimension once."});
    c = ok;
    c.targets[0].weight = 0;
    cases.push_back({c, "Give at least one target a weight above 0."});
    c = ok;
    c.targets.clear();
    cases.push_back({c, "Choose at least one target."});
    for (const Case& k : cases) {
        const OptimiseResult r = OptimiseDesign(g, k.goals);
        EXPECT_EQ(r.outcome, OptimiseOutcome::Invalid);
        EXPECT_EQ(r.error, k.error);
    }
    BalanceControl control;
    control.stop = true;
    const OptimiseResult stopped = OptimiseDesign(g, ok, &control);
    EXPECT_EQ(stopped.outcome, OptimiseOutcome::Stopped);
    EXPECT_TRUE(stopped.values.empty());
    // A gear that cannot be assembled gives nothing to start from.
    const Gear broken = Design({{22, 3.0f}});
    EXPECT_EQ(OptimiseDesign(broken, Goals(broken, {DesignTarget::CutOffForwardAll}, {20})).outcome,
              OptimiseOutcome::Infeasible);
    // A dimension that changes no event: nothing better.
    EXPECT_EQ(OptimiseDesign(g, Goals(g, {DesignTarget::CutOffForward}, {103})).outcome,
              OptimiseOutcome::NoImprovement);
}

// The plot's points are the table's cut-off differences, reverse full gear
// first; the plot draws both curves inside its frame.
TEST(CutOffPlot, PointsAreTheTablesDifferences)
{
    const std::vector<ValveEventsRow> table = BuildValveEventsTable(Design());
    const std::vector<CutOffPoint> pts = CutOffDifferences(table);
    ASSERT_EQ(pts.size(), 38u);
    EXPECT_EQ(pts.front().notch, -18);
    EXPECT_EQ(pts.back().notch, 18);
    const NotchEvents& full = table.back().events; // reverse notch 18
    EXPECT_EQ(pts.front().difference, static_cast<float>(static_cast<LD>(full.event[endFront][veCutOff].percent) -
                                                         full.event[endRear][veCutOff].percent));
    RecordingCanvas c;
    DrawCutOffPlot(c, 440, 190, table, table);
    EXPECT_FALSE(c.Ops().empty());
}

} // namespace

// Leads of opposite signs (-0.0005 and +0.0005): the check and the optimiser
// measure their difference in % of the valve travel, smooth through 0, so the
// check passes them and the optimiser squares them.
TEST(Optimise, LeadsOfOppositeSignsDifferByTheirLengthInTheCheckAndTheOptimiser)
{
    Gear g = Design({{20, 3.9f}});
    const NotchEvents was = MidGearLeads(g);
    g.Cyl(ciValveLengthFrontHalf) += was.leadFront + 0.0005f; // front lead -0.0005
    g.Cyl(ciValveLengthRearHalf) += was.leadRear - 0.0005f;   // rear lead +0.0005
    const std::vector<ValveEventsRow> table = BuildValveEventsTable(g);
    const NotchEvents& mid = table[0].events;
    ASSERT_TRUE(mid.leadFront < 0 && mid.leadRear > 0);
    const LD difference = (static_cast<LD>(mid.leadFront) - mid.leadRear) / mid.valveTravel * 100;
    const DesignCheckResult check = CheckDesign(g, table, DefaultCheckLimits());
    const CheckLine& leads = LineOf(check, CheckRule::EqualLeads, B);
    EXPECT_EQ(leads.value, static_cast<float>(std::fabs(difference)));
    EXPECT_TRUE(leads.pass);

    const OptimiseGoals goals = Goals(g, {DesignTarget::Lead}, {20});
    const OptimiseResult r = OptimiseDesign(g, goals);
    EXPECT_EQ(r.before.targets[0].rows[0].value, static_cast<float>(difference));
    ASSERT_EQ(r.outcome, OptimiseOutcome::Improved);
    EXPECT_LT(std::fabs(r.after.targets[0].rows[0].value), std::fabs(r.before.targets[0].rows[0].value) / 10);
}

// A valve rod 0.3 longer than the built-in one: one dimension is scanned
// first, so the search finds at least what the built-in value inside the
// bounds gives; a bound that holds the best value is said; a larger run
// started from a smaller run's best point ends no worse than it.
TEST(Optimise, ScansSmallRunsStartsFromEarlierBestPointsAndSaysWhereABoundHolds)
{
    const Gear g = Design({{20, 4.05f}});
    const std::vector<DesignTarget> both = {DesignTarget::CutOffForwardAll, DesignTarget::CutOffReverseAll};
    const OptimiseGoals one = Goals(g, both, {20});
    const OptimiseResult r1 = OptimiseDesign(g, one);
    ASSERT_EQ(r1.outcome, OptimiseOutcome::Improved);
    EXPECT_LE(r1.after.objective, MeasureDesign(TrialDesign(g, {{20, 3.75f}}), one).objective);
    EXPECT_EQ(r1.atBound, std::vector<int>{0});

    OptimiseGoals narrow = one;
    narrow.dimensions[0] = {20, 4.0f, 4.1f};
    const OptimiseResult held = OptimiseDesign(g, narrow);
    ASSERT_TRUE(held.Improved());
    EXPECT_EQ(held.values[0].value, 4.0f);
    EXPECT_EQ(held.atBound, std::vector<int>{-1});

    OptimiseGoals two = Goals(g, both, {20, 10});
    two.starts = {r1.values};
    const OptimiseResult r2 = OptimiseDesign(g, two);
    ASSERT_TRUE(r2.Improved());
    EXPECT_LE(r2.after.objective, r1.after.objective);
}

// Every target on its fixed rows, before and after alike: a row where a
// cut-off does not happen keeps its place with the penalty, and the
// objective counts every row.
TEST(Optimise, BeforeAndAfterAreMeasuredOnOneSetOfRows)
{
    const Gear g = Design({{20, 4.05f}}); // loses cut-offs in the low notches
    OptimiseGoals goals = Goals(g,
                                {DesignTarget::CutOffForwardAll, DesignTarget::CutOffReverseAll,
                                 DesignTarget::FullGearForward, DesignTarget::Lead},
                                {20});
    const DesignMeasure before = MeasureDesign(g, goals);
    const DesignMeasure after = MeasureDesign(TrialDesign(g, {{20, 3.75f}}), goals);
    const size_t rows[] = {20, 20, 2, 1};
    int gaps = 0;
    for (const DesignMeasure* m : {&before, &after}) {
        LD sum = 0;
        for (size_t k = 0; k < 4; ++k) {
            ASSERT_EQ(m->targets[k].rows.size(), rows[k]);
            for (size_t i = 0; i < rows[k]; ++i) {
                const Residual &a = m->targets[k].rows[i], &b = before.targets[k].rows[i];
                EXPECT_TRUE(a.running == b.running && a.notch == b.notch && a.end == b.end);
                if (a.gap != ResidualGap::None && k < 2) {
                    EXPECT_EQ(a.value, kMissingCutOffPenalty);
                }
                gaps += a.gap != ResidualGap::None;
                sum += static_cast<LD>(a.value) * a.value;
            }
        }
        EXPECT_EQ(m->objective, sum);
    }
    EXPECT_GT(gaps, 0);
    EXPECT_LT(after.objective, before.objective);
}

// "Stop" keeps the best design found so far and offers it.
TEST(Optimise, StopOffersTheBestDesignFoundSoFar)
{
    const Gear g = Design({{20, 4.05f}});
    const OptimiseGoals goals = Goals(g, {DesignTarget::CutOffForwardAll, DesignTarget::CutOffReverseAll}, {20});
    BalanceControl control;
    OptimiseResult r;
    std::thread search([&] { r = OptimiseDesign(g, goals, &control); });
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(2);
    while (control.progress.load() < 300 && std::chrono::steady_clock::now() < deadline) std::this_thread::yield();
    control.stop = true;
    search.join();
    ASSERT_EQ(r.outcome, OptimiseOutcome::Stopped);
    ASSERT_TRUE(r.HasValues());
    EXPECT_LT(r.after.objective, r.before.objective);
    EXPECT_EQ(MeasureDesign(TrialDesign(g, r.values), goals).objective, r.after.objective);
}
