#include "dialogs/TStpAng.h"

#include "dialogs/DialogCommon.h"
#include "drawing/DimensionEdit.h"
#include "model/Model.h"
#include "model/NumberText.h"
#include "qt/QtEditHooks.h"
#include "session/DesignSession.h"

#include <QLineEdit>
#include <QPushButton>

TStpAng::TStpAng(AppState& state, DesignSession* designSession, QWidget* parent)
    : TSettingDialog(state, designSession, parent, 208, 47, 21, 50)
{
    setObjectName(QStringLiteral("StpAng"));
    setWindowTitle(QStringLiteral("Step Angle"));
    MakeLabel("Label1", QStringLiteral("Min = 0.01"), 4, 2, 90);
    MakeLabel("Label2", QStringLiteral("Max = 45.00"), 108, 2, 96);
    Edit1->setText(QStringLiteral("5.0"));
}

void TStpAng::FormActivate()
{
    Edit1->setText(QString::fromStdString(FormatFixed10(s.anim.ActiveStep, 4, 2)));
    Cancel->setFocus(Qt::OtherFocusReason);
}

void TStpAng::Edit1KeyPress(char& key)
{
    if (!FilterSmallDialogKey(FieldTextOf(Edit1), key, minusAllowed)) key = 0;
}

void TStpAng::OKClick()
{
    // The step bar's next change must not replace the typed step by a band.
    s.anim.StepBarArmed = false;
    const float step = StepAngleFromText(Edit1->text().toStdString());
    s.anim.SelectedStep = step;
    if (!session) return;
    // The running state kept, with the new step.
    session->SetRun(session->Run());
    session->StepToBar(StepBarPosition(step));
}
