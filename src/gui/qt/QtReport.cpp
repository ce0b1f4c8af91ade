#include "qt/QtReport.h"

#include "platform/RecordFile.h"
#include "qt/QtCanvas.h"
#include "qt/QtPicture.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>

#include <algorithm>
#include <functional>
#include <vector>

namespace {

// Lengths below are in points (1/72 inch); the writer's unit is finer.
constexpr int kResolution = 1200;
constexpr qreal kUnit = kResolution / 72.0; // device units a point
constexpr qreal kMarginSide = 42, kMarginTop = 34, kMarginBottom = 36;
constexpr qreal kTitleBlockHeight = 40;     // from the top margin to the content
constexpr qreal kPicturePoints = 72.0 / 96; // a picture pixel at 96 pixels an inch
constexpr qreal kCellPad = 3;
constexpr qreal kTableFontLargest = 8, kTableFontSmallest = 5;

QFont Font(qreal points, bool bold = false)
{
    QFont f(QtCanvas::DefaultFamily());
    f.setPointSizeF(points);
    f.setBold(bold);
    return f;
}

QString Q(const std::string& s) { return QString::fromStdString(s); }

using Paint = std::function<void(QPainter&)>;

// Places the blocks on pages from the top down; what each page paints is kept
// until the number of pages is known.
class Layout {
public:
    Layout(QPaintDevice& device, const ReportDocument& doc) : device_(device), doc_(doc)
    {
        width_ = device.width() / kUnit;
        height_ = device.height() / kUnit;
        left_ = kMarginSide;
        right_ = width_ - kMarginSide;
        top_ = kMarginTop + kTitleBlockHeight;
        bottom_ = height_ - kMarginBottom;
    }

    void Section(const ReportSection& s)
    {
        NewPage();
        Text(s.title, Font(14, true), 10);
        for (const ReportBlock& b : s.blocks) {
            switch (b.kind) {
            case ReportBlock::Kind::Text: Text(b.text, Font(9), 10); break;
            case ReportBlock::Kind::Table: Table(b.text, b.table); break;
            case ReportBlock::Kind::Picture: Picture(b.text, b.picture); break;
            }
        }
    }

    // Paints every page, the title block first.
    void PaintAll(QPdfWriter& pdf, QPainter& p) const
    {
        for (std::size_t n = 0; n < pages_.size(); ++n) {
            if (n > 0) pdf.newPage();
            TitleBlock(p, static_cast<int>(n) + 1, static_cast<int>(pages_.size()));
            for (const Paint& paint : pages_[n]) paint(p);
        }
    }

private:
    QFontMetricsF Metrics(const QFont& f) const { return QFontMetricsF(f, &device_); }
    qreal Advance(const QFont& f, const QString& s) const { return Metrics(f).horizontalAdvance(s) / kUnit; }
    qreal LineHeight(const QFont& f) const { return Metrics(f).lineSpacing() / kUnit; }
    // Height of `s` wrapped at `width`.
    qreal Wrapped(const QFont& f, const QString& s, qreal width) const
    {
        return Metrics(f).boundingRect(QRectF(0, 0, width * kUnit, 1e9), Qt::TextWordWrap, s).height() / kUnit;
    }
    static QRectF Device(qreal x, qreal y, qreal w, qreal h) { return {x * kUnit, y * kUnit, w * kUnit, h * kUnit}; }

    void NewPage()
    {
        pages_.emplace_back();
        y_ = top_;
    }
    bool AtTop() const { return y_ <= top_; }
    // A new page unless `h` points fit below what the page holds.
    void Room(qreal h)
    {
        if (y_ + h > bottom_ && !AtTop()) NewPage();
    }
    void Add(Paint p) { pages_.back().push_back(std::move(p)); }

    void Text(const std::string& text, const QFont& f, qreal after)
    {
        const QString s = Q(text);
        const qreal w = right_ - left_, h = Wrapped(f, s, w);
        Room(h);
        const QRectF r = Device(left_, y_, w, h);
        Add([r, f, s](QPainter& p) {
            p.setFont(f);
            p.setPen(Qt::black);
            p.drawText(r, Qt::TextWordWrap, s);
        });
        y_ += h + after;
    }

