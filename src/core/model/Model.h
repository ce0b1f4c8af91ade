// Gear model operations: dimension set and defaults, linkage solver, cylinder,
// valve and port geometry, the animation tick's model steps.
#pragma once

#include "model/AppState.h"

#include <cstdint>
#include <string>

// ---------------------------------------------------------------- pixels
// Nearest integer (halves away from zero), never undefined: NaN gives 0 and
// anything beyond +-kPixelLimit is clamped to it, so a broken design or file
// can only draw off the frame.
inline constexpr int kPixelLimit = 100000;
int ToPixel(long double v);

// World to screen through the view: round(x * s + ox), round(-y * s + oy).
int WorldToScreenX(const View& v, long double x);
int WorldToScreenY(const View& v, long double y);

// ---------------------------------------------------------------- dimension identity
// Codes 1..22 (frame) and 101..122 (cylinder).
bool IsFrameCode(int code);
bool IsCylinderCode(int code);
// Labels of a dimension; empty for an unknown code.
std::string DimensionName(int code);        // identifier, e.g. "CrankDiskDia"
std::string DimensionDialogLabel(int code); // e.g. "Crank Disk             Diameter"
std::string DimensionShortLabel(int code);  // e.g. "Crank Disk   Dia"
// Storage index in CylDims of a cylinder code (-1 for 102 and unknown codes).
int CylStorageIndex(int code);

// Where a dimension is stored (codes 13/14 and 18/19 are PointY/PointX[8] and
// [15], code 102 is PointY[3]); nullptr for an unknown code.
const float* DimensionField(const Gear& g, int code);
// Current value of a dimension (102 reads PointY[3]); 0 for unknown codes.
float GetDimension(const Gear& g, int code);
// Plain store of a dimension with the side effects every writer shares:
// codes 13/14 also write point 9, code 102 writes PointY[3], codes 102 and
// 109 set PointY[13] := ValveStemClToCylCl + PointY[3]. Unknown codes do nothing.
void SetDimension(Gear& g, int code, float value);

// ---------------------------------------------------------------- start-up and resets
void ApplyStartupState(AppState& s);
void ApplyViewDefaults(View& v);
void StoreFrameDefaults(Gear& g);
void StoreCylinderDefaults(Gear& g);
void ResetFrameDimensions(Gear& g);
void ResetCylinderDimensions(Gear& g);
void RecomputeRevArmCentre(Gear& g);
// The model part of the main window's creation: ApplyStartupState, view
// defaults, both stores, both resets, RecomputeRevArmCentre.
void StartupModel(AppState& s);

// ---------------------------------------------------------------- solver
// The guards of the solver: each is a link that cannot take its place (a
// circle that does not reach, a length of nothing, a line that comes level
// where a division needs it not to). A guard that clamps sets its bit
// (1 << guard) in Gear::SolveClamps.
enum class SolveGuard : int {
    MainRodReach,         // main rod shorter than the crank pin's height above the crosshead
    StrokeZero,           // the piston position divides by the stroke
    RevHeadArmReach,      // reverse head arm shorter than the way to the reverse arm setting
    RevHeadArmZero,       // reverse head arm (lower) of no length
    RevHeadLevel,         // reverse head horizontal
    EccCentreLevelArmEnd, // eccentric centre level with the reverse arm end
    StrapZero,            // eccentric strap of no length
    StrapReach,           // eccentric strap cannot reach the reverse head
    StrapLevel,           // eccentric strap horizontal
    EccRodUnderRocker,    // eccentric rod end straight below the rocker pivot
    EccRodZero,           // eccentric rod of no length
    EccRodReach,          // eccentric rod and rocker upper arm cannot meet
    RockerUpperVertZero,  // rocker upper arm of no height
    RockerUpperLevel,     // rocker upper arm end level with the rocker pivot
    ValveRodReach,        // valve rod shorter than the height of the valve joint
    Count
};
inline constexpr int kSolveGuardCount = static_cast<int>(SolveGuard::Count);
inline constexpr std::uint32_t SolveGuardBit(SolveGuard g)
{
    return g == SolveGuard::Count ? 0u : 1u << static_cast<int>(g);
}

void FlagSolveError(Gear& g);
// A guard clamps: SolveError (while ErrorBeepOn) and the guard's bit in
// SolveClamps (always). SolveGuard::Count names no guard.
void ClampDenominator(Gear& g, long double& d, SolveGuard guard = SolveGuard::Count);
void ClampUnit(Gear& g, long double& u, SolveGuard guard = SolveGuard::Count);
void AbsRadicand(Gear& g, long double& v, SolveGuard guard = SolveGuard::Count);
// Solves the pivot table; SolveClamps starts afresh with each solve.
void SolveLinkage(Gear& g);

// ---------------------------------------------------------------- port geometry
void ComputeEndOfSolveValues(Gear& g); // last step of SolveLinkage
void ComputePistonAndOpenings(Gear& g);
void BuildCylinderOutline(Gear& g, const View& v);
void BuildPistonValveOutline(Gear& g, const View& v);

// ---------------------------------------------------------------- animation tick
// Screen positions of points 0..20.
void MapPointsToScreen(Gear& g, const View& v);
// Fold: above 360.1 subtract 360, then below 0 add 360.
float FoldDriverAngle(float a);
// Tick steps 1..5 (solve, openings, mapping, outlines, advance and fold);
// SolvedDriverAngle keeps the angle of this solve.
// The caller draws the frame afterwards.
void TickModel(AppState& s);

// Step angle bar bands.
struct StepBand {
    float step;
    int smallChange;
    int largeChange;
};
StepBand StepBandForPosition(int position);
// round(4000 * log10(100 * step)), the bar position of a step.
int StepBarPosition(float step);
