// "Balance Events": choose a target (equal leads, equal cut-off forward,
// reverse or both) and the dimension to adjust with its range, optionally a
// second target with a second dimension; "Find" searches on a copy of the
// design and shows the target's events before and after; "Apply" stores the
// values as the dimension dialogs would, "Cancel" changes nothing.
//
// The search runs on a worker thread over its own copy of the design, so the
// window (and the gear underneath) stay live: a progress bar follows it and
// "Stop" ends it at the next trial. Nothing of the program's state is touched
// until "Apply".
#pragma once

#include "analysis/Balance.h"
#include "model/AppState.h"

#include "dialogs/TDesignSearch.h"

#include <vector>

class QCheckBox;
class QComboBox;
class QLineEdit;
class DesignSession;

class TBalance : public TDesignSearch {
    Q_OBJECT

public:
    TBalance(AppState& state, DesignSession* designSession, QWidget* parent = nullptr);

    static QString CaptionHead();

    QComboBox *TargetBox = nullptr, *DimensionBox = nullptr, *Target2Box = nullptr, *Dimension2Box = nullptr;
    QLineEdit *RangeLo = nullptr, *RangeHi = nullptr, *Range2Lo = nullptr, *Range2Hi = nullptr;
    QCheckBox* SecondBox = nullptr;

    // The last finished search and its goals.
    const BalanceResult& Result() const { return result_; }
    const std::vector<BalanceGoal>& ResultGoals() const { return goals_; }

    // Before an opening: one target with this dimension (the sensitivity
    // window's double-click).
    void ChooseDimension(int code, BalanceTarget target);

public slots:
    // Every opening: ranges from the current design, no result.
    void FormActivate() override;
    void FindButClick() override;

protected:
    void EnableInputs(bool enabled) override;
    std::vector<DimensionValue> FoundValues() const override;

private:
    // The range fields of goal 0 or 1 from the design's value of the chosen dimension.
    void FillRange(int which);
    // The goals as chosen; false with a message when they make no search.
    bool ReadGoals(std::vector<BalanceGoal>& goals, std::string& error) const;
    void ShowResult();

    BalanceResult result_;
    std::vector<BalanceGoal> goals_;
    Gear searched_; // the design the result belongs to
};
