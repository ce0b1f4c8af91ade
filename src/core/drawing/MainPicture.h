// The main window's picture drawn without the window: the gear as the picture
// export crops it, at any driver angle. The command line's `--export main`,
// the design report and the animation draw it through these functions.
#pragma once

#include "drawing/MainWindowSize.h"
#include "model/AppState.h"
#include "platform/DisplayList.h"

#include <string>

// The state the command line's pictures show: the reverse arm at mid gear,
// the home view, no dimension close-up.
void PrepareMainPicture(AppState& s);

// The picture of `s` with the gear stopped at `driverAngle`: one tick at that
// angle (without a step), the frame composed without sound and with the fixed
// random source, cropped to width x height from the top-left corner. `s` is
// left as that tick leaves it (DriverAngle = SolvedDriverAngle = the angle).
DisplayList MainPictureAt(AppState& s, float driverAngle, int width = kClientWidth, int height = kClientHeight);

// What `--export main` writes: PrepareMainPicture, then the picture at
// driver angle 0.
DisplayList MainExportPicture(AppState& s);

// The driver angle of frame `k` of an animation of `frames` frames evenly
// spaced over one revolution from `start`, in the sense the gear runs
// (forward: the angle grows), folded into 0..360.
float RevolutionAngle(float start, int k, int frames, RunDirection direction);

// Frames of an animation unless asked otherwise: one every 5 degrees.
inline constexpr int kAnimationFrames = 72;

// Hundredths of a second a frame of an animation of `frames` frames shows: a
// revolution takes about three seconds (4 for 72 frames), never less than 2
// a frame (what viewers keep to).
int AnimationFrameDelay(int frames);

// One revolution of the main-window picture of a design, frame by frame, each
// drawn on a copy of the design taken at the start (the design itself is
// never turned): frame k is MainPictureAt(copy, RevolutionAngle(start, k,
// frames, direction), width, height), starting from `start`. A dimension
// close-up is left out.
class MainAnimation {
public:
    MainAnimation(const AppState& s, int frames, float start, int width = kClientWidth, int height = kClientHeight);
    int Count() const { return frames_; }
    float Angle(int k) const;
    DisplayList Frame(int k);

private:
    AppState copy_;
    int frames_, width_, height_;
    float start_;
};
