#include "qt/QtCanvas.h"

#include "platform/DisplayList.h"
#include "qt/QtFonts.h"

#include <QFontMetrics>
#include <QPaintDevice>
#include <QPen>
#include <QStaticText>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <numbers>
#include <string>
#include <tuple>
#include <unordered_map>
#include <utility>
#include <vector>

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
    image_ = &image;
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
    if (type == QInternal::Image) image_ = static_cast<QImage*>(painter.device());
    scale_ = scale;
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

void QtCanvas::UseStamps()
{
    if (!image_ || image_->format() != QImage::Format_RGB32 || (exact_ && image_->devicePixelRatio() != 1)) return;
    // A plain enlargement by a whole number: the same figure at another
    // place is the same pixels moved by whole pixels.
    const QTransform t = painter_->deviceTransform();
    const qreal k = t.m11();
    if (t.type() > QTransform::TxScale || t.m22() != k || k < 1 || k != std::floor(k) || k > 8) return;
    stampScale_ = static_cast<int>(k);
    deviceArea_ =
        QRect(0, 0, std::min(image_->width(), width_ * stampScale_), std::min(image_->height(), height_ * stampScale_));
}

namespace {

// A figure's pixels as runs along rows, from the top-left corner of the
// scratch picture it was drawn on.
struct Run {
    int y, x0, x1;
};

// A figure as its pixels depend on it: its kind, its shape from the corner
// of its box, the pen and the scale.
struct FigureKey {
    enum Kind { Ellipse, Arc, Line } kind;
    int a, b, c, d; // ellipse: width, height; arc: and angles; line: both ends
    int penWidth, style, scale;
    qreal ratio;
    bool exact;
    bool operator==(const FigureKey& o) const
    {
        return std::tie(kind, a, b, c, d, penWidth, style, scale, ratio, exact) ==
               std::tie(o.kind, o.a, o.b, o.c, o.d, o.penWidth, o.style, o.scale, o.ratio, o.exact);
    }
};

struct FigureHash {
    std::size_t operator()(const FigureKey& k) const
    {
        std::size_t h = static_cast<std::size_t>(k.kind);
        for (const int v :
             {k.a, k.b, k.c, k.d, k.penWidth, k.style, k.scale, static_cast<int>(k.ratio * 64), k.exact ? 1 : 0})
            h = h * 1000003u ^ static_cast<std::size_t>(static_cast<unsigned>(v));
        return h;
    }
};

// A text drawn on white: the part that is not white, and where it lies in
// the text's box (device pixels).
struct TextStamp {
    QImage ink;
    QPoint at;
};

// What the stamps keep, in bytes, before they are dropped and made again.
constexpr std::size_t kStampBytes = 8u << 20;

bool AllWhite(const QImage& image, const QRect& r)
{
    static const std::vector<QRgb> white(8192, 0xFFFFFFFFu);
    if (r.width() > static_cast<int>(white.size())) return false;
    const auto* bits = reinterpret_cast<const QRgb*>(image.constBits());
    const qsizetype stride = image.bytesPerLine() / static_cast<qsizetype>(sizeof(QRgb));
    const std::size_t bytes = static_cast<std::size_t>(r.width()) * sizeof(QRgb);
    for (int y = r.top(); y <= r.bottom(); ++y)
        if (std::memcmp(bits + y * stride + r.left(), white.data(), bytes) != 0) return false;
    return true;
}

} // namespace

