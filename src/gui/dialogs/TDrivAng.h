// "Driver Angle": type the driver angle exactly; the gear stops.
#pragma once

#include "dialogs/TSettingDialog.h"

class TDrivAng : public TSettingDialog {
    Q_OBJECT
public:
    TDrivAng(AppState& state, DesignSession* designSession, QWidget* parent = nullptr);

    void FormActivate() override;
    void Edit1KeyPress(char& key) override;
    void OKClick() override;
};
