// The screen data panel: undo label, readouts, error indicator, pivot data and
// messages, cut-off figures, reference point marks, dynamic-variable panel.
#pragma once

#include "mainwin/FrameDrawing.h"

// Runs only while ScreenDataOn; drawn after the mechanism and the overlay.
void DrawScreenData(Canvas& c, AppState& s, FrameServices& services, FrameEffects& fx);
