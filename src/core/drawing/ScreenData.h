// The screen data panel: undo label, readouts, error indicator, pivot data and
// messages, cut-off figures, reference point marks, dynamic-variable panel.
#pragma once

#include "drawing/FrameDrawing.h"

// Left edge and size of the main window's "UnDo" button (before the
// large-font factor); its top follows the undo label.
inline constexpr int kUndoButtonLeft = 278;
inline constexpr int kUndoButtonWidth = 40;
inline constexpr int kUndoButtonHeight = 16;

// Runs only while ScreenDataOn; drawn after the mechanism and the overlay.
void DrawScreenData(Canvas& c, AppState& s, FrameServices& services, FrameEffects& fx);
