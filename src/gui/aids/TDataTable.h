// The pivot data table: the six pivot slots over one driver revolution, as
// text that can be copied; and on its second page the parts list.
#pragma once

#include "model/AppState.h"
#include "platform/FileSystem.h"
#include "qt/QtTableExport.h"

#include <QDialog>

class ClockSource;
class QAction;
class QMenu;
class QMenuBar;
class QPlainTextEdit;
class QTabWidget;
class QTableWidget;

class TDataTable : public QDialog {
    Q_OBJECT

public:
    // "Save CSV…" writes through `files`.
    TDataTable(AppState& state, ClockSource& clock, QWidget* parent = nullptr, FileSystem& files = SystemFileSystem());

    QMenuBar* MainMenu1 = nullptr;
    QMenu* Edit1 = nullptr;
    QAction *Close1 = nullptr, *Blank = nullptr, *Cut1 = nullptr, *Copy1 = nullptr, *Past1 = nullptr,
            *SelectAll1 = nullptr, *SaveCsv1 = nullptr;
    // "Save &Motion…": every pivot of the point table over one revolution at
    // the table's step, the reverse arm where it stands, as CSV or JSON.
    QAction* SaveMotion1 = nullptr;
    QAction* PrintTable = nullptr; // "&Print…" (Ctrl+P)
    // Replaces the "Save CSV…" and "Save Motion…" dialogs when set (tests).
    FileDialogHookFn FileDialogHook;
    QPlainTextEdit* DataMemo = nullptr;
    // The two pages: "Pivot &Data" (DataMemo) and "Parts &List" (PartsGrid,
    // the parts to make: analysis/PartsList). "Save CSV…" writes the page shown.
    QTabWidget* DataTabs = nullptr;
    QTableWidget* PartsGrid = nullptr;

public slots:
    // Rebuilds the table (every time the window is shown).
    void FormActivate();
    void Close1Click();
    void Edit1Click(); // the Edit menu opens
    void Cut1Click();
    void Copy1Click();
    void Past1Click();
    void SelectAll1Click();
    void SaveCsv1Click(); // the table's numbers as CSV
    void SaveMotion1Click();
    // The table's text through the print dialog.
    void PrintTableClick();

protected:
    void showEvent(QShowEvent* e) override;

private:
    AppState& state_;
    ClockSource& clock_;
    FileSystem& files_;
};
