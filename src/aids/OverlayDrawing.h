// The user's lines and circles drawn over the gear.
#pragma once

#include "model/AppState.h"
#include "platform/Canvas.h"

void DrawOverlay(Canvas& c, AppState& s);
