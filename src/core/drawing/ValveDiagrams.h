// The oval diagram (valve offset against piston travel) and the sine diagram
// (valve offset against driver angle), with the pieces they share: the
// vertical scale, the port lines and the mid-gear lead and lap readout.
//
// Both draw operations drive the linkage solver through the positions of
// GraphPosCount and leave RevArmPos and DriverAngle as they found them. The
// dynamic-variable panel and undo line are added by the diagram window.
#pragma once

#include "model/AppState.h"
#include "platform/Canvas.h"

// y of a valve offset v (front side up): 215 - v * 375 / GraphVerticalScale.
int ValveOffsetY(const AppState& s, long double v);

// Minor and major ticks on the left edge with their labels at x `labelX`.
void DrawVerticalScale(Canvas& c, const AppState& s, int labelX);

// Places of the six port line labels (x only; the heights follow the lines).
struct PortLineLabels {
    int frontSteamOpen, frontSteamMax, frontExhOpen;
    int rearSteamOpen, rearSteamMax, rearExhOpen;
};
inline constexpr PortLineLabels kOvalPortLabels{430, 430, 75, 75, 75, 430};
inline constexpr PortLineLabels kSinePortLabels{60, 60, 230, 230, 230, 60};

// Lime front lines and red rear lines from x1 to x2, labels in black.
void DrawPortLines(Canvas& c, const AppState& s, int x1, int x2, const PortLineLabels& labels);

// Largest and smallest valve joint x met while sampling a mid-gear position.
struct ValveMinMax {
    float max = 0;
    float min = 1000;
    void Reset()
    {
        max = 0;
        min = 1000;
    }
    void Update(float x)
    {
        if (x > max) max = x;
        if (x < min) min = x;
    }
};

// Whether the current RevArmPos is strictly within 0.05 of mid gear.
bool AtMidGear(const Gear& g);

// Lead, lap and exhaust clearance of both ends on the right margin.
void DrawMidGearReadout(Canvas& c, const Gear& g, const ValveMinMax& mm);

// x of driver angle theta (degrees) on the oval diagram's travel axis:
// 584.5 at 0 degrees (0 % travel) to 43.5 at 180 degrees (100 %).
long double OvalTravelX(const Gear& g, long double thetaDeg);

void DrawOvalDiagram(Canvas& c, AppState& s);
void DrawSineDiagram(Canvas& c, AppState& s);
