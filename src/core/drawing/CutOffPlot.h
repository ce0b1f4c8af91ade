// The optimise window's small plot: front minus rear cut-off (% of stroke)
// against the notch, reverse full gear on the left, forward full gear on the
// right, before (grey, dotted) and after (blue), with the zero line.
#pragma once

#include "analysis/ValveEvents.h"
#include "platform/Canvas.h"

#include <vector>

struct CutOffPoint {
    float notch = 0;      // -18 (reverse full gear) .. 18 (forward full gear)
    float difference = 0; // front minus rear, % of stroke
    bool forward = true;
};

// The notch rows of a table where both cut-offs happen (the normal notch
// left out), reverse first from full gear inwards, then forward outwards.
std::vector<CutOffPoint> CutOffDifferences(const std::vector<ValveEventsRow>& table);

// The area of a plot against the notch: reverse full gear (-18) on the
// left, forward full gear (18) on the right, within the plots' margins.
struct NotchPlotArea {
    long double left = 0, right = 0, top = 0, bottom = 0;
    long double x0 = 0, xs = 0; // the x of notch 0 and the pixels of a notch
    long double X(long double notch) const { return x0 + xs * notch; }
};
NotchPlotArea NotchArea(int width, int height);
// The notch lines every 6 notches (silver), the horizontal axis at `axisY`
// and the left axis (black), in a pen of width 1.
void DrawNotchFrame(Canvas& c, const NotchPlotArea& a, long double axisY);
// "reverse 18", "mid gear" and "forward 18" below the area, in the canvas's font.
void DrawNotchNames(Canvas& c, const NotchPlotArea& a);

// Draws the plot on a canvas of width x height pixels; `after` may be empty.
void DrawCutOffPlot(Canvas& c, int width, int height, const std::vector<ValveEventsRow>& before,
                    const std::vector<ValveEventsRow>& after);
