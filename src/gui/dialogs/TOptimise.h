// "Optimise Design": choose targets with their weights and up to eight
// dimensions with their bounds; "Find" searches on a worker thread over a copy
// of the design (with the mid gear it holds) and shows each dimension before
// and after, the objective, each target's rms and residuals row by row, a
// plot of front minus rear cut-off against the notch before and after, and
// the design check before and after. "Apply" stores the values as the
// dimension dialogs would (one undo record per dimension); "Cancel" changes
// nothing.
#pragma once

#include "analysis/DesignCheck.h"
#include "analysis/Optimise.h"
#include "model/AppState.h"

#include "dialogs/TSearchWindow.h"

#include <array>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTableWidget;
class TMainForm;

class TOptimise : public TSearchWindow {
    Q_OBJECT

public:
    TOptimise(AppState& state, TMainForm* mainForm, QWidget* parent = nullptr);
    ~TOptimise() override;

    static QString CaptionHead();

    std::array<QCheckBox*, kDesignTargets> TargetBox{};
    std::array<QLineEdit*, kDesignTargets> WeightEdit{};
    std::array<QComboBox*, kMaxOptimiseDimensions> DimensionBox{}; // item 0: none
    std::array<QLineEdit*, kMaxOptimiseDimensions> LoEdit{}, HiEdit{};
    QPushButton *FindBut = nullptr, *StopBut = nullptr, *ApplyBut = nullptr, *CancelBut = nullptr;
    QProgressBar* Progress = nullptr;
    QTableWidget* ResultGrid = nullptr;
    QLabel* CutOffPlot = nullptr;
    QLabel* ResultText = nullptr;

    bool Searching() const;
    // The last finished search, its goals and the design check after it.
    const OptimiseResult& Result() const { return result_; }
    const OptimiseGoals& ResultGoals() const { return goals_; }
    const DesignCheckResult& CheckAfter() const { return checkAfter_; }

    // Before an opening: this dimension first (and in no other row).
    void ChooseDimension(int code);

public slots:
    // Every opening: bounds from the current design, no result.
    void FormActivate() override;
    void FindButClick();
    void StopButClick();
    void ApplyButClick();
    void CancelButClick();

protected:
private:
    void FillBounds(int row);
    bool ReadGoals(OptimiseGoals& goals, std::string& error) const;
    void SearchDone();
    void ShowResult();
    void ShowPlot();
    void SetBusy(bool busy);
    std::vector<DimensionValue> Changes() const;

    // What the worker hands over.
    struct Found {
        OptimiseResult result;
        std::vector<ValveEventsRow> tableBefore, tableAfter;
        DesignCheckResult checkBefore, checkAfter;
    };

    AppState& s_;
    TMainForm* main_;
    Found pending_; // written by the worker before it ends
    OptimiseResult result_;
    OptimiseGoals goals_;
    Gear searched_; // the design (as opened) the result belongs to
    std::vector<ValveEventsRow> tableBefore_, tableAfter_;
    DesignCheckResult checkBefore_, checkAfter_;
};
