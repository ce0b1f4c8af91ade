// The design session without a window: open, edit, save and the questions it
// asks; recovery after a kill; undo and redo of every kind of change; the
// comparison with a reference.
#include "session/DesignSession.h"

#include "drawing/LineItems.h"
#include "files/DesignFile.h"
#include "files/DesignValues.h"
#include "files/JsonDesign.h"
#include "files/Recovery.h"
#include "model/DesignEdit.h"
#include "model/DynVars.h"
#include "model/EngineData.h"
#include "model/Model.h"
#include "support/FaultyFileSystem.h"
#include "support/ScriptedQuestions.h"

#include <gtest/gtest.h>

#include <bit>
#include <filesystem>
#include <fstream>
#include <functional>

#ifndef _WIN32
#include <csignal>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {

std::string U8(const fs::path& p)
{
    const std::u8string u = p.u8string();
    return std::string(u.begin(), u.end());
}
fs::path PathOf(const std::string& utf8) { return fs::path(std::u8string(utf8.begin(), utf8.end())); }

struct SessionTest : ::testing::Test {
    fs::path dir;
    FaultyFileSystem files;
    ScriptedQuestions q;
    AppState state;
    DesignSession session{state, files};

    void SetUp() override
    {
        dir = fs::temp_directory_path() /
              ("quelf-session-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
        fs::permissions(dir, fs::perms::owner_all, fs::perm_options::replace);
        session.SetQuestions(&q);
        session.Start();
    }
    void TearDown() override { fs::remove_all(dir); }
    std::string Path(const char* name) const { return U8(dir / PathOf(name)); }
    // A design file of the built-in design with `stroke` and `unit`.
    std::string Design(const char* name, float stroke, LengthUnit unit = LengthUnit::Unspecified) const
    {
        AppState s;
        StartupModel(s);
        s.gear.Stroke = stroke;
        s.gear.Unit = unit;
        EXPECT_TRUE(WriteDesignFile(s, Path(name)).ok) << name;
        return Path(name);
    }
    std::vector<std::string> Asked()
    {
        std::vector<std::string> a;
        a.swap(q.asked);
        return a;
    }
};

} // namespace

// Open, edit and save as the menu commands do, with the question about
// unsaved changes before anything replaces a changed design.
TEST_F(SessionTest, OpenEditSaveAndTheQuestionsAsked)
{
    std::vector<SessionEvent> told;
    session.Listen([&](SessionEvent e, int) { told.push_back(e); });
    const std::string a = Design("a.vgw", 4.0f), b = Design("b.vgw", 4.5f);
    auto answer = SaveChangesAnswer::Cancel;
    q.saveChanges = [&](const std::string&) { return answer; };
    std::string name;
    q.saveName = [&] { return name; };
    const struct {
        const char* what;
        std::function<bool()> act;
        bool done;
        std::vector<std::string> asked;
        const char* file;    // the current file after it
        const char* dataSet; // the design's name after it
        bool changed;
    } steps[] = {
        {"an open", [&] { return session.Open(a); }, true, {}, "a.vgw", "a", false},
        {"an edit", [&] { return (state.gear.Stroke = 3.25f) > 0; }, true, {}, "a.vgw", "a", true},
        {"another open, cancelled",
         [&] { return session.SaveChangesIfWanted() && session.Open(b); },
         false,
         {"save: Save changes to \"a\"?"},
         "a.vgw",
         "a",
         true},
        {"saved as JSON: named after its file",
         [&] {
             name = Path("My Gear.json");
             return session.SaveAs();
         },
         true,
         {"name"},
         "My Gear.json",
         "My Gear",
         false},
        {"a name of no known format is refused",
         [&] { return session.SaveTo(Path("gear.txt")); },
         false,
         {"failed: Cannot save \"gear.txt\": its name must end in .vgw (a design file) or .json (the design as JSON)."},
         "My Gear.json",
         "My Gear",
         false},
        {"changed, then discarded for another open",
         [&] {
             state.gear.Stroke = 3.0f;
             answer = SaveChangesAnswer::Discard;
             return session.SaveChangesIfWanted() && session.Open(b);
         },
         true,
         {"save: Save changes to \"My Gear\"?"},
         "b.vgw",
         "b",
         false},
        {"Reset All", [&] { return session.ResetAll(); }, true, {}, "", "Nominal", false},
    };
    for (const auto& st : steps) {
        SCOPED_TRACE(st.what);
        EXPECT_EQ(st.act(), st.done);
        EXPECT_EQ(Asked(), st.asked);
        EXPECT_EQ(PathOf(session.CurrentFile()).filename(), PathOf(st.file).filename());
        EXPECT_EQ(state.display.DataSetName, st.dataSet);
        EXPECT_EQ(session.Changed(), st.changed);
    }
    AppState back;
    StartupModel(back);
    ASSERT_TRUE(OpenJsonDesign(back, Path("My Gear.json")).ok);
    EXPECT_EQ(back.gear.Stroke, 3.25f);
    // The views heard of each file that names the design and of each load.
    EXPECT_EQ(std::count(told.begin(), told.end(), SessionEvent::Opened), 2);
    EXPECT_EQ(std::count(told.begin(), told.end(), SessionEvent::Remembered), 3);
}

