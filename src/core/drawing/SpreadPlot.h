// The tolerance study's picture: the spread of the front and rear cut-off
// (% of stroke) against the notch, reverse full gear on the left, forward
// full gear on the right; for each end a band from the least to the largest
// cut-off of the samples (front in blue, rear in red, their pixel columns
// interleaved where they overlap) under the nominal line of the design as it
// is. The normal notch is left out (it lies between two notches).
#pragma once

#include "analysis/ToleranceStudy.h"
#include "platform/Canvas.h"

#include <vector>

struct SpreadPoint {
    float notch = 0;       // -18 (reverse full gear) .. 18 (forward full gear)
    bool measured = false; // the cut-off has a spread (valid samples)
    float nominal = 0, min = 0, max = 0;
};

// One end's cut-off over the notch rows of a study where it happens in the
// design, reverse first from full gear inwards, then forward outwards.
std::vector<SpreadPoint> CutOffSpread(const ToleranceResult& r, int end);

// Draws the picture on a canvas of width x height pixels.
void DrawSpreadPlot(Canvas& c, int width, int height, const ToleranceResult& r);
