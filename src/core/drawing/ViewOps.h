// The view transform's operations behind the pan, zoom, preset and reference
// point controls of the main window.
#pragma once

#include "model/AppState.h"

// The spring-loaded stepper rule shared by the pan, zoom, reference point bars:
// p the new position, last/prev the positions seen at the last two events
// (updated here), divisor 10 (pan, zoom) or 1000 (reference points), page the
// bar's page size.
float StepperIncrement(int p, int& last, int& prev, float divisor, int page);

// Pan by an increment in pixels; the previous view becomes the current one.
void PanVertical(View& v, float increment);
void PanHorizontal(View& v, float increment);
// Zoom by an increment (percent) about the screen point (320, 240); the scale
// is clamped to 0.5..3000 after the offsets are set.
void ZoomStep(View& v, float increment);
// "Norm": the saved view := the current view; the view := the home view.
void NormView(View& v);
// "P": the pending preset := the current view.
void CapturePendingPreset(View& v);
// Preset k (1..6): store the pending view first when `storePending`, then recall it.
void RecallPreset(View& v, int k, bool storePending);
// Centre a world point at the screen point (320, 240); returns the pan bar
// positions that agree with the new view (horizontal, vertical).
struct PanBarPositions {
    int horz;
    int vert;
};
PanBarPositions CentreOnPoint(View& v, float x, float y);

// "Fit Gear to Window": the view (scale and offsets) that shows the whole gear
// through a turn of the driver, with its wheels and the cylinder, as large as
// fits in the screen rectangle (left, top, width, height), centred in it with
// a margin. The turn is solved on a copy of the gear. The view is left as it
// was (false) when the area is too small or the gear has no extent.
struct ScreenArea {
    int left, top, width, height;
};
bool FitGearToArea(View& v, const Gear& g, ScreenArea area);
