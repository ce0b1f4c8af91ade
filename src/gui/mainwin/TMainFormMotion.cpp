// Run/stop, driver angle, step angle, reverse arm and the menu switches of the
// animation.
#include "mainwin/TMainForm.h"

#include "drawing/DimensionEdit.h"
#include "model/Model.h"

#include <QAction>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>

using LD = long double;

void TMainForm::RunClick() { session_.SetRun(session_.Running() ? RunState::Stopped : RunState::Running); }

void TMainForm::ShowRunState()
{
    const bool running = session_.Running();
    // Stopped: the driver angle bar shows where the driver stands.
    if (!running) SBDrvAng->setValue(ToPixel(100.0L * state_.gear.DriverAngle));
    SBDrvAng->setEnabled(!running);
    Run->setText(running ? QStringLiteral("Stop") : QStringLiteral("Run"));
    Deg00->setEnabled(true);
    Deg180->setEnabled(true);
}

void TMainForm::SBDrvAngChange()
{
    state_.gear.DriverAngle = static_cast<float>(SBDrvAng->value() / 100.0L);
    Deg180->setEnabled(true);
    Deg00->setEnabled(true);
}

void TMainForm::DegClick(float angle)
{
    state_.gear.DriverAngle = angle;
    SBDrvAng->setValue(ToPixel(100.0L * angle));
    state_.gear.DriverAngle = angle;
    session_.SetRun(RunState::Stopped);
    (angle == 0 ? Deg00 : Deg180)->setEnabled(false);
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
        if (session_.Running()) a.ActiveStep = a.SelectedStep;
    }
    Step10->setEnabled(a.SelectedStep != 10);
    Step45->setEnabled(a.SelectedStep != 45);
    Step1->setEnabled(a.SelectedStep != 1);
}

void TMainForm::StepClick(QPushButton* own, float step, int barPosition)
{
    own->setEnabled(false);
    state_.anim.SelectedStep = step;
    if (session_.Running()) state_.anim.ActiveStep = step;
    SBStepAng->setValue(barPosition);
}

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
    state_.anim.Direction = g.RevArmPos >= g.RevArmCentre() ? RunDirection::Fwd : RunDirection::Rev;
    Center->setEnabled(pos != 0);
    const float fwdPos = static_cast<float>(static_cast<LD>(g.RevArmCentre()) + g.RevArmNormal);
    const float revPos = static_cast<float>(static_cast<LD>(g.RevArmCentre()) - g.RevArmNormal);
    Fwd->setEnabled(g.RevArmPos != fwdPos);
    Rev->setEnabled(g.RevArmPos != revPos);
    state_.steam.FrontCutOffText.clear();
    state_.steam.RearCutOffText.clear();
}

void TMainForm::NotchClick(int side)
{
    // The normal notch forward or in reverse, or mid gear.
    Gear& g = state_.gear;
    if (side == 0) {
        SBRevArm->setValue(0);
        g.RevArmPos = g.RevArmCentre();
    } else {
        const LD normal = g.RevArmNormal;
        g.RevArmPos = static_cast<float>(static_cast<LD>(g.RevArmCentre()) + (side > 0 ? normal : -normal));
        if (g.RevArmMax != 0)
            SBRevArm->setValue(ToPixel(normal * (side > 0 ? SBRevArm->maximum() : SBRevArm->minimum()) / g.RevArmMax));
    }
    Fwd->setEnabled(side != 1);
    Rev->setEnabled(side != -1);
    Center->setEnabled(side != 0);
    state_.steam.FrontCutOffText.clear();
    state_.steam.RearCutOffText.clear();
}

void TMainForm::SetRevArmBarRange()
{
    const int max = ToPixel(1000.0L * state_.gear.RevArmMax);
    const int min = ToPixel(-1000.0L * state_.gear.RevArmMax);
    SBRevArm->setRange(std::min(min, max), std::max(min, max));
}

void TMainForm::ToggleSwitch(QAction* a, bool& on, const char* onCaption, const char* offCaption)
{
    on = !on;
    a->setText(QString::fromUtf8(on ? onCaption : offCaption));
}
