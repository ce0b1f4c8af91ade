// Pictures out of the program: a display list replayed onto a QPainter over
// any paint device, and written as PNG (at 1x, 2x or 4x, drawn at that
// scale), SVG or PDF (vector, text kept as text), printed, or put on the
// clipboard. Each is the picture part of the list (DisplayList::Part): what
// was drawn screen-only, the captions of the window's controls, is left out.
#pragma once

#include "platform/DisplayList.h"
#include "platform/FileSystem.h"

#include <QByteArray>
#include <QImage>
#include <QString>

#include <string>

class QMimeData;
class QPainter;
class QPrinter;

// Replays `list` through `painter` (begun on any device) with `scale` device
// units to a picture pixel, the picture's top-left at the painter's origin.
// At scale 1 on an image the result is the screen's picture, pixel for pixel,
// less what was drawn screen-only.
void PaintDisplayList(QPainter& painter, const DisplayList& list, qreal scale);

// The picture as an image `scale` times its size (white background).
QImage DisplayListImage(const DisplayList& list, int scale = 1);

// The picture as the bytes of a file: PNG at `scale`, SVG or PDF (one page
// of the picture's size at 96 pixels per inch). `title` names the document.
QByteArray EncodeDisplayList(const DisplayList& list, PictureFormat format, int scale, const QString& title);

// Writes the picture to `path` safely, through `files` (a temporary file
// renamed over the target when complete; nothing is left on failure). On
// failure returns false with the standard message in `error`.
bool WriteDisplayList(const DisplayList& list, const QString& path, PictureFormat format, int scale,
                      const QString& title, std::string& error, FileSystem& files = SystemFileSystem());

// Prints the picture on one page, scaled to the page's printable area keeping
// its proportions and centred. Returns false when the printer cannot start.
bool PrintDisplayList(QPrinter& printer, const DisplayList& list);

// Clipboard data: the picture as an image and as SVG ("image/svg+xml").
QMimeData* DisplayListMimeData(const DisplayList& list, const QString& title);
