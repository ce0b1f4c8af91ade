#include "session/DesignSession.h"

#include "analysis/Assembly.h"
#include "files/DesignFile.h"
#include "files/DesignValues.h"
#include "files/FileMessages.h"
#include "files/JsonDesign.h"
#include "files/OlderFile.h"
#include "model/Changes.h"
#include "model/DesignEdit.h"
#include "model/DynVars.h"
#include "model/EngineData.h"
#include "model/Model.h"

#include <bit>
#include <cstdio>

namespace {

// A file as the messages name it: its name without the folder.
std::string ShownName(const std::string& path)
{
    const auto sep = path.find_last_of("/\\");
    return sep == std::string::npos ? path : path.substr(sep + 1);
}

bool HasExtension(const std::string& path, const char* ext)
{
    const auto dot = path.rfind('.');
    if (dot == std::string::npos || path.find_first_of("/\\", dot) != std::string::npos) return false;
    std::string e = path.substr(dot + 1);
    for (char& c : e)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return e == ext;
}

// How a unit reads in a sentence.
const char* UnitWords(LengthUnit u) { return u == LengthUnit::Inch ? "inches" : "millimetres"; }

} // namespace

DesignSession::DesignSession(AppState& state, FileSystem& files) : state_(state), files_(files) {}

DesignSession::~DesignSession() = default;

void DesignSession::SetQuestions(SessionQuestions* questions) { questions_ = questions ? questions : &noQuestions_; }

void DesignSession::Listen(std::function<void(SessionEvent, int)> view) { views_.push_back(std::move(view)); }

void DesignSession::Tell(SessionEvent event, int value)
{
    for (const auto& view : views_) view(event, value);
}

void DesignSession::Start()
{
    StartupModel(state_);
    MarkSaved();
}

// ---------------------------------------------------------------- the file
bool DesignSession::Changed() const { return DesignSnapshot(state_) != saved_; }

void DesignSession::MarkSaved()
{
    saved_ = DesignSnapshot(state_);
    DropRecovery();
    DiscardKeptLeftovers();
    Tell(SessionEvent::FileChanged);
}

bool DesignSession::SaveChangesIfWanted()
{
    // A second request while the question is up (a second click on the
    // window's close button) waits for the first.
    if (asking_) return false;
    if (!Changed()) return true;
    asking_ = true;
    const SaveChangesAnswer answer = questions_->SaveChanges("Save changes to \"" + state_.display.DataSetName + "\"?");
    if (answer == SaveChangesAnswer::Discard) {
        DropRecovery();
        DiscardKeptLeftovers();
    }
    const bool goOn = answer == SaveChangesAnswer::Discard || (answer == SaveChangesAnswer::Save && Save());
    asking_ = false;
    return goOn;
}

bool DesignSession::Load(AppState& into, const std::string& path, Format format, DesignFileResult& r)
{
    auto load = [&](HugeValues huge) {
        switch (format) {
        case Format::Json: return OpenJsonDesign(into, path, huge, files_);
        case Format::Older: return ImportOlderFile(into, path, huge, files_);
        case Format::Native: break;
        }
        return OpenNativeFile(into, path, huge, files_);
    };
    r = load(HugeValues::Refuse);
    if (!r.ok && r.values.verdict == ValueVerdict::Huge) {
        if (!questions_->OpenHugeValues(HugeValuesQuestion(ShownName(path), r.values))) return false;
        r = load(HugeValues::Accept);
    }
    // Nothing was loaded: the design stays.
    if (!r.ok) questions_->FileFailed(OpenFailureMessage(ShownName(path), r));
    return r.ok;
}

bool DesignSession::OpenAs(const std::string& path, Format format)
{
    DesignFileResult r;
    if (!Load(state_, path, format, r)) return false;
    // An older design has no file to be saved back to: Save asks for a name.
    const bool older = format == Format::Older;
    currentFile_ = older ? std::string() : path;
    fileStamp_ = older ? std::string() : FileStampOf(path);
    confirmReplace_ = false;
    lastFile_ = path;
    MarkSaved();
    if (!older) Tell(SessionEvent::LinesReplaced);
    Tell(SessionEvent::Opened, r.revArmPosition);
    Tell(SessionEvent::Remembered);
    return true;
}

bool DesignSession::Open(const std::string& path)
{
    if (HasExtension(path, "vgd")) return OpenAs(path, Format::Older);
    return OpenAs(path, IsJsonDesignPath(path) ? Format::Json : Format::Native);
}

bool DesignSession::Import(const std::string& path) { return OpenAs(path, Format::Older); }

