#include "dialogs/TRevPos.h"

#include "dialogs/DialogCommon.h"
#include "drawing/DimensionEdit.h"
#include "model/NumberText.h"
#include "qt/QtEditHooks.h"
#include "session/DesignSession.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

TRevPos::TRevPos(AppState& state, DesignSession* designSession, QWidget* parent)
    : TSettingDialog(state, designSession, parent, 208, 64, 38, 50)
{
    setObjectName(QStringLiteral("RevPos"));
    setWindowTitle(QStringLiteral("Reverse Arm Position"));
    escapePressesCancel = true;
    minusAllowed = true;
    Label5 = MakeLabel("Label5", QString(), 4, 2, 68);
    Label3 = MakeLabel("Label3", QString(), 72, 2, 68);
    Label6 = MakeLabel("Label6", QString(), 140, 2, 68);
    Label2 = MakeLabel("Label2", QString(), 4, 19, 100);
    Label4 = MakeLabel("Label4", QString(), 108, 19, 100);
}

void TRevPos::FormActivate()
{
    const Gear& g = s.gear;
    const long double c = g.RevArmCentre(), m = g.RevArmMax, n = g.RevArmNormal;
    Label2->setText(QString::fromStdString(RevPosLabel("Min = ", c - m)));
    Label3->setText(QString::fromStdString(RevPosLabel("Cen = ", c)));
    Label4->setText(QString::fromStdString(RevPosLabel("Max = ", c + m)));
    Label5->setText(QString::fromStdString(RevPosLabel("Rev = ", c - n)));
    Label6->setText(QString::fromStdString(RevPosLabel("Fwd = ", c + n)));
    Edit1->setText(QString::fromStdString(FormatFixed10(g.RevArmPos, 7, 3)));
    Cancel->setFocus(Qt::OtherFocusReason);
}

void TRevPos::Edit1KeyPress(char& key)
{
    if (!FilterSmallDialogKey(FieldTextOf(Edit1), key, minusAllowed)) key = 0;
}

void TRevPos::OKClick()
{
    Gear& g = s.gear;
    g.RevArmPos = RevPosFromText(g, Edit1->text().toStdString());
    if (session) session->ArmToBar(RevArmBarPosition(g, g.RevArmPos));
}
