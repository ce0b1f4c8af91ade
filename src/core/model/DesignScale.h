// A design at another size: every length times a factor, the view following
// so that the picture looks the same, the unit of the lengths, an optional
// rounding to a grid, and the factor worked out from two scales or gauges.
//
// What a scaling multiplies: every dimension but the eccentric angle (the 43
// lengths, the spare cylinder value too), the whole point table (pivots,
// reference points), the reverse arm centre, setting and positions, the
// lines and circles, the values the solver derives from them, and the
// graphs' vertical scale and last position, the engine data's lengths (port
// lengths, wheel; a change of unit converts its pressures and superheat too);
// the view's scales (current,
// previous, saved, the presets) are divided by it, their offsets kept. Each
// value is stored as the float of the product (long double factor); nothing
// is rounded unless a grid is asked for. Angles, percentages, the home view,
// the default stores and the graphic zoom stay.
#pragma once

#include "model/AppState.h"

#include <optional>
#include <string>
#include <string_view>

// ---------------------------------------------------------------- units
// The factor that turns lengths in `from` into lengths in `to`: 25.4 from
// inches to millimetres, 1 / 25.4 back; 1 when either is unspecified or both
// are the same.
long double UnitFactor(LengthUnit from, LengthUnit to);

// ---------------------------------------------------------------- rounding
enum class RoundGrid { None, SixtyFourthInch, TenthMillimetre };
// Steps of the grid per unit length: 64, 10 (0 for None).
int GridStepsPerUnit(RoundGrid grid);
// "1/64 in", "0.1 mm" ("" for None).
std::string GridText(RoundGrid grid);

// The unit a grid is named in: inches for 1/64 in, millimetres for 0.1 mm.
LengthUnit GridUnit(RoundGrid grid);

// The 43 length dimensions (codes 1..22 but 6, 101..122) each to the nearest
// step of the grid, stored as the dimensions are stored (13/14 copy point 9,
// 102/109 set PointY[13]). The grid is the length it names whatever the
// design's unit: 0.1 mm is 0.1 / 25.4 in a design in inches, 1/64 in is
// 25.4 / 64 in one in millimetres; in a design whose unit is unspecified it
// is that part of its unit (1/64 or 1/10).
void RoundGearDimensions(Gear& g, RoundGrid grid);

// ---------------------------------------------------------------- scaling
// A factor that can scale a design: a finite number greater than 0.
bool IsScaleFactor(long double factor);

// Every length of the gear times `factor` (see the head of this file).
void ScaleGearLengths(Gear& g, long double factor);

// The gear with its lengths in `unit`: converted (25.4) when both units are
// stated and differ, else as it is; the copy states `unit` then.
Gear GearInUnit(const Gear& g, LengthUnit unit);

struct ScaleRequest {
    long double factor = 1;
    LengthUnit unit = LengthUnit::Unspecified; // the unit the scaled design states
    RoundGrid round = RoundGrid::None;         // applied after the scaling
};

// The scaling on the state, without an undo record: the gear's lengths, the
// view, the graphs' scale and last position, the lines and circles; the unit;
// then the rounding, after which the reverse arm is re-centred at mid gear as
// the dimension dialogs' Close does. The cut-off figures are emptied and the
// dynamic-variable slots show the new values. False, and nothing changed, for
// a factor that cannot scale.
bool ApplyScale(AppState& s, const ScaleRequest& r);

// ApplyScale as one "UnDo" record of the whole design: the undo line shows
// "Design scale" (", rounded" with a grid), the factor and 1, e.g.
// " 1- Design scale 25.400 to  1.000".
bool ScaleDesign(AppState& s, const ScaleRequest& r);
std::string ScaleUndoName(const ScaleRequest& r);

// The reference of a comparison in this design's unit (GearInUnit); empty
// while no reference is set.
std::optional<Gear> ComparedReference(const AppState& s);
// The reverse arm setting of the reference that matches `revArmPos` of this
// design: as far from its mid gear in proportion to its maximum travel (the
// same notch of the port graph and the events table); the same distance when
// both have the same maximum.
float MatchingArmPosition(const Gear& design, float revArmPos, const Gear& reference);

// ---------------------------------------------------------------- scales and gauges
// A scale or a gauge as the user types it:
//   scales  "full size", "1:1", "1:8", "1/8" (the ratio);
//   gauges  a length with its units, in feet, inches and millimetres (also cm,
//           m), parts added: "4 ft 8½ in", "4' 8.5\"", "56.5 in", "7¼ in",
//           "3 1/2 in", "1435 mm"; a trailing word "gauge" or "scale" is
//           allowed. The value of a gauge is in millimetres.
struct ScaleOrGauge {
    enum class Kind { Scale, Gauge } kind = Kind::Scale;
    long double value = 1;
};
bool ReadScaleOrGauge(std::string_view text, ScaleOrGauge& out);

// The factor that takes a design from `from` to `to`: two scales (to / from)
// or two gauges (to / from). False with a sentence saying why otherwise.
bool FactorFromScales(std::string_view from, std::string_view to, long double& factor, std::string& why);
