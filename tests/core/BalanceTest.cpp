#include "analysis/Balance.h"
#include "analysis/BalanceText.h"
#include "drawing/DimensionEdit.h"
#include "files/NativeFile.h"
#include "model/DesignEdit.h"
#include "model/DynVars.h"
#include "model/Model.h"
#include "model/NumberText.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

BalanceGoal Goal(const Gear& g, BalanceTarget t, int code)
{
    BalanceGoal goal{t, code, 0, 0};
    DefaultBalanceRange(g, code, goal.lo, goal.hi);
    return goal;
}

// A design whose events are far from square: a longer valve rod and a wider
// front valve lap, opened (re-centred) as a file would be.
Gear Unbalanced()
{
    AppState s;
    StartupModel(s);
    s.gear.ValveRodLength = 3.9f;
    s.gear.Cyl(ciValveLengthFrontHalf) += 0.03f;
    RecomputeRevArmCentre(s.gear);
    return s.gear;
}

// The events of the values found, measured afresh on the design as it opens
// from its file, as the search measures it.
TargetEvents Afresh(const Gear& design, const BalanceResult& r, BalanceTarget t)
{
    return MeasureTarget(TrialDesign(design, r.values), t);
}

std::vector<NativeRecord> Bytes(const AppState& s) { return BuildNativeRecords(s); }

} // namespace

TEST(Balance, OneDimensionMeetsEachTargetOnTheDefaultAndAnUnbalancedDesign)
{
    AppState s;
    StartupModel(s);
    // The cut-off measured is the one of the valve events table's normal notches.
    const TargetEvents both = MeasureTarget(s.gear, BalanceTarget::CutOffBoth);
    for (const ValveEventsRow& row : BuildValveEventsTable(s.gear)) {
        if (row.notch != kNormalNotch) continue;
        const NotchEvents& e = both.notch[row.events.running == Running::Forward ? 0 : 1];
        for (int end : {endFront, endRear}) {
            EXPECT_EQ(e.event[end][veCutOff].percent, row.events.event[end][veCutOff].percent);
            EXPECT_EQ(e.event[end][veCutOff].angle, row.events.event[end][veCutOff].angle);
        }
    }
    for (const Gear& design : {s.gear, Unbalanced()}) {
        for (auto [target, code] : {std::pair{BalanceTarget::Lead, 20}, std::pair{BalanceTarget::CutOffForward, 10},
                                    std::pair{BalanceTarget::CutOffReverse, 20}}) {
            const BalanceGoal goal = Goal(design, target, code);
            const BalanceResult r = BalanceEvents(design, {goal});
            ASSERT_EQ(r.outcome, BalanceOutcome::Found) << TargetWord(target) << " " << BalanceSummary({goal}, r);
            ASSERT_EQ(r.values.size(), 1u);
            EXPECT_GE(r.values[0].value, goal.lo);
            EXPECT_LE(r.values[0].value, goal.hi);
            const TargetEvents fresh = Afresh(design, r, target);
            EXPECT_TRUE(fresh.Met()) << TargetWord(target) << " " << fresh.difference[0];
            EXPECT_EQ(fresh.difference, r.after[0].difference); // measured at the stored value
            EXPECT_FALSE(r.before[0].Met());
        }
        // Both directions at once: an inner least of the sum of squares.
        const BalanceGoal both = Goal(design, BalanceTarget::CutOffBoth, 20);
        const BalanceResult r = BalanceEvents(design, {both});
        ASSERT_EQ(r.outcome, BalanceOutcome::Found);
        auto cost = [&](float v) {
            const TargetEvents e = MeasureTarget(TrialDesign(design, {{20, v}}), BalanceTarget::CutOffBoth);
            return double(e.difference[0]) * e.difference[0] + double(e.difference[1]) * e.difference[1];
        };
        const float v = r.values[0].value;
        EXPECT_LE(cost(v), cost(v - 1e-3f));
        EXPECT_LE(cost(v), cost(v + 1e-3f));
        EXPECT_LT(cost(v), cost(GetDimension(design, 20)));
    }
}

