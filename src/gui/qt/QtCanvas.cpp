#include "qt/QtCanvas.h"

#include "platform/DisplayList.h"
#include "qt/QtFonts.h"

#include <QFontMetrics>
#include <QPaintDevice>
#include <QPen>
#include <QStaticText>

#include <cmath>
#include <map>
#include <numbers>
#include <unordered_map>
#include <utility>

QColor ToQColor(Colour c) { return QColor(ColourRed(c), ColourGreen(c), ColourBlue(c)); }

QtCanvas::QtCanvas(QImage& image) : painter_(&own_)
{
    // Raw pixel access first, before the painter holds the image.
    width_ = image.width();
    height_ = image.height();
    if (image.format() == QImage::Format_ARGB32 || image.format() == QImage::Format_RGB32 ||
        image.format() == QImage::Format_ARGB32_Premultiplied) {
        bits_ = image.bits();
        bytesPerLine_ = image.bytesPerLine();
    }
    own_.begin(&image);
    rasterText_ = true;
    Begin();
}

QtCanvas::QtCanvas(QPainter& painter, qreal scale, int width, int height) : painter_(&painter)
{
    exact_ = false;
    width_ = width;
    height_ = height;
    const int type = painter.device() ? painter.device()->devType() : QInternal::Image;
    batchPixels_ = type != QInternal::Image && type != QInternal::Pixmap;
    painter_->save();
    painter_->scale(scale, scale);
    painter_->setClipRect(QRectF(0, 0, width, height), Qt::IntersectClip);
    Begin();
}

void QtCanvas::Begin()
{
    painter_->setBrush(Qt::NoBrush);
    painter_->setRenderHint(QPainter::Antialiasing, false);
    painter_->setRenderHint(QPainter::TextAntialiasing, true);
    ApplyPen();
    ApplyFont();
}

QtCanvas::~QtCanvas()
{
    FlushPixels();
    if (painter_ == &own_)
        own_.end();
    else
        painter_->restore();
}

QString QtCanvas::DefaultFamily() { return QStringLiteral("Arial"); }

int QtCanvas::DefaultPixelSize() { return 11; }

QFont QtCanvas::FontFor(int size, bool bold)
{
    // Sizes are points as the drawing code gives them (96 pixels per inch).
    return LayoutFont(DefaultFamily(), size == 0 ? DefaultPixelSize() : std::max(1, size * 96 / 72), bold);
}

int QtCanvas::MeasureText(int size, bool bold, const std::string& text)
{
    // Metrics as a painter on a plain image gives them; the last font is kept.
    static const QImage device(1, 1, QImage::Format_RGB32);
    static int lastSize = -1;
    static bool lastBold = false;
    static QFontMetrics& metrics = *new QFontMetrics(QFont()); // as the layouts in TextOut
    if (size != lastSize || bold != lastBold) {
        metrics = QFontMetrics(QFont(FontFor(size, bold), &device));
        lastSize = size;
        lastBold = bold;
    }
    return metrics.horizontalAdvance(QString::fromStdString(text));
}

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
    painter_->setPen(pen);
}

void QtCanvas::ApplyFont()
{
    if (fontSize_ == FontSize() && fontBold_ == FontBold()) return;
    fontSize_ = FontSize();
    fontBold_ = FontBold();
    const QFont f = FontFor(fontSize_, fontBold_);
    painter_->setFont(f);
    // The ascents of the fonts used so far (a few sizes, every frame).
    static std::map<std::pair<int, bool>, int> ascents;
    const auto key = std::make_pair(fontSize_, fontBold_);
    auto it = ascents.find(key);
    if (it == ascents.end()) it = ascents.emplace(key, QFontMetrics(f).ascent()).first;
    ascent_ = it->second;
}

void QtCanvas::FlushPixels()
{
    if (pixels_.isEmpty()) return;
    painter_->fillPath(pixels_, ToQColor(pixelColour_));
    pixels_.clear();
}

void QtCanvas::DoLine(int x1, int y1, int x2, int y2)
{
    if (record_) record_->AddLine(*this, x1, y1, x2, y2);
    FlushPixels();
    ApplyPen();
    if (exact_) {
        painter_->drawLine(x1, y1, x2, y2);
        return;
    }
    // The 1:1 line covers [x1, x2) along its major axis. A level or upright
    // line of odd width lies on a pixel edge there and takes the pixels below
    // or right of it: it moves across by half a pixel. (Sloping lines step
    // from pixel to pixel at a resolution of their own.)
    if (x1 == x2 && y1 == y2) {
        if (PenWidth() == 1) painter_->fillRect(QRectF(x1, y1, 1, 1), ToQColor(PenColour()));
        return;
    }
    const double across = PenWidth() % 2 ? 0.5 : 0;
    const QPointF shift = y1 == y2 ? QPointF(0, across) : x1 == x2 ? QPointF(across, 0) : QPointF(0, 0);
    painter_->drawLine(QPointF(x1, y1) + shift, QPointF(x2, y2) + shift);
}

