// The picture a window shows, painted from a display list at the window's
// device pixel ratio (sharp on a 150 % or 200 % screen; the picture keeps its
// logical pixels). A list that draws what is already shown paints nothing. A
// new one is compared with the shown one operation by operation: only the
// squares of the picture that an operation put in, taken out or changed may
// reach are painted again (on a second image, each square white and then every
// operation that reaches it, whole, in order: the pixels of a whole paint),
// compared with the shown ones and copied into it, so that the window
// repaints only the part that changed.
#pragma once

#include "platform/DisplayList.h"

#include <QImage>
#include <QRegion>
#include <QSize>

#include <vector>

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

    // Every new list painted whole, as before a list was compared operation
    // by operation (tests and benchmarks compare the two ways).
    void SetPaintWhole(bool whole) { paintWhole_ = whole; }
    // Squares of the picture painted again by the last Show (all of them
    // when it was painted whole).
    int SquaresPainted() const { return squaresPainted_; }

private:
    QRegion Render(bool whole);
    QRegion RenderChanges();
    bool SquaresOf(const PictureBox& box, int& c0, int& c1, int& r0, int& r1) const;
    void MarkBox(const PictureBox& box, std::vector<char>& squares) const;
    bool ReachesMarked(const PictureBox& box) const;

    DisplayList shown_;
    std::vector<DrawnOp> shownOps_, nowOps_;
    std::vector<char> changedBefore_, changedNow_;
    // The squares (kTile device pixels on a side) to paint again, row by row.
    std::vector<char> marked_, filled_;
    int columns_ = 0, rows_ = 0;
    int wholeRatio_ = 0; // the ratio when it is a whole number
    QImage front_, back_;
    qreal ratio_ = 0;
    int paints_ = 0;
    int squaresPainted_ = 0;
    bool paintWhole_ = false;
    bool opsTaken_ = false; // shownOps_ are those of shown_
};
