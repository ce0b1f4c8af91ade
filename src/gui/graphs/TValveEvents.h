// The valve events table window: for every notch of the port graph and the
// normal notch, forward and reverse, the leads and the events of both
// cylinder ends in numbers, to read or to hand to a spreadsheet ("Copy" as
// tab-separated cells, "Save CSV…", "Print…"). It is the numeric companion of the port
// graph and opens from the same menu; unlike the diagram windows it lets the
// animation run underneath, as the pivot data table does. While a reference
// design is set, it shows this design, the reference (in this design's unit)
// or their difference in every cell (this − reference), with the reference's
// name in the caption; "Copy", "Save CSV…" and "Print…" take what is shown.
#pragma once

#include "analysis/ValveEvents.h"
#include "files/TextTable.h"
#include "model/AppState.h"
#include "platform/FileSystem.h"
#include "qt/QtTableExport.h"

#include <QDialog>

#include <vector>

class QPushButton;
class QRadioButton;
class QTableWidget;
class QWidget;

class TValveEvents : public QDialog {
    Q_OBJECT

public:
    // "Save CSV…" writes through `files`.
    explicit TValveEvents(AppState& state, QWidget* parent = nullptr, FileSystem& files = SystemFileSystem());

    // The caption: the window's head and the common tail.
    static QString CaptionHead();
    void SetCaptionTail(const QString& tail);

    // The table as shown: the header row, then one row per notch.
    const std::vector<TextRow>& TableText() const { return text_; }

    QTableWidget* EventsGrid = nullptr;
    // This design, the reference, the difference; shown while a reference is set.
    QWidget* ViewRow = nullptr;
    QRadioButton *ShowThis = nullptr, *ShowReference = nullptr, *ShowDifference = nullptr;
    QPushButton *CopyBut = nullptr, *SaveCsvBut = nullptr, *PrintBut = nullptr, *CloseBut = nullptr;

    // Replaces the save dialog when set (tests).
    FileDialogHookFn FileDialogHook;

public slots:
    // Recomputes the table for the current design (every time it is shown).
    void FormActivate();
    // Shows the table the view buttons choose.
    void ShowTable();
    void CopyButClick();
    void SaveCsvButClick();
    // The table as a document through the print dialog (landscape: it is wide).
    void PrintButClick();
    void CloseButClick();

protected:
    void showEvent(QShowEvent* e) override;

private:
    AppState& state_;
    FileSystem& files_;
    std::vector<TextRow> text_;
    std::vector<ValveEventsRow> rows_, referenceRows_;
    QString tail_;
};