TEST(Balance, RangesWithoutASolutionAndDimensionsWithoutEffect)
{
    AppState s;
    StartupModel(s);
    const Gear& g = s.gear;

    // The leads differ the same way over the whole range.
    BalanceGoal far{BalanceTarget::Lead, 20, 4.5f, 5.0f};
    BalanceResult r = BalanceEvents(g, {far});
    EXPECT_EQ(r.outcome, BalanceOutcome::NoSolution);
    EXPECT_TRUE(r.values.empty());
    EXPECT_EQ(r.lo, 4.5f);
    EXPECT_EQ(r.hi, 5.0f);
    EXPECT_EQ(r.atHi.difference, MeasureTarget(TrialDesign(g, {{20, 5.0f}}), BalanceTarget::Lead).difference);
    EXPECT_GT(r.atLo.difference[0] * r.atHi.difference[0], 0);
    EXPECT_EQ(BalanceSummary({far}, r).rfind("The range holds no solution: ", 0), 0u) << BalanceSummary({far}, r);

    // A drawing dimension: found out after the scan alone.
    const BalanceGoal bore = Goal(g, BalanceTarget::CutOffForward, 103);
    r = BalanceEvents(g, {bore});
    EXPECT_EQ(r.outcome, BalanceOutcome::NoEffect);
    EXPECT_EQ(r.trials, kBalanceScanSteps + 1);
    EXPECT_EQ(BalanceSummary({bore}, r), "Cylinder Bore Diameter does not change this target: no solution.");

    // A range where the gear cannot be assembled: every trial clamps, none is
    // ever a solution.
    BalanceGoal broken{BalanceTarget::Lead, 19, 30, 40};
    r = BalanceEvents(g, {broken});
    EXPECT_EQ(r.outcome, BalanceOutcome::NoSolution);
    EXPECT_TRUE(r.clampsMet && r.atLo.clamped && r.atHi.clamped);

    // Goals that make no search.
    for (const std::vector<BalanceGoal>& goals :
         {std::vector<BalanceGoal>{}, std::vector<BalanceGoal>{{BalanceTarget::Lead, 20, 4, 3}},
          std::vector<BalanceGoal>{{BalanceTarget::Lead, 20, 3, 4}, {BalanceTarget::CutOffForward, 20, 3, 4}},
          std::vector<BalanceGoal>{{BalanceTarget::Lead, 20, 3, 4}, {BalanceTarget::Lead, 10, 9, 11}},
          std::vector<BalanceGoal>{{BalanceTarget::Lead, 99, 3, 4}}})
        EXPECT_EQ(BalanceEvents(g, goals).outcome, BalanceOutcome::Invalid);
}

TEST(Balance, TwoAtOnceMeetsBothOrOffersTheBestPoint)
{
    for (const Gear& design : {[] {
                                   AppState s;
                                   StartupModel(s);
                                   return s.gear;
                               }(),
                               Unbalanced()}) {
        const std::vector<BalanceGoal> goals{Goal(design, BalanceTarget::Lead, 20),
                                             Goal(design, BalanceTarget::CutOffForward, 10)};
        const BalanceResult r = BalanceEvents(design, goals);
        ASSERT_EQ(r.outcome, BalanceOutcome::Found) << BalanceSummary(goals, r);
        EXPECT_TRUE(Afresh(design, r, BalanceTarget::Lead).Met());
        EXPECT_TRUE(Afresh(design, r, BalanceTarget::CutOffForward).Met());
    }

    // The eccentric angle within a degree cannot square the forward and
    // reverse cut-off with the rocker: the best point, with its residuals.
    AppState s;
    StartupModel(s);
    RecomputeRevArmCentre(s.gear); // again from where it left the arm: a mid gear re-centring keeps
    const std::vector<BalanceGoal> hard{Goal(s.gear, BalanceTarget::CutOffForward, 6),
                                        Goal(s.gear, BalanceTarget::CutOffReverse, 17)};
    const BalanceResult r = BalanceEvents(s.gear, hard);
    ASSERT_EQ(r.outcome, BalanceOutcome::NotMet);
    EXPECT_EQ(r.trials, kBalanceTrialBudget); // the whole budget, not one trial more
    ASSERT_EQ(r.values.size(), 2u);
    EXPECT_EQ(Afresh(s.gear, r, BalanceTarget::CutOffReverse).difference, r.after[1].difference);
    EXPECT_LT(std::fabs(r.after[0].difference[0]) + std::fabs(r.after[1].difference[0]),
              std::fabs(r.before[0].difference[0]) + std::fabs(r.before[1].difference[0]));
    EXPECT_NE(BalanceSummary(hard, r).find("cannot both be met"), std::string::npos);

    BalanceControl stop;
    stop.stop = true;
    const BalanceResult stopped = BalanceEvents(s.gear, hard, &stop);
    EXPECT_EQ(stopped.outcome, BalanceOutcome::Stopped);
    EXPECT_TRUE(stopped.values.empty());
}