bool DesignSession::Save()
{
    if (currentFile_.empty()) return SaveAs();
    return SaveTo(currentFile_);
}

bool DesignSession::SaveAs()
{
    const std::string path = questions_->SaveName();
    return !path.empty() && SaveTo(path);
}

bool DesignSession::SaveTo(const std::string& path)
{
    // A recovered design goes back to its old file only as that file was when
    // the design was last opened or saved there; else the user says so.
    if (confirmReplace_ && path == currentFile_ && FileStampOf(path) != recoveredStamp_ &&
        !questions_->Confirm("\"" + ShownName(path) +
                             "\" has changed since the recovered design was last opened or saved there. Replace it "
                             "with the recovered design?"))
        return false;
    // The name chooses the format, so that the file opens again; a name of
    // no known format is refused.
    const DesignFileResult r = SaveDesignFile(state_, path, files_);
    if (!r.ok) {
        questions_->FileFailed(SaveFailureMessage(ShownName(path), r));
        return false;
    }
    // The design is named after its file, as opening it names it.
    if (DesignFormatOfPath(path) == DesignFormat::Json) state_.display.DataSetName = JsonDataSetName(path);
    currentFile_ = lastFile_ = path;
    fileStamp_ = FileStampOf(path);
    confirmReplace_ = false;
    MarkSaved();
    Tell(SessionEvent::Remembered);
    return true;
}

bool DesignSession::ExportJson(const std::string& path)
{
    const DesignFileResult r = WriteDesignFile(state_, path, files_);
    if (!r.ok) questions_->FileFailed(SaveFailureMessage(ShownName(path), r));
    return r.ok;
}

// ---------------------------------------------------------------- the reference
bool DesignSession::Compare(const std::string& path)
{
    // Read on a design of its own, as an open reads it.
    const auto ref = std::make_unique<AppState>();
    StartupModel(*ref);
    const Format format = HasExtension(path, "vgd") ? Format::Older
                          : IsJsonDesignPath(path)  ? Format::Json
                                                    : Format::Native;
    DesignFileResult r;
    if (!Load(*ref, path, format, r)) return false;
    state_.compare.Reference = ref->gear;
    state_.compare.ReferenceName = ref->display.DataSetName;
    // Lengths in two stated units are compared in this design's unit
    // (ComparedReference); one stated and one not cannot be converted.
    const LengthUnit mine = state_.gear.Unit, theirs = ref->gear.Unit;
    if (mine == LengthUnit::Unspecified && theirs != LengthUnit::Unspecified)
        questions_->Notice("This design states no unit of length: the lengths of \"" + ShownName(path) + "\" (in " +
                           UnitWords(theirs) + ") are compared with its own as they are.");
    if (mine != LengthUnit::Unspecified && theirs == LengthUnit::Unspecified)
        questions_->Notice("\"" + ShownName(path) + "\" states no unit of length: its lengths are compared as " +
                           UnitWords(mine) + ", this design's unit.");
    Tell(SessionEvent::UnitsChanged);
    return true;
}

void DesignSession::ClearComparison()
{
    state_.compare = Comparison{};
    Tell(SessionEvent::UnitsChanged);
}

void DesignSession::SetReferenceGhost(bool on)
{
    state_.compare.GhostOn = state_.compare.Reference.has_value() && on;
    Tell(SessionEvent::UnitsChanged);
}

// ---------------------------------------------------------------- changes
bool DesignSession::ApplyFoundValues(const std::vector<DimensionValue>& values)
{
    if (!ApplyBalance(state_, values)) return false;
    for (const DimensionValue& v : values)
        if (v.code == 22) Tell(SessionEvent::ArmRange);
    Tell(SessionEvent::ArmToBar, 0);
    return true;
}

bool DesignSession::Scale(const ScaleRequest& request)
{
    if (!ScaleDesign(state_, request)) return false;
    // The reverse arm's travel and setting change with the design.
    Tell(SessionEvent::ArmFromModel);
    Tell(SessionEvent::UnitsChanged);
    return true;
}

void DesignSession::SetUnit(LengthUnit unit)
{
    RecordEdit(ChangeKind::Unit, 0, "Design unit", [unit](AppState& s) { s.gear.Unit = unit; });
    Tell(SessionEvent::UnitsChanged);
}

bool DesignSession::RecordEdit(ChangeKind kind, int code, const std::string& name,
                               const std::function<void(AppState&)>& edit)
{
    std::vector<float> before = ChangeValues(state_, kind, code);
    edit(state_);
    return RecordValues(state_, kind, code, std::move(before), name);
}

