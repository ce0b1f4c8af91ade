// Steam particles, phase legend and exhaust beats of the main window.
#pragma once

#include "mainwin/FrameDrawing.h"

// Runs only while SteamDisplayOn; drawn before the mechanism.
void DrawSteamDisplay(Canvas& c, AppState& s, FrameServices& services);
