// "EditDimen > Engine Data…": the engine the gear drives, for the steam
// performance model (model/EngineData.h): each value with its unit and
// tooltip, the least clearance the section drawing implies beside each
// clearance with a warning when the value is below it, and why the engine
// cannot run when it cannot.
//
// A field is committed when it is left (Tab, a click elsewhere, Return, Close):
// a new value is one undo record (ChangeKind::EngineDatum, through the
// session), as a typed dimension is; a text that is no number is refused with
// a message and the field shows its value again. A design without engine data
// shows the defaults and keeps having none (and saving as it did) until a
// value is set. Modal, as the dimension dialogs; Timer1 keeps running.
#pragma once

#include "model/AppState.h"
#include "model/EngineData.h"

#include <QDialog>

#include <array>
#include <string>

class QLabel;
class QLineEdit;
class QPushButton;
class DesignSession;

class TEngineData : public QDialog {
    Q_OBJECT

public:
    TEngineData(AppState& state, DesignSession* designSession, QWidget* parent = nullptr);

    // The fields in the order of model/EngineData.h ("Edit" + the value's
    // name: EditChestPressure), their unit labels, the notes beside the
    // clearances, the message under them.
    std::array<QLineEdit*, kEngineValueCount> Edit{};
    std::array<QLabel*, kEngineValueCount> Unit{};
    std::array<QLabel*, 2> LeastClearance{}; // front, rear
    QLabel* EngineText = nullptr;
    QPushButton* Close1 = nullptr;

public slots:
    // Every opening: the fields from the design.
    void FormActivate();
    // Field k left: its text committed.
    void FieldExit(int k);
    void Close1Click();

protected:
    void showEvent(QShowEvent* e) override;
    void done(int result) override;

private:
    void FillFields();
    void ShowNotes(const std::string& refused = {});

    AppState& s_;
    DesignSession* session_;
    std::array<std::string, kEngineValueCount> shown_; // the text each field was given
};
