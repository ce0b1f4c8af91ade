// "Draw Lines": the dialog that places up to 20 lines and circles over the
// gear, fixed or tied to its pivots. The logic lives in LineDialogModel; the
// window shows the model after every event.
#pragma once

#include "drawing/LineItems.h"
#include "model/AppState.h"

#include <QColor>
#include <QDialog>

#include <array>

class QAction;
class QButtonGroup;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class SoundPort;

class TDrawLines : public QDialog {
    Q_OBJECT

public:
    // Beeps go to `sound`; without one, to the system beep.
    TDrawLines(AppState& state, SoundPort* sound, QWidget* parent = nullptr);

    LineDialogModel& Model() { return model_; }

    // Row r (1..20): Panel r, its number label Label(4r-3), type/colour/reference
    // labels Label(4r-2)..Label(4r), edits Edit(4r-3)..Edit(4r) for Y1, X1, Y2, X2.
    std::array<QFrame*, kOverlayItems + 1> Panel{};
    std::array<QLabel*, 4 * kOverlayItems + 1> Label{};
    std::array<QLineEdit*, 4 * kOverlayItems + 1> Edit{};
    QGroupBox *RadioGroup1 = nullptr, *RadioGroup2 = nullptr, *RadioGroup3 = nullptr;
    QButtonGroup *TypeGroup = nullptr, *ColourGroup = nullptr, *ReferenceGroup = nullptr;
    QPushButton *DrawBut = nullptr, *ClearLine = nullptr, *CloseBut = nullptr, *LinesData = nullptr;
    // "&Keep-out" (Ctrl+Shift+K, and the menu of a right click on a row's number):
    // the current line or circle is a shape the gear must clear, or no longer.
    // A keep-out row's number is red.
    QAction* KeepOut = nullptr;

    // Used by the main window (the native open).
    void HighlightCurrentRow();
    void RefreshLineRows();
    void ClearRowLabels();

public slots:
    void FormActivate();
    void RadioGroup1Click(int index);
    void RadioGroup2Click(int index);
    void RadioGroup3Click(int index);
    void DrawButClick();
    void ClearLineClick();
    void CloseButClick();
    void LinesDataClick();
    void KeepOutClick();
    // Row-number labels Label1, Label5, ... Label77: row 1..20.
    void RowLabelClick(int row);
    // Edit1..Edit80.
    void EditExit(int n);
    void EditKeyPress(int n, QChar& key);

protected:
    void showEvent(QShowEvent* e) override;
    bool eventFilter(QObject* obj, QEvent* ev) override;

private:
    void Apply(const LineOp& op);
    // Shows the model: rows, highlight, radio groups, "Draw Close".
    void ShowModel();
    void Beep();

    AppState& state_;
    SoundPort* sound_;
    LineDialogModel model_;
    QColor numberText_; // a row number's colour, but for a keep-out shape's
};
