// "Optimise Design": choose targets with their weights and up to eight
// dimensions with their bounds; "Find" searches on a worker thread over a copy
// of the design (with the mid gear it holds; OptimiseAndCheck, as the command
// line) and shows each dimension before and after, the objective, each
// target's rms and every residual row by row, a plot of front minus rear
// cut-off against the notch before and after, and the design check before and
// after. "Stop" keeps the best design found so far. "Apply" stores the values
// as the dimension dialogs would (one undo record per dimension); "Cancel"
// changes nothing. The best point of every search made since the window
// opened is a start of the next (so a larger run ends no worse than a smaller
// one before it).
#pragma once

#include "analysis/DesignCheck.h"
#include "analysis/Optimise.h"
#include "model/AppState.h"

#include "dialogs/TDesignSearch.h"

#include <array>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class DesignSession;

class TOptimise : public TDesignSearch {
    Q_OBJECT

public:
    TOptimise(AppState& state, DesignSession* designSession, QWidget* parent = nullptr);

    static QString CaptionHead();

    std::array<QCheckBox*, kDesignTargets> TargetBox{};
    std::array<QLineEdit*, kDesignTargets> WeightEdit{};
    // The speed of each engine target (null for the others); the engine
    // targets' rows show only for a design with engine data.
    std::array<QLineEdit*, kDesignTargets> SpeedEdit{};
    QLabel* SpeedLabel = nullptr;
    std::array<QComboBox*, kMaxOptimiseDimensions> DimensionBox{}; // item 0: none
    std::array<QLineEdit*, kMaxOptimiseDimensions> LoEdit{}, HiEdit{};
    QLabel* CutOffPlot = nullptr;

    // The last finished search, its goals and the design check after it.
    const OptimiseResult& Result() const { return found_.result; }
    const OptimiseGoals& ResultGoals() const { return goals_; }
    const DesignCheckResult& CheckAfter() const { return found_.checkAfter; }

    // Before an opening: this dimension first (and in no other row).
    void ChooseDimension(int code);

public slots:
    // Every opening: bounds from the current design, no result.
    void FormActivate() override;
    void FindButClick() override;

protected:
    void EnableInputs(bool enabled) override;
    std::vector<DimensionValue> FoundValues() const override;

private:
    void FillBounds(int row);
    // The engine targets' rows shown for a design with engine data (else
    // hidden and unticked).
    void ShowEngineTargets();
    bool ReadGoals(OptimiseGoals& goals, std::string& error) const;
    // Bounds that leave out a dimension's value in `design`, said after the
    // search's own words (a leading blank); empty when none do.
    static QString BoundsNote(const Gear& design, const OptimiseGoals& goals);
    void ShowResult();
    void ShowPlot();

    OptimiseGoals goals_;
    Gear searched_;      // the design the result belongs to
    QString boundsNote_; // BoundsNote of the search
    OptimiseReport found_;
    // The best values of the searches made since the window opened.
    std::vector<std::vector<DimensionValue>> earlierBests_;
};
