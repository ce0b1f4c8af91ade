// The main window: animation timer, motion and view controls, menus and tool
// bar, and the frame that shows the running gear.
//
// Handlers are grouped by feature in separate files:
//   TMainForm.cpp          construction, layout, menus, tool bar, frame, captions
//   TMainFormMotion.cpp    run/stop, driver angle, step angle, reverse arm, menu switches
//   TMainFormView.cpp      pan, zoom, presets, reference point centring, fonts, graphic zoom
//   TMainFormDynVars.cpp   dynamic variables, undo, steam display and screen data switches
//   TMainFormDialogs.cpp   dimension and setting dialogs, highlight round trip, reset all
//   TMainFormAids.cpp      reference points, pivots, mouse, lines and circles, data table, help
//   TMainFormFiles.cpp     open, save, import, recent designs, a design named at start
//   TMainFormRecovery.cpp  the recovery file of a changed design, the offer at start
//   TMainFormAssembly.cpp  what keeps the gear from being assembled, told
//   TMainFormGraphs.cpp    the four diagram windows, the valve events table
//   TMainFormReports.cpp   the design report, the animation
//   TMainFormCompare.cpp   scale design, the design's unit, the comparison with a reference
#pragma once

#include "drawing/ChildWindows.h"
#include "drawing/FrameDrawing.h"
#include "drawing/MainWindowSize.h"
#include "model/AppState.h"
#include "platform/DisplayList.h"
#include "platform/FileSystem.h"
#include "qt/QtFrameBuffer.h"

#include <QImage>
#include <QMainWindow>
#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

struct DesignFileResult;
struct FileMessage;
class RecoveryStore;
class QAction;
class QFileDialog;
class QFrame;
class QMenu;
class PictureCommands;
class QPushButton;
class QScrollBar;
class QStatusBar;
class QTimer;
class QToolBar;
class QToolButton;

class QMessageBox;
class TMainForm;

// The question about a design a program that no longer runs left behind
// (`RecoverBox`, "Recover the unsaved design "<name>" from <when>?", with
// `Recover`, the default, and `Discard`); the caller owns it.
QMessageBox* NewRecoverBox(QWidget* parent, const QString& name, const QString& when);

// The client area below the menu bar: shows the last frame, holds the controls,
// and reports mouse presses to the form.
class TFrameArea : public QWidget {
public:
    explicit TFrameArea(TMainForm* form);

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    TMainForm* form_;
};

class TMainForm : public QMainWindow {
    Q_OBJECT

public:
    // Designs, pictures and tables are read and written through `files`.
    TMainForm(AppState& state, SoundPort& sound, RandomSource& random, ClockSource& clock, QWidget* parent = nullptr,
              FileSystem& files = SystemFileSystem());
    ~TMainForm() override;

    // Creates the child windows in the program's order (call once after the
    // main window; the program does it at start-up).
    void CreateChildWindows();

    AppState& State() { return state_; }
    SoundPort& Sound() { return sound_; }
    RandomSource& Random() { return random_; }
    ClockSource& Clock() { return clock_; }
    FileSystem& Files() { return files_; }
    TFrameArea* Area() { return area_; }
    // The frame shown: the client area's size times the device pixel ratio.
    const QImage& FrameImage() const { return frame_.Image(); }
    // The operations that drew the frame shown (the whole frame, sized as the
    // client area was).
    const DisplayList& FrameList() const { return frame_.Shown(); }
    // Frames painted so far: a tick whose frame would come out as the one
    // shown (a stopped gear, nothing blinking) paints none.
    int FramesPainted() const { return frame_.Paints(); }
    // The frame fitted to the client area's size and device pixel ratio (a
    // resized window, another screen) before it is painted to the window.
    void FitFrameToArea();
    // Draws the part `area` of the frame on the client area's painter.
    void PaintFrame(QPainter& p, const QRegion& area) const { frame_.PaintOn(p, area); }
    // The picture the window shows now: the last frame cropped to the client
    // area (without the controls over it).
    DisplayList ShownPicture() const;

