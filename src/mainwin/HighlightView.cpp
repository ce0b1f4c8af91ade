#include "mainwin/HighlightView.h"

void DrawHighlight(Canvas&, AppState&, FrameEffects&) {}
