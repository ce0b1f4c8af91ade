// Editing a design as the dimension dialogs do: the Close's re-centring, its
// undo, and the design as it opens from a file that every analysis measures.
#include "model/DesignEdit.h"
#include "analysis/ValveEventsTable.h"
#include "files/NativeFile.h"
#include "model/DynVars.h"
#include "model/Model.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

AppState Started()
{
    AppState s;
    StartupModel(s);
    return s;
}

// The state saved and opened again, without a disk in between.
AppState Reopened(const AppState& live)
{
    AppState r = Started();
    StoreNativeRecords(r, BuildNativeRecords(live));
    DesignFileResult result;
    FinishDesignLoad(r, result);
    return r;
}

struct Typed {
    int code;
    const char* text;
};

// One dialog session: opened, each value typed into its field and left, closed.
bool EditInDialog(AppState& s, const std::vector<Typed>& fields)
{
    const DimensionDialogOpening opened = OpenDimensionDialogModel(s);
    for (const Typed& f : fields) {
        NoteDimensionTyped(s, f.code);
        CommitDimensionField(s, f.code, f.text);
    }
    return CloseDimensionDialogModel(s, opened);
}

std::vector<float> Arm(const Gear& g)
{
    std::vector<float> a(g.RevArm.begin(), g.RevArm.end());
    a.push_back(g.RevArmPos);
    return a;
}

} // namespace

// A dialog edit whose Close re-centred the gear, undone record by record:
// every dimension and the reverse arm (centre, mid gear, normal notches and
// position) are as before the edit, and the file says so byte for byte.
TEST(DesignEdit, UndoingAnEditTakesBackTheRecentringOfItsClose)
{
    struct Case {
        const char* name;
        std::vector<Typed> fields;
        std::function<void(AppState&)> before; // the state the edit starts from
    };
    const std::vector<Case> cases = {
        {"eccentric rod broken at mid gear", {{10, "2.0"}}, [](AppState&) {}},
        {"two fields, arm in the forward notch, graph positions set",
         {{20, "3.9"}, {6, "5"}},
         [](AppState& s) {
             s.gear.RevArmPos = NormalNotchPosition(s.gear, Running::Forward);
             s.gear.RevArm[5] = 0.5f;
         }},
        {"the same field twice, arm in reverse",
         {{12, "2.5"}, {12, "2.6"}},
         [](AppState& s) { s.gear.RevArmPos = -0.3f; }},
    };
    for (const Case& c : cases)
        [&] {
            SCOPED_TRACE(c.name);
            AppState s = Started();
            c.before(s);
            const std::vector<float> arm = Arm(s.gear);
            ASSERT_TRUE(EditInDialog(s, c.fields));
            ASSERT_NE(s.gear.RevArmCentre(), arm[0]);
            EXPECT_EQ(s.gear.RevArmPos, s.gear.RevArmCentre());
            const int records = s.dyn.UndoCount;
            // What comes after the Close and the re-centring does not rewrite stays.
            s.gear.RevArm[7] = 0.25f;
            const std::vector<NativeRecord> edited = BuildNativeRecords(s);
            const std::vector<float> armEdited = Arm(s.gear);
            std::vector<float> expected = arm;
            expected[7] = 0.25f;
            for (int k = 0; k < records; ++k) {
                EXPECT_TRUE(UndoButtonClick(s));
                EXPECT_TRUE(s.dyn.Undo[0].RestoresArm);
                EXPECT_EQ(Arm(s.gear), expected) << "after undo " << k + 1;
            }
            EXPECT_FALSE(UndoAvailable(s));
            AppState nominal = Started();
            c.before(nominal);
            nominal.gear.RevArm[7] = 0.25f;
            EXPECT_EQ(BuildNativeRecords(s), BuildNativeRecords(nominal));
            EXPECT_TRUE(ValveEventsTextOf(s.gear) == ValveEventsTextOf(nominal.gear));
            // Redone record by record, the edit and its re-centring come back.
            for (int k = 0; k < records; ++k) EXPECT_TRUE(PopRedo(s));
            EXPECT_FALSE(PopRedo(s));
            EXPECT_EQ(Arm(s.gear), armEdited);
            EXPECT_EQ(BuildNativeRecords(s), edited);
        }();
}

// Records made before the dialog opened, or by a session that changed nothing
// in the end, never move the arm when undone.
TEST(DesignEdit, OnlyTheRecordsOfARecentringEditTakeTheArmBack)
{
    struct Case {
        const char* name;
        std::function<void(AppState&)> edits;
        std::vector<bool> restores; // entries 1, 2, ... after the edits
    };
    const std::vector<Case> cases = {
        {"a record before the opening",
         [](AppState& s) {
             s.dyn.EditDirty = true;
             CommitDimensionValue(s, 2, 3.6f); // a dialog closed by its window's button
             EditInDialog(s, {{10, "9.5"}});
         },
         {true, false}},
        {"changed and changed back",
         [](AppState& s) {
             EXPECT_FALSE(EditInDialog(s, {{10, "9.5"}, {10, "9.948"}}));
         },
         {false, false}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        AppState s = Started();
        c.edits(s);
        EXPECT_EQ(s.dyn.UndoCount, int(c.restores.size()));
        for (size_t i = 0; i < c.restores.size(); ++i) EXPECT_EQ(s.dyn.Undo[i + 1].RestoresArm, c.restores[i]) << i;
    }
    // Two edits: each undo puts back the arm its own Close found.
    AppState s = Started();
    const std::vector<float> first = Arm(s.gear);
    EditInDialog(s, {{10, "9.5"}});
    const std::vector<float> second = Arm(s.gear);
    EditInDialog(s, {{20, "3.9"}});
    PopUndo(s);
    EXPECT_EQ(Arm(s.gear), second);
    PopUndo(s);
    EXPECT_EQ(Arm(s.gear), first);
}

// The design as it opens from a file is the live design saved and opened
// again, and the events table of the live design is the table of that opened
// design, whatever state the live centre is in.
TEST(DesignEdit, DesignAsOpenedIsTheDesignSavedAndOpenedAgain)
{
    struct Case {
        const char* name;
        std::function<void(AppState&)> change;
    };
    const std::vector<Case> cases = {
        {"built in", [](AppState&) {}},
        {"arm in the reverse notch",
         [](AppState& s) { s.gear.RevArmPos = NormalNotchPosition(s.gear, Running::Reverse); }},
        {"a dimension moved without re-centring", [](AppState& s) { SetDimension(s.gear, 10, 9.8f); }},
        {"a stale centre after an undo without the arm",
         [](AppState& s) {
             EditInDialog(s, {{10, "2.0"}});
             s.dyn.Undo[1].RestoresArm = false; // as every undo left it before
             PopUndo(s);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        AppState s = Started();
        c.change(s);
        const AppState before = s;
        const AppState reopened = Reopened(s);
        const Gear opened = DesignAsOpened(s.gear);
        EXPECT_EQ(Arm(opened), Arm(reopened.gear));
        EXPECT_EQ(DimensionValues(opened), DimensionValues(reopened.gear));
        EXPECT_EQ(Arm(s.gear), Arm(before.gear)); // a copy: the live design is not touched
        EXPECT_TRUE(ValveEventsTextOf(s.gear) == ValveEventsText(BuildValveEventsTable(reopened.gear)));
    }
}
