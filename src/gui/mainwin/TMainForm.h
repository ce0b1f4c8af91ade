// The main window, a view of the design session (session/DesignSession): it
// builds the controls, menus and tool bar, sends the user's gestures to the
// session and the model, shows the frame of the running gear, and follows
// what the session tells it. Tests reach its controls by their objectName.
//
// Handlers are grouped by feature in separate files:
//   TMainForm.cpp          construction, menus, tool bar, controls, child windows, the tick and frame, captions
//   TMainFormView.cpp      pan, zoom, presets, reference point centring, fonts, fitting the view
//   TMainFormDynVars.cpp   dynamic variables, undo and redo, steam display and screen data switches
//   TMainFormDialogs.cpp   dimension and setting dialogs, the search windows, highlight round trip, reset all
//   TMainFormAids.cpp      reference points, pivots, mouse, lines and circles, data table, help
//   TMainFormFiles.cpp     the session's questions, file dialogs, recent designs, recovery's timer
//   TMainFormAssembly.cpp  what keeps the gear from being assembled, told
//   TMainFormGraphs.cpp    the four diagram windows, the valve events table
//   TMainFormCompare.cpp   scale design, the design's unit, the comparison with a reference
#pragma once

#include "drawing/FrameDrawing.h"
#include "drawing/MainWindowSize.h"
#include "mainwin/ChildWindows.h"
#include "mainwin/TFrameArea.h"
#include "mainwin/TTickRest.h"
#include "model/AppState.h"
#include "platform/DisplayList.h"
#include "platform/FileSystem.h"
#include "qt/QtFrameBuffer.h"
#include "session/DesignSession.h"

#include <QImage>
#include <QMainWindow>
#include <QString>

#include <array>
#include <functional>

class QAction;
class QFileDialog;
class QFrame;
class QMenu;
class QMessageBox;
class PictureCommands;
class QPushButton;
class QScrollBar;
class QStatusBar;
class QTimer;
class QToolBar;
class QToolButton;
class TDiagramWindow;
class TMotionControls;
class TMainForm;

class TMainForm : public QMainWindow, private SessionQuestions {
    Q_OBJECT

public:
    // Designs, pictures and tables are read and written through `files`.
    TMainForm(AppState& state, SoundPort& sound, RandomSource& random, ClockSource& clock, QWidget* parent = nullptr,
              FileSystem& files = SystemFileSystem());
    ~TMainForm() override;

    // Creates the child windows in the program's order (call once after the
    // main window; the program does it at start-up).
    void CreateChildWindows();
    DesignSession& Session() { return session_; }
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
    // Compose a frame of the current state and show it (no model step).
    void DrawFrame();
    // One timer tick: model steps, then the frame.
    void Tick();

    // The file dialogs "OpenDialogWin", "SaveDialog1", "OpenDialogDos" and
    // "ExportJsonDialog". When FileDialogHook is set it replaces the modal
    // dialog: it gets the dialog's name and returns the chosen path (empty:
    // Cancel).
    std::function<QString(const QString& dialogName)> FileDialogHook;
    // A new dialog of that name, configured (title, filters, default
    // extension, options); the caller owns it.
    QFileDialog* NewFileDialog(const QString& dialogName);
    // Opens a design as the menu does (DesignSession::Open); true when loaded.
    bool OpenDesignFile(const QString& path);
    // The same, queued to run once the window is up and any question about
    // recovered designs is answered (a design named on the command line).
    void OpenDesignWhenShown(const QString& path);
    // Crash recovery in `folder` (the program passes $XDG_STATE_HOME/quelf
    // or ~/.local/state/quelf): the session keeps a changed design there,
    // checked every DesignSession::kRecoveryCheckMs, and the question about
    // what programs that no longer run left is queued. False when the folder
    // cannot be used (told once, at the first change).
    bool EnableRecovery(const QString& folder);