bool DesignSession::Undo()
{
    const bool undone = UndoButtonClick(state_);
    const UndoEntry& e = state_.dyn.Undo[0];
    if (!undone) return false;
    // Undoing a change that moved the reverse arm puts it back as well.
    if (e.RestoresArm) Tell(SessionEvent::ArmFromModel);
    if (e.Kind == ChangeKind::LineItem || e.Kind == ChangeKind::KeepOut) Tell(SessionEvent::LinesChanged);
    if (e.Kind == ChangeKind::Unit || e.Kind == ChangeKind::WholeDesign) Tell(SessionEvent::UnitsChanged);
    return true;
}

bool DesignSession::Redo()
{
    if (!PopRedo(state_)) return false;
    const UndoEntry& e = state_.dyn.Undo[0];
    if (e.RestoresArm) Tell(SessionEvent::ArmFromModel);
    if (e.Kind == ChangeKind::LineItem || e.Kind == ChangeKind::KeepOut) Tell(SessionEvent::LinesChanged);
    if (e.Kind == ChangeKind::Unit || e.Kind == ChangeKind::WholeDesign) Tell(SessionEvent::UnitsChanged);
    return true;
}

bool DesignSession::ResetAll()
{
    if (!SaveChangesIfWanted()) return false;
    AppState& s = state_;
    // The two dimension dialogs' resets: dimensions, the reverse arm's
    // travel, dynamic variables and undo history cleared.
    ResetFrameDialogModel(s, true);
    Tell(SessionEvent::ArmRange);
    ResetCylinderDialogModel(s, true);
    RecomputeRevArmCentre(s.gear);
    s.display.DataSetName = "Nominal";
    s.graph.GraphVerticalScale = 1.5f;
    s.gear.Unit = LengthUnit::Unspecified; // the built-in design states none
    s.dyn.DynVarsOn = false;
    ClearDynVars(s);
    ClearUndo(s);
    s.dyn.UndoOn = false;
    // The built-in design starts afresh, as at start-up, with no file.
    currentFile_.clear();
    fileStamp_.clear();
    confirmReplace_ = false;
    MarkSaved();
    Tell(SessionEvent::UnitsChanged);
    return true;
}

// ---------------------------------------------------------------- controls the dialogs set
void DesignSession::ArmRangeChanged() { Tell(SessionEvent::ArmRange); }
void DesignSession::ArmToMidGear() { Tell(SessionEvent::ArmToBar, 0); }
void DesignSession::ArmToBar(int position) { Tell(SessionEvent::ArmToBar, position); }
void DesignSession::DriverToBar(int position) { Tell(SessionEvent::DriverToBar, position); }
void DesignSession::StepToBar(int position) { Tell(SessionEvent::StepToBar, position); }

// ---------------------------------------------------------------- running
void DesignSession::SetRun(RunState run)
{
    run_ = run;
    state_.anim.ActiveStep = run == RunState::Running ? state_.anim.SelectedStep : 0;
    Tell(SessionEvent::RunChanged);
}

// ---------------------------------------------------------------- recovery
bool DesignSession::EnableRecovery(const std::string& folder, long long pid, long long stamp)
{
    auto store = std::make_unique<RecoveryStore>();
    offering_ = true; // a design named on the command line waits for the question
    if (!store->Start(folder, pid, stamp, files_)) {
        recoveryProblem_ = store->Problem();
        return false;
    }
    recovery_ = std::move(store);
    return true;
}

std::string DesignSession::RecoveryFile() const { return recovery_ ? recovery_->DesignPath() : std::string(); }

void DesignSession::DropRecovery()
{
    if (recovery_) recovery_->Remove();
    recoveryWritten_.clear();
    recoveryInfoWritten_.clear();
}

void DesignSession::DiscardKeptLeftovers()
{
    for (RecoveryLeftover& left : keptLeftovers_) DiscardLeftover(left);
    keptLeftovers_.clear();
}

bool DesignSession::CheckRecovery()
{
    if (!Changed()) {
        if (recovery_ && recovery_->Written()) DropRecovery();
        return true;
    }
    std::string error = recoveryProblem_;
    if (recovery_) {
        const RecoveryInfo info{state_.display.DataSetName, currentFile_, fileStamp_};
        const std::string infoText = RecoveryInfoText(info);
        std::vector<std::uint32_t> design = DesignSnapshot(state_);
        if (recovery_->Written() && design == recoveryWritten_ && infoText == recoveryInfoWritten_) return true;
        if (recovery_->Write(state_, info, error)) {
            recoveryWritten_ = std::move(design);
            recoveryInfoWritten_ = infoText;
            // What a program that died left is no longer the only copy.
            DiscardKeptLeftovers();
            return true;
        }
        error = "\"" + recovery_->DesignPath() + "\" cannot be written: " + error;
        recoveryWritten_.clear();
        recoveryInfoWritten_.clear();
    }
    if (error.empty()) return false; // recovery was never asked for
    // Told once, plainly; tried again at the next check.
    if (!recoveryProblemTold_) {
        recoveryProblemTold_ = true;
        std::fprintf(stderr, "quelf: no recovery copy can be kept: %s\n", error.c_str());
        questions_->Notice("Unsaved changes cannot be kept for recovery after a crash: " + error +
                           ". Save the design to keep them.");
    }
    return false;
}

