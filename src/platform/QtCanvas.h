// Canvas on a QImage through QPainter.
#pragma once

#include "platform/Canvas.h"

#include <QFont>
#include <QImage>
#include <QPainter>

class QtCanvas : public Canvas {
public:
    // Paints on `image` (ARGB32 or RGB32) until destroyed.
    explicit QtCanvas(QImage& image);
    ~QtCanvas() override;

    void Ellipse(int x1, int y1, int x2, int y2) override;
    void Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) override;
    void SetPixel(int x, int y, Colour c) override;
    void TextOut(int x, int y, const std::string& text) override;
    void Clear(Colour c) override;
    int TextWidth(const std::string& text) override;

    // The family and pixel size used when the font size is 0.
    static QString DefaultFamily();
    static int DefaultPixelSize();

protected:
    void DoLine(int x1, int y1, int x2, int y2) override;

private:
    void ApplyPen();
    void ApplyFont();

    QImage& image_;
    QPainter painter_;
    uchar* bits_ = nullptr;
    qsizetype bytesPerLine_ = 0;
    int width_ = 0;
    int height_ = 0;
    // Last applied state, so that QPainter is only touched on change.
    Colour pen_ = 0xFFFFFFFFu;
    int penWidth_ = -1;
    PenStyle penStyle_ = PenStyle::Solid;
    bool penValid_ = false;
    int fontSize_ = -1;
    bool fontBold_ = false;
    int ascent_ = 0;
};

QColor ToQColor(Colour c);
