#include "mainwin/PivotDrawing.h"

void DrawPivotData(Canvas&, AppState&) {}
void DrawPivotMessages(Canvas&, AppState&) {}
void DrawReferenceMarks(Canvas&, AppState&) {}
