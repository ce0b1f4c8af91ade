// Dynamic variables, undo, and the steam display and screen data switches.
#include "drawing/ScreenData.h"
#include "mainwin/TMainForm.h"
#include "model/DynVars.h"

#include <QAction>
#include <QFrame>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include <array>

namespace {

// Finds where a gesture on a dynamic-variable bar starts and ends: a mouse
// press (arrow, page area or thumb) up to the release of the last button, or a
// key press up to its release. The start enters the bar, the end is the bar's
// end of scroll, so each gesture makes one undo record. The wheel and the
// bar's own context menu are kept away from these bars: neither is a gesture
// with an end.
class DynBarGestures : public QObject {
public:
    explicit DynBarGestures(TMainForm* form) : QObject(form), form_(form) {}

protected:
    bool eventFilter(QObject* watched, QEvent* e) override
    {
        const int k = IndexOf(watched);
        if (k == 0) return false;
        switch (e->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick: {
            auto* me = static_cast<QMouseEvent*>(e);
            const bool scrolls = me->button() == Qt::LeftButton || me->button() == Qt::MiddleButton;
            if (scrolls && !active_[k]) {
                active_[k] = true;
                form_->SBDynVarEnter(k);
            }
            return !scrolls; // other buttons do nothing on these bars
        }
        case QEvent::MouseButtonRelease: {
            auto* me = static_cast<QMouseEvent*>(e);
            if (active_[k] && (me->buttons() & (Qt::LeftButton | Qt::MiddleButton)) == 0) End(k);
            return false;
        }
        case QEvent::KeyPress: {
            auto* ke = static_cast<QKeyEvent*>(e);
            if (IsScrollKey(ke->key()) && !ke->isAutoRepeat() && !active_[k]) {
                active_[k] = true;
                form_->SBDynVarEnter(k);
            }
            // Right and down step up, left and up step down, as on every
            // horizontal bar the user knows (Qt's scroll bars invert them).
            const QAbstractSlider::SliderAction action = KeyAction(ke->key());
            if (action == QAbstractSlider::SliderNoAction) return false;
            form_->SBDynVar[k]->triggerAction(action);
            return true;
        }
        case QEvent::KeyRelease: {
            auto* ke = static_cast<QKeyEvent*>(e);
            if (IsScrollKey(ke->key()) && !ke->isAutoRepeat() && active_[k]) End(k);
            return false;
        }
        case QEvent::FocusIn: form_->SBDynVarEnter(k); return false;
        case QEvent::Hide:
        case QEvent::EnabledChange:
            // A gesture cut short (the bar went away under the mouse) still
            // ends, once the window is back in its event loop (never while
            // it is being torn down).
            if (active_[k] && (e->type() == QEvent::Hide || !static_cast<QWidget*>(watched)->isEnabled())) {
                active_[k] = false;
                QTimer::singleShot(0, form_, [f = form_, k] { f->SBDynVarScroll(k); });
            }
            return false;
        case QEvent::Wheel:
        case QEvent::ContextMenu: return true;
        default: return false;
        }
    }

private:
    int IndexOf(QObject* o) const
    {
        for (int k = 1; k <= 4; ++k)
            if (form_->SBDynVar[k] == o) return k;
        return 0;
    }
    static bool IsScrollKey(int key)
    {
        switch (key) {
        case Qt::Key_Left:
        case Qt::Key_Right:
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
        case Qt::Key_Home:
        case Qt::Key_End: return true;
        default: return false;
        }
    }
    static QAbstractSlider::SliderAction KeyAction(int key)
    {
        switch (key) {
        case Qt::Key_Right:
        case Qt::Key_Down: return QAbstractSlider::SliderSingleStepAdd;
        case Qt::Key_Left:
        case Qt::Key_Up: return QAbstractSlider::SliderSingleStepSub;
        case Qt::Key_PageDown: return QAbstractSlider::SliderPageStepAdd;
        case Qt::Key_PageUp: return QAbstractSlider::SliderPageStepSub;
        default: return QAbstractSlider::SliderNoAction;
        }
    }
    void End(int k)
    {
        active_[k] = false;
        form_->SBDynVarScroll(k);
    }

    TMainForm* form_;
    std::array<bool, 5> active_{};
};

} // namespace

void TMainForm::InstallDynVarBarHooks()
{
    auto* gestures = new DynBarGestures(this);
    for (int k = 1; k <= 4; ++k) SBDynVar[k]->installEventFilter(gestures);
}

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

