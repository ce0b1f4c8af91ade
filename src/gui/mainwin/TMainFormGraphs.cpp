// The four diagram windows and the captions of the child windows that show the
// design's name.
#include "mainwin/TMainForm.h"

#include "dialogs/TBalance.h"
#include "dialogs/TDesignCheck.h"
#include "dialogs/TOptimise.h"
#include "dialogs/TSensitivity.h"
#include "dialogs/TTolerance.h"
#include "graphs/TDiagramWindow.h"
#include "graphs/TIndicator.h"
#include "graphs/TSetRevArm.h"
#include "graphs/TValveEvents.h"

void TMainForm::ShowDiagram(TDiagramWindow* w)
{
    // Modal, with the positions dialog it may need.
    if (!w) return;
    w->SetPositionsDialog(forms_.SetRevArm);
    w->ShowModal();
}

void TMainForm::UpdateGraphCaptions(const QString& tail)
{
    // Every diagram window is a child of the main window.
    for (TDiagramWindow* w : findChildren<TDiagramWindow*>(Qt::FindDirectChildrenOnly)) w->SetCaptionTail(tail);
    if (forms_.ValveEvents) forms_.ValveEvents->SetCaptionTail(tail);
    if (forms_.Balance) forms_.Balance->SetCaptionTail(tail);
    if (forms_.DesignCheck) forms_.DesignCheck->SetCaptionTail(tail);
    if (forms_.Optimise) forms_.Optimise->SetCaptionTail(tail);
    if (forms_.Sensitivity) forms_.Sensitivity->SetCaptionTail(tail);
    if (forms_.Tolerance) forms_.Tolerance->SetCaptionTail(tail);
    if (forms_.Indicator) forms_.Indicator->SetCaptionTail(tail);
}