    // Timer1 rests once a tick of a frame that stays still (FrameStaysStill)
    // showed nothing new (TTickRest).
    static constexpr int kRestIntervalMs = TTickRest::kRestIntervalMs;
    bool TicksResting() const { return rest_->Resting(); }
    void WakeTicks() { rest_->Wake(); }

protected:
    void closeEvent(QCloseEvent* e) override;
    bool event(QEvent* e) override;

private:
    friend class TFrameArea;
    // ---------------------------------------------------------- TMainForm.cpp
    void BuildMenus();
    void BuildToolBar();
    void BuildControls();
    void UpdateCommandStates();
    void FollowSession(SessionEvent event, int value);
    void ApplyFrameEffects(const FrameEffects& fx);
    void UpdateCaptions();
    template <class T>
    T* Child(const char* name) const
    {
        return findChild<T*>(QLatin1String(name));
    }
    // ---------------------------------------------------------- TMainFormView.cpp
    void ToggleSwitch(QAction* a, bool& on, const char* onCaption, const char* offCaption);
    void StepperChange(QScrollBar* bar, int& last, int& prev, void (*move)(View&, float));
    void NormVHZClick();
    void PresetClick(int k); // 0: "P", 1..6
    void RefPtClick(int point);
    void SetPanZoomClick();
    void FitViewClick();
    void LargeFontClick();
    // ---------------------------------------------------------- TMainFormDynVars.cpp
    void DynamicVariablesClick();
    void SetUnDoClick();
    void UndoRedoClick(bool redo);
    void SBDynVarChange(int k);
    void SBDynVarScroll(int k);
    void SetScreenDataClick();
    void ApplyDynVarEffects(const FrameEffects& fx);
    void ShowUndoButtons();
    // ---------------------------------------------------------- TMainFormDialogs.cpp
    void ResetAllClick();
    void ApplyHighlightEffects(const FrameEffects& fx);
    // ---------------------------------------------------------- TMainFormAids.cpp
    void RefPointsClick();
    void SetPivotDataClick();
    void DrawLines1Click();
    void SBRefChange(int k); // 0..3: SBRef1Vert, SBRef1Horz, SBRef2Vert, SBRef2Horz
    void RefPtZeroClick(int ref);
    void FormMouseDown(Qt::MouseButton button, int x, int y);
    void FollowLines(bool replaced);
    void UpdateAidsCaptions(const QString& tail);
    // ---------------------------------------------------------- TMainFormFiles.cpp
    SaveChangesAnswer SaveChanges(const std::string& question) override;
    bool OpenHugeValues(const std::string& question) override;
    RecoverAnswer Recover(const std::string& name, long long writtenAt) override;
    std::string SaveName() override;
    bool Confirm(const std::string& question) override;
    void FileFailed(const FileMessage& message) override;
    void Notice(const std::string& text) override;
    QString ChooseFile(const QString& dialogName);
    void OpenClick(const char* dialogName);
    void RecentDesignClick(int k);
    void RememberDesign();
    void RefreshRecentDesigns();
    void ExportDesignJsonClick();
    // ---------------------------------------------------------- TMainFormCompare.cpp
    void BuildCompareMenus();
    void CompareWithClick();
    void UpdateComparisonItems();
    // ---------------------------------------------------------- TMainFormGraphs.cpp
    void ShowDiagram(TDiagramWindow* w);
    void UpdateGraphCaptions(const QString& tail);
    // ---------------------------------------------------------- TMainFormAssembly.cpp
    void ShowAssemblyText();
    TTickRest* rest_ = nullptr;

    AppState& state_;
    SoundPort& sound_;
    RandomSource& random_;
    ClockSource& clock_;
    FileSystem& files_;
    DesignSession session_;
    ChildWindows forms_;
    FrameBuffer frame_;
    DisplayList composed_; // the frame being composed (the storage of an older one)
    bool activatedOnce_ = false;
    bool ticking_ = false;
    bool panZoomShown_ = false; // the pan and zoom bars shown while the screen data is off
    QString openAfterRecovery_; // a design named at start, opened after the question
    QTimer* recoveryTimer_ = nullptr;

    // Controls the window changes as it runs (the others are found by name).
    QTimer* Timer1 = nullptr;
    TFrameArea* area_ = nullptr;
    QToolBar* ToolBar1 = nullptr;
    TMotionControls* motion_ = nullptr; // the reverse arm, run, driver and step controls
    QScrollBar *SBPanVert = nullptr, *SBPanHorz = nullptr, *SBZoom = nullptr;
    QPushButton *NormVHZ = nullptr, *RefPt1 = nullptr, *RefPt2 = nullptr;
    std::array<QPushButton*, 7> Preset{};    // [1..6] = Preset1..Preset6, [0] = Preset0
    std::array<QScrollBar*, 4> SBRef{};      // SBRef1Vert, SBRef1Horz, SBRef2Vert, SBRef2Horz
    std::array<QPushButton*, 3> RefPtZero{}; // [1], [2]: RefPt1Zero, RefPt2Zero
    QPushButton* DataTableBut = nullptr;
    std::array<QScrollBar*, 5> SBDynVar{}; // [1..4] = SBDynVar1..SBDynVar4
    QPushButton* UnDoDn = nullptr;
    std::array<QFrame*, 13> Panel{}; // Panel1..Panel12
    QMenu *File1 = nullptr, *EditDimen1 = nullptr;
    QAction *ReDo = nullptr, *SetPanZoom = nullptr, *DrawLines1 = nullptr, *RefPoints1 = nullptr, *Error = nullptr;
    QToolButton* ToolButton23 = nullptr;
    std::array<QAction*, 9> RecentDesign{}; // RecentDesign1..8 ([0] unused)
    QAction* RecentSeparator = nullptr;
    PictureCommands* Pictures = nullptr;
    QStatusBar* AssemblyStatus = nullptr;
};
