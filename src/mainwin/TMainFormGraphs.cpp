// The four diagram windows.
#include "mainwin/TMainForm.h"

// ---- oval and sine diagrams, reverse arm positions
void TMainForm::SineDiagClick() {}
void TMainForm::OvalDiagClick() {}
TOvalDia* NewOvalDia(TMainForm*) { return nullptr; }
TSineDia* NewSineDia(TMainForm*) { return nullptr; }
TSetRevArm* NewSetRevArm(TMainForm*) { return nullptr; }

// ---- port and steam diagrams
void TMainForm::SteamDiagClick() {}
void TMainForm::FourEventsClick() {}
TPortDia* NewPortDia(TMainForm*) { return nullptr; }
TSteamDia* NewSteamDia(TMainForm*) { return nullptr; }

// ---- captions
void TMainForm::UpdateGraphCaptions(const QString&) {}
