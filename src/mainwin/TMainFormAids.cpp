// Reference points, pivot data, mouse selection, lines and circles, the pivot
// data table and the help windows.
#include "mainwin/TMainForm.h"

void TMainForm::RefPointsClick() {}
void TMainForm::RefPoints1Click() {}
void TMainForm::SetPivotDataClick() {}
void TMainForm::DataTableButClick() {}
void TMainForm::DrawLines1Click() {}
void TMainForm::SBRef1VertChange() {}
void TMainForm::SBRef1HorzChange() {}
void TMainForm::SBRef2VertChange() {}
void TMainForm::SBRef2HorzChange() {}
void TMainForm::RefPt1ZeroClick() {}
void TMainForm::RefPt2ZeroClick() {}
void TMainForm::FormMouseDown(Qt::MouseButton, int, int) {}
void TMainForm::InstructionsClick() {}
void TMainForm::SpecInstrClick() {}
void TMainForm::About1Click() {}
void TMainForm::ClearDrawLinesLabels() {}
void TMainForm::HighlightDrawLinesCurrentRow() {}
void TMainForm::RefreshDrawLinesRows() {}
void TMainForm::UpdateAidsCaptions(const QString&) {}

TRefPnts* NewRefPnts(TMainForm*) { return nullptr; }
TAboutBox* NewAboutBox(TMainForm*) { return nullptr; }
TInst* NewInst(TMainForm*) { return nullptr; }
TQelSpInst* NewQelSpInst(TMainForm*) { return nullptr; }
TDrawLines* NewDrawLines(TMainForm*) { return nullptr; }
TDataTable* NewDataTable(TMainForm*) { return nullptr; }