    void Caption(const QString& s)
    {
        const QFont f = Font(10, true);
        const qreal h = LineHeight(f);
        const QRectF r = Device(left_, y_, right_ - left_, h);
        Add([r, f, s](QPainter& p) {
            p.setFont(f);
            p.setPen(Qt::black);
            p.drawText(r, Qt::AlignLeft | Qt::AlignVCenter, s);
        });
        y_ += h + 3;
    }

    void Table(const std::string& caption, const ReportTable& t)
    {
        const std::size_t columns = t.header.size();
        if (columns == 0) return;
        const qreal width = right_ - left_;
        // The largest font at which every column holds its widest cell and
        // the longest word of its title.
        qreal size = kTableFontLargest;
        std::vector<qreal> w(columns);
        for (;; size -= 0.5) {
            const QFont body = Font(size), head = Font(size, true);
            qreal sum = 0;
            for (std::size_t c = 0; c < columns; ++c) {
                qreal m = 0;
                for (const QString& word : Q(t.header[c]).split(QLatin1Char(' '), Qt::SkipEmptyParts))
                    m = std::max(m, Advance(head, word));
                for (const auto& row : t.rows) m = std::max(m, Advance(body, Q(row.at(c))));
                w[c] = m + 2 * kCellPad;
                sum += w[c];
            }
            if (sum <= width || size <= kTableFontSmallest) {
                // The room left is shared out evenly.
                const qreal extra = std::max<qreal>(0, (width - sum) / static_cast<qreal>(columns));
                for (qreal& x : w) x += extra;
                break;
            }
        }
        const QFont body = Font(size), head = Font(size, true);
        qreal headHeight = 0;
        for (std::size_t c = 0; c < columns; ++c)
            headHeight = std::max(headHeight, Wrapped(head, Q(t.header[c]), w[c] - 2 * kCellPad));
        headHeight += 2 * kCellPad;
        const qreal rowHeight = LineHeight(body) + 2;
        const qreal captionHeight = LineHeight(Font(10, true)) + 3;
        std::vector<qreal> x(columns + 1, left_);
        for (std::size_t c = 0; c < columns; ++c) x[c + 1] = x[c] + w[c];

        auto header = [&] {
            const qreal top = y_;
            std::vector<QRectF> cells;
            std::vector<QString> texts;
            for (std::size_t c = 0; c < columns; ++c) {
                cells.push_back(
                    Device(x[c] + kCellPad, top + kCellPad, w[c] - 2 * kCellPad, headHeight - 2 * kCellPad));
                texts.push_back(Q(t.header[c]));
            }
            const QRectF band = Device(left_, top, x[columns] - left_, headHeight);
            std::vector<bool> right = t.rightAligned;
            right.resize(columns, false);
            Add([band, cells, texts, right, head](QPainter& p) {
                p.fillRect(band, QColor(225, 225, 225));
                p.setFont(head);
                p.setPen(Qt::black);
                for (std::size_t c = 0; c < cells.size(); ++c)
                    p.drawText(cells[c],
                               Qt::TextWordWrap | Qt::AlignBottom | (right[c] ? Qt::AlignRight : Qt::AlignLeft),
                               texts[c]);
            });
            y_ += headHeight;
        };

        // A table that fits on a page stays on one; a longer one keeps its
        // caption, header and a few rows together.
        const qreal whole = captionHeight + headHeight + rowHeight * static_cast<qreal>(t.rows.size());
        const std::size_t together = std::min<std::size_t>(t.rows.size(), 3);
        Room(whole <= bottom_ - top_ ? whole : captionHeight + headHeight + rowHeight * static_cast<qreal>(together));
        Caption(Q(caption));
        header();
        for (std::size_t r = 0; r < t.rows.size(); ++r) {
            if (y_ + rowHeight > bottom_) {
                NewPage();
                Caption(Q(caption) + QStringLiteral(" (continued)"));
                header();
            }
            const qreal top = y_;
            std::vector<QRectF> cells;
            std::vector<QString> texts;
            std::vector<bool> right;
            for (std::size_t c = 0; c < columns; ++c) {
                cells.push_back(Device(x[c] + kCellPad, top, w[c] - 2 * kCellPad, rowHeight));
                texts.push_back(Q(t.rows[r].at(c)));
                right.push_back(c < t.rightAligned.size() && t.rightAligned[c]);
            }
            const QRectF band = Device(left_, top, x[columns] - left_, rowHeight);
            const bool shaded = r % 2 == 1;
            Add([band, cells, texts, right, body, shaded](QPainter& p) {
                if (shaded) p.fillRect(band, QColor(243, 243, 243));
                p.setFont(body);
                p.setPen(Qt::black);
                for (std::size_t c = 0; c < cells.size(); ++c)
                    p.drawText(cells[c], Qt::AlignVCenter | (right[c] ? Qt::AlignRight : Qt::AlignLeft), texts[c]);
            });
            y_ += rowHeight;
        }
        y_ += 14;
    }

