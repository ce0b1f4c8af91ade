// Squaring the valve: the value of a dimension (or of two at once) that makes
// the front and rear valve events match.
//
// Targets (each a difference front minus rear that should be 0):
// - Lead: the leads at mid gear (driver angles 0 and 180), in units;
// - CutOffForward / CutOffReverse: the cut-off of both ends at the normal
//   notch (RevArmCentre +- RevArmNormal), running that way, in % of stroke;
// - CutOffBoth: both of these as well as one value can, the least sum of the
//   squares of the two differences.
//
// The search measures the design with the mid gear it holds, as the valve
// events table does. Every trial is what applying the value
// would give: a copy of that design with the value stored as the dimension
// dialogs store a typed value, mid gear recomputed as their Close does, then
// the events measured with the valve events finder (MeasureNotch). Values are
// tried as the 32-bit floats the design stores, so the value reported is the
// value applied and its differences are the ones measured at it. A trial where the solver clamps (a
// gear that cannot be assembled) or where a cut-off never happens is
// infeasible: it is stepped over and never reported.
//
// One dimension: the range is scanned in kBalanceScanSteps steps for changes
// of sign of the difference, the change nearest the current value first, then
// refined (false position with bisection as a safeguard) down to adjacent
// floats; a sign change that is a jump rather than a root is passed over. A
// scan step with one end that is infeasible is bisected towards the edge of
// the feasible values, and a change of sign found on the way is refined the
// same way. For CutOffBoth the best scanned value is refined by golden-section
// search; a least that lies at an end of the range (within a thousandth of
// the range) is no solution.
// Two dimensions: damped Gauss-Newton (Levenberg-Marquardt) with a Jacobian of
// finite differences, within the ranges, on the differences divided by their
// tolerances; from the current values, then from the best points of a coarse
// grid, until the targets are met or the trials run out.
#pragma once

#include "analysis/ValveEvents.h"
#include "model/AppState.h"

#include <array>
#include <atomic>
#include <string>
#include <vector>

enum class BalanceTarget : int { Lead = 0, CutOffForward = 1, CutOffReverse = 2, CutOffBoth = 3 };
inline constexpr int kBalanceTargets = 4;

// The command-line word of a target: "lead", "cutoff-fwd", "cutoff-rev",
// "cutoff-both"; and back (false for any other word).
std::string TargetWord(BalanceTarget t);
bool TargetFromWord(const std::string& word, BalanceTarget& t);

// How close to 0 a difference must come: 0.0005 units for the leads, 0.01 %
// of stroke for cut-off.
inline constexpr float kLeadTolerance = 0.0005f;
inline constexpr float kCutOffTolerance = 0.01f;
float TargetTolerance(BalanceTarget t);

// A target measured on one design.
struct TargetEvents {
    BalanceTarget target = BalanceTarget::Lead;
    // Lead: [0] the mid gear leads. Cut-off: [0] the forward normal notch,
    // [1] the reverse one (as the target needs).
    std::array<NotchEvents, 2> notch{};
    int differences = 0;               // 1, or 2 for CutOffBoth (forward, reverse)
    std::array<float, 2> difference{}; // front minus rear
    bool clamped = false;              // the solver clamped
    bool missing = false;              // a cut-off that never happens
    bool Feasible() const { return !clamped && !missing; }
    // Feasible and every difference within the tolerance.
    bool Met() const;
};

// Measures a target on (a copy of) a design as it is.
TargetEvents MeasureTarget(const Gear& design, BalanceTarget target);

struct DimensionValue {
    int code = 0;
    float value = 0;
};

// The design as applying the values leaves it: each stored as a typed value
// of the dimension dialogs (StoreDimensionValue, in order), then mid gear
// recomputed as their Close does, from where the reverse arm stands; when no
// dimension differs from the design's, the design as it is (the Close keeps
// the mid gear). `clamped` (when given) tells whether the re-centring clamped.
Gear TrialDesign(const Gear& design, const std::vector<DimensionValue>& values, bool* clamped = nullptr);

// The range a search of a dimension starts with: its value -+ 10 %, or -+ 1
// when the value is 0.
void DefaultBalanceRange(const Gear& design, int code, float& lo, float& hi);

struct BalanceGoal {
    BalanceTarget target = BalanceTarget::Lead;
    int code = 20;
    float lo = 0, hi = 0;
};

inline constexpr int kBalanceScanSteps = 20;
// Trials a two-dimension search may use.
inline constexpr int kBalanceTrialBudget = 400;

// Shared with a search that runs on another thread: `stop` ends it at the
// next trial; progress runs from 0 to 1000.
struct BalanceControl {
    std::atomic<bool> stop{false};
    std::atomic<int> progress{0};
};

enum class BalanceOutcome {
    Found,      // the targets are met (CutOffBoth alone: the least found)
    NotMet,     // two at once: the targets cannot be met; the best point found
    NoSolution, // the range holds no value that meets the target
    NoEffect,   // the dimension does not change the target
    Stopped,    // stopped from outside
    Invalid,    // the goals are not a search (see CheckBalanceGoals)
};

struct BalanceResult {
    BalanceOutcome outcome = BalanceOutcome::Invalid;
    std::string error; // Invalid: why
    // Found or NotMet: the value of each goal's dimension, as stored.
    std::vector<DimensionValue> values;
    std::vector<TargetEvents> before; // each goal's target on the design as it is
    std::vector<TargetEvents> after;  // ... with the values applied
    // One dimension without a value: the range as stored and the target at
    // its two ends.
    float lo = 0, hi = 0;
    TargetEvents atLo, atHi;
    bool leastAtEnd = false; // CutOffBoth: the least lies at an end of the range,
    float leastAt = 0;       // ... this one (lo or hi)
    bool clampsMet = false;  // some trial clamped and was stepped over
    int trials = 0;
    bool HasValues() const { return outcome == BalanceOutcome::Found || outcome == BalanceOutcome::NotMet; }
};

// Empty when the goals make a search: one or two, known dimensions, two
// different dimensions and two different targets, finite ranges with lo < hi.
std::string CheckBalanceGoals(const std::vector<BalanceGoal>& goals);

// The search; it reads the design only.
BalanceResult BalanceEvents(const Gear& design, const std::vector<BalanceGoal>& goals,
                            BalanceControl* control = nullptr);

// Applies values as typing them into the dimension dialogs and closing them
// does: each value that differs from the design's is committed (one undo
// record for each dimension the dialogs record), then the Close's model part
// re-centres the reverse arm and marks the records, so that undoing them puts
// the reverse arm back (see CloseDimensionDialogModel). False when no value
// differed (nothing changes). The caller puts the reverse arm bar back to 0,
// and sets its range after a change of code 22, as the dialogs do.
bool ApplyBalance(AppState& s, const std::vector<DimensionValue>& values);
