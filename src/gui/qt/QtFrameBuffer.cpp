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
    if (whole || paintWhole_ || !opsTaken_) return Render(whole);
    return RenderChanges();
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
    columns_ = (front_.width() + kTile - 1) / kTile;
    rows_ = (front_.height() + kTile - 1) / kTile;
    wholeRatio_ = ratio_ == std::floor(ratio_) ? static_cast<int>(ratio_) : 0;
    squaresPainted_ = columns_ * rows_;
    // The operations of the picture now shown, for the next comparison.
    opsTaken_ = !paintWhole_;
    if (opsTaken_) {
        shown_.TakeDrawnOps(shownOps_);
        DrawnOpsDiffer({}, shownOps_, changedBefore_, changedNow_, QtCanvas::TextBox);
    }
    return changed;
}

bool FrameBuffer::SquaresOf(const PictureBox& b, int& c0, int& c1, int& r0, int& r1) const
{
    if (b.Empty()) return false;
    // Device pixels the box may reach, a pixel more all round for figures
    // placed between pixels at a fractional ratio.
    int left, top, right, bottom;
    if (wholeRatio_ > 0) {
        left = b.left * wholeRatio_ - 1, top = b.top * wholeRatio_ - 1;
        right = b.right * wholeRatio_ + 1, bottom = b.bottom * wholeRatio_ + 1;
    } else {
        left = static_cast<int>(std::floor(b.left * ratio_)) - 1;
        top = static_cast<int>(std::floor(b.top * ratio_)) - 1;
        right = static_cast<int>(std::ceil(b.right * ratio_)) + 1;
        bottom = static_cast<int>(std::ceil(b.bottom * ratio_)) + 1;
    }
    if (right <= 0 || bottom <= 0) return false;
    c0 = std::max(0, left / kTile), c1 = std::min(columns_ - 1, (right - 1) / kTile);
    r0 = std::max(0, top / kTile), r1 = std::min(rows_ - 1, (bottom - 1) / kTile);
    return c0 <= c1 && r0 <= r1;
}

void FrameBuffer::MarkBox(const PictureBox& b, std::vector<char>& squares) const
{
    int c0, c1, r0, r1;
    if (!SquaresOf(b, c0, c1, r0, r1)) return;
    for (int r = r0; r <= r1; ++r)
        std::fill(squares.begin() + r * columns_ + c0, squares.begin() + r * columns_ + c1 + 1, 1);
}

bool FrameBuffer::ReachesMarked(const PictureBox& b) const
{
    int c0, c1, r0, r1;
    if (!SquaresOf(b, c0, c1, r0, r1)) return false;
    for (int r = r0; r <= r1; ++r)
        for (int c = c0; c <= c1; ++c)
            if (marked_[static_cast<std::size_t>(r * columns_ + c)]) return true;
    return false;
}

