// Dynamic variables, undo and redo, and the screen data switch.
#include "mainwin/TMainForm.h"
#include "mainwin/TMotionControls.h"
#include "model/DynVars.h"

#include <QAction>
#include <QFrame>
#include <QPushButton>
#include <QScrollBar>
#include <QToolBar>
#include <QToolButton>

void TMainForm::DynamicVariablesClick()
{
    DynVars& d = state_.dyn;
    d.DynVarsOn = !d.DynVarsOn;
    for (int k = 1; k <= 4; ++k) {
        SBDynVar[k]->setVisible(d.DynVarsOn);
        SBDynVar[k]->setEnabled(SlotHoldsVariable(state_, k));
    }
    for (int p : {7, 8, 9}) Panel[p]->setVisible(d.DynVarsOn);
}

void TMainForm::SetUnDoClick()
{
    state_.dyn.UndoOn = !state_.dyn.UndoOn;
    if (!state_.dyn.UndoOn) UnDoDn->hide();
}

void TMainForm::UndoRedoClick(bool redo)
{
    // The session puts back the reverse arm, the lines and the unit with it.
    if (redo)
        session_.Redo();
    else
        session_.Undo();
    ShowUndoButtons();
}

void TMainForm::ShowUndoButtons()
{
    UnDoDn->setEnabled(state_.dyn.UndoButtonsEnabled);
    ReDo->setEnabled(RedoAvailable(state_));
}

void TMainForm::SBDynVarChange(int k)
{
    QScrollBar* bar = SBDynVar[k];
    // Putting the bar back to 0 raises a second change that only shifts the
    // recorded positions.
    if (DynBarChange(state_, k, bar->value())) bar->setValue(0);
}

void TMainForm::SBDynVarScroll(int k)
{
    UnDoDn->setEnabled(true);
    DynBarEndScroll(state_, k);
    UnDoDn->setEnabled(state_.dyn.UndoButtonsEnabled);
    // The next gesture enters the bar again and records a fresh start value.
    QScrollBar* arm = motion_->ArmBar();
    if (arm->isVisibleTo(this) && arm->isEnabled()) arm->setFocus();
}

void TMainForm::SetScreenDataClick()
{
    DisplaySwitches& d = state_.display;
    d.ScreenDataOn = !d.ScreenDataOn;
    const bool on = d.ScreenDataOn;
    Child<QAction>("SetScreenData")
        ->setText(on ? QStringLiteral("SetScree&nData Off") : QStringLiteral("SetScree&nData On"));

    std::vector<QWidget*> controls = {NormVHZ, RefPt1, RefPt2, SBPanVert, SBPanHorz, SBZoom};
    for (QWidget* w : motion_->Widgets()) controls.push_back(w);
    controls.push_back(ToolBar1);
    const char* const commands[] = {"DriverAng", "FindRevArmCent", "DynamicVariables",
                                    "RefPoints", "SetUnDo",        "SetPivotData"};
    for (const char* c : commands) Child<QAction>(c)->setEnabled(on);
    RefPoints1->setVisible(on);
    SetPanZoom->setEnabled(!on);
    if (!on) {
        for (int p = 1; p <= 12; ++p) Panel[p]->hide();
        for (QPushButton* b : Preset) b->hide();
        for (QWidget* w : controls) w->hide();
        for (QWidget* w : {SBRef[0], SBRef[1], SBRef[2], SBRef[3]}) w->hide();
        for (QWidget* w : {RefPtZero[1], RefPtZero[2], DataTableBut, UnDoDn}) w->hide();
        for (int k = 1; k <= 4; ++k) SBDynVar[k]->hide();
        DrawLines1->setEnabled(false);
        ToolButton23->setEnabled(false);
        // The modes that live on the panel go off with it.
        state_.dyn.DynVarsOn = false;
        state_.dyn.UndoOn = false;
        d.RefPointsOn = false;
        d.PivotDataOn = false;
    } else {
        for (int p : {1, 2, 3, 4, 9, 10, 12}) Panel[p]->show();
        for (QPushButton* b : Preset) b->show();
        for (QWidget* w : controls) w->show();
        // The pan and zoom bars are shown with the panel: their own switch is off.
        panZoomShown_ = false;
        SetPanZoom->setText(QStringLiteral("SetP&anZoom On"));
        // Commands whose window is not there stay disabled.
        UpdateCommandStates();
    }
}

void TMainForm::ApplyDynVarEffects(const FrameEffects& fx)
{
    if (fx.undoButton == Vis::Show) {
        UnDoDn->move(fx.undoButtonLeft, fx.undoButtonTop);
        UnDoDn->show();
    } else if (fx.undoButton == Vis::Hide) {
        UnDoDn->hide();
    }
    ShowUndoButtons();
    if (fx.dynBarsTouched)
        for (int k = 1; k <= 4; ++k) SBDynVar[k]->setEnabled(fx.dynBarEnabled[k - 1]);
}
