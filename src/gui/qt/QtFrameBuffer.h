// The picture a window shows, painted from a display list at the window's
// device pixel ratio (sharp on a 150 % or 200 % screen; the picture keeps its
// logical pixels). A list that draws what is already shown paints nothing; a
// new one is painted whole on a second image and compared with the shown one,
// so that the window repaints only the part that changed.
#pragma once

#include "platform/DisplayList.h"

#include <QImage>
#include <QRegion>
#include <QSize>

class QPainter;

// Paints `list` on `image` (white first) with `scale` logical pixels to a
// picture pixel, through the image's device pixel ratio. At ratio 1 and scale
// 1 these are the screen's own drawing rules, pixel for pixel.
void PaintListOnImage(QImage& image, const DisplayList& list, qreal scale = 1);

// The device pixels of a picture of `logical` pixels at `ratio`, rounded up.
QSize DeviceSize(QSize logical, qreal ratio);
// An image of `logical` pixels at `ratio` device pixels to a pixel: the
// device size rounded up, the ratio set.
QImage ImageForRatio(QSize logical, qreal ratio);

class FrameBuffer {
public:
    // Shows `list`, whose size is the picture's in logical pixels, at `ratio`.
    // `list` receives the storage of the list shown before (for the next
    // frame). Returns the part of the picture that changed, in logical pixels:
    // empty when the list draws what is shown.
    QRegion Show(DisplayList& list, qreal ratio);
    // Paints the shown list again when the picture's size or ratio changed
    // (a resized window, a screen of another ratio): what the list holds
    // beyond its old size shows. True when it painted.
    bool Refit(QSize logical, qreal ratio);

    // The shown picture: its size is the list's times the ratio.
    const QImage& Image() const { return front_; }
    const DisplayList& Shown() const { return shown_; }
    // Pictures painted so far (a list equal to the shown one paints none).
    int Paints() const { return paints_; }
    // Draws the part `area` (logical pixels) of the picture at the painter's
    // origin, the painter's device being at the picture's ratio.
    void PaintOn(QPainter& p, const QRegion& area) const;

private:
    QRegion Render(bool whole);

    DisplayList shown_;
    QImage front_, back_;
    qreal ratio_ = 0;
    int paints_ = 0;
};