bool QtCanvas::StampFigure(int kind, int left, int top, int w, int h, int c, int d)
{
    const int k = stampScale_;
    // Room for the pen all round, in canvas pixels, and for the ends of a flat
    // ellipse (DisplayList::TakeDrawnOps).
    int m = PenWidth() + 2;
    if (kind != FigureKey::Line && std::max(w, h) * 5 > std::min(w, h) * 6 + 10) m += std::max(w, h) / 4;
    const QRect device((left - m) * k, (top - m) * k, (w + 2 * m + 1) * k, (h + 2 * m + 1) * k);
    if (!deviceArea_.contains(device)) return false;
    static auto& figures = *new std::unordered_map<FigureKey, std::vector<Run>, FigureHash>;
    const auto shape = static_cast<FigureKey::Kind>(kind);
    const FigureKey key{shape, w, h, c, d, PenWidth(), static_cast<int>(PenStyleNow()), k, image_->devicePixelRatio(),
                        exact_};
    auto it = figures.find(key);
    if (it == figures.end()) {
        if (figures.size() > 8000) figures.clear();
        // Drawn once on white at the same place within its pixels, as the
        // canvas draws it (the pen black: any other colour sets the same
        // pixels).
        QImage scratch(device.size(), QImage::Format_RGB32);
        scratch.setDevicePixelRatio(image_->devicePixelRatio());
        scratch.fill(Qt::white);
        {
            QPainter p(&scratch);
            p.setRenderHint(QPainter::Antialiasing, false);
            p.setBrush(Qt::NoBrush);
            QPen pen(Qt::black);
            pen.setWidth(PenWidth());
            pen.setStyle(PenStyleNow() == PenStyle::Dot ? Qt::DotLine : Qt::SolidLine);
            pen.setCapStyle(Qt::FlatCap);
            p.setPen(pen);
            if (!exact_) p.scale(scale_, scale_);
            const double o = PenWidth() % 2 ? 0.5 : 0;
            switch (shape) {
            case FigureKey::Ellipse:
                if (exact_)
                    p.drawEllipse(QRect(m, m, w, h));
                else
                    p.drawEllipse(QRectF(m + o, m + o, w, h));
                break;
            case FigureKey::Arc:
                if (exact_)
                    p.drawArc(QRect(m, m, w, h), c, d);
                else
                    p.drawArc(QRectF(m, m, w, h), c, d);
                break;
            case FigureKey::Line: {
                // From corner (w, h) of the box to (c, d), each 0 or its size.
                const QPoint from(m + (w == c ? 0 : w), m + (h == d ? 0 : h)), to(m + c, m + d);
                if (exact_) {
                    p.drawLine(from, to);
                    break;
                }
                const QPointF shift = from.y() == to.y()   ? QPointF(0, o)
                                      : from.x() == to.x() ? QPointF(o, 0)
                                                           : QPointF(0, 0);
                p.drawLine(QPointF(from) + shift, QPointF(to) + shift);
                break;
            }
            }
        }
        std::vector<Run> runs;
        for (int y = 0; y < scratch.height(); ++y) {
            const auto* row = reinterpret_cast<const QRgb*>(scratch.constScanLine(y));
            for (int x = 0; x < scratch.width();) {
                if (row[x] == 0xFFFFFFFFu) {
                    ++x;
                    continue;
                }
                const int x0 = x;
                while (x < scratch.width() && row[x] != 0xFFFFFFFFu) ++x;
                runs.push_back({y, x0, x});
            }
        }
        it = figures.emplace(key, std::move(runs)).first;
    }
    auto* bits = reinterpret_cast<QRgb*>(image_->bits());
    const qsizetype stride = image_->bytesPerLine() / static_cast<qsizetype>(sizeof(QRgb));
    const Colour pen = PenColour();
    const QRgb colour = qRgb(ColourRed(pen), ColourGreen(pen), ColourBlue(pen));
    for (const Run& run : it->second)
        std::fill(bits + (device.top() + run.y) * stride + device.left() + run.x0,
                  bits + (device.top() + run.y) * stride + device.left() + run.x1, colour);
    return true;
}

