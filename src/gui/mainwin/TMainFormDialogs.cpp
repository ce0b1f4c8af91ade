// The dimension dialogs, the small setting dialogs, the highlight view's round
// trip and the reset of all dimensions.
#include "mainwin/TMainForm.h"

#include "dialogs/TBalance.h"
#include "dialogs/TCylDimen.h"
#include "dialogs/TDesignCheck.h"
#include "dialogs/TDialogLinks.h"
#include "dialogs/TDrivAng.h"
#include "dialogs/TFrameDi.h"
#include "dialogs/TOptimise.h"
#include "dialogs/TRevPos.h"
#include "dialogs/TSensitivity.h"
#include "dialogs/TStpAng.h"
#include "dialogs/TTolerance.h"
#include "drawing/DimensionEdit.h"
#include "model/DynVars.h"
#include "model/Model.h"

#include <QFrame>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>

namespace {

// Shows a dialog modally unless it is already up (a reopen may meet a dialog
// the user opened meanwhile).
void ShowModal(QDialog* d)
{
    if (d && !d->isVisible()) d->exec();
}

} // namespace

void TMainForm::FrameDimClick() { ShowModal(Forms.FrameDi); }
void TMainForm::CylDimClick() { ShowModal(Forms.CylDimen); }
void TMainForm::BalanceEventsClick() { ShowModal(Forms.Balance); }
void TMainForm::OptimiseDesignClick() { ShowModal(Forms.Optimise); }
void TMainForm::SensitivityClick() { ShowModal(Forms.Sensitivity); }
void TMainForm::ToleranceStudyClick() { ShowModal(Forms.Tolerance); }

// Not modal: it stays beside the main window and follows the design as the
// dynamic variables, undo and the dimension dialogs change it.
void TMainForm::DesignCheckClick()
{
    if (!Forms.DesignCheck) return;
    Forms.DesignCheck->show();
    Forms.DesignCheck->raise();
    Forms.DesignCheck->activateWindow();
}
void TMainForm::RevArmPosClick() { ShowModal(Forms.RevPos); }
void TMainForm::DriverAngClick() { ShowModal(Forms.DrivAng); }
void TMainForm::StepAng1Click() { ShowModal(Forms.StpAng); }

void TMainForm::ResetAllClick()
{
    if (!SaveChangesIfWanted()) return;
    AppState& s = state_;
    // The two dialogs' reset clicks: dimensions, reverse arm bar range,
    // dynamic variables cleared, fields refreshed, undo history cleared.
    if (Forms.FrameDi) {
        Forms.FrameDi->ResetFrameClick();
    } else {
        ResetFrameDialogModel(s, true);
        SetRevArmBarRange();
    }
    if (Forms.CylDimen)
        Forms.CylDimen->ResetCylClick();
    else
        ResetCylinderDialogModel(s, true);
    RecomputeRevArmCentre(s.gear);
    CenterClick();
    NormVHZClick();
    s.display.DataSetName = "Nominal";
    s.graph.GraphVerticalScale = 1.5f;
    s.gear.Unit = LengthUnit::Unspecified; // the built-in design states none
    s.dyn.DynVarsOn = false;
    for (int k = 1; k <= 4; ++k) SBDynVar[k]->hide();
    for (int k : {7, 8, 9}) Panel[k]->hide();
    ClearDynVars(s);
    ClearUndo(s);
    s.dyn.UndoOn = false;
    UnDoDn->setEnabled(false);
    // The built-in design starts afresh, as at start-up, with no file.
    currentFile_.clear();
    MarkDesignSaved();
}

void TMainForm::ApplyHighlightEffects(const FrameEffects& fx)
{
    // The close-up takes the dialog's place: a plain close (no re-centring).
    // Closing ends the dialog's modal loop once this tick has returned, so the
    // dialog's own handler returns as well.
    if (fx.closeFrameDialog && Forms.FrameDi && Forms.FrameDi->isVisible()) Forms.FrameDi->done(QDialog::Rejected);
    if (fx.closeCylDialog && Forms.CylDimen && Forms.CylDimen->isVisible()) Forms.CylDimen->done(QDialog::Rejected);
    if ((fx.closeFrameDialog || fx.closeCylDialog) && state_.highlight.HighlightTicks == 1)
        area_->setCursor(Qt::WaitCursor);
    // Reopen from the event loop, never from inside the tick: the dialog's
    // modal loop then runs at the same depth as the one that was closed.
    if (fx.reopenFrameDialog) QTimer::singleShot(0, this, [this] { ShowModal(Forms.FrameDi); });
    if (fx.reopenCylDialog) QTimer::singleShot(0, this, [this] { ShowModal(Forms.CylDimen); });
}

TDrivAng* NewDrivAng(TMainForm* main) { return new TDrivAng(main->State(), main, main); }
TRevPos* NewRevPos(TMainForm* main) { return new TRevPos(main->State(), main, main); }
TStpAng* NewStpAng(TMainForm* main) { return new TStpAng(main->State(), main, main); }
TFrameDi* NewFrameDi(TMainForm* main) { return new TFrameDi(main->State(), main, main); }
TCylDimen* NewCylDimen(TMainForm* main) { return new TCylDimen(main->State(), main, main); }
TBalance* NewBalance(TMainForm* main) { return new TBalance(main->State(), main, main); }
TDesignCheck* NewDesignCheck(TMainForm* main) { return new TDesignCheck(main->State(), main, main); }
TOptimise* NewOptimise(TMainForm* main) { return new TOptimise(main->State(), main, main); }
TSensitivity* NewSensitivity(TMainForm* main) { return new TSensitivity(main->State(), main, main, main->Files()); }
TTolerance* NewTolerance(TMainForm* main) { return new TTolerance(main->State(), main, main, main->Files()); }

// ------------------------------------------------------------------ controls the dialogs move
void MainSetRevArmRange(TMainForm* main)
{
    if (main) main->SetRevArmBarRange();
}

void MainRevArmToCentre(TMainForm* main)
{
    if (main) main->SBRevArm->setValue(0);
}

void MainSetRevArmPosition(TMainForm* main, int position)
{
    if (main) main->SBRevArm->setValue(position);
}

bool MainIsRunning(TMainForm* main) { return main && main->IsRunning(); }

void MainRunClickWithCaption(TMainForm* main, const char* caption)
{
    if (!main) return;
    main->Run->setText(QString::fromLatin1(caption));
    main->RunClick();
}

void MainSetDriverBar(TMainForm* main, int position)
{
    if (!main) return;
    main->SBDrvAng->setValue(position);
    main->SBDrvAng->setEnabled(true);
}

void MainSetStepBars(TMainForm* main, int stepPosition, int smallChange, int largeChange)
{
    if (!main) return;
    main->SBStepAng->setValue(stepPosition);
    main->SBDrvAng->setSingleStep(smallChange);
    main->SBDrvAng->setPageStep(largeChange);
}