void TMainForm::UnDoDnClick()
{
    // Undoing a balance puts the reverse arm back as well.
    if (UndoButtonClick(state_) && state_.dyn.Undo[0].RestoresArm) ShowRevArmOfModel();
    UnDoDn->setEnabled(state_.dyn.UndoButtonsEnabled);
    ReDo->setEnabled(RedoAvailable(state_));
}

void TMainForm::ReDoClick()
{
    // Redoing a balance moves the reverse arm as its Close did.
    if (PopRedo(state_) && state_.dyn.Undo[0].RestoresArm) ShowRevArmOfModel();
    UnDoDn->setEnabled(state_.dyn.UndoButtonsEnabled);
    ReDo->setEnabled(RedoAvailable(state_));
}

void TMainForm::SBDynVarChange(int k)
{
    if (k < 1 || k > 4) return;
    QScrollBar* bar = SBDynVar[k];
    // Putting the bar back to 0 raises a second change that only shifts the
    // recorded positions.
    if (DynBarChange(state_, k, bar->value())) bar->setValue(0);
}

void TMainForm::SBDynVarEnter(int k) { DynBarEnter(state_, k); }

void TMainForm::SBDynVarScroll(int k)
{
    if (k < 1 || k > 4) return;
    UnDoDn->setEnabled(true);
    DynBarEndScroll(state_, k);
    UnDoDn->setEnabled(state_.dyn.UndoButtonsEnabled);
    // The next gesture enters the bar again and records a fresh start value.
    if (SBRevArm->isVisibleTo(this) && SBRevArm->isEnabled()) SBRevArm->setFocus();
}

void TMainForm::SetSteamClick()
{
    DisplaySwitches& d = state_.display;
    d.SteamDisplayOn = !d.SteamDisplayOn;
    SetSteam->setText(d.SteamDisplayOn ? QStringLiteral("SetS&teamDisp Off") : QStringLiteral("SetS&teamDisp On"));
}

void TMainForm::SetScreenDataClick()
{
    DisplaySwitches& d = state_.display;
    d.ScreenDataOn = !d.ScreenDataOn;
    const bool on = d.ScreenDataOn;
    SetScreenData->setText(on ? QStringLiteral("SetScree&nData Off") : QStringLiteral("SetScree&nData On"));

    const std::initializer_list<QWidget*> controls = {NormVHZ, RefPt1,   RefPt2,   SBPanVert, SBPanHorz, SBZoom, Rev,
                                                      Center,  Fwd,      Deg180,   Run,       Deg00,     Step1,  Step10,
                                                      Step45,  SBRevArm, SBDrvAng, SBStepAng, ToolBar1};
    const std::initializer_list<QAction*> commands = {DriverAng, FindRevArmCent, DynamicVariables,
                                                      RefPoints, SetUnDo,        SetPivotData};
    if (!on) {
        for (int p = 1; p <= 12; ++p) Panel[p]->hide();
        for (QPushButton* b : Preset) b->hide();
        for (QWidget* w : controls) w->hide();
        for (QWidget* w : std::initializer_list<QWidget*>{RefPt1Zero, RefPt2Zero, SBRef1Vert, SBRef1Horz, SBRef2Vert,
                                                          SBRef2Horz, DataTableBut})
            w->hide();
        for (int k = 1; k <= 4; ++k) SBDynVar[k]->hide();
        UnDoDn->hide();
        for (QAction* a : commands) a->setEnabled(false);
        DrawLines1->setEnabled(false);
        ToolButton23->setEnabled(false);
        RefPoints1->setVisible(false);
        // The modes that live on the panel go off with it.
        state_.dyn.DynVarsOn = false;
        state_.dyn.UndoOn = false;
        d.RefPointsOn = false;
        d.PivotDataOn = false;
        SetPanZoom->setEnabled(true);
    } else {
        for (int p : {1, 2, 3, 4, 9, 10, 12}) Panel[p]->show();
        for (QPushButton* b : Preset) b->show();
        for (QWidget* w : controls) w->show();
        for (QAction* a : commands) a->setEnabled(true);
        RefPoints1->setVisible(true);
        SetPanZoom->setEnabled(false);
        SetPanZoom->setText(QStringLiteral("Set&PanZoom On"));
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
    UnDoDn->setEnabled(state_.dyn.UndoButtonsEnabled);
    ReDo->setEnabled(RedoAvailable(state_));
    if (fx.dynBarsTouched)
        for (int k = 1; k <= 4; ++k) SBDynVar[k]->setEnabled(fx.dynBarEnabled[k - 1]);
}
