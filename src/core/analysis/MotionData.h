// Motion data: the solved coordinates of every pivot of the point table 0 to
// 18, the piston position and the valve centre, for every driver angle of one
// revolution at a step, as CSV or JSON for other programs (animations in 3-D,
// train simulators). Always measured on a copy of the design.
#pragma once

#include "model/AppState.h"

#include <array>
#include <string>
#include <vector>

inline constexpr int kMotionPoints = 19; // points 0..18 of the point table
inline constexpr float kSmallestMotionStep = 0.01f;
inline constexpr float kDefaultMotionStep = 1.0f;
inline constexpr int kMotionDecimals = 6; // at least; more where a float needs them

// The name of point `index` (0..18) as the README lists them: "crank pin", …
const char* MotionPointName(int index);

// A step of the table, in degrees: from 0.01 to 360.
bool IsMotionStep(long double step);

// Number of rows for a step: the driver angles 0, step, 2·step, … below 360
// (floor((360 − 1e-4) / step) + 1, so that a step just below a divisor of
// 360 does not add 360 itself).
long MotionRowCount(float step);

struct MotionRow {
    float driverAngle = 0;
    std::array<float, kMotionPoints> x{};
    std::array<float, kMotionPoints> y{};
    float pistonPercent = 0; // PistonPx in percent of the stroke (PistonPx / 6.4)
    float valveCen = 0;
    bool clamped = false; // the solver clamped at this angle
};

struct MotionTable {
    float revArmPos = 0;
    float step = kDefaultMotionStep;
    std::vector<MotionRow> rows;
    long clampedRows = 0;
};

// Solves a copy of `design` with the reverse arm at `revArmPos` at every angle
// of the table (SolveLinkage, then ComputePistonAndOpenings). `step` must be
// a motion step (IsMotionStep).
MotionTable SweepMotion(const Gear& design, float revArmPos, float step);

// CSV (RFC 4180, CR LF): a header DriverAngle, P0.x, P0.y, … P18.x, P18.y,
// Piston %, ValveCen, then one row per angle, every number with at least six
// decimals (DecimalTextAtLeast); a value that is not a number leaves its cell
// empty.
std::string MotionCsvText(const MotionTable& t);

// The same as JSON: the design's name and unit, the reverse arm position and
// the step, the points by index, id ("P0") and name, and one object per angle
// with "DriverAngle", "P0" … "P18" as [x, y], "Piston %" and "ValveCen"; a
// value that is not a number is null.
std::string MotionJsonText(const MotionTable& t, const std::string& designName, LengthUnit unit);

// True for a path that ends in ".json" (any case): the motion is written as
// JSON there, as CSV anywhere else.
bool IsJsonMotionPath(const std::string& path);