// A root next to values where the gear cannot be built or a cut-off never
// happens: the scan step with the unbuildable end is bisected towards the edge.
TEST(Balance, RootsBesideInfeasibleValuesAreFound)
{
    struct Case {
        const char* name;
        float eccAngle;
        BalanceTarget target;
        int code;
        float lo, hi; // 0, 0: the default range
        BalanceOutcome outcome;
        const char* value; // 4 decimals
    };
    const Case cases[] = {
        {"wide range of the eccentric rod", 0, BalanceTarget::CutOffForward, 10, 8.9f, 13.1f, BalanceOutcome::Found,
         "9.9487"},
        {"the same root in the default range", 0, BalanceTarget::CutOffForward, 10, 0, 0, BalanceOutcome::Found,
         "9.9487"},
        {"rocker pivot, eccentric angle changed", 13.5f, BalanceTarget::CutOffForward, 19, 0, 0, BalanceOutcome::Found,
         "10.1265"},
        {"an edge without a root beside it", 0, BalanceTarget::CutOffForward, 10, 10.0f, 10.5f,
         BalanceOutcome::NoSolution, ""},
    };
    for (const Case& c : cases)
        [&] {
            SCOPED_TRACE(c.name);
            AppState s;
            StartupModel(s);
            StoreDimensionValue(s.gear, 6, c.eccAngle);
            RecomputeRevArmCentre(s.gear);
            BalanceGoal goal{c.target, c.code, c.lo, c.hi};
            if (c.lo == c.hi) DefaultBalanceRange(s.gear, c.code, goal.lo, goal.hi);
            const BalanceResult r = BalanceEvents(s.gear, {goal});
            EXPECT_EQ(r.outcome, c.outcome) << BalanceSummary({goal}, r);
            EXPECT_TRUE(r.clampsMet || r.atLo.missing || r.atHi.missing); // infeasible values were met
            if (c.outcome != BalanceOutcome::Found) return;
            ASSERT_EQ(r.values.size(), 1u);
            EXPECT_EQ(DecimalText(r.values[0].value, 4), c.value);
            const TargetEvents fresh = Afresh(s.gear, r, c.target);
            EXPECT_TRUE(fresh.Met());
            EXPECT_EQ(fresh.difference, r.after[0].difference);
        }();
}

// Equal cut-off both ways: a least at an end of the range is no solution and
// says which end to widen; the search inside a wider range finds it.
TEST(Balance, ALeastAtAnEndOfTheRangeIsNoSolution)
{
    AppState s;
    StartupModel(s);
    struct Case {
        float lo, hi;
        BalanceOutcome outcome;
        float leastAt;
        const char* summary;
    };
    const Case cases[] = {
        {1.575f, 1.925f, BalanceOutcome::NoSolution, 1.575f,
         "The range holds no solution: the least lies at its lower end (at 1.5750 the differences are -0.4673 and "
         "0.7206 % of stroke). Widen the range beyond 1.5750 to look for it."},
        {1.2f, 1.5f, BalanceOutcome::NoSolution, 1.5f,
         "The range holds no solution: the least lies at its upper end (at 1.5000 the differences are -0.2874 and "
         "0.7637 % of stroke). Widen the range beyond 1.5000 to look for it."},
        {1.4f, 1.9f, BalanceOutcome::Found, 0, nullptr},
    };
    for (const Case& c : cases)
        [&] {
            const BalanceGoal goal{BalanceTarget::CutOffBoth, 18, c.lo, c.hi};
            const BalanceResult r = BalanceEvents(s.gear, {goal});
            EXPECT_EQ(r.outcome, c.outcome) << c.lo;
            EXPECT_EQ(r.leastAtEnd, c.outcome == BalanceOutcome::NoSolution);
            if (c.summary) {
                EXPECT_EQ(r.leastAt, c.leastAt);
                EXPECT_TRUE(r.values.empty());
                EXPECT_EQ(BalanceSummary({goal}, r), c.summary);
                return;
            }
            // Inside, and better than both ends of the ranges that missed it.
            ASSERT_EQ(r.values.size(), 1u);
            const float v = r.values[0].value;
            EXPECT_GT(v, 1.5f);
            EXPECT_LT(v, 1.575f);
            auto cost = [&](float x) {
                const TargetEvents e = MeasureTarget(TrialDesign(s.gear, {{18, x}}), goal.target);
                return double(e.difference[0]) * e.difference[0] + double(e.difference[1]) * e.difference[1];
            };
            EXPECT_LT(cost(v), cost(1.5f));
            EXPECT_LT(cost(v), cost(1.575f));
        }();
}

