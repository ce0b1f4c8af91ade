// "Step Angle": type the driver step angle exactly; the run state is kept.
#pragma once

#include "dialogs/TSettingDialog.h"

class TStpAng : public TSettingDialog {
    Q_OBJECT
public:
    TStpAng(AppState& state, DesignSession* designSession, QWidget* parent = nullptr);

    void FormActivate() override;
    void Edit1KeyPress(char& key) override;
    void OKClick() override;
};
