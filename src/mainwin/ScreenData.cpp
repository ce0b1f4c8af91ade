#include "mainwin/ScreenData.h"

void DrawScreenData(Canvas&, AppState&, FrameServices&, FrameEffects&) {}
