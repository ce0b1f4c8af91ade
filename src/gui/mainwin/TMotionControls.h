// The motion block of the main window's control strip: the reverse arm bar
// with "Rev", "Cen" and "Fwd", "Run"/"Stop", the driver angle bar with "0.0"
// and "180", the step angle bar with "1.0", "10.0" and "45.0". A view of the
// session's run state and of the gear's reverse arm, driver angle and step:
// the bars write the model as the user moves them, and they follow what the
// session tells (a dialog's setting, an open, an undo, a scaling).
#pragma once

#include "session/DesignSession.h"

#include <QObject>

#include <vector>

class QFont;
class QPushButton;
class QScrollBar;
class QWidget;

class TMotionControls : public QObject {
public:
    // The controls on `area`, made in their order there, in `font`.
    TMotionControls(QWidget* area, DesignSession& session, const QFont& font);

    // Follows the session's events about the arm, the run state, the driver
    // and the step.
    void Follow(SessionEvent event, int value);
    // The normal notch in reverse (-1) or forward (1), or mid gear (0): the
    // model and the bar, as "Rev", "Fwd" and "Cen" do.
    void NotchClick(int side);
    // The reverse arm bar and its buttons as the model has the arm now (its
    // travel too); the bar's change handler does not run.
    void ShowRevArmOfModel();
    // The bar's range from RevArmMax (Max = round(1000 * RevArmMax), Min = -Max).
    void SetRevArmBarRange();
    QScrollBar* ArmBar() const { return SBRevArm; }
    QScrollBar* DriverBar() const { return SBDrvAng; }
    // Every control of the block, as the screen data switch shows and hides it.
    const std::vector<QWidget*>& Widgets() const { return widgets_; }

private:
    void RunClick();
    void DegClick(float angle);
    void StepClick(QPushButton* own, float step, int barPosition);
    void SBDrvAngChange();
    void SBStepAngChange();
    void SBRevArmChange();
    void ShowRevArmState(int pos);
    void ShowRunState();

    DesignSession& session_;
    AppState& state_;
    QScrollBar *SBRevArm = nullptr, *SBDrvAng = nullptr, *SBStepAng = nullptr;
    QPushButton *Run = nullptr, *Center = nullptr, *Fwd = nullptr, *Rev = nullptr, *Deg00 = nullptr, *Deg180 = nullptr,
                *Step1 = nullptr, *Step10 = nullptr, *Step45 = nullptr;
    std::vector<QWidget*> widgets_;
};
