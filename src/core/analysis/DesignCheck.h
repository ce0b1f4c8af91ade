// The design check: a list of rules of good valve-gear practice, each with a
// limit, judged on the valve events table of a design (with the mid gear the
// design holds).
//
// Rules (the value each line reports, and how it meets its limit):
// - Assembles: rows of that direction's table where the solver clamped; 0.
// - EqualLeads: |lead front - lead rear| at mid gear, in % of the valve
//   travel there (LeadDifference); <= limit.
// - EqualCutOffForward / Reverse: the worst |front - rear cut-off| over the
//   rows of that direction where both cut-offs happen, % of stroke; <= limit.
// - FullGearCutOff: at notch 18 of each direction, the smaller cut-off of the
//   two ends, % of stroke; >= limit.
// - PortOpening: at the working row (the forward row whose mean cut-off is
//   nearest 25 %), the smaller of each end's largest steam opening in % of
//   that end's steam port width; >= limit.
// - Release: at the working row, the earlier release of the two ends, % of
//   stroke; >= limit (expansion is not cut short).
// - Compression: at the working row, the compression (exhaust closing) of
//   either end farthest from its dead centre, % of stroke from the end's dead
//   centre as the events table gives it; <= limit (the exhaust stays open for
//   the rest of the return stroke).
// A line whose value cannot be measured (an event that never happens, a port
// width that is not positive, a valve that does not travel) fails.
//
// The engine rules, only for a design that has engine data (Gear::HasEngine;
// without them the check is the valve rules alone, line for line as before).
// Each is judged on one point of the steam performance model (SteamEngine.h):
// the working row's notch, forward, at the top speed (CheckTopSpeedRpm):
// - CompressionPeak: the higher compression peak of the two ends in % of the
//   chest pressure (both absolute); <= limit (100: above it the valve would
//   lift off its face, or the loop crosses itself).
// - CutOffPressure: the pressure at cut-off over the chest pressure (both
//   absolute, the mean of the ends), in %; >= limit (the ports wire-draw the
//   steam less than that).
// - MepBalance: |front - rear mean effective pressure| in % of their mean;
//   <= limit (both ends do the same work).
// A point that cannot be run (the gear clamps at that notch, engine data that
// cannot run, no mean effective pressure) fails the three.
//
// A rule is one value of CheckRule, one row of the rule table (DesignCheck.cpp:
// its word, caption, unit, sense, default limit and the label of its limit
// field) and one function that judges it on the table, in the list CheckDesign
// runs; nothing else names the rules one by one.
#pragma once

#include "analysis/SteamEngine.h"
#include "analysis/ValveEvents.h"
#include "model/AppState.h"

#include <array>
#include <string>
#include <vector>

enum class CheckRule : int {
    Assembles = 0,
    EqualLeads = 1,
    EqualCutOffForward = 2,
    EqualCutOffReverse = 3,
    FullGearCutOff = 4,
    PortOpening = 5,
    Release = 6,
    Compression = 7,
    CompressionPeak = 8,
    CutOffPressure = 9,
    MepBalance = 10,
};
// The rules of the valve events (each with a limit field in the window), and
// all rules with the engine's.
inline constexpr int kCheckRules = 8;
inline constexpr int kAllCheckRules = 11;
inline bool IsEngineRule(CheckRule r) { return static_cast<int>(r) >= kCheckRules; }

// One limit per rule (the Assembles limit is always 0).
using CheckLimits = std::array<float, kAllCheckRules>;
// 0, 0.5 %, 2 %, 2 %, 75 %, 25 %, 70 %, 40 %; the engine's 100 %, 50 %, 5 %.
CheckLimits DefaultCheckLimits();

// The top speed of the engine rules: the speed (rpm) at which the piston runs
// at kTopPistonSpeed (2 x stroke x rpm). 0 when the design has no stroke.
inline constexpr double kTopPistonSpeed = 5.08; // m/s: 1000 ft/min
double CheckTopSpeedRpm(const Gear& design);