// "UnDo" takes each kind of change back exactly and "ReDo" puts it back; the
// undo line tells what it would take back.
TEST_F(SessionTest, UndoAndRedoOfEveryKindOfChange)
{
    state.gear.PointX[19] = 1; // reference points for the line
    state.gear.PointX[20] = 2;
    state.overlay.Item[3] = {0, 0, 1.5f, 0, 0, 0, 0, 0, 1, 255, 0, 0, 0};  // a circle, marked keep-out below
    state.overlay.Item[4] = {0, 1, 4, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, true}; // a keep-out line
    session.MarkSaved();
    LineDialogModel lines(state);
    const struct {
        const char* what;
        std::function<void()> change;
        const char* line;
    } kinds[] = {
        {"a typed dimension",
         [&] {
             NoteDimensionTyped(state, 10);
             CommitDimensionValue(state, 10, 10.0f);
         },
         " 1- Ecc Rod Length 10.000 to  9.948"},
        {"a dimension bar",
         [&] {
             StageDynVar(state, 2, state.gear.Stroke, "Stroke");
             DynBarEnter(state, 1);
             if (DynBarChange(state, 1, 1)) DynBarChange(state, 1, 0);
             DynBarEndScroll(state, 1);
         },
         " 1- Stroke  3.501 to  3.500"},
        {"values a search found",
         [&] {
             session.ApplyFoundValues({{20, 3.76f}});
         },
         " 1- Valve Rod Length  3.760 to  3.750"},
        {"a scaling",
         [&] {
             session.Scale({2, LengthUnit::Millimetre, RoundGrid::None});
         },
         " 1- Design scale  2.000 to  1.000"},
        {"the unit", [&] { session.SetUnit(LengthUnit::Inch); }, " 1- Design unit in to units"},
        {"a line drawn",
         [&] {
             lines.ChooseType(0);
             lines.ChooseColour(1);
             lines.ChooseReference(0);
             lines.DrawClose();
         },
         " 1- Line 1"},
        {"an engine value, the first the design has",
         [&] {
             session.RecordEdit(ChangeKind::EngineDatum, evChestPressure, "Steam-chest pressure",
                                [](AppState& s) { SetDesignEngineValue(s.gear, evChestPressure, 180); });
         },
         " 1- Steam-chest pressure 180.000 to 200.000"},
        {"a keep-out flag",
         [&] {
             lines.SelectRow(3);
             lines.ToggleKeepOut();
         },
         " 1- Circle 3 keep-out on"},
        {"a keep-out line cleared",
         [&] {
             lines.SelectRow(4);
             lines.ClearLine();
         },
         " 1- Line 4 cleared"},
    };
    const auto design = [](const AppState& s) {
        std::vector<std::uint32_t> d = DesignSnapshot(s);
        for (const float v : {s.gear.RevArmPos, s.gear.RevArmCentre()}) d.push_back(std::bit_cast<std::uint32_t>(v));
        return d;
    };
    for (const auto& k : kinds) {
        SCOPED_TRACE(k.what);
        ClearUndo(state);
        const auto before = design(state);
        k.change();
        const auto after = design(state);
        ASSERT_NE(after, before);
        EXPECT_EQ(UndoSummaryText(state), k.line);
        EXPECT_TRUE(session.Changed());
        ASSERT_TRUE(session.Undo());
        EXPECT_EQ(design(state), before);
        EXPECT_FALSE(session.Changed());
        ASSERT_TRUE(session.Redo());
        EXPECT_EQ(design(state), after);
        EXPECT_EQ(UndoSummaryText(state), k.line);
        ASSERT_TRUE(session.Undo());
    }
}

