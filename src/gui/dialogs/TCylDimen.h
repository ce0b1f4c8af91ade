// "Cylinder Dimensions": the 22 cylinder dimensions (codes 101..122).
#pragma once

#include "dialogs/TDimensionDialog.h"

class TCylDimen : public TDimensionDialog {
    Q_OBJECT
public:
    TCylDimen(AppState& state, DesignSession* designSession, QWidget* parent = nullptr);

    QPushButton* Reset1 = nullptr;

    int FieldCode(int k) const override { return 100 + k; }

    // Handlers.
    void FormActivate() override;
    QUELF_FOR_EACH_FIELD(QUELF_FIELD_HANDLERS)
    void Reset1MouseDown();
    void ResetCylClick();
    void Close1Click();

    std::vector<PaintedText> PaintedTexts() const override;

protected:
    void WidgetMouseDown(QObject* widget) override;
    QUELF_FIELD_DISPATCH

private:
    void Reset(bool clearUndo);
};
