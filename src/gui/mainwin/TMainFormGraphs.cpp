// The four diagram windows and the valve events table.
#include "mainwin/TMainForm.h"

#include "dialogs/TBalance.h"
#include "dialogs/TDesignCheck.h"
#include "dialogs/TOptimise.h"
#include "dialogs/TSensitivity.h"
#include "dialogs/TTolerance.h"
#include "graphs/TDiagramWindow.h"
#include "graphs/TOvalDia.h"
#include "graphs/TPortDia.h"
#include "graphs/TSetRevArm.h"
#include "graphs/TSineDia.h"
#include "graphs/TSteamDia.h"
#include "graphs/TValveEvents.h"

#include <QFrame>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>

// ---- links shared by the four diagram windows
namespace {

// A diagram window stops the animation while open, and its "DynamicVari" menu
// and undo button act on the main window's bars, panels and "UnDo" button.
void HookDiagramWindow(TDiagramWindow* w, TMainForm* m)
{
    DiagramHost& h = w->Host();
    h.files = [m]() -> FileSystem& { return m->Files(); };
    h.setTimerEnabled = [m](bool on) {
        if (on) {
            m->WakeTicks();
            m->Timer1->start();
        } else {
            m->Timer1->stop();
        }
    };
    h.setDynBarsVisible = [m](bool on) {
        for (int k = 1; k <= 4; ++k) m->SBDynVar[static_cast<size_t>(k)]->setVisible(on);
        for (int k = 7; k <= 9; ++k) m->Panel[static_cast<size_t>(k)]->setVisible(on);
    };
    h.setUndoDnEnabled = [m](bool on) {
        m->UnDoDn->setEnabled(on);
        // After an undo there that put the reverse arm back.
        if (m->State().dyn.Undo[0].RestoresArm) m->ShowRevArmOfModel();
    };
}

// Shows a diagram window modally with the positions dialog it may need.
void ShowDiagram(TDiagramWindow* w, TSetRevArm* positions)
{
    if (!w) return;
    w->SetPositionsDialog(positions);
    w->ShowModal();
}

} // namespace

// ---- oval and sine diagrams, reverse arm positions
void TMainForm::SineDiagClick() { ShowDiagram(Forms.SineDia, Forms.SetRevArm); }

void TMainForm::OvalDiagClick() { ShowDiagram(Forms.OvalDia, Forms.SetRevArm); }

TOvalDia* NewOvalDia(TMainForm* m)
{
    auto* w = new TOvalDia(m->State(), m, m);
    HookDiagramWindow(w, m);
    return w;
}

TSineDia* NewSineDia(TMainForm* m)
{
    auto* w = new TSineDia(m->State(), m, m);
    HookDiagramWindow(w, m);
    return w;
}

TSetRevArm* NewSetRevArm(TMainForm* m) { return new TSetRevArm(m->State(), m, m); }

// ---- port and steam diagrams
void TMainForm::SteamDiagClick() { ShowDiagram(Forms.SteamDia, Forms.SetRevArm); }

// The port graph always opens in forward mode.
void TMainForm::FourEventsClick()
{
    if (!Forms.PortDia) return;
    State().graph.PortGraphMode = 'F';
    ShowDiagram(Forms.PortDia, Forms.SetRevArm);
}

TPortDia* NewPortDia(TMainForm* m)
{
    auto* w = new TPortDia(m->State(), m, m);
    HookDiagramWindow(w, m);
    return w;
}

TSteamDia* NewSteamDia(TMainForm* m)
{
    auto* w = new TSteamDia(m->State(), m, m);
    HookDiagramWindow(w, m);
    return w;
}

// ---- valve events table
// Modal like the pivot data table: the animation runs on underneath.
void TMainForm::ValveEventsTableClick()
{
    if (Forms.ValveEvents && !Forms.ValveEvents->isVisible()) Forms.ValveEvents->exec();
}

TValveEvents* NewValveEvents(TMainForm* m) { return new TValveEvents(m->State(), m, m->Files()); }

// ---- captions
// Every diagram window is a child of the main window.
void TMainForm::UpdateGraphCaptions(const QString& tail)
{
    for (TDiagramWindow* w : findChildren<TDiagramWindow*>(Qt::FindDirectChildrenOnly)) w->SetCaptionTail(tail);
    if (Forms.ValveEvents) Forms.ValveEvents->SetCaptionTail(tail);
    if (Forms.Balance) Forms.Balance->SetCaptionTail(tail);
    if (Forms.DesignCheck) Forms.DesignCheck->SetCaptionTail(tail);
    if (Forms.Optimise) Forms.Optimise->SetCaptionTail(tail);
    if (Forms.Sensitivity) Forms.Sensitivity->SetCaptionTail(tail);
    if (Forms.Tolerance) Forms.Tolerance->SetCaptionTail(tail);
}