TEST(Balance, ApplyRecordsEachDimensionAndUndoPutsTheDesignBack)
{
    AppState s;
    StartupModel(s);
    // The reverse arm in the forward notch: the apply moves it to mid gear, the
    // undo puts it back.
    s.gear.RevArmPos = NormalNotchPosition(s.gear, Running::Forward);
    s.gear.RevArm[5] = 0.5f;
    const auto before = Bytes(s);
    const Gear design = s.gear;
    const std::vector<DimensionValue> values{{20, 3.76f}, {10, 9.96f}};

    ASSERT_TRUE(ApplyBalance(s, values));
    EXPECT_EQ(s.gear.ValveRodLength, 3.76f);
    EXPECT_EQ(s.gear.EccRodLength, 9.96f);
    const Gear trial = TrialDesign(design, values);
    EXPECT_EQ(s.gear.RevArm, trial.RevArm);
    EXPECT_EQ(s.gear.RevArmPos, s.gear.RevArmCentre());
    EXPECT_EQ(s.dyn.UndoCount, 2);
    EXPECT_EQ(UndoSummaryText(s), " 2- Ecc Rod Length  9.960 to  9.948");
    EXPECT_EQ(s.dyn.Undo[2].Code, 20);
    EXPECT_EQ(s.dyn.Slot[1].Code, 10);     // selected as dynamic variables, as a typed value is
    EXPECT_FALSE(ApplyBalance(s, values)); // nothing differs now
    const auto applied = Bytes(s);
    const float armApplied = s.gear.RevArmPos;

    PopUndo(s);
    EXPECT_EQ(s.gear.EccRodLength, design.EccRodLength);
    PopUndo(s);
    EXPECT_EQ(Bytes(s), before);
    // Redone, the apply and its re-centring come back (a dimension in a slot
    // within the unit in the last place that the slot refresh of an undo may
    // move it by); undone again, gone.
    ASSERT_TRUE(PopRedo(s));
    ASSERT_TRUE(PopRedo(s));
    const auto redone = Bytes(s);
    for (std::size_t r = 0; r < redone.size(); ++r)
        for (int f = 0; f < kNativeFields; ++f) EXPECT_FLOAT_EQ(redone[r][f], applied[r][f]) << r + 1 << "/" << f + 1;
    EXPECT_EQ(s.gear.RevArm, TrialDesign(design, values).RevArm);
    EXPECT_EQ(s.gear.RevArmPos, armApplied);
    PopUndo(s);
    PopUndo(s);
    const auto again = Bytes(s);
    for (std::size_t r = 0; r < again.size(); ++r)
        for (int f = 0; f < kNativeFields; ++f) EXPECT_EQ(again[r][f], before[r][f]) << r + 1 << "/" << f + 1;

    // A record made afterwards by a dialog does not move the arm.
    s.dyn.EditDirty = true;
    CommitDimensionValue(s, 2, 3.6f);
    s.gear.RevArmPos = 0;
    PopUndo(s);
    EXPECT_EQ(s.gear.RevArmPos, 0);
}