// The views hear once, at the tick after it, of every change of the design's
// values, whatever made it; a tick that changed nothing tells nothing.
TEST_F(SessionTest, EachChangeOfTheDesignIsToldAtTheNextTick)
{
    int told = 0;
    session.Listen([&told](SessionEvent e, int) { told += e == SessionEvent::DesignEdited ? 1 : 0; });
    session.AfterTick();
    const struct {
        const char* what;
        std::function<void()> change;
    } changes[] = {
        {"a typed dimension",
         [&] {
             NoteDimensionTyped(state, 10);
             CommitDimensionValue(state, 10, 10.0f);
         }},
        {"an engine value", [&] { SetDesignEngineValue(state.gear, evWheelDiameter, 2); }},
        {"an undo", [&] { session.Undo(); }},
        {"the unit", [&] { session.SetUnit(LengthUnit::Millimetre); }},
        {"the travel of the reverse arm", [&] { state.gear.RevArm[1] += 0.01f; }},
    };
    for (const auto& c : changes) {
        SCOPED_TRACE(c.what);
        told = 0;
        c.change();
        session.AfterTick();
        session.AfterTick();
        EXPECT_EQ(told, 1);
    }
}

// Compare With… reads the reference as an open reads it: by its name's
// extension, through the file system, UTF-8 names too; lengths in two stated
// units are compared in this design's unit, and one unit unstated is told.
TEST_F(SessionTest, CompareReadsTheReferenceAsAnOpenReadsIt)
{
    ASSERT_TRUE(session.Scale({25.4L, LengthUnit::Millimetre, RoundGrid::None}));
    const float stroke = state.gear.Stroke;
    const struct {
        const char* what;
        std::string path;
        FileError fault;
        bool read;
        std::vector<std::string> asked;
    } cases[] = {
        {"the design as JSON, in inches", Design("ref.json", 3.5f, LengthUnit::Inch), {}, true, {}},
        {"a native design named in UTF-8", Design("Gärtner’s gear.vgw", 3.5f, LengthUnit::Inch), {}, true, {}},
        {"a design stating no unit",
         Design("plain.vgw", 88.9f),
         {},
         true,
         {"notice: \"plain.vgw\" states no unit of length: its lengths are compared as millimetres, this design's "
          "unit."}},
        {"a file the file system cannot open",
         Design("locked.vgw", 3.5f, LengthUnit::Inch),
         {FileErrorKind::AccessDenied, 13},
         false,
         {"failed: Cannot open \"locked.vgw\": Permission denied (you may not read this file)."}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        session.ClearComparison();
        files.faults.open = c.fault;
        EXPECT_EQ(session.Compare(c.path), c.read);
        files.faults.open = {};
        EXPECT_EQ(Asked(), c.asked);
        const std::optional<Gear> ref = ComparedReference(state);
        ASSERT_EQ(ref.has_value(), c.read);
        if (c.read) {
            EXPECT_NEAR(ref->Stroke, stroke, 1e-4f);
        }
    }
}

#ifndef _WIN32
namespace {

// A program that opens `file` (if any), changes the stroke, keeps its
// recovery copy in `folder` and is killed.
void KilledProgram(const std::string& folder, const std::string& file, float stroke)
{
    const pid_t child = ::fork();
    if (child == 0) {
        AppState s;
        DesignSession dead(s);
        dead.Start();
        if (!file.empty() && !dead.Open(file)) ::_exit(2);
        if (!dead.EnableRecovery(folder, ::getpid(), 1)) ::_exit(3);
        s.gear.Stroke = stroke;
        if (!dead.CheckRecovery()) ::_exit(4);
        ::raise(SIGKILL);
        ::_exit(5);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << "status " << status;
}

} // namespace

// A design a killed program kept is offered at the next start and recovered
// under its name and file as a changed design; what cannot be loaded is kept
// aside and said where; while this program cannot keep its own copy, the old
// one stays; and the first save to the old file asks when that file changed
// since.
TEST_F(SessionTest, RecoveryAfterAKill)
{
    const std::string folder = U8(dir / "state");
    const fs::path left = dir / "state";
    const auto names = [&] {
        std::vector<std::string> out;
        for (const auto& e : fs::directory_iterator(left)) out.push_back(U8(e.path().filename()));
        std::sort(out.begin(), out.end());
        return out;
    };
    const struct {
        const char* what;
        std::function<void()> between; // after the kill, before the start
        float recovered;               // the stroke recovered (0: none)
        std::vector<std::string> asked;
        std::vector<std::string> kept; // files left in the folder (this program's lock aside)
    } cases[] = {
        {"recovered", [] {}, 4.25f, {"recover: gear"}, {}},
        {"a copy that cannot be read is kept aside",
         [&] {
             for (const auto& e : fs::directory_iterator(left))
                 if (e.path().extension() == ".vgw") std::ofstream(e.path()) << "no design";
         },
         0,
         {"recover: gear", "failed: Cannot open \"gear\": it is too short to be a design (9 bytes). | It is kept as "
                           "\"" +
                               folder + "/quelf-PID-1-unreadable.vgw\"."},
         {"quelf-PID-1-unreadable.txt", "quelf-PID-1-unreadable.vgw"}},
        {"this program cannot write its own copy: the old one stays",
         [&] {
             files.faults.create = {FileErrorKind::DiskFull, 28};
         },
         4.25f,
         {"recover: gear", "notice: Unsaved changes cannot be kept for recovery after a crash: \"" + folder +
                               "/quelf-7-2.vgw\" cannot be written: "},
         {"quelf-PID-1.lock", "quelf-PID-1.txt", "quelf-PID-1.vgw"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all(left);
        const std::string gear = Design("gear.vgw", 3.5f);
        KilledProgram(folder, gear, 4.25f);
        std::string pid;
        for (const auto& e : fs::directory_iterator(left))
            pid = U8(e.path().stem()).substr(6, U8(e.path().stem()).find('-', 6) - 6);
        c.between();
        AppState s;
        DesignSession next(s, files);
        next.Start();
        ScriptedQuestions answers;
        answers.recover = [](const std::string&, long long) { return RecoverAnswer::Recover; };
        next.SetQuestions(&answers);
        ASSERT_TRUE(next.EnableRecovery(folder, 7, 2));
        EXPECT_EQ(next.OfferRecovery(), 1);
        files.faults = {};
        std::vector<std::string> asked = answers.asked;
        for (std::string& a : asked) {
            if (a.rfind("notice:", 0) == 0) a = a.substr(0, a.find("written: ") + 9);
            if (const auto at = a.find("quelf-" + pid); at != std::string::npos) a.replace(at + 6, pid.size(), "PID");
        }
        EXPECT_EQ(asked, c.asked);
        EXPECT_EQ(s.gear.Stroke, c.recovered ? c.recovered : 3.5f);
        if (c.recovered) {
            EXPECT_EQ(s.display.DataSetName, "gear");
            EXPECT_EQ(next.CurrentFile(), gear);
            EXPECT_TRUE(next.Changed());
        }
        std::vector<std::string> kept;
        for (std::string n : names())
            if (n.rfind("quelf-7-2", 0) != 0) kept.push_back(n.replace(6, pid.size(), "PID"));
        EXPECT_EQ(kept, c.kept);
        next.StopRecovery();
    }

    // The first save of a recovered design to its old file asks when that
    // file was written since the killed program last opened or saved it.
    const struct {
        const char* what;
        std::function<void(const std::string&)> between;
        bool replace; // the answer
        bool asked, saved;
    } saves[] = {
        {"the file as it was", [](const std::string&) {}, false, false, true},
        {"the file written since, kept",
         [&](const std::string& f) {
             Design("gear.vgw", 2.0f);
             (void)f;
         },
         false, true, false},
        {"the file written since, replaced", [&](const std::string&) { Design("gear.vgw", 2.0f); }, true, true, true},
        {"the file gone since", [](const std::string& f) { fs::remove(PathOf(f)); }, true, true, true},
    };
    for (const auto& c : saves) {
        SCOPED_TRACE(c.what);
        fs::remove_all(left);
        const std::string gear = Design("gear.vgw", 3.5f);
        fs::last_write_time(PathOf(gear), fs::last_write_time(PathOf(gear)) - std::chrono::hours(1));
        KilledProgram(folder, gear, 4.25f);
        c.between(gear);
        AppState s;
        DesignSession next(s);
        next.Start();
        ScriptedQuestions answers;
        answers.recover = [](const std::string&, long long) { return RecoverAnswer::Recover; };
        answers.confirm = [&](const std::string&) { return c.replace; };
        next.SetQuestions(&answers);
        ASSERT_TRUE(next.EnableRecovery(folder, 7, 2));
        ASSERT_EQ(next.OfferRecovery(), 1);
        answers.asked.clear();
        EXPECT_EQ(next.Save(), c.saved);
        EXPECT_EQ(answers.asked.size(), c.asked ? 1u : 0u);
        if (c.asked) {
            EXPECT_EQ(answers.asked[0], "confirm: \"gear.vgw\" has changed since the recovered design was last opened "
                                        "or saved there. Replace it with the recovered design?");
        }
        AppState back;
        StartupModel(back);
        const bool there = OpenNativeFile(back, gear).ok;
        EXPECT_EQ(there && back.gear.Stroke == 4.25f, c.saved);
        // Asked once: the next save goes ahead.
        answers.asked.clear();
        if (c.saved) {
            EXPECT_TRUE(next.Save());
            EXPECT_TRUE(answers.asked.empty());
        }
        next.StopRecovery();
    }
}

// A folder the recovery copy cannot be kept in is told once, plainly, at the
// first change; nothing is told while the design has no changes.
TEST_F(SessionTest, ARecoveryCopyThatCannotBeKeptIsToldOnce)
{
    const fs::path open = dir / "open";
    fs::create_directories(open);
    fs::permissions(open, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec,
                    fs::perm_options::replace);
    EXPECT_FALSE(session.EnableRecovery(U8(open), 7, 2));
    EXPECT_TRUE(session.CheckRecovery());
    EXPECT_TRUE(Asked().empty());
    state.gear.Stroke = 4.0f;
    for (int check = 1; check <= 3; ++check) {
        SCOPED_TRACE(check);
        EXPECT_FALSE(session.CheckRecovery());
        const std::vector<std::string> told =
            check == 1
                ? std::vector<std::string>{"notice: Unsaved changes cannot be kept for recovery after a crash: \"" +
                                           U8(open) +
                                           "\" may be read by others (mode 0750); \"chmod 700\" "
                                           "makes it yours alone. Save the design to keep them."}
                : std::vector<std::string>{};
        EXPECT_EQ(Asked(), told);
    }
}
#endif