void QtCanvas::Ellipse(int x1, int y1, int x2, int y2)
{
    if (record_) record_->AddEllipse(*this, x1, y1, x2, y2);
    FlushPixels();
    ApplyPen();
    QRect r = QRect(QPoint(x1, y1), QPoint(x2, y2)).normalized();
    // The box's right and bottom edges lie outside the figure.
    const int w = std::max(0, r.width() - 1), h = std::max(0, r.height() - 1);
    if (exact_) {
        painter_->drawEllipse(QRect(r.left(), r.top(), w, h));
        return;
    }
    // As a level line: an outline of odd width takes the pixels below and
    // right of its edge.
    const double o = PenWidth() % 2 ? 0.5 : 0;
    painter_->drawEllipse(QRectF(r.left() + o, r.top() + o, w, h));
}

void QtCanvas::Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4)
{
    if (record_) record_->AddArc(*this, x1, y1, x2, y2, x3, y3, x4, y4);
    FlushPixels();
    ApplyPen();
    QRect r = QRect(QPoint(x1, y1), QPoint(x2, y2)).normalized();
    const double cx = (r.left() + r.right() + 1) / 2.0;
    const double cy = (r.top() + r.bottom() + 1) / 2.0;
    // Angles counter-clockwise on the screen (screen y grows downwards).
    const double a1 = std::atan2(-(y3 - cy), x3 - cx) * 180.0 / std::numbers::pi;
    const double a2 = std::atan2(-(y4 - cy), x4 - cx) * 180.0 / std::numbers::pi;
    double span = a2 - a1;
    while (span <= 0) span += 360.0;
    while (span > 360) span -= 360.0;
    const int w = std::max(0, r.width() - 1), h = std::max(0, r.height() - 1);
    const int start = static_cast<int>(std::lround(a1 * 16)), length = static_cast<int>(std::lround(span * 16));
    if (exact_) {
        painter_->drawArc(QRect(r.left(), r.top(), w, h), start, length);
        return;
    }
    painter_->drawArc(QRectF(r.left(), r.top(), w, h), start, length);
}

void QtCanvas::SetPixel(int x, int y, Colour c)
{
    if (record_) record_->AddPixel(*this, x, y, c);
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
    if (bits_) {
        auto* line = reinterpret_cast<QRgb*>(bits_ + static_cast<qsizetype>(y) * bytesPerLine_);
        line[x] = qRgb(ColourRed(c), ColourGreen(c), ColourBlue(c));
        return;
    }
    if (batchPixels_) {
        if (!pixels_.isEmpty() && pixelColour_ != c) FlushPixels();
        pixelColour_ = c;
        pixels_.addRect(QRectF(x, y, 1, 1));
        return;
    }
    painter_->fillRect(QRectF(x, y, 1, 1), ToQColor(c));
}

void QtCanvas::TextOut(int x, int y, const std::string& text)
{
    if (record_) record_->AddText(*this, x, y, text);
    FlushPixels();
    ApplyFont();
    const QPen saved = painter_->pen();
    painter_->setPen(ToQColor(FontColour()));
    if (rasterText_) {
        // Laid out once and kept: the frames show the same few dozen texts.
        // Never destroyed: the layouts hold font engines that go with the
        // application.
        static auto& laidOut = *new std::unordered_map<std::string, QStaticText>;
        if (laidOut.size() > 2000) laidOut.clear();
        std::string key = text;
        key.push_back('\0');
        key += static_cast<char>(fontSize_ & 0x7F);
        key += fontBold_ ? 'b' : 'n';
        auto it = laidOut.find(key);
        if (it == laidOut.end()) {
            QStaticText t(QString::fromStdString(text));
            t.setTextFormat(Qt::PlainText);
            t.prepare(QTransform(), painter_->font());
            it = laidOut.emplace(std::move(key), std::move(t)).first;
        }
        painter_->drawStaticText(QPointF(x, y), it->second);
    } else {
        painter_->drawText(x, y + ascent_, QString::fromStdString(text));
    }
    painter_->setPen(saved);
}

int QtCanvas::TextWidth(const std::string& text) { return MeasureText(FontSize(), FontBold(), text); }

void QtCanvas::Clear(Colour c)
{
    if (record_) record_->AddClear(*this, c);
    pixels_.clear();
    painter_->fillRect(QRect(0, 0, width_, height_), ToQColor(c));
}
