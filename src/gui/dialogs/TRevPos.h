// "Reverse Arm Position": type the reverse arm position exactly.
#pragma once

#include "dialogs/TSettingDialog.h"

class TRevPos : public TSettingDialog {
    Q_OBJECT
public:
    TRevPos(AppState& state, DesignSession* designSession, QWidget* parent = nullptr);

    QLabel* Label2 = nullptr; // "Min = "
    QLabel* Label3 = nullptr; // "Cen = "
    QLabel* Label4 = nullptr; // "Max = "
    QLabel* Label5 = nullptr; // "Rev = "
    QLabel* Label6 = nullptr; // "Fwd = "

    void FormActivate() override;
    void Edit1KeyPress(char& key) override;
    void OKClick() override;
};
