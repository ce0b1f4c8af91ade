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

// Draws the plot on a canvas of width x height pixels; `after` may be empty.
void DrawCutOffPlot(Canvas& c, int width, int height, const std::vector<ValveEventsRow>& before,
                    const std::vector<ValveEventsRow>& after);
