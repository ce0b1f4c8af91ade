// The gear as a drawing for CAD programs: at full size in the design's unit,
// one layer per part (GearParts), y up, the driver centre at the origin. The
// main window's "Export Picture…" to a .dxf file, `quelf --export main OUT.dxf`
// and `quelf --envelope OUT.dxf` build their drawings here.
#pragma once

#include "analysis/SweptEnvelope.h"
#include "files/DxfDrawing.h"
#include "model/AppState.h"

// The layer of the user's lines and circles.
inline constexpr const char* kOverlayLayer = "LINES-CIRCLES";

// The colour of a part's layer (the colour index of CAD programs).
int PartDxfColour(GearPart p);

// The mechanism of `s` solved at `driverAngle` with the reverse arm at
// `revArmPos`: every part on its layer, pins and disks as circles of the size
// the main window draws them, links as centre lines between their pins, the
// piston, valve and cylinder section as polylines; the user's lines and
// circles where they stand then, on their layer. The state is not changed.
DxfDrawing GearDxfDrawing(const AppState& s, float driverAngle, float revArmPos);

// The outlines of a swept envelope as closed polylines on the layers of their parts.
DxfDrawing EnvelopeDxfDrawing(const SweptEnvelope& e, LengthUnit unit);
