// The user's lines and circles drawn over the gear.
#pragma once

#include "model/AppState.h"
#include "platform/Canvas.h"

// Every item whose Kind is a line (0) or a circle (1) with a reference it
// supports, through the view; attached items follow their pivots. The pen is
// black afterwards.
void DrawOverlay(Canvas& c, AppState& s);

// The pen colour of an item: its Colour rounded, or black when that is no
// 24-bit colour (NaN, negative, too large).
Colour OverlayPenColour(float colour);
