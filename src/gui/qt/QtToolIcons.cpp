#include "qt/QtToolIcons.h"

#include "qt/QtFonts.h"

#include <QApplication>
#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>
#include <QStyle>
#include <QStyleOption>

#include <cmath>
#include <functional>

namespace {

// An icon drawn from its picture (in units of its base size) at the size and
// device pixel ratio it is shown at, so that it is as sharp as the rest of
// the window at 150 % or 200 %.
class DrawnIcon : public QIconEngine {
public:
    DrawnIcon(QSize base, std::function<void(QPainter&)> picture) : base_(base), picture_(std::move(picture)) {}

    QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override
    {
        return base_.width() <= size.width() && base_.height() <= size.height()
                   ? base_
                   : base_.scaled(size, Qt::KeepAspectRatio);
    }
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State, qreal scale) override
    {
        // `size` is in device pixels; the picture at `scale` when it fits.
        QSize device = (QSizeF(base_) * scale).toSize();
        if (device.width() > size.width() || device.height() > size.height())
            device = device.scaled(size, Qt::KeepAspectRatio);
        QPixmap pm(device.expandedTo(QSize(1, 1)));
        pm.fill(Qt::transparent);
        {
            QPainter p(&pm);
            p.setRenderHint(QPainter::Antialiasing, true);
            p.scale(static_cast<qreal>(pm.width()) / base_.width(), static_cast<qreal>(pm.height()) / base_.height());
            picture_(p);
        }
        if (mode == QIcon::Disabled || mode == QIcon::Selected) {
            QStyleOption opt;
            opt.palette = QApplication::palette();
            pm = QApplication::style()->generatedIconPixmap(mode, pm, &opt);
        }
        return pm;
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        return scaledPixmap(size, mode, state, 1);
    }
    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override
    {
        const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1;
        QPixmap pm = scaledPixmap((QSizeF(rect.size()) * ratio).toSize(), mode, state, ratio);
        pm.setDevicePixelRatio(ratio);
        painter->drawPixmap(rect.topLeft(), pm);
    }
    QIconEngine* clone() const override { return new DrawnIcon(base_, picture_); }

private:
    QSize base_;
    std::function<void(QPainter&)> picture_;
};

