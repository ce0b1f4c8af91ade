// The plain part of the "Scale Design…" window and of `quelf --scale-design`:
// the request a choice in the window makes (a factor typed, a factor worked
// out from two scales or gauges, or a unit conversion, with an optional
// rounding), what the window says about it, and the check that the scaled
// design is one a design file can hold.
#pragma once

#include "model/AppState.h"
#include "model/DesignScale.h"

#include <string>

enum class ScaleWay { Factor, Scales, Conversion };
enum class UnitConversion { InchToMillimetre, MillimetreToInch };

struct ScaleChoice {
    ScaleWay way = ScaleWay::Factor;
    std::string factor;   // ScaleWay::Factor: the factor as typed
    std::string from, to; // ScaleWay::Scales: two scales or gauges as typed
    UnitConversion conversion = UnitConversion::InchToMillimetre;
    bool round = false;
    RoundGrid grid = RoundGrid::SixtyFourthInch;
};

struct ScaleOutcome {
    bool ok = false;
    ScaleRequest request; // valid when ok
    std::string text;     // what the window shows: what will happen, or why not
};

// The request of a choice for the design `s`: the factor (a conversion also
// sets the unit: 25.4 and millimetres, 1 / 25.4 and inches; it is refused for
// a design in the other unit already), the unit (the design's own unless
// converted), the rounding; refused when the scaled design would hold a value
// that a design file cannot (ScaledDesignProblem).
ScaleOutcome WorkOutScale(const AppState& s, const ScaleChoice& c);

// Why the scaled design could not be kept, or empty: it would hold a value
// that a design file refuses (beyond ±1e6, or no number) where the design
// holds none now, e.g. "the scaled design would hold values no gear can have
// (Stroke = 3.5e+07)".
std::string ScaledDesignProblem(const AppState& s, const ScaleRequest& r);

// A factor for people: at most 7 decimals, no trailing zeros ("25.4",
// "0.125", "0.0393701").
std::string FactorText(long double factor);