// The difference of the leads at mid gear, front minus rear, in % of the
// valve's travel there: smooth through 0 whatever the signs of the leads (a
// lead of -0.0005 and one of +0.0005 differ by 0.001 of the travel, not by
// 200 % of their mean). The design check and the optimiser measure the leads
// so. False, with no value, when the valve does not travel (or a figure is no
// number). `midGear`: the leads and the travel at mid gear (the events table's
// forward notch 0, or MeasureNotch at the centre with nmLeads | nmExtremes).
bool LeadDifference(const NotchEvents& midGear, long double& percentOfTravel);

// The cut-off the working row is chosen by (% of stroke).
inline constexpr float kWorkingCutOff = 25;

enum class CheckDirection : int { Forward = 0, Reverse = 1, Both = 2 };

struct CheckLine {
    CheckRule rule = CheckRule::Assembles;
    CheckDirection direction = CheckDirection::Both;
    bool measured = false; // false: no value (the line fails)
    float value = 0;
    float limit = 0;
    bool pass = false;
    std::string where; // the row of the worst value, e.g. "forward notch 6"
};

struct DesignCheckResult {
    std::vector<CheckLine> lines;
    bool Passed() const;
};

// The point the engine rules judge: the working row's notch, forward, at
// `topRpm` (0: CheckTopSpeedRpm); `wanted` false for a design without engine
// data (nothing run), `point.ok` false when it cannot be run. Measured once,
// judged against any limits.
struct EngineCheckPoint {
    bool wanted = false;
    std::string where; // "forward notch 4 at 1714 rpm"; empty without a working row
    double chest = 0;  // the chest pressure, Pa absolute
    PointResult point;
};
EngineCheckPoint MeasureEngineCheck(const Gear& design, const std::vector<ValveEventsRow>& table, double topRpm = 0);

// The check of a measured table (BuildValveEventsTable of `design`) and its
// engine point.
DesignCheckResult CheckDesign(const Gear& design, const std::vector<ValveEventsRow>& table, const CheckLimits& limits,
                              const EngineCheckPoint& engine);
// The same, the engine point measured at `topRpm` (0: CheckTopSpeedRpm).
DesignCheckResult CheckDesign(const Gear& design, const std::vector<ValveEventsRow>& table, const CheckLimits& limits,
                              double topRpm = 0);
// Measures the table of the design as given, then checks it.
DesignCheckResult CheckDesign(const Gear& design, const CheckLimits& limits, double topRpm = 0);

// A row of the events table as the check names it: "forward notch 6",
// "reverse normal notch".
std::string NotchRowText(Running running, int notch);

// "assembles", "equal-leads", "equal-cutoff-fwd", "equal-cutoff-rev",
// "full-gear-cutoff", "port-opening", "release", "compression";
// "compression-peak", "cutoff-pressure", "mep-balance".
std::string CheckRuleWord(CheckRule r);
// "Assembles at every notch", "Equal leads at mid gear", ...
std::string CheckRuleCaption(CheckRule r);
// "% of travel", "% of stroke", "% of port width"; "rows" for Assembles.
std::string CheckRuleUnit(CheckRule r);
// True when the rule's value must be at least its limit.
bool CheckRuleIsLeast(CheckRule r);
// The label of the rule's limit field, with its mnemonic ("&Leads, % of
// travel"); empty for Assembles, whose limit is no setting.
std::string CheckRuleLimitLabel(CheckRule r);
std::string CheckDirectionWord(CheckDirection d); // "forward", "reverse", "both"

// The value and limit as the check writes them (2 decimals; rows whole).
std::string CheckValueText(const CheckLine& line);
std::string CheckLimitText(const CheckLine& line);

// "Rule,Direction,Value,Limit,Result" and one row per line.
std::vector<std::vector<std::string>> CheckCsvRows(const DesignCheckResult& r);
