// Run/stop, driver angle, step angle, reverse arm and the menu switches of the
// animation.
#include "mainwin/TMainForm.h"

#include "drawing/DimensionEdit.h"
#include "model/Model.h"

#include <QAction>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>

#include <cmath>

using LD = long double;

void TMainForm::RunClick()
{
    Gear& g = state_.gear;
    if (Run->text() != QLatin1String("Run")) {
        SBDrvAng->setValue(ToPixel(100.0L * g.DriverAngle));
        state_.anim.ActiveStep = 0;
        SBDrvAng->setEnabled(true);
        Run->setText(QStringLiteral("Run"));
    } else {
        state_.anim.ActiveStep = state_.anim.SelectedStep;
        SBDrvAng->setEnabled(false);
        Run->setText(QStringLiteral("Stop"));
    }
    Deg00->setEnabled(true);
    Deg180->setEnabled(true);
}

void TMainForm::SBDrvAngChange()
{
    state_.gear.DriverAngle = static_cast<float>(SBDrvAng->value() / 100.0L);
    Deg180->setEnabled(true);
    Deg00->setEnabled(true);
}

void TMainForm::Deg00Click()
{
    state_.gear.DriverAngle = 0;
    SBDrvAng->setValue(0);
    state_.gear.DriverAngle = 0;
    state_.anim.ActiveStep = 0;
    SBDrvAng->setEnabled(true);
    Run->setText(QStringLiteral("Run"));
    Deg00->setEnabled(false);
    Deg180->setEnabled(true);
}

void TMainForm::Deg180Click()
{
    state_.gear.DriverAngle = 180;
    SBDrvAng->setValue(18000);
    state_.gear.DriverAngle = 180;
    state_.anim.ActiveStep = 0;
    SBDrvAng->setEnabled(true);
    Run->setText(QStringLiteral("Run"));
    Deg180->setEnabled(false);
    Deg00->setEnabled(true);
}

void TMainForm::SBStepAngChange()
{
    Animation& a = state_.anim;
    if (!a.StepBarArmed) {
        a.StepBarArmed = true;
    } else {
        const StepBand band = StepBandForPosition(SBStepAng->value());
        a.SelectedStep = band.step;
        SBDrvAng->setSingleStep(band.smallChange);
        SBDrvAng->setPageStep(band.largeChange);
        if (IsRunning()) a.ActiveStep = a.SelectedStep;
    }
    Step10->setEnabled(a.SelectedStep != 10);
    Step45->setEnabled(a.SelectedStep != 45);
    Step1->setEnabled(a.SelectedStep != 1);
}

namespace {
void ChooseStep(TMainForm& f, QPushButton* own, float step, int barPosition)
{
    own->setEnabled(false);
    f.State().anim.SelectedStep = step;
    if (f.IsRunning()) f.State().anim.ActiveStep = step;
    f.SBStepAng->setValue(barPosition);
}
} // namespace

void TMainForm::Step1Click() { ChooseStep(*this, Step1, 1, 8000); }
void TMainForm::Step10Click() { ChooseStep(*this, Step10, 10, 12000); }
void TMainForm::Step45Click() { ChooseStep(*this, Step45, 45, 14613); }

void TMainForm::SBRevArmChange()
{
    Gear& g = state_.gear;
    const int pos = SBRevArm->value();
    g.RevArmPos = static_cast<float>(static_cast<LD>(g.RevArmCentre()) + pos / 1000.0L);
    ShowRevArmState(pos);
}

void TMainForm::ShowRevArmOfModel()
{
    const QSignalBlocker quiet(SBRevArm);
    SetRevArmBarRange(); // a scaling, or its undo, changes the travel
    SBRevArm->setValue(RevArmBarPosition(state_.gear, state_.gear.RevArmPos));
    ShowRevArmState(SBRevArm->value());
}

void TMainForm::ShowRevArmState(int pos)
{
    Gear& g = state_.gear;
    state_.anim.Direction = g.RevArmPos >= g.RevArmCentre() ? "Fwd" : "Rev";
    Center->setEnabled(pos != 0);
    const float fwdPos = static_cast<float>(static_cast<LD>(g.RevArmCentre()) + g.RevArmNormal);
    const float revPos = static_cast<float>(static_cast<LD>(g.RevArmCentre()) - g.RevArmNormal);
    Fwd->setEnabled(g.RevArmPos != fwdPos);
    Rev->setEnabled(g.RevArmPos != revPos);
    state_.steam.FrontCutOffText.clear();
    state_.steam.RearCutOffText.clear();
}

void TMainForm::FwdClick()
{
    Gear& g = state_.gear;
    g.RevArmPos = static_cast<float>(static_cast<LD>(g.RevArmCentre()) + g.RevArmNormal);
    if (g.RevArmMax != 0)
        SBRevArm->setValue(ToPixel(static_cast<LD>(g.RevArmNormal) * SBRevArm->maximum() / g.RevArmMax));
    Fwd->setEnabled(false);
    Rev->setEnabled(true);
    Center->setEnabled(true);
    state_.steam.FrontCutOffText.clear();
    state_.steam.RearCutOffText.clear();
}

void TMainForm::RevClick()
{
    Gear& g = state_.gear;
    g.RevArmPos = static_cast<float>(static_cast<LD>(g.RevArmCentre()) - g.RevArmNormal);
    if (g.RevArmMax != 0)
        SBRevArm->setValue(ToPixel(static_cast<LD>(g.RevArmNormal) * SBRevArm->minimum() / g.RevArmMax));
    Rev->setEnabled(false);
    Fwd->setEnabled(true);
    Center->setEnabled(true);
    state_.steam.FrontCutOffText.clear();
    state_.steam.RearCutOffText.clear();
}

void TMainForm::CenterClick()
{
    Gear& g = state_.gear;
    SBRevArm->setValue(0);
    g.RevArmPos = g.RevArmCentre();
    Fwd->setEnabled(true);
    Rev->setEnabled(true);
    Center->setEnabled(false);
    state_.steam.FrontCutOffText.clear();
    state_.steam.RearCutOffText.clear();
}

void TMainForm::SetRevArmBarRange()
{
    const int max = ToPixel(1000.0L * state_.gear.RevArmMax);
    const int min = ToPixel(-1000.0L * state_.gear.RevArmMax);
    SBRevArm->setRange(std::min(min, max), std::max(min, max));
}

void TMainForm::FindRevArmCentClick()
{
    RecomputeRevArmCentre(state_.gear);
    CenterClick();
}

void TMainForm::SetBeepOnErrorClick()
{
    Gear& g = state_.gear;
    g.ErrorBeepOn = !g.ErrorBeepOn;
    SetBeepOnError->setText(g.ErrorBeepOn ? QStringLiteral("Set&ErrorBeep Off") : QStringLiteral("Set&ErrorBeep On"));
}

void TMainForm::SetLineWidthClick()
{
    if (state_.display.LineWidth == 1) {
        state_.display.LineWidth = 2;
        SetLineWidth->setText(QStringLiteral("Set&LineWidth 1"));
    } else {
        state_.display.LineWidth = 1;
        SetLineWidth->setText(QStringLiteral("Set&LineWidth 2"));
    }
}

void TMainForm::Exit1Click() { close(); }
