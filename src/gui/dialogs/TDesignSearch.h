// What the balance and optimise windows share, the windows that search for
// dimension values and apply them: the button row "Find", "Stop", the
// progress, "Apply", "Cancel"; the result grid (a caption, before, after) and
// the sentence under it; which inputs and buttons a running search leaves
// enabled; the values found that differ from the design, and their "Apply"
// as typing them into the dimension dialogs and closing them.
#pragma once

#include "analysis/Balance.h"
#include "dialogs/QtSearchRunner.h"
#include "dialogs/TSearchWindow.h"
#include "model/AppState.h"

#include <QString>

#include <array>
#include <functional>
#include <string>
#include <vector>

class QHBoxLayout;
class QLabel;
class QProgressBar;
class QPushButton;
class QTableWidget;
class QWidget;
class DesignSession;

class TDesignSearch : public TSearchWindow {
    Q_OBJECT

public:
    QPushButton *FindBut = nullptr, *StopBut = nullptr, *ApplyBut = nullptr, *CancelBut = nullptr;
    QProgressBar* Progress = nullptr;
    QTableWidget* ResultGrid = nullptr;
    QLabel* ResultText = nullptr;

    bool Searching() const { return runner_->Running(); }

public slots:
    virtual void FindButClick() = 0;
    void StopButClick();
    // The values found that differ from the design, applied as the dimension
    // dialogs apply typed values (one undo record each); the window closes.
    void ApplyButClick();
    void CancelButClick();

protected:
    TDesignSearch(const QString& captionHead, AppState& state, DesignSession* designSession, QWidget* parent);

    // Find, Stop, the progress (stretching), Apply, Cancel.
    QHBoxLayout* ButtonRow();
    // The inputs a running search disables (the window's choices).
    virtual void EnableInputs(bool enabled) = 0;
    // The values of the last result (empty without one).
    virtual std::vector<DimensionValue> FoundValues() const = 0;

    // Those of the found values that differ from the design.
    std::vector<DimensionValue> Changes() const;
    // Inputs and buttons for a search running or not; focus on Stop while it runs.
    void SetBusy(bool busy);
    // The result grid: one row of a caption and the cells before and after
    // each; cells ending in "PASS" green, in "FAIL" red.
    void ShowRows(const std::vector<std::array<std::string, 3>>& rows);
    // " As in the dimension dialogs, "UnDo" does not take back …" for the
    // reverse arm's travel settings among the changes.
    QString ApplyNotes() const;

    // Starts `work` on the worker with "Searching…" and the progress; `done`
    // gets its result on the GUI thread, then the window is idle again, the
    // focus on "Apply" when there is something to apply, else on "Find".
    template <class Result>
    void StartSearch(std::function<Result(BalanceControl&)> work, std::function<void(Result&&)> done)
    {
        StartSearchText();
        runner_->Run<Result>(
            std::move(work), [this](int p) { ShowProgress(p); },
            [this, done = std::move(done)](Result&& r) {
                done(std::move(r));
                SearchEnded();
            });
    }

    AppState& s_;
    DesignSession* session_;

private:
    void StartSearchText();
    void ShowProgress(int progress);
    void SearchEnded();
};