    // True while the driver turns (the `Run` button reads "Stop").
    bool IsRunning() const;
    // Compose a frame of the current state and show it (no model step).
    void DrawFrame();
    // One timer tick: model steps, then the frame.
    void Tick();

    ChildWindows Forms;

    // ---------------------------------------------------------- controls
    QTimer* Timer1 = nullptr;
    TFrameArea* area_ = nullptr;
    QToolBar* ToolBar1 = nullptr;
    QToolButton *ToolButton1 = nullptr, *ToolButton2 = nullptr, *ToolButton3 = nullptr, *ToolButton4 = nullptr,
                *ToolButton5 = nullptr, *ToolButton6 = nullptr, *ToolButton7 = nullptr, *ToolButton8 = nullptr,
                *ToolButton9 = nullptr, *ToolButton10 = nullptr, *ToolButton11 = nullptr, *ToolButton12 = nullptr,
                *ToolButton13 = nullptr, *ToolButton14 = nullptr, *ToolButton15 = nullptr, *ToolButton16 = nullptr,
                *ToolButton23 = nullptr, *ToolButton24 = nullptr;

    // Motion.
    QScrollBar *SBRevArm = nullptr, *SBDrvAng = nullptr, *SBStepAng = nullptr;
    QPushButton *Run = nullptr, *Center = nullptr, *Fwd = nullptr, *Rev = nullptr, *Deg00 = nullptr, *Deg180 = nullptr,
                *Step1 = nullptr, *Step10 = nullptr, *Step45 = nullptr;
    // View.
    QScrollBar *SBPanVert = nullptr, *SBPanHorz = nullptr, *SBZoom = nullptr;
    QPushButton *NormVHZ = nullptr, *Preset0 = nullptr, *RefPt1 = nullptr, *RefPt2 = nullptr;
    std::array<QPushButton*, 7> Preset{}; // [1..6] = Preset1..Preset6, [0] = Preset0
    // Reference points and pivots.
    QScrollBar *SBRef1Vert = nullptr, *SBRef1Horz = nullptr, *SBRef2Vert = nullptr, *SBRef2Horz = nullptr;
    QPushButton *RefPt1Zero = nullptr, *RefPt2Zero = nullptr, *DataTableBut = nullptr;
    // Dynamic variables and undo.
    std::array<QScrollBar*, 5> SBDynVar{}; // [1..4] = SBDynVar1..SBDynVar4
    QPushButton* UnDoDn = nullptr;
    // Frame panels Panel1..Panel12 ([0] unused).
    std::array<QFrame*, 13> Panel{};

