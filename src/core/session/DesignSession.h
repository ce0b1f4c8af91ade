// The design being edited, and everything about it that is not a window.
//
// A session holds the program's one AppState (owned by main()) and what goes
// with the design in it: its current file and format, the snapshot it was last
// saved or opened as (and so whether it has unsaved changes), the crash
// recovery copy, the reference it is compared with, whether the gear runs,
// and why it cannot be assembled. The windows are its views: they draw the
// state, send the user's gestures here, and follow what the session tells
// them (SessionEvent). What it needs to ask the user — save changes? open
// huge values? recover? which name? — it asks through SessionQuestions, which
// the main window answers with its dialogs and tests script.
//
// Every change that "UnDo" can take back is recorded through the one funnel
// of model/Changes (RecordChange); the changes the windows make here
// (ApplyFoundValues, Scale, SetUnit, RecordEdit) and those the model makes
// for them (a dimension typed or varied, a line drawn) all go through it.
#pragma once

#include "analysis/Balance.h"
#include "files/NativeFile.h"
#include "files/Recovery.h"
#include "model/AppState.h"
#include "model/DesignScale.h"
#include "platform/FileSystem.h"
#include "session/SessionQuestions.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

enum class RunState { Running, Stopped };

// What a session tells its views. Each names what to show again; `value`
// carries a bar position where one is named.
enum class SessionEvent {
    Opened,          // a design was loaded (open, import, recovery): the reverse arm bar to `value` in its new range
    LinesReplaced,   // the lines and circles were replaced (a native or JSON open, a recovery)
    Remembered,      // LastFile() was opened, imported or saved: the recent designs
    FileChanged,     // the current file, the data set name or the unsaved-changes mark: the title
    ArmRange,        // the reverse arm's travel changed: its bar's range again
    ArmToBar,        // the reverse arm bar to `value` (0: mid gear)
    ArmFromModel,    // the reverse arm (and its travel) as the design has it now (an undo, a scaling)
    RunChanged,      // the gear started or stopped
    DriverToBar,     // the driver angle bar to `value`, usable
    StepToBar,       // the step angle bar to `value`, the driver bar's steps from the selected step
    UnitsChanged,    // the unit, the reference or its ghost
    LinesChanged,    // a line or circle changed by an undo or redo
    AssemblyChanged, // the explanation of a clamp (AssemblyText)
    DesignEdited,    // the design's values (dimensions, reverse arm values, unit, engine data) differ from the last
                     // tick's, whatever changed them: a dialog, a bar, an undo or redo, an open, a scaling
};

class DesignSession {
public:
    // Designs are read and written through `files`, paths in UTF-8.
    explicit DesignSession(AppState& state, FileSystem& files = SystemFileSystem());
    ~DesignSession();
    DesignSession(const DesignSession&) = delete;
    DesignSession& operator=(const DesignSession&) = delete;

    AppState& State() { return state_; }
    const AppState& State() const { return state_; }
    FileSystem& Files() { return files_; }
    // Who answers the questions (null: NoQuestions). The caller keeps it alive.
    void SetQuestions(SessionQuestions* questions);
    SessionQuestions& Questions() { return *questions_; }
    // A view: called after each event, in the order the views listened.
    void Listen(std::function<void(SessionEvent, int)> view);

    // The built-in design as at start-up, counted as saved.
    void Start();

    // ---------------------------------------------------------------- the file
    // The file the design was opened from or last saved to; empty for the
    // built-in design, after Reset All and after an import.
    const std::string& CurrentFile() const { return currentFile_; }
    // The file of the last open, import or save that succeeded.
    const std::string& LastFile() const { return lastFile_; }
    // The design (dimensions, reverse arm values and positions, graph
    // settings, lines and circles, unit; not the view) differs from what it
    // was at start-up, after the last open, import, save or reset.
    bool Changed() const;
    // The design as it is now counts as saved; its recovery copy goes.
    void MarkSaved();
    // Before a command that replaces the design: asks "Save changes to
    // "<name>"?" when it changed (Save saves as Save does, Discard goes on,
    // Cancel stops the command). True when the caller may go on.
    bool SaveChangesIfWanted();
    // Opens a design: a .vgd imported, a .json read as the design as JSON,
    // anything else as a native design; asks before loading huge values,
    // tells a failure, and leaves the design untouched unless it loaded.
    bool Open(const std::string& path);
    // Imports an older design whatever its name (it has no file to be saved
    // back to: Save asks for a name).
    bool Import(const std::string& path);
    // Saves to the current file, or as SaveAs when there is none.
    bool Save();
    // Asks for a name and saves there.
    bool SaveAs();
    // Saves to `path`: as JSON for a .json name, else natively; the file
    // becomes the current file and names the design. The first save of a
    // recovered design to its old file asks before replacing a file that
    // changed since the design was last opened or saved there.
    bool SaveTo(const std::string& path);
    // The design written as JSON; the current file, name and mark stay.
    bool ExportJson(const std::string& path);

    // ---------------------------------------------------------------- the reference
    // A second design, read as Open reads it (by its name's extension, with
    // the open's checks and question), becomes the reference the table, the
    // diagrams and the ghost compare with, in this design's unit; a notice
    // when only one of the two states its unit.
    bool Compare(const std::string& path);
    void ClearComparison();
    void SetReferenceGhost(bool on);

