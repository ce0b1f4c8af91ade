// Reference points, pivots, mouse selection, lines and circles, and the
// captions of the pivot data table.
#include "aids/TDataTable.h"
#include "aids/TDrawLines.h"
#include "drawing/PivotSelection.h"
#include "mainwin/TMainForm.h"

#include <QAction>
#include <QFrame>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <QToolButton>

void TMainForm::RefPointsClick()
{
    const bool on = RefPointsSwitch(state_);
    for (QWidget* w : {SBRef[0], SBRef[1], SBRef[2], SBRef[3]}) w->setVisible(on);
    for (QWidget* w : std::initializer_list<QWidget*>{RefPtZero[1], RefPtZero[2], Panel[5], Panel[6], Panel[11]})
        w->setVisible(on);
    if (!on) DataTableBut->hide();
    RefPt1->setEnabled(on);
    RefPt2->setEnabled(on);
    const bool lines = on && forms_.DrawLines != nullptr;
    DrawLines1->setEnabled(lines);
    ToolButton23->setEnabled(lines);
}

void TMainForm::SetPivotDataClick()
{
    DisplaySwitches& d = state_.display;
    d.PivotDataOn = !d.PivotDataOn;
    DataTableBut->setVisible(d.PivotDataOn);
    if (d.PivotDataOn && !d.RefPointsOn) RefPointsClick();
}

void TMainForm::DrawLines1Click()
{
    const Gear& g = state_.gear;
    if (g.PointX[kRefPoint1] == 0 && g.PointY[kRefPoint1] == 0 && g.PointX[kRefPoint2] == 0 &&
        g.PointY[kRefPoint2] == 0)
        sound_.Beep();
    if (forms_.DrawLines && !forms_.DrawLines->isVisible()) forms_.DrawLines->exec();
}

void TMainForm::SBRefChange(int k)
{
    static constexpr RefBar kBars[4] = {RefBar::Ref1Vert, RefBar::Ref1Horz, RefBar::Ref2Vert, RefBar::Ref2Horz};
    RefBarChange(state_, kBars[k], SBRef[k]->value());
    RefPtZero[k < 2 ? 1 : 2]->setEnabled(true);
    SBRef[k]->setValue(0);
}

void TMainForm::RefPtZeroClick(int ref)
{
    SBRef[2 * (ref - 1)]->setValue(0);
    SBRef[2 * (ref - 1) + 1]->setValue(0);
    ZeroRefPoint(state_, ref);
    RefPtZero[ref]->setEnabled(false);
}

void TMainForm::FormMouseDown(Qt::MouseButton button, int x, int y)
{
    const MouseButton b = button == Qt::LeftButton    ? MouseButton::Left
                          : button == Qt::RightButton ? MouseButton::Right
                                                      : MouseButton::Other;
    const MouseDownResult r = PivotMouseDown(state_, b, x, y);
    if (r.enableRefPt1Zero) RefPtZero[1]->setEnabled(true);
    if (r.enableRefPt2Zero) RefPtZero[2]->setEnabled(true);
    // The dialog's own loop must not start inside the mouse event.
    if (r.openLineDialog) QTimer::singleShot(0, this, [this] { DrawLines1Click(); });
}

void TMainForm::FollowLines(bool replaced)
{
    // The Draw Lines rows after an open (labels cleared, the current row
    // lit) or an undo or redo of a line.
    if (!forms_.DrawLines) return;
    if (replaced) {
        forms_.DrawLines->ClearRowLabels();
        forms_.DrawLines->HighlightCurrentRow();
    }
    forms_.DrawLines->RefreshLineRows();
}

void TMainForm::UpdateAidsCaptions(const QString& tail)
{
    if (!forms_.DataTable) return;
    const QString caption = QStringLiteral("QUELF Outside Admission  Data Table  ") + tail;
    if (forms_.DataTable->windowTitle() != caption) forms_.DataTable->setWindowTitle(caption);
}
