// "Design Check": the rules of good valve-gear practice judged on the events
// table of the live design, one line per rule and direction with its value,
// limit, PASS or FAIL and the row of the worst value. The limits can be
// changed in the window and judge again at once.
//
// The window stays open beside the main window (it is not modal), so that it
// follows the design as dynamic variables, undo and the dimension dialogs
// change it: a timer compares a snapshot of the design (its dimensions and
// reverse arm values) every 100 ms and, when it changed, measures the events
// table of a copy, with the mid gear the design holds, on a worker thread.
#pragma once

#include "analysis/DesignCheck.h"
#include "model/AppState.h"

#include "dialogs/TSearchWindow.h"

#include <array>
#include <vector>

class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;
class QTimer;
class DesignSession;

class TDesignCheck : public TSearchWindow {
    Q_OBJECT

public:
    TDesignCheck(AppState& state, DesignSession* designSession, QWidget* parent = nullptr);

    static QString CaptionHead();

    QTableWidget* CheckGrid = nullptr;
    std::array<QLineEdit*, kCheckRules> LimitEdit{}; // [0] (Assembles) stays null
    QLabel* CheckText = nullptr;
    QPushButton* CloseBut = nullptr;

    // The verdict shown, and whether a measurement is under way or due.
    const DesignCheckResult& Result() const { return result_; }
    bool Measuring() const;
    // The snapshot of the design the result belongs to.
    static std::vector<float> DesignSnapshot(const Gear& g);

public slots:
    // Every opening: limits as they were, the design measured again.
    void FormActivate() override;
    // The timer: measures again when the design changed.
    void WatchDesign();
    void LimitsChanged();

protected:
    void hideEvent(QHideEvent* e) override;

private:
    void StartMeasure();
    // The events table and the engine rules' point, measured off this thread.
    struct Measured {
        std::vector<ValveEventsRow> table;
        EngineCheckPoint engine;
    };
    void MeasureDone(const Gear& design, Measured&& measured);
    void ShowResult();
    void FitColumns();
    // The limits typed; false, with the reason, when one is no number.
    bool ReadLimits(CheckLimits& limits, std::string& why) const;

    AppState& s_;
    QTimer* watch_ = nullptr;
    std::vector<float> measured_; // snapshot of the design last measured (or being measured)
    Gear checked_;                // the copy measured
    std::vector<ValveEventsRow> table_;
    EngineCheckPoint engine_;
    DesignCheckResult result_;
};