    // ---------------------------------------------------------------- changes
    // The values a search found, stored as typed ones with one record each,
    // the reverse arm to mid gear (ApplyBalance). False when none differed.
    bool ApplyFoundValues(const std::vector<DimensionValue>& values);
    // A scaling, one record.
    bool Scale(const ScaleRequest& request);
    // The unit the design states (no length changes), one record.
    void SetUnit(LengthUnit unit);
    // A change of a kind with values (model/Changes) made by `edit`, recorded
    // with the values it had before; false when it changed nothing.
    bool RecordEdit(ChangeKind kind, int code, const std::string& name, const std::function<void(AppState&)>& edit);
    // "UnDo" and "ReDo" of the newest record; true when one was taken back
    // or put back. The views follow the arm, the lines, the unit.
    bool Undo();
    bool Redo();
    // "ResetAllDimensions": after the question about unsaved changes, the
    // built-in design with no file, the undo history and dynamic variables
    // cleared. False when the user cancelled.
    bool ResetAll();

    // ---------------------------------------------------------------- controls the dialogs set
    // The reverse arm's travel changed (a dimension dialog, a search).
    void ArmRangeChanged();
    // The reverse arm to mid gear (a dimension dialog's Close).
    void ArmToMidGear();
    // The reverse arm bar to a position (the reverse arm dialog).
    void ArmToBar(int position);
    // The driver angle bar to a position, stopped (the driver angle dialog).
    void DriverToBar(int position);
    // The step angle bar to a position (the step angle dialog).
    void StepToBar(int position);

    // ---------------------------------------------------------------- running
    RunState Run() const { return run_; }
    bool Running() const { return run_ == RunState::Running; }
    // Running: the driver turns by the selected step each tick; stopped: it
    // stands. Applied whether or not it changes.
    void SetRun(RunState run);

    // ---------------------------------------------------------------- recovery
    // While the design has unsaved changes, a copy of it is kept in this
    // program's recovery file in `folder` (RecoveryStore), written by
    // CheckRecovery (the window calls it every kRecoveryCheckMs). False when
    // the folder cannot be used; the user is told once, plainly, at the first
    // change that cannot be kept.
    static constexpr int kRecoveryCheckMs = 2000;
    bool EnableRecovery(const std::string& folder, long long pid, long long stamp);
    // This program's recovery file ("" while recovery is off).
    std::string RecoveryFile() const;
    // Writes the changed design to the recovery file when it changed since the
    // last write, removes the file when the design has no unsaved changes.
    // False when a copy was needed and could not be written.
    bool CheckRecovery();
    // Asks about each design a program that no longer runs left (Recover
    // loads it as a changed design under its name and file; Discard removes
    // it; a file that cannot be read is kept aside and the user told where).
    // Returns the number of questions asked.
    int OfferRecovery();
    // True from EnableRecovery until OfferRecovery has asked its questions.
    bool OfferingRecovery() const { return offering_; }
    // A normal end: this program's recovery files go.
    void StopRecovery();

    // ---------------------------------------------------------------- assembly
    // After each model step: the explanation of a clamp, found once per
    // design and reverse arm setting (on a copy); "" while the gear can be
    // assembled. True (and AssemblyChanged told) when it changed.
    bool UpdateAssembly();
    const std::string& AssemblyText() const { return assemblyText_; }
    // After each model step (the window's tick): UpdateAssembly, then
    // DesignEdited told when the design's values differ from the last step's.
    void AfterTick();

private:
    enum class Format { Native, Json, Older };
    void Tell(SessionEvent event, int value = 0);
    // Loads `path` into `into` as `format`, asking about huge values and
    // telling a failure; true when loaded.
    bool Load(AppState& into, const std::string& path, Format format, DesignFileResult& result);
    bool OpenAs(const std::string& path, Format format);
    void DropRecovery();
    void DiscardKeptLeftovers();

    AppState& state_;
    FileSystem& files_;
    NoQuestions noQuestions_;
    SessionQuestions* questions_ = &noQuestions_;
    std::vector<std::function<void(SessionEvent, int)>> views_;
    RunState run_ = RunState::Running;

    std::string currentFile_, lastFile_;
    std::string fileStamp_;            // the current file as last opened or saved (FileStampOf)
    std::vector<std::uint32_t> saved_; // DesignSnapshot when last saved or loaded (empty: a recovered design)
    bool asking_ = false;              // the question about unsaved changes is up
    bool confirmReplace_ = false;      // a recovered design not yet saved to its old file
    std::string recoveredStamp_;       // that file as the program that died knew it

    std::unique_ptr<RecoveryStore> recovery_;
    std::string recoveryProblem_; // why no copy can be kept ("": none known)
    bool recoveryProblemTold_ = false;
    std::vector<std::uint32_t> recoveryWritten_;
    std::string recoveryInfoWritten_;
    bool offering_ = false;
    std::vector<RecoveryLeftover> keptLeftovers_; // recovered, kept until this program's own copy is written

    std::vector<std::uint32_t> editKey_; // the design's values at the last tick, bit for bit
    std::vector<float> assemblyKey_;
    bool assemblySwept_ = false;
    std::string assemblyText_;
};
