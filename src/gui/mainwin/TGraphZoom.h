// "Set Zoom of Dimensional Graphic Position": the zoom factor of the dimension
// highlight view.
#pragma once

#include "model/AppState.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

class TGraphZoom : public QDialog {
    Q_OBJECT

public:
    TGraphZoom(AppState& state, QWidget* parent = nullptr);

    QLineEdit* Edit1 = nullptr;
    QPushButton* OK = nullptr;
    QPushButton* Cancel = nullptr;

public slots:
    void FormActivate();
    void OKClick();
    void CancelClick();

protected:
    void showEvent(QShowEvent* e) override;

private:
    void Edit1KeyPress(QChar& key);
    AppState& state_;
};