QRegion FrameBuffer::RenderChanges()
{
    // shownOps_ are the operations of the picture shown until now, taken when
    // it was shown (the list that holds their texts is the caller's again,
    // unchanged until Show returns).
    shown_.TakeDrawnOps(nowOps_);
    DrawnOpsDiffer(shownOps_, nowOps_, changedBefore_, changedNow_, QtCanvas::TextBox);
    marked_.assign(static_cast<std::size_t>(columns_ * rows_), 0);
    for (std::size_t i = 0; i < shownOps_.size(); ++i)
        if (changedBefore_[i]) ForEachPieceBox(shownOps_[i], [&](const PictureBox& b) { MarkBox(b, marked_); });
    for (std::size_t j = 0; j < nowOps_.size(); ++j)
        if (changedNow_[j]) ForEachPieceBox(nowOps_[j], [&](const PictureBox& b) { MarkBox(b, marked_); });
    std::swap(shownOps_, nowOps_);

    // Every operation that reaches a marked square is drawn again, whole and
    // in order, on the second image: the marked squares white first, and the
    // other squares these texts reach, so that a text finds white under it
    // where a fresh picture has white and may be stamped (QtCanvas::UseStamps;
    // what lands outside the marked squares is never shown).
    if (back_.size() != front_.size() || back_.devicePixelRatio() != ratio_)
        back_ = ImageForRatio(QSize(shown_.Width(), shown_.Height()), ratio_);
    const int w = front_.width(), h = front_.height();
    squaresPainted_ = static_cast<int>(std::count(marked_.begin(), marked_.end(), 1));
    if (squaresPainted_ == 0) return {};
    ++paints_;
    std::vector<char>& draw = changedNow_; // reused: what to draw
    filled_ = marked_;
    for (std::size_t j = 0; j < shownOps_.size(); ++j) {
        bool reaches = false;
        ForEachPieceBox(shownOps_[j], [&](const PictureBox& b) { reaches = reaches || ReachesMarked(b); });
        draw[j] = reaches ? 1 : 0;
        if (draw[j] && shownOps_[j].op == DisplayList::kTextOp) MarkBox(shownOps_[j].box, filled_);
    }
    // Rows of pixels straight (scanLine() would look for sharing every row).
    QRgb* const backBits = reinterpret_cast<QRgb*>(back_.bits());
    const qsizetype backStride = back_.bytesPerLine() / static_cast<qsizetype>(sizeof(QRgb));
    for (int r = 0; r < rows_; ++r)
        for (int c = 0; c < columns_;) {
            if (!filled_[static_cast<std::size_t>(r * columns_ + c)]) {
                ++c;
                continue;
            }
            int end = c;
            while (end < columns_ && filled_[static_cast<std::size_t>(r * columns_ + end)]) ++end;
            const int x = c * kTile, tw = std::min(end * kTile, w) - x;
            for (int y = r * kTile; y < std::min(h, (r + 1) * kTile); ++y)
                std::fill_n(backBits + y * backStride + x, tw, qRgb(255, 255, 255));
            c = end;
        }
    if (ratio_ == 1) {
        QtCanvas canvas(back_);
        canvas.UseStamps();
        ReplayDrawnOps(canvas, shownOps_, draw);
    } else {
        QPainter p(&back_);
        QtCanvas canvas(p, 1, shown_.Width(), shown_.Height());
        canvas.UseStamps();
        ReplayDrawnOps(canvas, shownOps_, draw);
    }

    // The rows of the marked squares that differ from the ones shown are
    // copied into the picture shown. What changed in a row of squares is
    // told as one band of rows (the first to the last that changed) and, for
    // each run of changed squares side by side, the columns from the first
    // to the last that changed: no more of the window is painted again than
    // changed (the controls over the picture are painted again wherever it
    // is).
    QRegion changed;
    const QRgb* const painted = reinterpret_cast<const QRgb*>(back_.constBits());
    QRgb* const frontBits = reinterpret_cast<QRgb*>(front_.bits());
    const qsizetype frontStride = front_.bytesPerLine() / static_cast<qsizetype>(sizeof(QRgb));
    std::vector<int> left(static_cast<std::size_t>(columns_)), right(static_cast<std::size_t>(columns_));
    for (int r = 0; r < rows_; ++r) {
        const int y0 = r * kTile, th = std::min(kTile, h - y0);
        int top = h, bottom = -1;
        for (int c = 0; c < columns_; ++c) {
            left[static_cast<std::size_t>(c)] = -1;
            if (!marked_[static_cast<std::size_t>(r * columns_ + c)]) continue;
            const int x = c * kTile, tw = std::min(kTile, w - x);
            const std::size_t bytes = static_cast<std::size_t>(tw) * sizeof(QRgb);
            int first = tw, last = -1;
            for (int y = y0; y < y0 + th; ++y) {
                QRgb* shown = frontBits + y * frontStride + x;
                const QRgb* now = painted + y * backStride + x;
                if (std::memcmp(shown, now, bytes) == 0) continue;
                int l = 0, e = tw - 1;
                while (shown[l] == now[l]) ++l;
                while (shown[e] == now[e]) --e;
                first = std::min(first, l);
                last = std::max(last, e);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
                std::memcpy(shown, now, bytes);
            }
            if (last < 0) continue;
            left[static_cast<std::size_t>(c)] = x + first;
            right[static_cast<std::size_t>(c)] = x + last + 1;
        }
        for (int c = 0; c < columns_;) {
            if (left[static_cast<std::size_t>(c)] < 0) {
                ++c;
                continue;
            }
            int end = c;
            while (end + 1 < columns_ && left[static_cast<std::size_t>(end + 1)] >= 0) ++end;
            const int x = left[static_cast<std::size_t>(c)];
            changed += LogicalRect(x, top, right[static_cast<std::size_t>(end)] - x, bottom + 1 - top, ratio_);
            c = end + 1;
        }
    }
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
