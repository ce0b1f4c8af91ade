// Designing the gear: up to eight dimensions at once, each within its bounds,
// chosen so that the valve events meet a list of weighted targets over the
// whole range of notches in both directions.
//
// Targets and their residuals (each a value that should be 0), every target
// on a fixed set of rows, the same for every design measured:
// - Lead: at mid gear, lead front - lead rear in % of the valve travel there
//   (LeadDifference, as the design check measures it; smooth through 0);
// - CutOffForward / CutOffReverse: front - rear cut-off at the normal notch,
//   % of stroke;
// - CutOffForwardAll / CutOffReverseAll: front - rear cut-off in every row of
//   that direction's events table (notches 0..18 and the normal notch), %
//   of stroke;
// - FullGearForward / FullGearReverse: for each end at notch 18, how far its
//   cut-off falls short of the full-gear level (the design check's limit,
//   75 % by default): min(0, cut-off - level), % of stroke.
// - MepBalance@RPM: front - rear mean effective pressure at the normal notch
//   forward at RPM (the steam performance model, SteamEngine.h, on the
//   design's engine data or the defaults), % of the chest pressure;
// - MepBalanceForwardAll / MepBalanceReverseAll @RPM: the same in every row
//   of that direction (notches 0..18 and the normal notch), each a point of
//   the model at RPM;
// - Power@RPM: 100 x the design's indicated power / the trial's, at the
//   normal notch forward at RPM: 100 for the design, less for more power;
// - SteamRate@RPM: 100 x the trial's steam rate / the design's, the same way.
//   For these two a trial whose cut-off at that notch (the mean of the ends)
//   moves more than kEngineCutOffBand of stroke from the design's is out of
//   the band and infeasible like one that clamps: the gain comes from the
//   openings, lead and release, not from a longer cut-off.
//   A point the model cannot run counts kMissingEnginePenalty. For the
//   balance in every notch that is a point the model cannot run at all, or
//   one where an end never cuts off (no admission is no balance; a gear
//   whose valve never opens would have both ends' pressure equal); a notch
//   that does no work (mid gear) still has a balance.
// A row where a figure cannot be measured keeps its place with a penalty,
// told in the row (ResidualGap): a row without a cut-off at one end or at
// both is kMissingCutOffPenalty (the largest difference two cut-offs can
// have; no admission at all is no balance), a full-gear cut-off that never
// happens falls short by the whole level, and a valve that does not travel
// gives the lead kMissingCutOffPenalty. So a trial that loses a row or gains
// one is judged on the same rows as the design, and the least-squares model
// and the objective are one function.
// The objective is the weighted sum of the squares of every residual:
//   F = sum over targets t of w_t * sum over its residuals r of r^2.
//
// Every trial is a design as applying its values would leave it (TrialDesign:
// stored as the dimension dialogs store typed values, mid gear re-centred
// from where the reverse arm stands). A trial is infeasible, and never
// offered, when the solver clamps during the re-centring or any measurement.
//
// Method: starts, then bounded Levenberg-Marquardt descents on the residuals
// with a Jacobian of forward differences, in the bounds' fractions (0..1) of
// each dimension; a step that would leave the bounds is cut at them, and a
// dimension held at a bound by the gradient stays out of the step.
// - The starts: the design's values, and every point the goals bring
//   (OptimiseGoals::starts: the best points of earlier, smaller runs); the
//   first descent runs from the best of them.
// - Then, for one or two dimensions, a coarse scan of the whole bounds (21
//   points, or a grid of 7 x 7); for more, a quasi-random (Halton) sample, half
//   over the whole bounds and half near the design's values; descents from the
//   two best points found there.
// - The result is the best design of every trial measured (starts, scan,
//   differences, steps), never one worse than the design or than any point
//   measured; a search stopped from outside offers the best found so far.
// Independent trials (a scan, a Jacobian's columns, two damping values of a
// step, the rows of one trial) are measured on their own copies, in batches.
#pragma once

#include "analysis/Balance.h"
#include "analysis/DesignCheck.h"
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
    MepBalance = 7,
    Power = 8,
    SteamRate = 9,
    MepBalanceForwardAll = 10,
    MepBalanceReverseAll = 11,
};
inline constexpr int kDesignTargets = 12;
// The targets on the engine, each at a speed (WeightedTarget::rpm).
inline bool IsEngineTarget(DesignTarget t) { return static_cast<int>(t) >= static_cast<int>(DesignTarget::MepBalance); }
// How far the normal notch's cut-off may move for Power and SteamRate (% of stroke).
inline constexpr float kEngineCutOffBand = 1;
inline constexpr float kMissingEnginePenalty = 1000;

// "lead", "cutoff-fwd", "cutoff-rev", "cutoff-fwd-all", "cutoff-rev-all",
// "fullgear-fwd", "fullgear-rev", "mep-balance", "power", "steamrate",
// "mep-balance-fwd-all", "mep-balance-rev-all"; and back (false for any
// other word).
std::string DesignTargetWord(DesignTarget t);
bool DesignTargetFromWord(const std::string& word, DesignTarget& t);
// "Equal leads, mid gear", ...
std::string DesignTargetCaption(DesignTarget t);
// "% of travel" for Lead, "% of chest pressure" for the MepBalance targets,
// "% of the design's" for Power and SteamRate, else "% of stroke".
std::string DesignTargetUnit(DesignTarget t);

struct WeightedTarget {
    DesignTarget target = DesignTarget::Lead;
    float weight = 1;
    float rpm = 0; // the speed of an engine target
};

// A target as the command line names it: its word, and "@RPM" for an engine
// target ("power@120"); and back: false with the reason for a text that
// names no target, or an engine target without a speed above 0.
std::string WeightedTargetText(const WeightedTarget& t);
bool WeightedTargetFromText(const std::string& text, WeightedTarget& t, std::string& error);

