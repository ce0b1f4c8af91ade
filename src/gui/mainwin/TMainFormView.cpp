// Pan, zoom, presets, reference point centring, large font and the graphic
// zoom dialog.
#include "drawing/ViewOps.h"
#include "mainwin/TGraphZoom.h"
#include "mainwin/TMainForm.h"

#include <QAction>
#include <QPushButton>
#include <QScrollBar>

#include <algorithm>

void TMainForm::SBPanVertChange()
{
    NormVHZ->setEnabled(true);
    View& v = state_.view;
    const float inc = StepperIncrement(SBPanVert->value(), v.PanVertLast, v.PanVertPrev, 10, 10);
    PanVertical(v, inc);
    SBPanVert->setValue(0);
}

void TMainForm::SBPanHorzChange()
{
    NormVHZ->setEnabled(true);
    View& v = state_.view;
    const float inc = StepperIncrement(SBPanHorz->value(), v.PanHorzLast, v.PanHorzPrev, 10, 10);
    PanHorizontal(v, inc);
    SBPanHorz->setValue(0);
}

void TMainForm::SBZoomChange()
{
    NormVHZ->setEnabled(true);
    View& v = state_.view;
    const float inc = StepperIncrement(SBZoom->value(), v.ZoomLast, v.ZoomPrev, 10, 10);
    ZoomStep(v, inc);
    SBZoom->setValue(0);
}

void TMainForm::NormVHZClick()
{
    View& v = state_.view;
    SBPanVert->setValue(0);
    SBPanHorz->setValue(0);
    SBZoom->setValue(0);
    NormView(v);
    NormVHZ->setEnabled(false);
    Preset0->setEnabled(true);
}

void TMainForm::Preset0Click()
{
    CapturePendingPreset(state_.view);
    Preset0->setEnabled(false);
    NormVHZ->setEnabled(true);
}

void TMainForm::PresetClick(int k)
{
    RecallPreset(state_.view, k, !Preset0->isEnabled());
    NormVHZ->setEnabled(true);
    Preset0->setEnabled(true);
}

void TMainForm::RefPt1Click()
{
    const PanBarPositions pos = CentreOnPoint(state_.view, state_.gear.PointX[19], state_.gear.PointY[19]);
    SBPanHorz->setValue(std::clamp(pos.horz, SBPanHorz->minimum(), SBPanHorz->maximum()));
    SBPanVert->setValue(std::clamp(pos.vert, SBPanVert->minimum(), SBPanVert->maximum()));
}

void TMainForm::RefPt2Click()
{
    const PanBarPositions pos = CentreOnPoint(state_.view, state_.gear.PointX[20], state_.gear.PointY[20]);
    SBPanHorz->setValue(std::clamp(pos.horz, SBPanHorz->minimum(), SBPanHorz->maximum()));
    SBPanVert->setValue(std::clamp(pos.vert, SBPanVert->minimum(), SBPanVert->maximum()));
}

void TMainForm::SetPanZoomClick()
{
    const bool show = SetPanZoom->text() != QLatin1String("SetP&anZoom Off");
    SetPanZoom->setText(show ? QStringLiteral("SetP&anZoom Off") : QStringLiteral("SetP&anZoom On"));
    SBPanVert->setVisible(show);
    SBPanHorz->setVisible(show);
    SBZoom->setVisible(show);
}

void TMainForm::FitViewClick()
{
    // The drawing area: the client area below the lowest control of the strip
    // along its top.
    int top = 0;
    for (QWidget* w : area_->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
        if (w->isVisible() && w->y() < area_->height() / 4) top = std::max(top, w->geometry().bottom() + 1);
    const int width = std::min(area_->width(), kFrameWidth), height = std::min(area_->height(), kFrameHeight);
    if (!FitGearToArea(state_.view, state_.gear, {0, top, width, height - top})) return;
    NormVHZ->setEnabled(true);
    Preset0->setEnabled(true);
}

void TMainForm::LargeFontClick()
{
    View& v = state_.view;
    if (LargeFont->text() == QLatin1String("SetLarge&Font")) {
        v.FontScaleX = 1.27f;
        v.FontScaleY = 1.22f;
        LargeFont->setText(QStringLiteral("SetSmall&Font"));
    } else {
        v.FontScaleX = 1.0f;
        v.FontScaleY = 1.0f;
        LargeFont->setText(QStringLiteral("SetLarge&Font"));
    }
}

void TMainForm::SetGraphicZoomClick()
{
    if (Forms.GraphZoom) Forms.GraphZoom->exec();
}

TGraphZoom* NewGraphZoom(TMainForm* main) { return new TGraphZoom(main->State(), main); }
