#include "dialogs/TStpAng.h"

#include "dialogs/TDialogLinks.h"
#include "drawing/DimensionEdit.h"
#include "model/Model.h"
#include "model/NumberText.h"
#include "qt/QtEditHooks.h"

#include <QLineEdit>
#include <QPushButton>

TStpAng::TStpAng(AppState& state, TMainForm* mainForm, QWidget* parent)
    : TSettingDialog(state, mainForm, parent, 208, 47, 21, 50)
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
    // Keep the running state: RunClick flips it, so start from the opposite.
    MainRunClickWithCaption(main, MainIsRunning(main) ? "Run" : "Stop");
    MainSetStepBars(main, StepBarPosition(step), ToPixel(100.0L * step), ToPixel(500.0L * step));
}
