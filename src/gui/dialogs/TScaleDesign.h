// "Scale Design…": the design at another size. By a factor typed, by the
// factor from one scale or gauge to another (full size to 1:8; 4 ft 8½ in to
// 5 in), or by a unit conversion (inches to millimetres and back, which also
// states the design's new unit); optionally every dimension rounded to 1/64 in
// or 0.1 mm after the scaling. The window says what will happen, or why it
// cannot; "Apply" scales (model/DesignScale: one "UnDo" record for the whole
// scaling), "Cancel" changes nothing.
#pragma once

#include "drawing/ScaleDesignValues.h"
#include "model/AppState.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class DesignSession;

class TScaleDesign : public QDialog {
    Q_OBJECT

public:
    // "Apply" scales through `session` (the main window then shows the
    // reverse arm and the unit again); without one, the state alone.
    TScaleDesign(AppState& state, DesignSession* session, QWidget* parent = nullptr);

    static QString CaptionHead();

    QRadioButton *ByFactor = nullptr, *ByScales = nullptr, *ByConversion = nullptr;
    QLineEdit* FactorEdit = nullptr;
    QComboBox *FromScale = nullptr, *ToScale = nullptr, *ConversionBox = nullptr, *RoundGridBox = nullptr;
    QCheckBox* RoundBox = nullptr;
    QLabel *UnitText = nullptr, *ScaleResult = nullptr;
    QPushButton *ApplyBut = nullptr, *CancelBut = nullptr;

    // What the window's controls ask for now, and what it makes of it.
    ScaleChoice Choice() const;
    const ScaleOutcome& Outcome() const { return outcome_; }

public slots:
    // Every opening: factor 1, the unit shown, the grid for the unit.
    void FormActivate();
    void ApplyButClick();
    // Works the choice out again and shows it.
    void Refresh();

protected:
    void showEvent(QShowEvent* e) override;

private:
    AppState& s_;
    DesignSession* session_;
    ScaleOutcome outcome_;
};
