// The four diagram windows.
#include "mainwin/TMainForm.h"

// ---- oval and sine diagrams, reverse arm positions
void TMainForm::SineDiagClick() {}
void TMainForm::OvalDiagClick() {}
TOvalDia* NewOvalDia(TMainForm*) { return nullptr; }
TSineDia* NewSineDia(TMainForm*) { return nullptr; }
TSetRevArm* NewSetRevArm(TMainForm*) { return nullptr; }

// ---- port and steam diagrams
#include "graphs/TPortDia.h"
#include "graphs/TSteamDia.h"

#include <QFrame>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>

namespace {
// Ties a port or steam diagram window to the main window: the animation
// timer, the main window's dynamic-variable bars and panels, its undo button.
void LinkPortSteamDiagram(TMainForm* m, TDiagramWindow* w)
{
    DiagramHost& h = w->Host();
    h.setTimerEnabled = [m](bool on) {
        if (on)
            m->Timer1->start();
        else
            m->Timer1->stop();
    };
    h.setDynBarsVisible = [m](bool on) {
        for (int k = 1; k <= 4; ++k)
            if (m->SBDynVar[static_cast<size_t>(k)]) m->SBDynVar[static_cast<size_t>(k)]->setVisible(on);
        for (int p = 7; p <= 9; ++p)
            if (m->Panel[static_cast<size_t>(p)]) m->Panel[static_cast<size_t>(p)]->setVisible(on);
    };
    h.setUndoDnEnabled = [m](bool on) {
        if (m->UnDoDn) m->UnDoDn->setEnabled(on);
    };
}
} // namespace

void TMainForm::SteamDiagClick()
{
    if (!Forms.SteamDia) return;
    Forms.SteamDia->SetPositionsDialog(Forms.SetRevArm);
    Forms.SteamDia->ShowModal();
}

void TMainForm::FourEventsClick()
{
    if (!Forms.PortDia) return;
    State().graph.PortGraphMode = 'F';
    Forms.PortDia->ShowModal();
}

TPortDia* NewPortDia(TMainForm* main)
{
    auto* w = new TPortDia(main->State(), main, main);
    LinkPortSteamDiagram(main, w);
    return w;
}

TSteamDia* NewSteamDia(TMainForm* main)
{
    auto* w = new TSteamDia(main->State(), main, main);
    LinkPortSteamDiagram(main, w);
    return w;
}

// ---- captions
void TMainForm::UpdateGraphCaptions(const QString& tail)
{
    if (Forms.PortDia) Forms.PortDia->SetCaptionTail(tail);
    if (Forms.SteamDia) Forms.SteamDia->SetCaptionTail(tail);
}