    // Menus and their items.
    QMenu *File1 = nullptr, *SetUp1 = nullptr, *EditDimen1 = nullptr, *DrawGraphs1 = nullptr, *Help1 = nullptr;
    QAction *OpenDimensions = nullptr, *OpenDosDimensions = nullptr, *SaveAsDimensions = nullptr, *Exit1 = nullptr;
    QAction* SaveDimensions = nullptr; // "&Save": to the current file
    // The recent designs in the "File" menu, RecentDesign1..8 ([0] unused),
    // hidden while unused, and the separator after them.
    std::array<QAction*, 9> RecentDesign{};
    QAction* RecentSeparator = nullptr;
    // "&Export Picture…", "&Copy Picture", "&Print…" in the File menu.
    PictureCommands* Pictures = nullptr;
    QAction *ExportPicture = nullptr, *CopyPicture = nullptr, *PrintPicture = nullptr;
    // "Design &Report…" and "Export A&nimation…" after them.
    QAction *DesignReport = nullptr, *ExportAnimation = nullptr;
    // "Export Design as &JSON…" in the File menu.
    QAction* ExportDesignJson = nullptr;
    QAction *RevArmPos = nullptr, *DriverAng = nullptr, *StepAng1 = nullptr, *RefPoints1 = nullptr,
            *LargeFont = nullptr, *FindRevArmCent = nullptr, *SetSteam = nullptr, *SetBeepOnError = nullptr,
            *SetLineWidth = nullptr, *SetScreenData = nullptr, *SetPanZoom = nullptr, *FitView = nullptr;
    QAction *FrameDim = nullptr, *CylDim = nullptr, *BalanceEvents = nullptr, *SetGraphicZoom = nullptr,
            *DesignCheck = nullptr, *OptimiseDesign = nullptr, *ResetAll = nullptr;
    QAction* ReDo = nullptr; // "R&eDo": what "UnDo" took back, again
    QAction *Sensitivity = nullptr, *ToleranceStudy = nullptr;
    QAction *RefPoints = nullptr, *DrawLines1 = nullptr, *SetPivotData = nullptr, *DynamicVariables = nullptr,
            *SetUnDo = nullptr;
    QAction *SineDiag = nullptr, *OvalDiag = nullptr, *SteamDiag = nullptr, *FourEvents = nullptr,
            *ValveEventsTable = nullptr;
    QAction *Instructions = nullptr, *SpecInstr = nullptr, *About1 = nullptr;
    // "EditDimen > &Scale Design…", its "Design &Unit" menu and the File menu's comparison.
    QAction* ScaleDesign = nullptr;
    QMenu* DesignUnit = nullptr;
    QAction *UnitUnspecified = nullptr, *UnitInch = nullptr, *UnitMillimetre = nullptr;
    QAction *CompareWith = nullptr, *ClearComparison = nullptr, *ReferenceGhost = nullptr;
    QAction* Error = nullptr; // picture only, hidden: the solver error indicator
    // At the foot of the client area, shown while the gear cannot be
    // assembled: what keeps it from it (the error picture's tooltip too).
    QStatusBar* AssemblyStatus = nullptr;

public slots:
    // ---------------------------------------------------------- TMainForm.cpp
    void FormCreate();
    void FormActivate();
    void FormClose();
    void Timer1Timer();

    // ---------------------------------------------------------- TMainFormMotion.cpp
    void RunClick();
    void Deg00Click();
    void Deg180Click();
    void SBDrvAngChange();
    void SBStepAngChange();
    void Step1Click();
    void Step10Click();
    void Step45Click();
    void SBRevArmChange();
    void FwdClick();
    void RevClick();
    void CenterClick();
    void FindRevArmCentClick();
    void SetBeepOnErrorClick();
    void SetLineWidthClick();
    void Exit1Click();
    // SBRevArm range from RevArmMax (Max = round(1000 * RevArmMax), Min = -Max).
    void SetRevArmBarRange();
    // SBRevArm (its range too) and the motion buttons shown for the model's
    // RevArmPos, which something else has set (an undo that puts the reverse
    // arm back, a scaling); the bar's change handler does not run.
    void ShowRevArmOfModel();

    // ---------------------------------------------------------- TMainFormView.cpp
    void SBPanVertChange();
    void SBPanHorzChange();
    void SBZoomChange();
    void NormVHZClick();
    void Preset0Click();
    void PresetClick(int k); // Preset1Click..Preset6Click
    void Preset1Click() { PresetClick(1); }
    void Preset2Click() { PresetClick(2); }
    void Preset3Click() { PresetClick(3); }
    void Preset4Click() { PresetClick(4); }
    void Preset5Click() { PresetClick(5); }
    void Preset6Click() { PresetClick(6); }
    void RefPt1Click();
    void RefPt2Click();
    void SetPanZoomClick();
    // "Fit &Gear to Window": the whole gear and the cylinder fill the drawing
    // area below the controls; "Norm" returns to the home view.
    void FitViewClick();
    void LargeFontClick();
    void SetGraphicZoomClick();

