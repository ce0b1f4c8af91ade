#include "aids/OverlayDrawing.h"

void DrawOverlay(Canvas&, AppState&) {}
