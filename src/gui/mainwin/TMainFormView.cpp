// Pan, zoom, presets, reference point centring, large font, fitting the view
// to the window, and the switches of the SetUp menu.
#include "drawing/ViewOps.h"
#include "mainwin/TMainForm.h"

#include <QAction>
#include <QPushButton>
#include <QScrollBar>

#include <algorithm>

void TMainForm::StepperChange(QScrollBar* bar, int& last, int& prev, void (*move)(View&, float))
{
    // A bar that steps the view and springs back to 0.
    NormVHZ->setEnabled(true);
    move(state_.view, StepperIncrement(bar->value(), last, prev, 10, 10));
    bar->setValue(0);
}

void TMainForm::NormVHZClick()
{
    SBPanVert->setValue(0);
    SBPanHorz->setValue(0);
    SBZoom->setValue(0);
    NormView(state_.view);
    NormVHZ->setEnabled(false);
    Preset[0]->setEnabled(true);
}

void TMainForm::PresetClick(int k)
{
    // "P" arms the next preset button to store the view.
    if (k == 0)
        CapturePendingPreset(state_.view);
    else
        RecallPreset(state_.view, k, !Preset[0]->isEnabled());
    NormVHZ->setEnabled(true);
    Preset[0]->setEnabled(k != 0);
}

void TMainForm::RefPtClick(int point)
{
    const PanBarPositions pos = CentreOnPoint(state_.view, state_.gear.PointX[point], state_.gear.PointY[point]);
    SBPanHorz->setValue(std::clamp(pos.horz, SBPanHorz->minimum(), SBPanHorz->maximum()));
    SBPanVert->setValue(std::clamp(pos.vert, SBPanVert->minimum(), SBPanVert->maximum()));
}

void TMainForm::SetPanZoomClick()
{
    panZoomShown_ = !panZoomShown_;
    SetPanZoom->setText(panZoomShown_ ? QStringLiteral("SetP&anZoom Off") : QStringLiteral("SetP&anZoom On"));
    for (QScrollBar* b : {SBPanVert, SBPanHorz, SBZoom}) b->setVisible(panZoomShown_);
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
    Preset[0]->setEnabled(true);
}

void TMainForm::LargeFontClick()
{
    // The large font is on while the font factors are not 1.
    View& v = state_.view;
    const bool large = v.FontScaleX == 1.0f && v.FontScaleY == 1.0f;
    v.FontScaleX = large ? 1.27f : 1.0f;
    v.FontScaleY = large ? 1.22f : 1.0f;
    Child<QAction>("LargeFont")->setText(large ? QStringLiteral("SetSmall&Font") : QStringLiteral("SetLarge&Font"));
}

void TMainForm::ToggleSwitch(QAction* a, bool& on, const char* onCaption, const char* offCaption)
{
    on = !on;
    a->setText(QString::fromUtf8(on ? onCaption : offCaption));
}
