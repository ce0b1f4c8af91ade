// "Reference Points": typing the two reference points.
#pragma once

#include "model/AppState.h"

#include <QDialog>

#include <functional>

class QLineEdit;
class QPushButton;

class TRefPnts : public QDialog {
    Q_OBJECT

public:
    explicit TRefPnts(AppState& state, QWidget* parent = nullptr);

    // The main window's reference points switch and zero buttons; without
    // them (tests) the switch acts on the state alone.
    std::function<void()> RunSwitch;
    std::function<void(int ref, bool on)> EnableZero;

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
};
