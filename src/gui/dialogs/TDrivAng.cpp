#include "dialogs/TDrivAng.h"

#include "dialogs/DialogCommon.h"
#include "drawing/DimensionEdit.h"
#include "model/Model.h"
#include "model/NumberText.h"
#include "qt/QtEditHooks.h"
#include "session/DesignSession.h"

#include <QLineEdit>
#include <QPushButton>

TDrivAng::TDrivAng(AppState& state, DesignSession* designSession, QWidget* parent)
    : TSettingDialog(state, designSession, parent, 208, 47, 21, 50)
{
    setObjectName(QStringLiteral("DrivAng"));
    setWindowTitle(QStringLiteral("Driver Angle"));
    MakeLabel("Label1", QStringLiteral("Min = 0.00"), 4, 2, 90);
    MakeLabel("Label2", QStringLiteral("Max = 360.00"), 108, 2, 96);
}

void TDrivAng::FormActivate()
{
    // While the gear runs the angle changes every tick: nothing to show.
    Edit1->setText(s.anim.ActiveStep == 0 ? QString::fromStdString(FormatFixed10(s.gear.DriverAngle, 4, 2))
                                          : QStringLiteral("0.00"));
    Cancel->setFocus(Qt::OtherFocusReason);
}

void TDrivAng::Edit1KeyPress(char& key)
{
    if (!FilterSmallDialogKey(FieldTextOf(Edit1), key, minusAllowed)) key = 0;
}

void TDrivAng::OKClick()
{
    if (session) session->SetRun(RunState::Stopped); // whatever its state
    s.gear.DriverAngle = DriverAngleFromText(Edit1->text().toStdString());
    if (session) session->DriverToBar(ToPixel(100.0L * s.gear.DriverAngle));
    s.anim.ActiveStep = 0;
}
