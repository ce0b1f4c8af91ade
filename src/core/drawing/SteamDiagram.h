// Steam diagram: an indicator-style diagram of cylinder pressure against
// piston position for both cylinder ends, one pair of loops per reverse arm
// position of the graph list, driven by a simple phase model over the port
// openings of the gear.
//
// Pressures run in diagram units from 0 to 303; piston positions on the 0..640
// scale of PistonPx. The model state lives in AppState::steamDia and in the
// gear's PistonPx / PrevPistonPx and steam openings, and is reset only at the
// start of a draw, so the positions after the first start from the state the
// previous one left.
#pragma once

#include "model/AppState.h"
#include "platform/Canvas.h"

// The whole diagram: background, position legend, the loops, cut-off marks and
// tables, curve numbers (the diagram window adds the dynamic-variable panel
// and the undo line). RevArmPos and DriverAngle are as
// before afterwards; GraphRevArmPos holds the last position drawn.
void DrawSteamDiagram(Canvas& c, AppState& s);

// The pieces of a draw, for the draw itself and for tests.

// Resets the diagram state (pressures, phases, labels, CurveNumber, PistonPx,
// PrevPistonPx) and sets DriverAngle to 96.
void ResetSteamDiagram(AppState& s);

// One step of position n (1..9), step number `step` (1..150): turn the driver
// by 4 degrees (forwards when RevArmPos >= RevArmCentre), solve, update both
// ends' phases, draw (only once PrevFrontPressure is non-zero; the loops only
// from step 61 on), then take the previous-step copies.
void SteamDiagramStep(Canvas& c, AppState& s, int n, int step);

// Phase update of one end by its current phase: exhaust '1', compression '2',
// admission '3', expansion '4'. The admission step raises the end's steam
// opening in the gear to 0.005 when it is smaller.
void UpdateFrontSteamPhase(AppState& s);
void UpdateRearSteamPhase(AppState& s);

// Screen mapping of the diagram: x = 584 - 0.84375 piston, y = 343 - 0.9 p.
int SteamDiagramX(long double piston);
int SteamDiagramY(long double pressure);