    // ---------------------------------------------------------- TMainFormDynVars.cpp
    void DynamicVariablesClick();
    void SetUnDoClick();
    void UnDoDnClick();
    void ReDoClick();
    void SBDynVarChange(int k); // SBDynVar1Change..SBDynVar4Change
    void SBDynVar1Change() { SBDynVarChange(1); }
    void SBDynVar2Change() { SBDynVarChange(2); }
    void SBDynVar3Change() { SBDynVarChange(3); }
    void SBDynVar4Change() { SBDynVarChange(4); }
    // The end of a bar gesture (arrow click, page click or thumb drag).
    void SBDynVarScroll(int k);
    void SBDynVar1Scroll() { SBDynVarScroll(1); }
    void SBDynVar2Scroll() { SBDynVarScroll(2); }
    void SBDynVar3Scroll() { SBDynVarScroll(3); }
    void SBDynVar4Scroll() { SBDynVarScroll(4); }
    // A bar gesture starts (the bar is entered).
    void SBDynVarEnter(int k);
    void SBDynVar1Enter() { SBDynVarEnter(1); }
    void SBDynVar2Enter() { SBDynVarEnter(2); }
    void SBDynVar3Enter() { SBDynVarEnter(3); }
    void SBDynVar4Enter() { SBDynVarEnter(4); }
    void SetSteamClick();
    void SetScreenDataClick();

    // ---------------------------------------------------------- TMainFormDialogs.cpp
    void FrameDimClick();
    void CylDimClick();
    void BalanceEventsClick();
    void DesignCheckClick();
    void OptimiseDesignClick();
    void SensitivityClick();
    void ToleranceStudyClick();
    void RevArmPosClick();
    void DriverAngClick();
    void StepAng1Click();
    void ResetAllClick();

    // ---------------------------------------------------------- TMainFormAids.cpp
    void RefPointsClick();
    void RefPoints1Click();
    void SetPivotDataClick();
    void DataTableButClick();
    void DrawLines1Click();
    void SBRef1VertChange();
    void SBRef1HorzChange();
    void SBRef2VertChange();
    void SBRef2HorzChange();
    void RefPt1ZeroClick();
    void RefPt2ZeroClick();
    void FormMouseDown(Qt::MouseButton button, int x, int y);
    void InstructionsClick();
    void SpecInstrClick();
    void About1Click();

    // ---------------------------------------------------------- TMainFormFiles.cpp
    void OpenDimensionsClick();
    void SaveDimensionsClick();
    void SaveAsDimensionsClick();
    void OpenDosDimensionsClick();
    // The design written as JSON ("ExportJsonDialog"); the data set name, the
    // recent designs and the unsaved-changes mark stay.
    void ExportDesignJsonClick();
    // Opens the design of recent entry k (1..8); a file no longer there is
    // reported as an open reports it and dropped from the list.
    void RecentDesignClick(int k);

    // ---------------------------------------------------------- TMainFormReports.cpp
    // The design report as a PDF, and one revolution of the picture the window
    // shows as a GIF, each made from a copy of the design as it is when the
    // command is chosen.
    void DesignReportClick();
    void ExportAnimationClick();

    // ---------------------------------------------------------- TMainFormCompare.cpp
    void ScaleDesignClick();
    // The design states its unit (no length changes).
    void DesignUnitClick(LengthUnit unit);
    // A second design (native or older file, loaded with the open's checks and
    // questions) becomes the reference; ClearComparison drops it.
    void CompareWithClick();
    void ClearComparisonClick();
    void ReferenceGhostClick();
    // The comparison items enabled and checked as the state says.
    void UpdateComparisonItems();

