// Reference points, pivots, mouse selection, lines and circles, the pivot data
// table and the help windows.
#include "aids/TAboutBox.h"
#include "aids/TDataTable.h"
#include "aids/TDrawLines.h"
#include "aids/TInst.h"
#include "aids/TQelSpInst.h"
#include "drawing/PivotSelection.h"
#include "mainwin/TMainForm.h"
#include "mainwin/TRefPnts.h"

#include <QAction>
#include <QFrame>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <QToolButton>

void TMainForm::RefPointsClick()
{
    const bool on = RefPointsSwitch(state_);
    for (QWidget* w : std::initializer_list<QWidget*>{SBRef1Vert, SBRef1Horz, SBRef2Vert, SBRef2Horz, RefPt1Zero,
                                                      RefPt2Zero, Panel[5], Panel[6], Panel[11]})
        w->setVisible(on);
    if (!on) DataTableBut->hide();
    RefPt1->setEnabled(on);
    RefPt2->setEnabled(on);
    const bool lines = on && Forms.DrawLines != nullptr;
    DrawLines1->setEnabled(lines);
    ToolButton23->setEnabled(lines);
}

void TMainForm::RefPoints1Click()
{
    if (Forms.RefPnts && !Forms.RefPnts->isVisible()) Forms.RefPnts->exec();
}

void TMainForm::SetPivotDataClick()
{
    DisplaySwitches& d = state_.display;
    if (d.PivotDataOn) {
        d.PivotDataOn = false;
        DataTableBut->hide();
    } else {
        d.PivotDataOn = true;
        DataTableBut->show();
        if (!d.RefPointsOn) RefPointsClick();
    }
}

void TMainForm::DataTableButClick()
{
    if (Forms.DataTable && !Forms.DataTable->isVisible()) Forms.DataTable->exec();
}

void TMainForm::DrawLines1Click()
{
    const Gear& g = state_.gear;
    if (g.PointX[kRefPoint1] == 0 && g.PointY[kRefPoint1] == 0 && g.PointX[kRefPoint2] == 0 &&
        g.PointY[kRefPoint2] == 0)
        sound_.Beep();
    if (Forms.DrawLines && !Forms.DrawLines->isVisible()) Forms.DrawLines->exec();
}

void TMainForm::SBRef1VertChange()
{
    RefBarChange(state_, RefBar::Ref1Vert, SBRef1Vert->value());
    RefPt1Zero->setEnabled(true);
    SBRef1Vert->setValue(0);
}

void TMainForm::SBRef1HorzChange()
{
    RefBarChange(state_, RefBar::Ref1Horz, SBRef1Horz->value());
    RefPt1Zero->setEnabled(true);
    SBRef1Horz->setValue(0);
}

void TMainForm::SBRef2VertChange()
{
    RefBarChange(state_, RefBar::Ref2Vert, SBRef2Vert->value());
    RefPt2Zero->setEnabled(true);
    SBRef2Vert->setValue(0);
}

void TMainForm::SBRef2HorzChange()
{
    RefBarChange(state_, RefBar::Ref2Horz, SBRef2Horz->value());
    RefPt2Zero->setEnabled(true);
    SBRef2Horz->setValue(0);
}

void TMainForm::RefPt1ZeroClick()
{
    SBRef1Vert->setValue(0);
    SBRef1Horz->setValue(0);
    ZeroRefPoint(state_, 1);
    RefPt1Zero->setEnabled(false);
}

void TMainForm::RefPt2ZeroClick()
{
    SBRef2Vert->setValue(0);
    SBRef2Horz->setValue(0);
    ZeroRefPoint(state_, 2);
    RefPt2Zero->setEnabled(false);
}

void TMainForm::FormMouseDown(Qt::MouseButton button, int x, int y)
{
    const MouseButton b = button == Qt::LeftButton    ? MouseButton::Left
                          : button == Qt::RightButton ? MouseButton::Right
                                                      : MouseButton::Other;
    const MouseDownResult r = PivotMouseDown(state_, b, x, y);
    if (r.enableRefPt1Zero) RefPt1Zero->setEnabled(true);
    if (r.enableRefPt2Zero) RefPt2Zero->setEnabled(true);
    // The dialog's own loop must not start inside the mouse event.
    if (r.openLineDialog) QTimer::singleShot(0, this, &TMainForm::DrawLines1Click);
}

void TMainForm::InstructionsClick()
{
    if (Forms.Inst) Forms.Inst->exec();
}

void TMainForm::SpecInstrClick()
{
    if (Forms.QelSpInst) Forms.QelSpInst->exec();
}

void TMainForm::About1Click()
{
    if (Forms.AboutBox) Forms.AboutBox->exec();
}

void TMainForm::ClearDrawLinesLabels()
{
    if (Forms.DrawLines) Forms.DrawLines->ClearRowLabels();
}

void TMainForm::HighlightDrawLinesCurrentRow()
{
    if (Forms.DrawLines) Forms.DrawLines->HighlightCurrentRow();
}

void TMainForm::RefreshDrawLinesRows()
{
    if (Forms.DrawLines) Forms.DrawLines->RefreshLineRows();
}

void TMainForm::UpdateAidsCaptions(const QString& tail)
{
    if (!Forms.DataTable) return;
    const QString caption = QStringLiteral("QUELF Outside Admission  Data Table  ") + tail;
    if (Forms.DataTable->windowTitle() != caption) Forms.DataTable->setWindowTitle(caption);
}

TRefPnts* NewRefPnts(TMainForm* main) { return new TRefPnts(main->State(), main, main); }
TAboutBox* NewAboutBox(TMainForm* main) { return new TAboutBox(main); }
TInst* NewInst(TMainForm* main) { return new TInst(main); }
TQelSpInst* NewQelSpInst(TMainForm* main) { return new TQelSpInst(main); }
TDrawLines* NewDrawLines(TMainForm* main) { return new TDrawLines(main->State(), &main->Sound(), main); }
TDataTable* NewDataTable(TMainForm* main) { return new TDataTable(main->State(), main->Clock(), main, main->Files()); }
