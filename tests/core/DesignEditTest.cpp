// Editing a design as the dimension dialogs do: the Close's re-centring, its
// undo, and the mid gear every analysis measures.
#include "model/DesignEdit.h"
#include "analysis/Balance.h"
#include "analysis/Optimise.h"
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

// Every analysis measures the mid gear the design holds: the one its open
// computed from the reverse arm position saved in the file (a one-step
// estimate, so that computing it again from there gives another value), or
// the one a dimension dialog's Close set; never one computed again on a copy.
// The events table's reverse arm column is the window's notch positions, and
// the balance and optimiser measure the same design before they search.
TEST(DesignEdit, EveryAnalysisMeasuresTheMidGearTheDesignHolds)
{
    struct Case {
        const char* name;
        std::function<void(AppState&)> change;
        bool reopen; // saved with the change and opened again
    };
    const auto armAt = [](float pos) { return [pos](AppState& s) { s.gear.RevArmPos = pos; }; };
    const std::vector<Case> cases = {
        {"saved with the arm at 1.2", armAt(1.2f), true},
        {"saved with the arm at -1.2", armAt(-1.2f), true},
        {"a perturbed design saved with the arm at 0.67",
         [](AppState& s) {
             EditInDialog(s, {{20, "3.9"}, {10, "10.2"}, {12, "2.9"}});
             s.gear.RevArmPos = 0.67f;
         },
         true},
        {"a dimension moved without re-centring", [](AppState& s) { SetDimension(s.gear, 10, 9.8f); }, false},
        {"a stale centre after an undo without the arm",
         [](AppState& s) {
             EditInDialog(s, {{10, "2.0"}});
             s.dyn.Undo[1].RestoresArm = false;
             PopUndo(s);
         },
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        AppState s = Started();
        c.change(s);
        if (c.reopen) s = Reopened(s);
        const AppState before = s;
        Gear again = s.gear;
        RecomputeRevArmCentre(again);
        EXPECT_NE(again.RevArmCentre(), s.gear.RevArmCentre()); // computing again would move it

        const std::vector<ValveEventsRow> rows = ValveEventsRowsOf(s.gear);
        ASSERT_EQ(rows.size(), 2u * (kGraphNotches + 1));
        for (const ValveEventsRow& r : rows) {
            const Running way = r.events.running;
            EXPECT_EQ(r.events.revArmPos,
                      r.notch == kNormalNotch ? NormalNotchPosition(s.gear, way) : NotchPosition(s.gear, r.notch, way));
        }
        EXPECT_EQ(rows[0].events.revArmPos, s.gear.RevArmCentre());

        BalanceControl stopped; // the measurement before the search, then no trial
        stopped.stop = true;
        const BalanceResult b = BalanceEvents(s.gear, {{BalanceTarget::Lead, 20, 3.5f, 4.5f}}, &stopped);
        ASSERT_EQ(b.before.size(), 1u);
        EXPECT_EQ(b.before[0].difference, MeasureTarget(s.gear, BalanceTarget::Lead).difference);
        OptimiseGoals goals;
        goals.targets = {{DesignTarget::CutOffForward, 1}};
        goals.dimensions = {DefaultOptimiseDimension(s.gear, 20)};
        EXPECT_EQ(OptimiseDesign(s.gear, goals, &stopped).before.objective, MeasureDesign(s.gear, goals).objective);
        EXPECT_EQ(Arm(s.gear), Arm(before.gear)); // the design is only read
    }
}
