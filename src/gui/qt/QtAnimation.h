// An animation of display lists: each frame replayed on an image at 1x (the
// screen's own drawing rules) or 2x and the images written as a looping GIF
// (GifAnimation: exact colours where a frame has no more than 256).
#pragma once

#include "platform/DisplayList.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <string>

struct AnimationFrames {
    int count = 0;                          // frames, in order
    std::function<DisplayList(int k)> draw; // the picture of frame k (all of one size)
    int scale = 1;                          // image pixels a picture pixel
    int delay = 4;                          // hundredths of a second a frame
    // Called after each frame with the frames done; false stops the work.
    std::function<bool(int done)> progress;
};

struct AnimationResult {
    bool ok = false;
    bool stopped = false; // the progress callback said stop
    int quantised = 0;    // frames with more than 256 colours in their changed part
    std::string error;    // when not ok and not stopped
};

// The GIF's bytes (empty unless the result is ok).
QByteArray EncodeAnimation(const AnimationFrames& frames, AnimationResult& result);

// Encodes and writes the GIF to `path` safely (a temporary file renamed over
// the target when complete; nothing is left when stopped or on failure).
AnimationResult WriteAnimation(const AnimationFrames& frames, const QString& path);
