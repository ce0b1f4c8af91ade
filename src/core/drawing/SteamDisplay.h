// Steam particles, phase legend and exhaust beats of the main window.
#pragma once

#include "drawing/FrameDrawing.h"

#include <cstdint>

// Runs only while SteamDisplayOn; drawn before the mechanism. Reseeds the
// random source, draws the dots of live steam, both chambers and the exhaust,
// the phase legend (while ScreenDataOn) and plays the exhaust beats.
void DrawSteamDisplay(Canvas& c, AppState& s, FrameServices& services);

// Wave-output volume (both channels) for a beat whose other side recorded the
// density n at its last beat; 0 when n is outside the table (the volume is
// then left as it is).
std::uint32_t ExhaustBeatVolume(int n);
