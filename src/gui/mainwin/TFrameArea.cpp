#include "mainwin/TFrameArea.h"

#include "drawing/MainWindowSize.h"
#include "mainwin/TMainForm.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

TFrameArea::TFrameArea(TMainForm* form) : QWidget(form), form_(form)
{
    setObjectName(QStringLiteral("ClientArea"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(kClientWidth, kClientHeight);
    setMaximumSize(kFrameWidth, kFrameHeight);
}

void TFrameArea::paintEvent(QPaintEvent* e)
{
    form_->FitFrameToArea();
    QPainter p(this);
    form_->PaintFrame(p, e->region());
}

void TFrameArea::resizeEvent(QResizeEvent* e)
{
    QWidget::resizeEvent(e);
    // The explanation of a clamp keeps to the foot of the area.
    if (!form_->session_.AssemblyText().empty()) form_->ShowAssemblyText();
}

void TFrameArea::mousePressEvent(QMouseEvent* e)
{
    if (e->button() == Qt::LeftButton || e->button() == Qt::RightButton)
        form_->FormMouseDown(e->button(), static_cast<int>(e->position().x()), static_cast<int>(e->position().y()));
}
