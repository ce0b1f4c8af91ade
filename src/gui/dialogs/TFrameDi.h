// "Frame Dimensions": the 22 frame dimensions.
#pragma once

#include "dialogs/TDimensionDialog.h"

class TFrameDi : public TDimensionDialog {
    Q_OBJECT
public:
    TFrameDi(AppState& state, DesignSession* designSession, QWidget* parent = nullptr);

    QPushButton* ResetFrame = nullptr;

    int FieldCode(int k) const override { return k; }

    // Handlers.
    void FormActivate() override;
    QUELF_FOR_EACH_FIELD(QUELF_FIELD_HANDLERS)
    void ResetFrameMouseDown();
    void ResetFrameClick();
    void Close1Click();

    std::vector<PaintedText> PaintedTexts() const override;

protected:
    void AfterCommit(int k) override;
    void WidgetMouseDown(QObject* widget) override;
    QUELF_FIELD_DISPATCH

private:
    void Reset(bool clearUndo);
};