    // ---------------------------------------------------------- TMainFormGraphs.cpp
    void SineDiagClick();
    void OvalDiagClick();
    void SteamDiagClick();
    void FourEventsClick();
    void ValveEventsTableClick();

public:
    // Hooks between features (each defined in the file of its feature).
    // TMainFormDynVars.cpp: after each frame, the dynamic-variable part of the effects.
    void ApplyDynVarEffects(const FrameEffects& fx);
    // TMainFormDynVars.cpp: watches SBDynVar1..4 for the start and end of each
    // mouse or key gesture (called once the bars exist).
    void InstallDynVarBarHooks();
    // TMainFormDialogs.cpp: the highlight view's dialog round trip.
    void ApplyHighlightEffects(const FrameEffects& fx);
    // TMainFormAids.cpp: the Draw Lines rows (used by the native open).
    void ClearDrawLinesLabels();
    void HighlightDrawLinesCurrentRow();
    void RefreshDrawLinesRows();
    // Captions of the child windows, refreshed every tick with the common tail
    // (data set name, date, time, version).
    void UpdateAidsCaptions(const QString& tail);  // TMainFormAids.cpp
    void UpdateGraphCaptions(const QString& tail); // TMainFormGraphs.cpp
    // Enabled state of the commands whose window exists.
    void UpdateCommandStates();

    // TMainFormFiles.cpp: the file dialogs "OpenDialogWin", "SaveDialog1",
    // "OpenDialogDos" and "ExportJsonDialog". When FileDialogHook is set it replaces the modal dialog:
    // it gets the dialog's name and returns the chosen path (empty: Cancel).
    std::function<QString(const QString& dialogName)> FileDialogHook;
    // A new dialog of that name, configured (title, filters, default
    // extension, options); the caller owns it.
    QFileDialog* NewFileDialog(const QString& dialogName);
    // A filter "text|patterns|text|patterns" as Qt name filters
    // ("Data File (*.vgw)", "All Files (*)").
    static QStringList QtNameFilters(const QString& filter);

    // TMainFormFiles.cpp: opens a design from a path: a .vgd is imported, a
    // .json read as the design as JSON, anything else opened as a native
    // design, with the menu's questions
    // and messages. True when it was loaded.
    bool OpenDesignFile(const QString& path);
    // The same, queued to run once the window is up (a design named on the
    // command line).
    void OpenDesignWhenShown(const QString& path);
    // The "File" menu's recent entries from the stored list.
    void RefreshRecentDesigns();

    // TMainFormFiles.cpp: unsaved changes. The design (dimensions, reverse
    // arm values and positions, graph settings, overlay items; not the view)
    // is compared with what it was at start-up, after the last open, import,
    // save or reset. Before Exit, closing the window, an open, an import or
    // Reset All, a changed design brings the question "Save changes to
    // "<name>"?" (`SaveChangesBox`: Save runs Save As, Discard goes on,
    // Cancel stops the command; Save saves as "&Save" does).
    enum class SaveChangesAnswer { Save, Discard, Cancel };
    // When set, it answers the question instead of the message box (it gets
    // the question's text).
    std::function<SaveChangesAnswer(const QString& question)> SaveChangesHook;
    bool DesignChanged() const;
    // The design as it is now counts as saved.
    void MarkDesignSaved();
    // Asks when the design changed; true when the caller may go on.
    bool SaveChangesIfWanted();
    // Shows the save dialog and saves; true when the design was saved.
    bool SaveDesignAs();
    // Saves to the current file, or as SaveDesignAs when there is none.
    bool SaveDesign();
    // The design's current file: the path it was opened from or last saved
    // to; empty for the built-in design, after Reset All and after an
    // import (an older design is saved in the native layout under a name
    // the user gives).
    const QString& CurrentFile() const { return currentFile_; }

