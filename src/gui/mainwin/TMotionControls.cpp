#include "mainwin/TMotionControls.h"

#include "drawing/DimensionEdit.h"
#include "model/Model.h"

#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>

#include <functional>

using LD = long double;

TMotionControls::TMotionControls(QWidget* area, DesignSession& session, const QFont& font)
    : QObject(area), session_(session), state_(session.State())
{
    auto btn = [&](QPushButton*& b, const char* name, const char* caption, const char* hint, QRect at,
                   std::function<void()> slot) {
        b = new QPushButton(QString::fromUtf8(caption), area);
        b->setObjectName(QString::fromLatin1(name));
        b->setToolTip(QString::fromUtf8(hint));
        b->setGeometry(at);
        b->setAutoDefault(false);
        b->setFont(font);
        connect(b, &QPushButton::clicked, this, std::move(slot));
        widgets_.push_back(b);
    };
    auto bar = [&](QScrollBar*& b, const char* name, const char* hint, QRect at, int min, int max, int small, int large,
                   int pos, std::function<void()> changed) {
        b = new QScrollBar(Qt::Horizontal, area);
        b->setObjectName(QString::fromLatin1(name));
        b->setToolTip(QString::fromUtf8(hint));
        b->setGeometry(at);
        b->setRange(min, max);
        b->setSingleStep(small);
        b->setPageStep(large);
        b->setValue(pos);
        connect(b, &QScrollBar::valueChanged, this, std::move(changed));
        widgets_.push_back(b);
    };
    btn(Rev, "Rev", "Rev", "Set Reverse Arm to Normal Reverse", {254, 24, 21, 14}, [this] { NotchClick(-1); });
    btn(Center, "Center", "Cen", "Set Reverse Arm to Mid Gear", {275, 24, 21, 14}, [this] { NotchClick(0); });
    btn(Fwd, "Fwd", "Fwd", "Set Reverse Arm to Normal Forward", {296, 24, 21, 14}, [this] { NotchClick(1); });
    Center->setEnabled(false);
    btn(Run, "Run", "Stop", "Start / Stop Driver Rotation", {254, 38, 25, 14}, [this] { RunClick(); });
    btn(Deg00, "Deg00", "0.0", "Set Driver to 0 Deg", {279, 38, 19, 14}, [this] { DegClick(0); });
    btn(Deg180, "Deg180", "180", "Set Driver Angle to 180 Deg", {298, 38, 19, 14}, [this] { DegClick(180); });
    btn(Step1, "Step1", "1.0", "Set Driver Step Angle to 1 Deg", {254, 52, 21, 14},
        [this] { StepClick(Step1, 1, 8000); });
    btn(Step10, "Step10", "10.0", "Set Driver Step Angle to 10 Deg", {275, 52, 21, 14},
        [this] { StepClick(Step10, 10, 12000); });
    btn(Step45, "Step45", "45.0", "Set Driver Step Angle to 45 Deg", {296, 52, 21, 14},
        [this] { StepClick(Step45, 45, 14613); });
    Step10->setEnabled(false);
    bar(SBRevArm, "SBRevArm", "Set Reverse Arm Between Max & Min", {318, 25, 138, 12}, -1300, 1300, 1, 20, 0,
        [this] { SBRevArmChange(); });
    bar(SBDrvAng, "SBDrvAng", "Set Driver Angle From 0 to 360 Deg", {318, 39, 138, 12}, -4000, 40000, 1000, 4500, 1,
        [this] { SBDrvAngChange(); });
    bar(SBStepAng, "SBStepAng", "Set Driver Step Angle to Predefined Values", {318, 53, 138, 12}, 0, 14613, 920, 2760,
        12000, [this] { SBStepAngChange(); });
}

void TMotionControls::Follow(SessionEvent event, int value)
{
    switch (event) {
    case SessionEvent::Opened:
        SetRevArmBarRange();
        SBRevArm->setValue(value);
        break;
    case SessionEvent::ArmRange: SetRevArmBarRange(); break;
    case SessionEvent::ArmToBar: SBRevArm->setValue(value); break;
    case SessionEvent::ArmFromModel: ShowRevArmOfModel(); break;
    case SessionEvent::RunChanged: ShowRunState(); break;
    case SessionEvent::DriverToBar:
        SBDrvAng->setValue(value);
        SBDrvAng->setEnabled(true);
        break;
    case SessionEvent::StepToBar:
        SBStepAng->setValue(value);
        SBDrvAng->setSingleStep(ToPixel(100.0L * state_.anim.SelectedStep));
        SBDrvAng->setPageStep(ToPixel(500.0L * state_.anim.SelectedStep));
        break;
    default: break;
    }
}

void TMotionControls::RunClick() { session_.SetRun(session_.Running() ? RunState::Stopped : RunState::Running); }

void TMotionControls::ShowRunState()
{
    const bool running = session_.Running();
    // Stopped: the driver angle bar shows where the driver stands.
    if (!running) SBDrvAng->setValue(ToPixel(100.0L * state_.gear.DriverAngle));
    SBDrvAng->setEnabled(!running);
    Run->setText(running ? QStringLiteral("Stop") : QStringLiteral("Run"));
    Deg00->setEnabled(true);
    Deg180->setEnabled(true);
}

void TMotionControls::SBDrvAngChange()
{
    state_.gear.DriverAngle = static_cast<float>(SBDrvAng->value() / 100.0L);
    Deg180->setEnabled(true);
    Deg00->setEnabled(true);
}

void TMotionControls::DegClick(float angle)
{
    state_.gear.DriverAngle = angle;
    SBDrvAng->setValue(ToPixel(100.0L * angle));
    state_.gear.DriverAngle = angle;
    session_.SetRun(RunState::Stopped);
    (angle == 0 ? Deg00 : Deg180)->setEnabled(false);
}

void TMotionControls::SBStepAngChange()
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

void TMotionControls::StepClick(QPushButton* own, float step, int barPosition)
{
    own->setEnabled(false);
    state_.anim.SelectedStep = step;
    if (session_.Running()) state_.anim.ActiveStep = step;
    SBStepAng->setValue(barPosition);
}

void TMotionControls::SBRevArmChange()
{
    Gear& g = state_.gear;
    const int pos = SBRevArm->value();
    g.RevArmPos = static_cast<float>(static_cast<LD>(g.RevArmCentre()) + pos / 1000.0L);
    ShowRevArmState(pos);
}

void TMotionControls::ShowRevArmOfModel()
{
    const QSignalBlocker quiet(SBRevArm);
    SetRevArmBarRange(); // a scaling, or its undo, changes the travel
    SBRevArm->setValue(RevArmBarPosition(state_.gear, state_.gear.RevArmPos));
    ShowRevArmState(SBRevArm->value());
}

void TMotionControls::ShowRevArmState(int pos)
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

void TMotionControls::NotchClick(int side)
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

void TMotionControls::SetRevArmBarRange()
{
    const int max = ToPixel(1000.0L * state_.gear.RevArmMax);
    const int min = ToPixel(-1000.0L * state_.gear.RevArmMax);
    SBRevArm->setRange(std::min(min, max), std::max(min, max));
}
