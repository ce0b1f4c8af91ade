// Canvas over QPainter: 1:1 on a QImage (the main window's frames and the
// diagram pictures), or on any paint device at any scale (PNG, SVG and PDF
// export, printing).
#pragma once

#include "platform/Canvas.h"
#include "platform/DisplayList.h"

#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

class QtCanvas : public Canvas {
public:
    // Paints on `image` (ARGB32 or RGB32) until destroyed, one canvas pixel
    // to one image pixel.
    explicit QtCanvas(QImage& image);
    // Paints through `painter` (begun by the caller, on any device) with
    // `scale` device units to a canvas pixel; the canvas is `width` x `height`
    // pixels and nothing is drawn outside it. Figures keep their places on the
    // pixel grid of the 1:1 picture: a 2x picture reduced to half its size
    // gives the 1:1 one (level and upright lines exactly).
    QtCanvas(QPainter& painter, qreal scale, int width, int height);
    ~QtCanvas() override;

    // Also records every operation into `list` (nullptr: stop).
    void RecordInto(DisplayList* list) { record_ = list; }
    // Ellipses, arcs and texts drawn again and again the same (the joints,
    // the wheels, the readouts) are stamped from the pixels of their first
    // drawing where that gives the same pixels: on an RGB32 image at a whole
    // number of device pixels to a canvas pixel, the figure wholly inside the
    // picture; a text only onto white (QtFrameBuffer paints on white).
    void UseStamps();

    void Ellipse(int x1, int y1, int x2, int y2) override;
    void Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) override;
    void SetPixel(int x, int y, Colour c) override;
    void TextOut(int x, int y, const std::string& text) override;
    void Clear(Colour c) override;
    int TextWidth(const std::string& text) override;

    // The family and pixel size used when the font size is 0 ("Arial", or
    // its stand-in of the same metrics: QtFonts.h).
    static QString DefaultFamily();
    static int DefaultPixelSize();
    // The font of a canvas font size (0: the default) and boldness.
    static QFont FontFor(int size, bool bold);
    // The width of `text` in that font at one device pixel to a canvas pixel,
    // whatever the device: the layout of a picture is the same at every scale.
    static int MeasureText(int size, bool bold, const std::string& text);
    // The box of canvas pixels a text drawn with its top-left corner at
    // (0, 0) may paint, in the font of that size and weight, at any scale.
    static PictureBox TextBox(int size, bool bold, const std::string& text);

protected:
    void DoLine(int x1, int y1, int x2, int y2) override;

private:
    void Begin();
    void ApplyPen();
    void ApplyFont();
    void FlushPixels();
    bool StampFigure(int kind, int left, int top, int w, int h, int c, int d);
    bool StampText(int x, int y, const std::string& text, const void* laidOut);

    QPainter own_;
    QPainter* painter_ = nullptr;
    DisplayList* record_ = nullptr;
    // Whole pixels straight on an image (the screen's way); otherwise the
    // figures are placed on the grid with fractional coordinates.
    bool exact_ = true;
    // Texts on an image 1:1 are drawn from layouts kept between frames (the
    // same pixels as laying them out every time).
    bool rasterText_ = false;
    // Vector devices: runs of pixels of one colour are filled as one path.
    bool batchPixels_ = false;
    QPainterPath pixels_;
    Colour pixelColour_ = 0;
    uchar* bits_ = nullptr;
    qsizetype bytesPerLine_ = 0;
    int width_ = 0;
    int height_ = 0;
    // Stamping: the image painted on, device pixels to a canvas pixel (0:
    // no stamps), the canvas scale and the device rectangle drawn in.
    QImage* image_ = nullptr;
    int stampScale_ = 0;
    qreal scale_ = 1;
    QRect deviceArea_;
    // Last applied state, so that QPainter is only touched on change.
    Colour pen_ = 0xFFFFFFFFu;
    int penWidth_ = -1;
    PenStyle penStyle_ = PenStyle::Solid;
    bool penValid_ = false;
    int fontSize_ = -1;
    bool fontBold_ = false;
    int ascent_ = 0;
};

// Records into a display list only, measuring texts as QtCanvas does (a frame
// composed first as a list, then painted when it differs from the last one).
class QtListCanvas : public DisplayListCanvas {
public:
    using DisplayListCanvas::DisplayListCanvas;
    int TextWidth(const std::string& text) override { return QtCanvas::MeasureText(FontSize(), FontBold(), text); }
};

QColor ToQColor(Colour c);