// Small pictures of our own for the tool buttons, on a 22 x 22 grid.
void PaintToolPicture(QPainter& p, int kind)
{
    QPen pen(Qt::black, 1.5);
    p.setPen(pen);
    switch (kind) {
    case 1: // open: folder
        p.setBrush(QColor(230, 200, 90));
        p.drawRect(3, 7, 16, 11);
        p.drawRect(3, 5, 7, 3);
        break;
    case 2: // save: disk
        p.setBrush(QColor(70, 90, 160));
        p.drawRect(3, 3, 16, 16);
        p.setBrush(Qt::white);
        p.drawRect(6, 3, 10, 6);
        break;
    case 4: // frame dimensions: crank and rod
        p.drawEllipse(QPointF(7, 14), 5, 5);
        p.setPen(QPen(Qt::red, 2));
        p.drawLine(7, 14, 19, 8);
        break;
    case 5: // cylinder
        p.setBrush(QColor(200, 200, 200));
        p.drawRect(3, 8, 16, 9);
        p.drawRect(9, 4, 6, 4);
        p.setBrush(Qt::black);
        p.drawRect(9, 8, 3, 9);
        break;
    case 6: // driver angle
        p.drawEllipse(QPointF(11, 11), 8, 8);
        p.drawLine(11, 11, 17, 6);
        break;
    case 7: // step angle
        p.drawLine(4, 18, 18, 18);
        p.drawLine(4, 18, 16, 6);
        p.drawArc(QRectF(-2, 12, 12, 12), 0, 45 * 16);
        break;
    case 8: // reverse arm position
        p.setPen(QPen(Qt::red, 2));
        p.drawLine(11, 3, 8, 19);
        p.setPen(pen);
        p.drawLine(2, 19, 20, 19);
        break;
    case 9: // mid gear
        p.drawLine(11, 3, 11, 19);
        p.drawLine(4, 11, 18, 11);
        p.drawEllipse(QPointF(11, 11), 4, 4);
        break;
    case 10: // steam
        p.setPen(Qt::NoPen);
        for (int i = 0; i < 14; ++i) {
            p.setBrush(i % 3 ? QColor(255, 0, 0) : QColor(0, 0, 255));
            p.drawEllipse(QPointF(4 + (i * 7) % 15, 4 + (i * 11) % 15), 1.5, 1.5);
        }
        break;
    case 11: // reference points
        p.drawLine(11, 2, 11, 20);
        p.drawLine(2, 11, 20, 11);
        break;
    case 23: // lines and circles
        p.setPen(QPen(Qt::blue, 1.5));
        p.drawLine(2, 18, 19, 4);
        p.setPen(QPen(QColor(0, 128, 0), 1.5));
        p.drawEllipse(QPointF(13, 13), 6, 6);
        break;
    case 24: // pivot data
        p.setBrush(Qt::white);
        p.drawEllipse(QPointF(8, 12), 3, 3);
        p.setPen(QPen(Qt::red, 1.5));
        p.setFont(LayoutFont(QStringLiteral("Arial"), 11));
        p.drawText(QRectF(11, 1, 10, 12), Qt::AlignCenter, QStringLiteral("1"));
        break;
    case 12: // dynamic variables: a small bar
        p.drawRect(2, 8, 18, 6);
        p.setBrush(Qt::gray);
        p.drawRect(9, 8, 4, 6);
        break;
    case 3: { // undo: curved arrow
        QPainterPath path;
        path.moveTo(17, 16);
        path.cubicTo(17, 5, 6, 5, 5, 11);
        p.drawPath(path);
        p.drawLine(5, 11, 3, 6);
        p.drawLine(5, 11, 9, 9);
        break;
    }
    case 13: { // sine diagram
        QPainterPath path;
        path.moveTo(1, 11);
        for (int x = 1; x <= 21; ++x) path.lineTo(x, 11 - 7 * std::sin((x - 1) * 3.14159 / 10));
        p.drawPath(path);
        break;
    }
    case 14: // oval diagram
        p.drawEllipse(QPointF(11, 11), 9, 5);
        break;
    case 15: { // steam diagram: indicator loop
        QPainterPath path;
        path.moveTo(3, 5);
        path.lineTo(9, 5);
        path.cubicTo(13, 10, 16, 15, 19, 16);
        path.lineTo(19, 18);
        path.lineTo(5, 18);
        path.cubicTo(3, 14, 3, 9, 3, 5);
        p.setPen(QPen(QColor(0, 128, 0), 1.5));
        p.drawPath(path);
        break;
    }
    case 16: // port events
        p.drawLine(3, 19, 3, 3);
        p.drawLine(3, 19, 19, 19);
        p.setPen(QPen(Qt::red, 1.5));
        p.drawLine(6, 17, 12, 5);
        p.setPen(QPen(QColor(0, 128, 128), 1.5));
        p.drawLine(10, 17, 18, 7);
        break;
    default: break;
    }
}

} // namespace

QIcon ToolIcon(int kind)
{
    return QIcon(new DrawnIcon(QSize(22, 22), [kind](QPainter& p) { PaintToolPicture(p, kind); }));
}

QIcon ErrorIcon()
{
    return QIcon(new DrawnIcon(QSize(22, 18), [](QPainter& p) {
        p.setBrush(QColor(255, 0, 0));
        p.setPen(Qt::black);
        p.drawPolygon(QPolygonF({QPointF(11, 1), QPointF(21, 17), QPointF(1, 17)}));
        p.setPen(Qt::white);
        p.setFont(LayoutFont(QStringLiteral("Arial"), 11, true));
        p.drawText(QRectF(1, 4, 20, 13), Qt::AlignCenter, QStringLiteral("!"));
    }));
}
