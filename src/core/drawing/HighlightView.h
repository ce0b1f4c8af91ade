// The blinking close-up of one dimension.
#pragma once

#include "drawing/FrameDrawing.h"

// Last drawing step of a frame while HighlightDim > 0.
void DrawHighlight(Canvas& c, AppState& s, FrameEffects& fx);