bool QtCanvas::StampText(int x, int y, const std::string& text, const void* laidOut)
{
    const int k = stampScale_;
    const PictureBox b = TextBox(fontSize_, fontBold_, text);
    const QRect device((x + b.left) * k, (y + b.top) * k, (b.right - b.left) * k, (b.bottom - b.top) * k);
    // A colour that white pixels show wherever a glyph covers them at all.
    const Colour c = FontColour();
    if (std::min({ColourRed(c), ColourGreen(c), ColourBlue(c)}) > 128) return false;
    static auto& stamps = *new std::unordered_map<std::string, TextStamp>;
    static std::size_t bytes = 0;
    std::string key = text;
    key.push_back('\0');
    for (const int v : {fontSize_, fontBold_ ? 1 : 0, static_cast<int>(FontColour()), k,
                        static_cast<int>(image_->devicePixelRatio() * 64), exact_ ? 1 : 0})
        key += std::to_string(v) + ',';
    auto it = stamps.find(key);
    if (it == stamps.end()) {
        if (bytes > kStampBytes) {
            stamps.clear();
            bytes = 0;
        }
        QImage scratch(device.size(), QImage::Format_RGB32);
        scratch.setDevicePixelRatio(image_->devicePixelRatio());
        scratch.fill(Qt::white);
        {
            QPainter p(&scratch);
            p.setRenderHint(QPainter::Antialiasing, false);
            p.setRenderHint(QPainter::TextAntialiasing, true);
            p.setFont(painter_->font());
            p.setPen(ToQColor(FontColour()));
            if (laidOut) {
                p.drawStaticText(QPointF(-b.left, -b.top), *static_cast<const QStaticText*>(laidOut));
            } else {
                p.scale(scale_, scale_);
                p.drawText(-b.left, -b.top + ascent_, QString::fromStdString(text));
            }
        }
        int left = scratch.width(), right = -1, top = scratch.height(), bottom = -1;
        for (int row = 0; row < scratch.height(); ++row) {
            const auto* line = reinterpret_cast<const QRgb*>(scratch.constScanLine(row));
            for (int col = 0; col < scratch.width(); ++col)
                if (line[col] != 0xFFFFFFFFu) {
                    left = std::min(left, col), right = std::max(right, col);
                    top = std::min(top, row), bottom = std::max(bottom, row);
                }
        }
        const QRect ink(QPoint(left, top), QPoint(right, bottom));
        TextStamp stamp{ink.isEmpty() ? QImage() : scratch.copy(ink), ink.topLeft()};
        bytes += static_cast<std::size_t>(stamp.ink.sizeInBytes()) + key.size() + 64;
        it = stamps.emplace(std::move(key), std::move(stamp)).first;
    }
    // Drawn on white (the glyphs' pixels and one more all round), wholly in
    // the picture: the pixels of the text drawn on white.
    const TextStamp& stamp = it->second;
    const QRect reach = stamp.ink.isNull()
                            ? device
                            : QRect(device.topLeft() + stamp.at, stamp.ink.size()).adjusted(-1, -1, 1, 1) & device;
    if (!deviceArea_.contains(reach) || !AllWhite(*image_, reach)) return false;
    if (stamp.ink.isNull()) return true;
    auto* bits = reinterpret_cast<QRgb*>(image_->bits());
    const qsizetype stride = image_->bytesPerLine() / static_cast<qsizetype>(sizeof(QRgb));
    const int left = device.left() + stamp.at.x(), top = device.top() + stamp.at.y();
    for (int row = 0; row < stamp.ink.height(); ++row)
        std::copy_n(reinterpret_cast<const QRgb*>(stamp.ink.constScanLine(row)), stamp.ink.width(),
                    bits + (top + row) * stride + left);
    return true;
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
    if (stampScale_ && (x1 != x2 || y1 != y2)) {
        const int left = std::min(x1, x2), top = std::min(y1, y2);
        if (StampFigure(FigureKey::Line, left, top, std::abs(x2 - x1), std::abs(y2 - y1), x2 - left, y2 - top)) return;
    }
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
    if (stampScale_ && StampFigure(FigureKey::Ellipse, r.left(), r.top(), w, h, 0, 0)) return;
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
    if (stampScale_ && StampFigure(FigureKey::Arc, r.left(), r.top(), w, h, start, length)) return;
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
        if (!stampScale_ || !StampText(x, y, text, &it->second)) painter_->drawStaticText(QPointF(x, y), it->second);
    } else if (!stampScale_ || !StampText(x, y, text, nullptr)) {
        painter_->drawText(x, y + ascent_, QString::fromStdString(text));
    }
    painter_->setPen(saved);
}

PictureBox QtCanvas::TextBox(int size, bool bold, const std::string& text)
{
    // The advances of its characters with room for kerning and for glyphs
    // that reach past their advance or above and below the line. The
    // advances of printable ASCII are kept per font; a text with other
    // characters is measured whole.
    struct FontBoxes {
        int height = 0;
        int advance[95]{};
        QFontMetrics metrics{QFont()};
    };
    static QImage& device = *new QImage(1, 1, QImage::Format_RGB32);
    static auto& fonts = *new std::map<std::pair<int, bool>, FontBoxes>;
    auto it = fonts.find({size, bold});
    if (it == fonts.end()) {
        FontBoxes f;
        f.metrics = QFontMetrics(QFont(FontFor(size, bold), &device));
        f.height = f.metrics.height();
        for (int ch = 32; ch < 127; ++ch) f.advance[ch - 32] = f.metrics.horizontalAdvance(QChar(ch));
        it = fonts.emplace(std::make_pair(size, bold), f).first;
    }
    const FontBoxes& f = it->second;
    int width = 0;
    bool ascii = true;
    for (const char ch : text) {
        const auto u = static_cast<unsigned char>(ch);
        if (u < 32 || u > 126) {
            ascii = false;
            break;
        }
        width += f.advance[u - 32];
    }
    if (!ascii) {
        const QRect r = f.metrics.boundingRect(QString::fromStdString(text));
        width = std::max(f.metrics.horizontalAdvance(QString::fromStdString(text)), r.right() + 1);
    }
    const int slack = static_cast<int>(text.size()) / 2 + 3;
    return {-3, -3, width + slack, f.height + 3};
}

int QtCanvas::TextWidth(const std::string& text) { return MeasureText(FontSize(), FontBold(), text); }

void QtCanvas::Clear(Colour c)
{
    if (record_) record_->AddClear(*this, c);
    pixels_.clear();
    painter_->fillRect(QRect(0, 0, width_, height_), ToQColor(c));
}
