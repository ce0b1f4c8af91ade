// Pivot data panel, pivot selection messages and reference point marks.
#pragma once

#include "drawing/FrameDrawing.h"

void DrawPivotData(Canvas& c, AppState& s);      // while PivotDataOn
void DrawPivotMessages(Canvas& c, AppState& s);  // while LinePivotPending
void DrawReferenceMarks(Canvas& c, AppState& s); // while RefPointsOn
