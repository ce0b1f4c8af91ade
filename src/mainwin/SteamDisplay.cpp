#include "mainwin/SteamDisplay.h"

void DrawSteamDisplay(Canvas&, AppState&, FrameServices&) {}
