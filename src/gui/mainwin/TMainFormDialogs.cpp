// The reset of all dimensions and the highlight view's round trip through the
// dimension dialogs.
#include "mainwin/TMainForm.h"

#include "dialogs/TCylDimen.h"
#include "dialogs/TFrameDi.h"
#include "mainwin/TMotionControls.h"

#include <QFrame>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>

void TMainForm::ResetAllClick()
{
    if (!session_.ResetAll()) return;
    motion_->NotchClick(0);
    NormVHZClick();
    for (int k = 1; k <= 4; ++k) SBDynVar[k]->hide();
    for (int k : {7, 8, 9}) Panel[k]->hide();
    UnDoDn->setEnabled(false);
}

void TMainForm::ApplyHighlightEffects(const FrameEffects& fx)
{
    // The close-up takes the dialog's place: a plain close (no re-centring).
    // Closing ends the dialog's modal loop once this tick has returned, so the
    // dialog's own handler returns as well.
    if (fx.closeFrameDialog && forms_.FrameDi && forms_.FrameDi->isVisible()) forms_.FrameDi->done(QDialog::Rejected);
    if (fx.closeCylDialog && forms_.CylDimen && forms_.CylDimen->isVisible()) forms_.CylDimen->done(QDialog::Rejected);
    if ((fx.closeFrameDialog || fx.closeCylDialog) && state_.highlight.HighlightTicks == 1)
        area_->setCursor(Qt::WaitCursor);
    // Reopen from the event loop, never from inside the tick: the dialog's
    // modal loop then runs at the same depth as the one that was closed.
    for (QDialog* d : {fx.reopenFrameDialog ? static_cast<QDialog*>(forms_.FrameDi) : nullptr,
                       fx.reopenCylDialog ? static_cast<QDialog*>(forms_.CylDimen) : nullptr})
        if (d)
            QTimer::singleShot(0, this, [d] {
                if (!d->isVisible()) d->exec();
            });
}
