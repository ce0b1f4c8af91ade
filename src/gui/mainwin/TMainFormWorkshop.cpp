// The gear for the workshop: "SetUp > PivotData > Swept Envelope" draws the
// space the moving parts sweep faintly behind the gear, "Clearance…" opens
// the window that tells how near they come to the keep-out lines and circles,
// and "Export Picture…" writes the gear at full size as a DXF drawing.
#include "mainwin/TMainForm.h"

#include "dialogs/TClearance.h"
#include "drawing/GearDxf.h"
#include "mainwin/SweptEnvelopeView.h"

#include <QAction>
#include <QMenu>

void TMainForm::BuildWorkshopMenus()
{
    Envelope = new SweptEnvelopeView(state_, this);
    PivotDataMenu = SetUp1->addMenu(QStringLiteral("Pi&votData"));
    PivotDataMenu->setObjectName(QStringLiteral("PivotDataMenu"));
    SweptEnvelope = PivotDataMenu->addAction(QStringLiteral("Swept &Envelope"));
    SweptEnvelope->setObjectName(QStringLiteral("SweptEnvelope"));
    SweptEnvelope->setCheckable(true);
    connect(SweptEnvelope, &QAction::triggered, this, &TMainForm::SweptEnvelopeClick);
    ClearanceReport = PivotDataMenu->addAction(QStringLiteral("&Clearance…"));
    ClearanceReport->setObjectName(QStringLiteral("ClearanceReport"));
    connect(ClearanceReport, &QAction::triggered, this, &TMainForm::ClearanceReportClick);
}

void TMainForm::SweptEnvelopeClick() { Envelope->SetDrawing(SweptEnvelope->isChecked()); }

void TMainForm::ClearanceReportClick()
{
    if (!Forms.Clearance) return;
    Forms.Clearance->show();
    Forms.Clearance->raise();
    Forms.Clearance->activateWindow();
}

DxfDrawing TMainForm::ShownDrawing() const
{
    return GearDxfDrawing(state_, state_.gear.SolvedDriverAngle, state_.gear.RevArmPos);
}

TClearance* NewClearance(TMainForm* main) { return new TClearance(main->State(), main->Envelope, main); }
