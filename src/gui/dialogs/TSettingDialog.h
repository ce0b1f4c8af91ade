// What the three small setting dialogs share: one edit `Edit1` with a key
// filter, "OK" and "Cancel", fixed size, focus on "Cancel" when shown.
#pragma once

#include "model/AppState.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class DesignSession;

class TSettingDialog : public QDialog {
    Q_OBJECT
public:
    QLineEdit* Edit1 = nullptr;
    QPushButton* OK = nullptr;
    QPushButton* Cancel = nullptr;

    virtual void FormActivate() = 0;
    virtual void Edit1KeyPress(char& key) = 0;
    virtual void OKClick() = 0;

protected:
    // Builds the bottom row: "Enter", Edit1 (editWidth wide), OK, Cancel, at y.
    TSettingDialog(AppState& state, DesignSession* designSession, QWidget* parent, int width, int height, int rowY,
                   int editWidth);
    QLabel* MakeLabel(const char* name, const QString& text, int x, int y, int w);

    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

    // Enter presses OK, the default button, wherever the focus is; Escape
    // presses Cancel (TRevPos).
    bool escapePressesCancel = false;
    // "-" may go into Edit1, typed or pasted (TRevPos).
    bool minusAllowed = false;

    AppState& s;
    DesignSession* session;
};