int DesignSession::OfferRecovery()
{
    offering_ = true;
    int asked = 0;
    std::vector<RecoveryLeftover> leftovers;
    if (recovery_) leftovers = recovery_->ClaimLeftovers();
    for (RecoveryLeftover& left : leftovers) {
        ++asked;
        const RecoverAnswer answer = questions_->Recover(left.info.name, left.writtenAt);
        if (answer == RecoverAnswer::Discard) {
            DiscardLeftover(left);
            continue;
        }
        // Not answered, or a changed design kept: asked again at the next start.
        if (answer != RecoverAnswer::Recover || !SaveChangesIfWanted()) continue;
        DesignFileResult r = OpenNativeFile(state_, left.DesignPath(), HugeValues::Accept, files_);
        if (!r.ok) {
            // Kept out of the way, never deleted: the user is told where.
            FileMessage m = OpenFailureMessage(left.info.name, r);
            const std::string aside = SetLeftoverAside(left);
            m.detail =
                (aside.empty() ? "It is kept as \"" + left.DesignPath() + "\"." : "It is kept as \"" + aside + "\".") +
                (m.detail.empty() ? "" : " " + m.detail);
            questions_->FileFailed(m);
            continue;
        }
        state_.display.DataSetName = left.info.name;
        currentFile_ = left.info.file;
        fileStamp_ = FileStampOf(currentFile_);
        recoveredStamp_ = left.info.stamp;
        confirmReplace_ = !currentFile_.empty();
        saved_.clear(); // changed, until it is saved
        Tell(SessionEvent::LinesReplaced);
        Tell(SessionEvent::Opened, r.revArmPosition);
        Tell(SessionEvent::FileChanged);
        // Kept in this program's own file before the old one goes; while it
        // cannot be, the old one stays (and is offered again after a crash).
        keptLeftovers_.push_back(std::move(left));
        CheckRecovery();
    }
    offering_ = false;
    return asked;
}

void DesignSession::StopRecovery()
{
    if (recovery_) recovery_->Stop();
    recovery_.reset();
}

// ---------------------------------------------------------------- assembly
void DesignSession::AfterTick()
{
    UpdateAssembly();
    const Gear& g = state_.gear;
    std::vector<std::uint32_t> key;
    for (const float v : DimensionValues(g)) key.push_back(std::bit_cast<std::uint32_t>(v));
    for (const float v : g.RevArm) key.push_back(std::bit_cast<std::uint32_t>(v));
    key.push_back(static_cast<std::uint32_t>(g.Unit));
    key.push_back(g.HasEngine ? 1u : 0u);
    for (int k = 0; k < kEngineValueCount; ++k)
        key.push_back(std::bit_cast<std::uint32_t>(GetEngineValue(g.Engine, k)));
    if (key == editKey_) return;
    editKey_ = std::move(key);
    Tell(SessionEvent::DesignEdited);
}

bool DesignSession::UpdateAssembly()
{
    const Gear& g = state_.gear;
    std::vector<float> key = DimensionValues(g);
    key.push_back(g.RevArmPos);
    if (key != assemblyKey_) {
        // A new design or setting: told again once it clamps (at once when an
        // explanation is up, so that it goes or changes with the design).
        assemblyKey_ = std::move(key);
        assemblySwept_ = false;
        if (assemblyText_.empty() && g.SolveClamps == 0) return false;
    } else if (assemblySwept_ || g.SolveClamps == 0) {
        return false;
    }
    AssemblyClamps clamps = SweepAssembly(g);
    // A clamp so narrow that the whole degrees miss it is told at its angle.
    AddClampSample(clamps, g.SolvedDriverAngle, g.SolveClamps);
    assemblySwept_ = true;
    std::string text = AssemblyExplanation(clamps);
    if (text == assemblyText_) return false;
    assemblyText_ = std::move(text);
    Tell(SessionEvent::AssemblyChanged);
    return true;
}
