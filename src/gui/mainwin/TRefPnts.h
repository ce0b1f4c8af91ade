// "Reference Points": typing the two reference points.
#pragma once

#include "model/AppState.h"

#include <QDialog>

class QLineEdit;
class QPushButton;
class TMainForm;

class TRefPnts : public QDialog {
    Q_OBJECT

public:
    // `main` runs the reference points switch and owns the zero buttons; without
    // it (tests) the switch acts on the state alone.
    TRefPnts(AppState& state, TMainForm* main, QWidget* parent = nullptr);

    // RefPt V1, RefPt H1, RefPt V2, RefPt H2.
    QLineEdit *Edit1 = nullptr, *Edit2 = nullptr, *Edit3 = nullptr, *Edit4 = nullptr;
    QPushButton *OK = nullptr, *Cancel = nullptr, *Zero = nullptr;

public slots:
    void FormActivate();
    void OKClick();
    void CancelClick();
    void ZeroClick();

protected:
    void showEvent(QShowEvent* e) override;

private:
    // Sets RefPointsOn to `from` and runs the switch, so the points end up !from.
    void RunSwitchFrom(bool from);
    void EnableZeroButton(int ref, bool on);
    AppState& state_;
    TMainForm* main_;
};
