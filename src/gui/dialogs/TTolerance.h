// "Tolerance Study": the dimensions of the design varied at random within
// their tolerances, with an optional pin clearance on the rods, and the
// spread of every figure of the valve events table over the notches
// (analysis/ToleranceStudy.h). One tolerance for all lengths, or one per
// dimension in the list (the eccentric angle in degrees); the samples (500 to
// begin with) and the seed. "Run" studies a copy of the design on a worker
// thread with its progress, "Stop" ends it; then a table per notch and figure
// (nominal, min, max, mean, standard deviation, worst low and high and the
// part that gives it) and a
// picture of the spread of the front and rear cut-off against the notch;
// "Copy", "Save CSV…", "Print…", "Export Picture…".
//
// The window is modal (Timer1 keeps running underneath) and changes nothing
// of the design.
#pragma once

#include "analysis/ToleranceStudy.h"
#include "files/TextTable.h"
#include "model/AppState.h"
#include "platform/DisplayList.h"
#include "platform/FileSystem.h"
#include "qt/QtTableExport.h"

#include "dialogs/TSearchWindow.h"

#include <QElapsedTimer>

#include <vector>

class PictureCommands;
class QLabel;
class QLineEdit;
class QProgressBar;
class QScrollArea;
class QPushButton;
class QTableWidget;
class DesignSession;

class TTolerance : public TSearchWindow {
    Q_OBJECT

public:
    TTolerance(AppState& state, DesignSession* designSession, QWidget* parent = nullptr,
               FileSystem& files = SystemFileSystem());

    static QString CaptionHead();

    QLineEdit *LengthTolerance = nullptr, *PinClearance = nullptr, *Samples = nullptr, *Seed = nullptr;
    QTableWidget* ToleranceGrid = nullptr; // one row per varied dimension, its tolerance field in column 2
    std::vector<QLineEdit*> ToleranceEdit; // in the order of ToleranceDimensionCodes()
    QPushButton *RunBut = nullptr, *StopBut = nullptr, *CopyBut = nullptr, *SaveCsvBut = nullptr, *PrintBut = nullptr,
                *ExportPictureBut = nullptr, *CloseBut = nullptr;
    QProgressBar* Progress = nullptr;
    QTableWidget* SpreadGrid = nullptr;
    QLabel* SpreadPlot = nullptr;
    QLabel* ResultText = nullptr;
    QScrollArea* Scroll = nullptr; // the two panes (settings and figures)
    PictureCommands* Pictures = nullptr;

    // Replaces the save dialog when set (tests).
    FileDialogHookFn FileDialogHook;

    bool Running() const;
    // The last finished study and the table shown (empty without one).
    const ToleranceResult& Result() const { return result_; }
    const std::vector<TextRow>& TableText() const { return text_; }
    // The picture as shown.
    const DisplayList& ShownPicture() const { return shown_; }
    // The settings the fields give; false with a message when they make no study.
    bool ReadSettings(ToleranceSettings& settings, std::string& error) const;

public slots:
    // Every opening: the design's values listed, no result.
    void FormActivate() override;
    void LengthToleranceEdited();
    void RunButClick();
    void StopButClick();
    void CopyButClick();
    void SaveCsvButClick();
    void PrintButClick();
    void ExportPictureButClick();
    void CloseButClick();

protected:
private:
    void StudyDone(ToleranceResult&& r);
    // The progress, and the time left once it can be told.
    void ShowProgress(int samples, int progress);
    void ShowResult();
    void ShowPlot();
    void SetBusy(bool busy);

    AppState& s_;
    FileSystem& files_;
    ToleranceResult result_;
    Gear studied_; // the design the result belongs to
    std::vector<TextRow> text_;
    DisplayList shown_;
    QElapsedTimer studying_; // since the study started
};
