// Which dimension matters: for one row of the valve events table (a notch and
// a direction), the change of each figure of the row (EventStudy.h) per unit
// change of each of the 44 dimensions.
//
// Each derivative comes from four trials of the dimension, stored at its
// value +h, -h, +2h and -2h as a typed value is (StoreDimensionValue), the
// design re-centred as the dimension dialogs' Close does
// (RecomputeRevArmCentre), the row measured on each (MeasureNotch at the
// row's position on the trial's own mid gear). The two central differences
//     D1 = (f(+h) - f(-h)) / (s(+h) - s(-h)),  D2 = (f(+2h) - f(-2h)) / (s(+2h) - s(-2h))
// (s: the value the trial design stores; for the eccentric angle the
// difference of the two angles within one turn) are combined as
//     d = (4 D1 - D2) / 3,
// Richardson's extrapolation: the error in h^2 of a central difference
// cancels, leaving one in h^4.
//
// The step h (SensitivityStep): 1/500 of the stroke for every length, 0.05
// degree for the eccentric angle. Two errors bound it. The solver rounds every
// point to a float, which moves an event by about 1e-4 % of the stroke at
// random: a derivative carries about 1.5e-4 / h of that noise (0.02 % of
// stroke per unit at h = 0.007 units on the built-in design, stroke 3.5), so h
// must not be small. The response curves, most near the dead centres (an
// admission of 0.1 % of stroke at the normal notch): a plain central
// difference at this step is 4 % off there, the extrapolated one within the
// noise: on the built-in design the figures at steps of 1/1000 and 1/500 of
// the stroke agree with those at 1/700 to 2 % of (|figure| + 1), on average
// to 0.04 % (at 1/250 the curvature shows: 9 %). Tied to the stroke, the step
// follows the size of the design in any unit. The angle's response is a
// smooth sinusoid: at steps from 0.01 to 0.2 degree its figures agree to
// 0.1 % of (|figure| + 1).
//
// A dimension whose trial clamps (the re-centring or the measurement: a gear
// that cannot be assembled there) has no figures and is marked; an event of
// the row that does not happen in one of its trials has no figure and is
// marked. Nothing is guessed from one side alone.
//
// The 177 trials (the design as it is, then the four of each dimension) go to
// the thread pool: on two cores the calling thread and the pool's worker each
// take the next trial and measure its row on their own (the row's own parts
// then run inline on that thread).
#pragma once

#include "analysis/Balance.h"
#include "analysis/EventStudy.h"
#include "analysis/ThreadPool.h"
#include "files/TextTable.h"
#include "model/AppState.h"

#include <array>
#include <string>
#include <vector>

// The step of a dimension on a design, in its unit (degrees for code 6).
float SensitivityStep(const Gear& design, int code);
inline constexpr long double kStrokeStepFraction = 1.0L / 500;
inline constexpr float kAngleStep = 0.05f;

struct DimensionEffect {
    int code = 0;
    float value = 0; // the dimension in the design
    float step = 0;  // h as the trials store it: half the span of the +h and -h trials
    std::array<float, kEventQuantities> derivative{};
    std::array<bool, kEventQuantities> known{};
    // The derivative of front minus rear cut-off.
    float cutOffDifference = 0;
    bool differenceKnown = false;
    bool clamped = false; // a trial clamped: no figures
    bool lost = false;    // an event of the row did not happen in a trial
    bool noStep = false;  // both trials store the same value (the reverse arm's clamps)
    // With an engine speed: the change of the indicated power and of the
    // steam rate at the row (the steam performance model, in the design's
    // units: hp or kW, lb/(hp h) or kg/(kW h), per unit of the dimension).
    std::array<float, 2> engineDerivative{};
    std::array<bool, 2> engineKnown{};
};

struct SensitivityResult {
    EventsRow row;
    NotchEvents nominal;         // the row of the design as it is
    bool nominalClamped = false; // ... where the solver clamps
    bool stopped = false;
    std::vector<DimensionEffect> effects; // the 44 dimensions in code order
    double engineRpm = 0;                 // the speed of the engine figures; 0: none
};

// The study of a row, on (a copy of) the design as it opens from its file.
// With `engineRpm` above 0 each trial also runs the steam performance model
// at the row and that speed (on the design's engine data or the defaults),
// and each dimension gets the change of power and steam rate, by the same
// differences as the events.
SensitivityResult MeasureSensitivity(const Gear& design, const EventsRow& row, BalanceControl* control = nullptr,
                                     ThreadPool& pool = ThreadPool::Shared(), double engineRpm = 0);

// Notes of a dimension.
inline constexpr const char* kNoteTrialsClamp = "trials clamp";
inline constexpr const char* kNoteEventLost = "event lost in a trial";
inline constexpr const char* kNoteNoStep = "value not kept";
std::string EffectNotes(const DimensionEffect& e);

// The command line's CSV rows: "Dimension" (the identifier), "Value", the
// figures' columns as the events table names them, "Notes"; one row per
// dimension in code order, each derivative with 4 decimals (empty when not
// known).
// With engine figures, two more columns before "Notes": "Power (hp)" and
// "Steam rate (lb/(hp h))" (or kW and kg/(kW h)).
std::vector<TextRow> SensitivityCsvRows(const Gear& design, const SensitivityResult& r);

// The window's rows: "Dimension" (its label), "Value", "Front - rear
// cut-off (% stroke)", the figures, with engine figures (`engine`) power and
// steam rate, "Notes".
inline constexpr int kSensitivityDifferenceColumn = 2;
inline constexpr int kSensitivityFirstFigureColumn = 3;
inline constexpr int kSensitivityColumns = kSensitivityFirstFigureColumn + kEventQuantities + 1;
// The columns of a result: kSensitivityColumns, two more with engine figures.
int SensitivityColumns(const SensitivityResult& r);
TextRow SensitivityTableHeader(const Gear& design, bool engine = false);
TextRow SensitivityTableCells(const DimensionEffect& e, bool engine = false);
// The derivative a window column holds (the difference, a figure, power or
// steam rate); false for the other columns and for a figure that is not known.
bool EffectInColumn(const DimensionEffect& e, int column, float& value);

// The order of the effects for a column: the dimensions by label, values by
// size, derivatives by their size whatever their sign (largest first when
// `descending`); unknown figures last, ties in code order.
std::vector<size_t> SensitivityOrder(const SensitivityResult& r, int column, bool descending);

// The largest |derivative| of a column over the effects (0 when none).
float LargestEffect(const SensitivityResult& r, int column);
