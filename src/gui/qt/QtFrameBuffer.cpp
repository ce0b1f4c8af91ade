#include "qt/QtFrameBuffer.h"

#include "qt/QtCanvas.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// Device pixels on a side of the squares compared between two pictures.
constexpr int kTile = 32;

// A rectangle of device pixels as the logical pixels it touches.
QRect LogicalRect(int x, int y, int w, int h, qreal ratio)
{
    const int left = static_cast<int>(std::floor(x / ratio)), top = static_cast<int>(std::floor(y / ratio));
    const int right = static_cast<int>(std::ceil((x + w) / ratio)),
              bottom = static_cast<int>(std::ceil((y + h) / ratio));
    return QRect(left, top, right - left, bottom - top);
}

// The squares in which two images of one size differ, in logical pixels.
QRegion ChangedTiles(const QImage& a, const QImage& b, qreal ratio)
{
    QRegion out;
    const int w = a.width(), h = a.height();
    const int columns = (w + kTile - 1) / kTile;
    std::vector<char> changed(static_cast<std::size_t>(columns));
    for (int ty = 0; ty < h; ty += kTile) {
        const int th = std::min(kTile, h - ty);
        std::fill(changed.begin(), changed.end(), 0);
        for (int y = ty; y < ty + th; ++y) {
            const auto* ra = reinterpret_cast<const QRgb*>(a.constScanLine(y));
            const auto* rb = reinterpret_cast<const QRgb*>(b.constScanLine(y));
            for (int c = 0; c < columns; ++c) {
                if (changed[static_cast<std::size_t>(c)]) continue;
                const int x = c * kTile, tw = std::min(kTile, w - x);
                if (std::memcmp(ra + x, rb + x, static_cast<std::size_t>(tw) * sizeof(QRgb)) != 0)
                    changed[static_cast<std::size_t>(c)] = 1;
            }
        }
        // Runs of changed squares in the band as one rectangle each.
        for (int c = 0; c < columns;) {
            if (!changed[static_cast<std::size_t>(c)]) {
                ++c;
                continue;
            }
            int end = c;
            while (end < columns && changed[static_cast<std::size_t>(end)]) ++end;
            const int x = c * kTile;
            out += LogicalRect(x, ty, std::min(end * kTile, w) - x, th, ratio);
            c = end;
        }
    }
    return out;
}

} // namespace

QSize DeviceSize(QSize logical, qreal ratio)
{
    return QSize(std::max(1, static_cast<int>(std::ceil(logical.width() * ratio - 1e-6))),
                 std::max(1, static_cast<int>(std::ceil(logical.height() * ratio - 1e-6))));
}

QImage ImageForRatio(QSize logical, qreal ratio)
{
    QImage image(DeviceSize(logical, ratio), QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    return image;
}

void PaintListOnImage(QImage& image, const DisplayList& list, qreal scale)
{
    image.fill(Qt::white);
    if (image.devicePixelRatio() == 1 && scale == 1) {
        QtCanvas c(image);
        list.Replay(c);
        return;
    }
    QPainter p(&image);
    QtCanvas c(p, scale, list.Width(), list.Height());
    list.Replay(c);
}

QRegion FrameBuffer::Show(DisplayList& list, qreal ratio)
{
    const bool sameSize = list.Width() == shown_.Width() && list.Height() == shown_.Height();
    if (ratio == ratio_ && sameSize && !front_.isNull() && list.SameAs(shown_)) return {};
    shown_.Swap(list);
    const bool whole = ratio != ratio_ || !sameSize || front_.isNull();
    ratio_ = ratio;
    return Render(whole);
}

bool FrameBuffer::Refit(QSize logical, qreal ratio)
{
    if (front_.isNull() || (ratio == ratio_ && logical == QSize(shown_.Width(), shown_.Height()))) return false;
    shown_.Crop(0, 0, logical.width(), logical.height());
    ratio_ = ratio;
    Render(true);
    return true;
}

QRegion FrameBuffer::Render(bool whole)
{
    const QSize logical(shown_.Width(), shown_.Height());
    if (back_.size() != DeviceSize(logical, ratio_) || back_.devicePixelRatio() != ratio_)
        back_ = ImageForRatio(logical, ratio_);
    PaintListOnImage(back_, shown_);
    ++paints_;
    QRegion changed;
    if (whole || front_.size() != back_.size())
        changed = QRect(QPoint(0, 0), logical);
    else
        changed = ChangedTiles(front_, back_, ratio_);
    std::swap(front_, back_);
    return changed;
}

void FrameBuffer::PaintOn(QPainter& p, const QRegion& area) const
{
    if (front_.isNull()) return;
    // Device pixel to device pixel. At a whole ratio each rectangle of the
    // region is copied on its own (a plain copy; under a clip of many
    // rectangles the painter blends row by row, in threads); at a fractional
    // one the image is drawn whole under the region, so that no device pixel
    // between two rectangles is left out.
    if (ratio_ != std::floor(ratio_) || area.rectCount() > 64) {
        p.drawImage(QPointF(0, 0), front_);
        return;
    }
    const auto r = static_cast<int>(ratio_);
    for (const QRect& part : area) p.drawImage(part, front_, QRect(part.topLeft() * r, part.size() * r));
}