// The engine figures of a design at a notch (0..18 or the normal notch) and
// direction at a speed; the normal notch forward unless told.
struct EngineFigures {
    float rpm = 0;
    bool ran = false;                             // the model ran the point
    bool cutOffFront = false, cutOffRear = false; // each end's cut-off happens in the turn
    bool ok = false;                              // ... with power and steam rate above 0
    bool clamped = false;                         // the gear cannot be assembled at that notch
    double power = 0, steamRate = 0, cutOff = 0;  // W, kg/J, % of stroke
    double mepFront = 0, mepRear = 0, chest = 0;  // Pa (the chest absolute)
};
EngineFigures MeasureEngineFigures(const Gear& design, float rpm, int notch = kNormalNotch,
                                   Running running = Running::Forward);

struct OptimiseDimension {
    int code = 0;
    float lo = 0, hi = 0;
};

inline constexpr int kMaxOptimiseDimensions = 8;

struct OptimiseGoals {
    std::vector<WeightedTarget> targets;
    std::vector<OptimiseDimension> dimensions;
    float fullGearLevel = 75; // % of stroke, for FullGearForward/Reverse
    // More points to start from (each a value for some of the dimensions; the
    // others at the design's values, every value brought within its bounds).
    std::vector<std::vector<DimensionValue>> starts;
    // The design's engine figures the engine targets compare a trial with
    // (OptimiseDesign fills them from the design; a speed without them
    // compares the design measured with itself).
    std::vector<EngineFigures> references;
};

// Empty when the goals make a search: one or more different targets with
// finite weights >= 0, not all 0; one to eight different known dimensions,
// each with finite bounds lo < hi.
std::string CheckOptimiseGoals(const OptimiseGoals& goals);

// The row a residual belongs to.
inline constexpr int kMidGearRow = -2; // the lead at mid gear

// A residual that could not be measured and stands as a penalty.
enum class ResidualGap { None, NoFrontCutOff, NoRearCutOff, NoCutOff, NoTravel, NoEngine };
inline constexpr float kMissingCutOffPenalty = 100;

struct Residual {
    Running running = Running::Forward;
    int notch = 0; // 0..18, kNormalNotch or kMidGearRow
    int end = -1;  // FullGear*: the end; else -1 (front minus rear)
    float value = 0;
    ResidualGap gap = ResidualGap::None;
};

// "no front cut-off", "no rear cut-off", "no cut-off", "no valve travel",
// "the engine cannot run"; empty for None.
std::string ResidualGapText(ResidualGap gap);

struct TargetResiduals {
    WeightedTarget target;
    std::vector<Residual> rows;
    long double SumOfSquares() const;
    long double Rms() const; // 0 without rows
};

// A design measured for the goals' targets.
struct DesignMeasure {
    std::vector<TargetResiduals> targets; // in the goals' order, each on its fixed rows
    bool clamped = false;
    bool outOfBand = false; // an engine target's cut-off left its band
    // At each engine target's speed, in the goals' order (for a target on
    // every notch, its normal notch).
    std::vector<EngineFigures> engine;
    long double objective = 0;
    bool Feasible() const { return !clamped && !outOfBand; }
};

// Measures (a copy of) a design as it is.
DesignMeasure MeasureDesign(const Gear& design, const OptimiseGoals& goals);

enum class OptimiseOutcome {
    Improved,      // a feasible design with a smaller objective
    NoImprovement, // nothing feasible better than the design as it is
    Infeasible,    // the design as it is clamps: nothing to start from
    Stopped,       // stopped from outside (with the best design so far, if better)
    Invalid,       // the goals make no search (error says why)
};

struct OptimiseResult {
    OptimiseOutcome outcome = OptimiseOutcome::Invalid;
    std::string error;
    // Improved, or Stopped with a better design: each dimension as stored,
    // in the goals' order, and where it ends: -1 at its lower bound, 1 at its
    // upper bound, 0 within.
    std::vector<DimensionValue> values;
    std::vector<int> atBound;
    DesignMeasure before, after; // after: with values only
    int trials = 0;
    bool clampsMet = false; // some trial was infeasible and stepped over
    bool Improved() const { return outcome == OptimiseOutcome::Improved; }
    bool HasValues() const { return !values.empty(); }
};

// The points a search scans first: 21 for one dimension, 7 x 7 for two, none
// for more.
int OptimiseScanPoints(size_t dimensions);
// Trials a search may use: 60 + 30 per dimension, and its scan.
int OptimiseTrialBudget(size_t dimensions);

// The search on (a copy of) `design`, which it reads only, with the mid gear
// the design holds.
OptimiseResult OptimiseDesign(const Gear& design, const OptimiseGoals& goals, BalanceControl* control = nullptr);

// The bounds a dimension starts with (+-10 %, as the balance), each the
// value its field's text reads back as (BoundText), so that the window's
// bounds and the command line's are the same floats.
OptimiseDimension DefaultOptimiseDimension(const Gear& design, int code);

// What the window shows of a search and the command line prints: the result,
// the events table and the design check of the design before and, with
// values, after (the design as "Apply" leaves it: TrialDesign). One function
// for both, so that the same optimisation gives one answer.
struct OptimiseReport {
    OptimiseResult result;
    std::vector<ValveEventsRow> tableBefore, tableAfter;
    DesignCheckResult checkBefore, checkAfter;
};
OptimiseReport OptimiseAndCheck(const Gear& design, const OptimiseGoals& goals, BalanceControl* control = nullptr);

// The row of a residual as a text: "mid gear", "forward notch 6", "reverse
// normal notch", with " front"/" rear" for a full-gear end.
std::string ResidualRowText(const Residual& r);
