#include "platform/QtCanvas.h"

#include <QFontMetrics>
#include <QPen>

#include <cmath>

QColor ToQColor(Colour c) { return QColor(ColourRed(c), ColourGreen(c), ColourBlue(c)); }

QtCanvas::QtCanvas(QImage& image) : image_(image)
{
    // Raw pixel access first, before the painter holds the image.
    width_ = image_.width();
    height_ = image_.height();
    if (image_.format() == QImage::Format_ARGB32 || image_.format() == QImage::Format_RGB32 ||
        image_.format() == QImage::Format_ARGB32_Premultiplied) {
        bits_ = image_.bits();
        bytesPerLine_ = image_.bytesPerLine();
    }
    painter_.begin(&image_);
    painter_.setBrush(Qt::NoBrush);
    painter_.setRenderHint(QPainter::Antialiasing, false);
    painter_.setRenderHint(QPainter::TextAntialiasing, true);
    ApplyPen();
    ApplyFont();
}

QtCanvas::~QtCanvas() { painter_.end(); }

QString QtCanvas::DefaultFamily() { return QStringLiteral("Liberation Sans"); }

int QtCanvas::DefaultPixelSize() { return 11; }

void QtCanvas::ApplyPen()
{
    if (penValid_ && pen_ == PenColour() && penWidth_ == PenWidth() && penStyle_ == PenStyleNow()) return;
    pen_ = PenColour();
    penWidth_ = PenWidth();
    penStyle_ = PenStyleNow();
    penValid_ = true;
    QPen pen(ToQColor(pen_));
    pen.setWidth(penWidth_);
    pen.setStyle(penStyle_ == PenStyle::Dot ? Qt::DotLine : Qt::SolidLine);
    pen.setCapStyle(Qt::FlatCap);
    painter_.setPen(pen);
}

void QtCanvas::ApplyFont()
{
    if (fontSize_ == FontSize() && fontBold_ == FontBold()) return;
    fontSize_ = FontSize();
    fontBold_ = FontBold();
    QFont f(DefaultFamily());
    // Sizes are points as the drawing code gives them (96 pixels per inch).
    f.setPixelSize(fontSize_ == 0 ? DefaultPixelSize() : std::max(1, fontSize_ * 96 / 72));
    f.setBold(fontBold_);
    painter_.setFont(f);
    ascent_ = QFontMetrics(f).ascent();
}

void QtCanvas::DoLine(int x1, int y1, int x2, int y2)
{
    ApplyPen();
    painter_.drawLine(x1, y1, x2, y2);
}

void QtCanvas::Ellipse(int x1, int y1, int x2, int y2)
{
    ApplyPen();
    QRect r = QRect(QPoint(x1, y1), QPoint(x2, y2)).normalized();
    // The box's right and bottom edges lie outside the figure.
    painter_.drawEllipse(QRect(r.left(), r.top(), std::max(0, r.width() - 1), std::max(0, r.height() - 1)));
}

void QtCanvas::Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4)
{
    ApplyPen();
    QRect r = QRect(QPoint(x1, y1), QPoint(x2, y2)).normalized();
    const double cx = (r.left() + r.right() + 1) / 2.0;
    const double cy = (r.top() + r.bottom() + 1) / 2.0;
    // Angles counter-clockwise on the screen (screen y grows downwards).
    const double a1 = std::atan2(-(y3 - cy), x3 - cx) * 180.0 / M_PI;
    const double a2 = std::atan2(-(y4 - cy), x4 - cx) * 180.0 / M_PI;
    double span = a2 - a1;
    while (span <= 0) span += 360.0;
    while (span > 360) span -= 360.0;
    painter_.drawArc(QRect(r.left(), r.top(), std::max(0, r.width() - 1), std::max(0, r.height() - 1)),
                     static_cast<int>(std::lround(a1 * 16)), static_cast<int>(std::lround(span * 16)));
}

void QtCanvas::SetPixel(int x, int y, Colour c)
{
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
    if (bits_) {
        auto* line = reinterpret_cast<QRgb*>(bits_ + static_cast<qsizetype>(y) * bytesPerLine_);
        line[x] = qRgb(ColourRed(c), ColourGreen(c), ColourBlue(c));
        return;
    }
    painter_.save();
    painter_.setPen(ToQColor(c));
    painter_.drawPoint(x, y);
    painter_.restore();
}

void QtCanvas::TextOut(int x, int y, const std::string& text)
{
    ApplyFont();
    const QPen saved = painter_.pen();
    painter_.setPen(ToQColor(FontColour()));
    painter_.drawText(x, y + ascent_, QString::fromStdString(text));
    painter_.setPen(saved);
}

int QtCanvas::TextWidth(const std::string& text)
{
    ApplyFont();
    return painter_.fontMetrics().horizontalAdvance(QString::fromStdString(text));
}

void QtCanvas::Clear(Colour c) { painter_.fillRect(QRect(0, 0, width_, height_), ToQColor(c)); }
