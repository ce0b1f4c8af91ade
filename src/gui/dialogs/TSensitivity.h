// "Sensitivity": for one row of the valve events table (the normal notch
// forward to begin with; any notch, either direction), how much each of the 44
// dimensions moves each figure of the row, per unit of the dimension
// (analysis/Sensitivity.h). One row per dimension, sorted by any column (a
// click on its header; the effect on front - rear cut-off, largest first, to
// begin with), a bar beside each figure; "Copy", "Save CSV…", "Print…". A
// double-click on a dimension (or "Balance…") opens it in the balance window,
// "Optimise…" in the optimise window; the row is measured again when they
// close.
//
// The window is modal (Timer1 keeps running underneath); it measures on a
// worker thread when it opens and when the row changes.
#pragma once

#include "analysis/Sensitivity.h"
#include "files/TextTable.h"
#include "model/AppState.h"
#include "platform/FileSystem.h"
#include "qt/QtTableExport.h"

#include "dialogs/TSearchWindow.h"

#include <vector>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;
class DesignSession;
class TBalance;
class TOptimise;

class TSensitivity : public TSearchWindow {
    Q_OBJECT

public:
    TSensitivity(AppState& state, DesignSession* designSession, QWidget* parent = nullptr,
                 FileSystem& files = SystemFileSystem());

    static QString CaptionHead();
    // The windows "Balance…" and "Optimise…" open with the current row's
    // dimension (either may be null: the button then does nothing).
    void SetPartners(TBalance* balance, TOptimise* optimise);

    QComboBox *NotchBox = nullptr, *DirectionBox = nullptr;
    // The engine's speed (a design with engine data only): power and steam
    // rate per unit of each dimension at it.
    QLineEdit* SpeedEdit = nullptr;
    QLabel* SpeedLabel = nullptr;
    QWidget* SpeedSpace = nullptr;
    QTableWidget* EffectGrid = nullptr;
    QLabel* SummaryText = nullptr;
    QPushButton *BalanceBut = nullptr, *OptimiseBut = nullptr, *CopyBut = nullptr, *SaveCsvBut = nullptr,
                *PrintBut = nullptr, *CloseBut = nullptr;

    // Replaces the save dialog when set (tests).
    FileDialogHookFn FileDialogHook;

    bool Measuring() const;
    const SensitivityResult& Result() const { return result_; }
    // The table as shown: the header, then the dimensions in the order shown.
    const std::vector<TextRow>& TableText() const { return text_; }
    int SortColumn() const { return sortColumn_; }
    bool SortDescending() const { return descending_; }
    // The dimension of a grid row (0 for none).
    int DimensionAt(int row) const;

public slots:
    // Every opening: the chosen row measured afresh.
    void FormActivate() override;
    void RowChanged();
    // A header click: that column, largest first; again: the other way.
    void SortBy(int column);
    void CopyButClick();
    void SaveCsvButClick();
    void PrintButClick();
    void BalanceButClick();
    void OptimiseButClick();
    void CloseButClick();

protected:
private:
    void StartMeasure();
    void ShowResult();
    // Opens the balance (or optimise) window with the dimension of the
    // current row, from the event loop; measures again when it closes.
    void OpenSelected(bool balance);

    AppState& s_;
    TBalance* balance_ = nullptr;
    TOptimise* optimise_ = nullptr;
    FileSystem& files_;
    SensitivityResult result_;
    Gear measured_; // the design the result belongs to
    std::vector<size_t> order_;
    std::vector<TextRow> text_;
    int sortColumn_ = kSensitivityDifferenceColumn;
    bool descending_ = true;
};
