// Designing the gear: up to eight dimensions at once, each within its bounds,
// chosen so that the valve events meet a list of weighted targets over the
// whole range of notches in both directions.
//
// Targets and their residuals (each a value that should be 0):
// - Lead: 100 (lead front - lead rear) / ((|lead front| + |lead rear|) / 2)
//   at mid gear, % of their mean (0 when both leads are 0);
// - CutOffForward / CutOffReverse: front - rear cut-off at the normal notch,
//   % of stroke;
// - CutOffForwardAll / CutOffReverseAll: front - rear cut-off in every row of
//   that direction's events table (notches 0..18 and the normal notch) where
//   both cut-offs happen, % of stroke;
// - FullGearForward / FullGearReverse: for each end at notch 18, how far its
//   cut-off falls short of the full-gear level (the design check's limit,
//   75 % by default): min(0, cut-off - level), % of stroke.
// The objective is the weighted sum of the squares of every residual:
//   F = sum over targets t of w_t * sum over its residuals r of r^2.
//
// Every trial is a design as applying its values would leave it (TrialDesign:
// stored as the dimension dialogs store typed values, mid gear re-centred).
// A trial is infeasible, and never offered, when the solver clamps during the
// re-centring or any measurement, or when a cut-off that the design as it was
// has in a measured row no longer happens.
//
// Method: a bounded Levenberg-Marquardt search on the residuals with a
// Jacobian of forward differences, in the bounds' fractions (0..1) of each
// dimension; a step that would leave the bounds is cut at them, and a
// dimension held at a bound by the gradient stays out of the step. It starts
// from the design's values, then from the two best of a quasi-random
// (Halton) sample of the bounds; the least objective found wins. Independent
// trials (a Jacobian's columns, the sample, two damping values of a step, the
// notches of one trial) are measured on their own copies, in batches.
#pragma once

#include "analysis/Balance.h"
#include "analysis/ValveEvents.h"
#include "model/AppState.h"

#include <string>
#include <vector>

enum class DesignTarget : int {
    Lead = 0,
    CutOffForward = 1,
    CutOffReverse = 2,
    CutOffForwardAll = 3,
    CutOffReverseAll = 4,
    FullGearForward = 5,
    FullGearReverse = 6,
};
inline constexpr int kDesignTargets = 7;

// "lead", "cutoff-fwd", "cutoff-rev", "cutoff-fwd-all", "cutoff-rev-all",
// "fullgear-fwd", "fullgear-rev"; and back (false for any other word).
std::string DesignTargetWord(DesignTarget t);
bool DesignTargetFromWord(const std::string& word, DesignTarget& t);
// "Equal leads, mid gear", ...
std::string DesignTargetCaption(DesignTarget t);
// "% of mean" for Lead, else "% of stroke".
std::string DesignTargetUnit(DesignTarget t);

struct WeightedTarget {
    DesignTarget target = DesignTarget::Lead;
    float weight = 1;
};

struct OptimiseDimension {
    int code = 0;
    float lo = 0, hi = 0;
};

inline constexpr int kMaxOptimiseDimensions = 8;

struct OptimiseGoals {
    std::vector<WeightedTarget> targets;
    std::vector<OptimiseDimension> dimensions;
    float fullGearLevel = 75; // % of stroke, for FullGearForward/Reverse
};

// Empty when the goals make a search: one or more different targets with
// finite weights >= 0, not all 0; one to eight different known dimensions,
// each with finite bounds lo < hi.
std::string CheckOptimiseGoals(const OptimiseGoals& goals);

// The row a residual belongs to.
inline constexpr int kMidGearRow = -2; // the lead at mid gear
struct Residual {
    Running running = Running::Forward;
    int notch = 0; // 0..18, kNormalNotch or kMidGearRow
    int end = -1;  // FullGear*: the end; else -1 (front minus rear)
    float value = 0;
};

struct TargetResiduals {
    WeightedTarget target;
    std::vector<Residual> rows;
    long double SumOfSquares() const;
    long double Rms() const; // 0 without rows
};

// A design measured for the goals' targets.
struct DesignMeasure {
    std::vector<TargetResiduals> targets; // in the goals' order
    // The cut-offs that happen (bit 1 front, bit 2 rear) in each row measured,
    // in a fixed order of rows for the goals.
    std::vector<unsigned char> cutOffs;
    bool clamped = false;
    long double objective = 0;
    // Not clamped and no cut-off of `reference` missing.
    bool FeasibleAgainst(const DesignMeasure& reference) const;
};

// Measures (a copy of) a design as it is.
DesignMeasure MeasureDesign(const Gear& design, const OptimiseGoals& goals);

enum class OptimiseOutcome {
    Improved,      // a feasible design with a smaller objective
    NoImprovement, // nothing feasible better than the design as it is
    Infeasible,    // the design as it is clamps: nothing to start from
    Stopped,       // stopped from outside
    Invalid,       // the goals make no search (error says why)
};

struct OptimiseResult {
    OptimiseOutcome outcome = OptimiseOutcome::Invalid;
    std::string error;
    std::vector<DimensionValue> values; // Improved: each dimension as stored
    DesignMeasure before, after;        // after: Improved only
    int trials = 0;
    bool clampsMet = false; // some trial was infeasible and stepped over
    bool Improved() const { return outcome == OptimiseOutcome::Improved; }
};

// Trials a search may use: 60 + 30 per dimension.
int OptimiseTrialBudget(size_t dimensions);

// The search on (a copy of) `design`, which it reads only, with the mid gear
// the design holds.
OptimiseResult OptimiseDesign(const Gear& design, const OptimiseGoals& goals, BalanceControl* control = nullptr);

// The bounds a dimension starts with (+-10 %, as the balance).
OptimiseDimension DefaultOptimiseDimension(const Gear& design, int code);

// The row of a residual as a text: "mid gear", "forward notch 6", "reverse
// normal notch", with " front"/" rear" for a full-gear end.
std::string ResidualRowText(const Residual& r);