    // TMainFormRecovery.cpp: crash recovery in `folder` (the program passes
    // $XDG_STATE_HOME/quelf or ~/.local/state/quelf): this program's lock file
    // is made, a changed design is written to its recovery file within
    // kRecoveryCheckMs of a change (and the file removed once the design is
    // saved, opened afresh, reset or discarded, and at a normal exit), and
    // the question about what programs that no longer run left behind is
    // queued. False when the folder cannot be used.
    static constexpr int kRecoveryCheckMs = 2000;
    bool EnableRecovery(const QString& folder);
    // The recovery file of this program ("" while recovery is off).
    QString RecoveryFile() const;
    // Writes the design to the recovery file when it changed since the last
    // write, removes the file when the design has no unsaved changes.
    void CheckRecovery();
    // Asks, for each design a program that no longer runs left, "Recover the
    // unsaved design "<name>" from <date time>?" (`RecoverBox`: Recover, the
    // default, loads it as a changed design under its name and file; Discard
    // removes it). Returns the number of questions asked.
    int OfferRecovery();

    // TMainFormAssembly.cpp: the explanation shown while the gear cannot be
    // assembled at its reverse arm setting ("" while it can).
    const QString& AssemblyText() const { return assemblyText_; }
    // The explanation as the error picture's tooltip and the status line at
    // the foot of the client area (hidden while there is none).
    void ShowAssemblyText();

protected:
    void closeEvent(QCloseEvent* e) override;
    bool event(QEvent* e) override;

private:
    // Direction, the Center, Fwd and Rev buttons and the cut-off readouts
    // after the reverse arm moved to bar position `pos`.
    void ShowRevArmState(int pos);
    void BuildMenus();
    void BuildToolBar();
    void BuildControls();
    void ApplyFrameEffects(const FrameEffects& fx);
    void UpdateCaptions();
    // TMainFormCompare.cpp: the menu items of scaling, unit and comparison.
    void BuildCompareMenus();
    // TMainFormFiles.cpp.
    QString ChooseFile(const QString& dialogName);
    void ShowFileError(const FileMessage& message);
    // Opens (or, `older`, imports) the file, a .json as the design as JSON;
    // asks first about huge values, shows any failure. The design is untouched unless the result is ok.
    DesignFileResult LoadDesignFile(const QString& path, bool older);
    void SetRevArmBarAfterLoad(const DesignFileResult& r);
    // After a load (`older`: an import) that succeeded: the bar, the Draw Lines
    // rows and the recent list.
    void FinishLoad(const QString& path, bool older, const DesignFileResult& r);
    // Puts the path first in the recent designs and keeps its folder.
    void RememberDesign(const QString& path);
    // Saves to `path` in the format its name chooses (files/DesignFile: a
    // name of no known format is refused with a message); on success it
    // becomes the current file.
    bool SaveDesignTo(const QString& path);
    // TMainFormRecovery.cpp: removes this program's recovery file (a save,
    // an open, a reset, a discard).
    void DropRecovery();
    // TMainFormAssembly.cpp: after each model step, the explanation of a
    // clamp: found once per design and reverse arm setting (on a copy).
    void UpdateAssemblyText();
    // Shows the error picture's tooltip over the menu bar.
    void InstallErrorToolTip();

    AppState& state_;
    SoundPort& sound_;
    RandomSource& random_;
    ClockSource& clock_;
    FileSystem& files_;
    FrameBuffer frame_;
    DisplayList composed_; // the frame being composed (the storage of an older one)
    bool activatedOnce_ = false;
    bool ticking_ = false;
    std::vector<std::uint32_t> savedDesign_; // DesignSnapshot when last saved or loaded (empty: a recovered design)
    bool askingToSave_ = false;
    QString currentFile_;
    // Crash recovery.
    std::unique_ptr<RecoveryStore> recovery_;
    QTimer* recoveryTimer_ = nullptr;
    std::vector<std::uint32_t> recoveryWritten_; // what the recovery file holds
    std::string recoveryInfoWritten_;
    bool offeringRecovery_ = false;
    QString openAfterRecovery_; // a design named at start, opened after the question
    // What keeps the gear from being assembled, for this design and setting.
    std::vector<float> assemblyKey_;
    bool assemblySwept_ = false;
    QString assemblyText_;
};
