// Dynamic variables, undo, and the steam display and screen data switches.
#include "mainwin/TMainForm.h"

#include <QPushButton>
#include <QScrollBar>

void TMainForm::DynamicVariablesClick() {}
void TMainForm::SetUnDoClick() {}
void TMainForm::UnDoDnClick() {}
void TMainForm::SBDynVarChange(int) {}
void TMainForm::SetSteamClick() {}
void TMainForm::SetScreenDataClick() {}

void TMainForm::ApplyDynVarEffects(const FrameEffects& fx)
{
    if (fx.undoButton == Vis::Show) {
        UnDoDn->move(fx.undoButtonLeft, fx.undoButtonTop);
        UnDoDn->show();
    } else if (fx.undoButton == Vis::Hide) {
        UnDoDn->hide();
    }
    if (fx.dynBarsTouched)
        for (int k = 1; k <= 4; ++k) SBDynVar[k]->setEnabled(fx.dynBarEnabled[k - 1]);
}
