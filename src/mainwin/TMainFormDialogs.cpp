// The dimension dialogs, the small setting dialogs, the highlight view's round
// trip and the reset of all dimensions.
#include "mainwin/TMainForm.h"

void TMainForm::FrameDimClick() {}
void TMainForm::CylDimClick() {}
void TMainForm::RevArmPosClick() {}
void TMainForm::DriverAngClick() {}
void TMainForm::StepAng1Click() {}
void TMainForm::ResetAllClick() {}
void TMainForm::ApplyHighlightEffects(const FrameEffects&) {}

TDrivAng* NewDrivAng(TMainForm*) { return nullptr; }
TRevPos* NewRevPos(TMainForm*) { return nullptr; }
TStpAng* NewStpAng(TMainForm*) { return nullptr; }
TFrameDi* NewFrameDi(TMainForm*) { return nullptr; }
TCylDimen* NewCylDimen(TMainForm*) { return nullptr; }