    void Picture(const std::string& caption, const DisplayList& list)
    {
        const qreal captionHeight = LineHeight(Font(10, true)) + 3;
        const qreal maxW = right_ - left_, maxH = bottom_ - top_ - captionHeight;
        qreal scale = kPicturePoints;
        scale = std::min({scale, maxW / std::max(1, list.Width()), maxH / std::max(1, list.Height())});
        const qreal w = list.Width() * scale, h = list.Height() * scale;
        Room(captionHeight + h);
        Caption(Q(caption));
        const qreal x = left_ + (maxW - w) / 2;
        const QRectF frame = Device(x, y_, w, h);
        const DisplayList* picture = &list;
        Add([frame, picture, scale](QPainter& p) {
            p.save();
            p.translate(frame.topLeft());
            PaintDisplayList(p, *picture, scale * kUnit);
            p.restore();
            QPen pen(QColor(160, 160, 160));
            pen.setWidthF(0.5 * kUnit);
            p.setPen(pen);
            p.setBrush(Qt::NoBrush);
            p.drawRect(frame);
        });
        y_ += h + 16;
    }

    void TitleBlock(QPainter& p, int page, int pages) const
    {
        const QFont title = Font(11, true), small = Font(9);
        const qreal line1 = LineHeight(title), line2 = LineHeight(small);
        const qreal w = right_ - left_;
        p.setPen(Qt::black);
        p.setFont(title);
        p.drawText(Device(left_, kMarginTop, w, line1), Qt::AlignLeft | Qt::AlignVCenter, Q(doc_.title));
        p.setFont(small);
        p.drawText(Device(left_, kMarginTop, w, line1), Qt::AlignRight | Qt::AlignVCenter,
                   QStringLiteral("Page %1 of %2").arg(page).arg(pages));
        QStringList fields;
        for (const auto& [label, value] : doc_.fields) fields << Q(label) + QStringLiteral(": ") + Q(value);
        p.drawText(Device(left_, kMarginTop + line1, w, line2), Qt::AlignLeft | Qt::AlignVCenter,
                   fields.join(QStringLiteral("     ")));
        QPen rule(Qt::black);
        rule.setWidthF(0.75 * kUnit);
        p.setPen(rule);
        const qreal y = kMarginTop + line1 + line2 + 4;
        p.drawLine(QPointF(left_ * kUnit, y * kUnit), QPointF(right_ * kUnit, y * kUnit));
    }

    QPaintDevice& device_;
    const ReportDocument& doc_;
    qreal width_ = 0, height_ = 0, left_ = 0, right_ = 0, top_ = 0, bottom_ = 0;
    qreal y_ = 0;
    std::vector<std::vector<Paint>> pages_;
};

} // namespace

QPageSize ReportPageSize(const QLocale& locale)
{
    return QPageSize(locale.measurementSystem() == QLocale::ImperialUSSystem ? QPageSize::Letter : QPageSize::A4);
}

QByteArray EncodeReportPdf(const ReportDocument& doc, const QPageSize& size, const QString& name)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter pdf(&buffer);
    pdf.setTitle(name);
    pdf.setCreator(QStringLiteral("QUELF Outside Admission"));
    pdf.setResolution(kResolution);
    pdf.setPageLayout(QPageLayout(size, QPageLayout::Portrait, QMarginsF()));
    Layout layout(pdf, doc);
    for (const ReportSection& s : doc.sections) layout.Section(s);
    QPainter p(&pdf);
    layout.PaintAll(pdf, p);
    p.end();
    return bytes;
}

bool WriteReportPdf(const ReportDocument& doc, const QPageSize& size, const QString& path, std::string& error)
{
    const QByteArray bytes = EncodeReportPdf(doc, size, QFileInfo(path).completeBaseName());
    if (bytes.isEmpty()) {
        error = io_message::kInvalidFilename;
        return false;
    }
    return WriteWholeFile(path.toStdString(), reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                          static_cast<std::size_t>(bytes.size()), error);
}
