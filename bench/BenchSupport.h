// What the benchmarks of the main picture start from.
#pragma once

#include "model/AppState.h"
#include "model/Model.h"

// The built-in design as the program starts it, seen through view preset
// `preset` (0: the start view), with the steam display on or off.
inline AppState StartedDesign(int preset, bool steam)
{
    AppState s;
    StartupModel(s);
    if (preset > 0) {
        s.view.ViewScale = s.view.PresetTable[3 * preset];
        s.view.ViewOffsetX = s.view.PresetTable[3 * preset + 1];
        s.view.ViewOffsetY = s.view.PresetTable[3 * preset + 2];
    }
    s.display.SteamDisplayOn = steam;
    return s;
}
