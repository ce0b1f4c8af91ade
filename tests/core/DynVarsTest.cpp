#include "model/DynVars.h"
#include "model/DesignEdit.h"
#include "model/Model.h"
#include "model/NumberText.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <vector>

namespace {

AppState Started()
{
    AppState s;
    StartupModel(s);
    return s;
}

// A dimension field's commit as the dialogs perform it.
void Commit(AppState& s, int code, float value, bool typed)
{
    s.dyn.EditDirty = typed;
    OpenUndoEntry(s, code, GetDimension(s.gear, code));
    SetDimension(s.gear, code, value);
    StageDynVar(s, code, value, DimensionShortLabel(code));
    CompleteUndoEntry(s, value, DimensionShortLabel(code));
    s.dyn.EditDirty = false;
}

// One arrow click on bar `slot` (+1 or -1) followed by its gesture end.
void ArrowClick(AppState& s, int slot, int dir)
{
    DynBarEnter(s, slot);
    if (DynBarChange(s, slot, dir)) DynBarChange(s, slot, 0);
    DynBarEndScroll(s, slot);
}

float Plus(float a, float b) { return static_cast<float>(static_cast<long double>(a) + b); }

} // namespace

TEST(DynVarsSlots, PushInPlaceUpdateAndDrop)
{
    AppState s = Started();
    for (const DynSlot& sl : s.dyn.Slot) {
        EXPECT_EQ(sl.Code, 0);
        EXPECT_EQ(sl.Name, "             ??");
        EXPECT_FALSE(SlotHoldsVariable(sl));
    }
    StageDynVar(s, 2, 3.5f, "Stroke");
    StageDynVar(s, 3, 11.625f, "Main Rod Length");
    StageDynVar(s, 6, 0.0f, "Ecc Angle Deg");
    StageDynVar(s, 10, 9.948f, "Ecc Rod Length");
    // 10, 6, 3, 2 from newest to oldest.
    EXPECT_EQ(s.dyn.Slot[1].Code, 10);
    EXPECT_EQ(s.dyn.Slot[2].Code, 6);
    EXPECT_EQ(s.dyn.Slot[3].Code, 3);
    EXPECT_EQ(s.dyn.Slot[4].Code, 2);

    // Already in slot 3: updated in place, order unchanged.
    StageDynVar(s, 3, 12.0f, "Main Rod Length");
    EXPECT_EQ(s.dyn.Slot[1].Code, 10);
    EXPECT_EQ(s.dyn.Slot[3].Code, 3);
    EXPECT_FLOAT_EQ(s.dyn.Slot[3].Value, 12.0f);
    EXPECT_EQ(s.dyn.Slot[4].Code, 2);

    // A fifth new one drops slot 4.
    StageDynVar(s, 104, 5.0f, "Cylinder Bore Length");
    EXPECT_EQ(s.dyn.Slot[1].Code, 104);
    EXPECT_EQ(s.dyn.Slot[1].Name, "Cylinder Bore Length");
    EXPECT_EQ(s.dyn.Slot[2].Code, 10);
    EXPECT_EQ(s.dyn.Slot[3].Code, 6);
    EXPECT_EQ(s.dyn.Slot[4].Code, 3);
    EXPECT_FLOAT_EQ(s.dyn.Slot[4].Value, 12.0f);

    // Long names are cut to 25 characters.
    StageDynVar(s, 11, 1.0f, std::string(40, 'x'));
    EXPECT_EQ(s.dyn.Slot[1].Name.size(), 25u);

    ClearDynVars(s);
    for (const DynSlot& sl : s.dyn.Slot) {
        EXPECT_EQ(sl.Code, 0);
        EXPECT_EQ(sl.Value, 0.0f);
        EXPECT_EQ(sl.Name, kEmptySlotName);
    }
}

TEST(DynVarsBars, IncrementRule)
{
    // Arrow clicks: +-0.001 whatever the history.
    EXPECT_FLOAT_EQ(BarIncrementFor(1, 0, 0), 0.001f);
    EXPECT_FLOAT_EQ(BarIncrementFor(1, 0, 1), 0.001f);
    EXPECT_FLOAT_EQ(BarIncrementFor(-1, 0, 0), -0.001f);
    EXPECT_FLOAT_EQ(BarIncrementFor(-1, 0, -1), -0.001f);
    // Page clicks: +-0.010.
    EXPECT_FLOAT_EQ(BarIncrementFor(10, 0, 10), 0.010f);
    EXPECT_FLOAT_EQ(BarIncrementFor(-10, 0, 0), -0.010f);
    // The put-back event changes nothing.
    EXPECT_EQ(BarIncrementFor(0, 1, 0), 0.0f);
    EXPECT_EQ(BarIncrementFor(0, 50, 0), 0.0f);
    // Thumb drag: proportional to the distance, sign by the drag direction.
    EXPECT_FLOAT_EQ(BarIncrementFor(50, 0, 0), 0.050f); // moving out to the right
    EXPECT_FLOAT_EQ(BarIncrementFor(52, 0, 50), 0.052f);
    EXPECT_FLOAT_EQ(BarIncrementFor(40, 0, 50), -0.040f);  // dragged back
    EXPECT_FLOAT_EQ(BarIncrementFor(-30, 0, 0), -0.030f);  // moving out to the left
    EXPECT_FLOAT_EQ(BarIncrementFor(-30, 0, -50), 0.030f); // dragged back from the left
}

TEST(DynVarsBars, ArrowClickOnStrokeChangesByOneThousandthAndRecordsOnce)
{
    AppState s = Started();
    StageDynVar(s, 2, s.gear.Stroke, DimensionShortLabel(2));
    s.steam.FrontCutOffText = " 25.0";
    s.steam.RearCutOffText = " 30.0";
    const float before = s.gear.Stroke;

    DynBarEnter(s, 1);
    ASSERT_TRUE(DynBarChange(s, 1, 1));
    EXPECT_EQ(s.gear.Stroke, Plus(before, 0.001f));
    EXPECT_EQ(s.dyn.Slot[1].Value, s.gear.Stroke);
    EXPECT_TRUE(s.steam.FrontCutOffText.empty());
    EXPECT_TRUE(s.steam.RearCutOffText.empty());
    // The bar goes back to 0: the second event changes nothing.
    EXPECT_FALSE(DynBarChange(s, 1, 0));
    EXPECT_EQ(s.gear.Stroke, Plus(before, 0.001f));
    EXPECT_EQ(s.dyn.BarLast[1], 0);
    EXPECT_EQ(s.dyn.BarPrev[1], 1);

    EXPECT_EQ(s.dyn.UndoCount, 0);
    EXPECT_TRUE(DynBarEndScroll(s, 1));
    EXPECT_EQ(s.dyn.UndoCount, 1);
    EXPECT_TRUE(s.dyn.UndoButtonsEnabled);
    EXPECT_FALSE(s.dyn.EditDirty);
    EXPECT_EQ(s.dyn.Undo[1].Code, 2);
    EXPECT_EQ(s.dyn.Undo[1].Old, before);
    EXPECT_EQ(s.dyn.Undo[1].New, s.gear.Stroke);
    EXPECT_EQ(s.dyn.Undo[1].Name, "Stroke");
    EXPECT_EQ(s.dyn.Undo[2].Code, 0);

    // Second click, left arrow, then a page click: -0.001 then +0.010.
    ArrowClick(s, 1, -1);
    EXPECT_EQ(s.gear.Stroke, Plus(Plus(before, 0.001f), -0.001f));
    const float mid = s.gear.Stroke;
    DynBarEnter(s, 1);
    if (DynBarChange(s, 1, 10)) DynBarChange(s, 1, 0);
    DynBarEndScroll(s, 1);
    EXPECT_EQ(s.gear.Stroke, Plus(mid, 0.01f));
    EXPECT_EQ(s.dyn.UndoCount, 3);

    // Undo walks back through the three gestures.
    ASSERT_TRUE(UndoButtonClick(s));
    EXPECT_EQ(s.gear.Stroke, mid);
    ASSERT_TRUE(UndoButtonClick(s));
    EXPECT_EQ(s.gear.Stroke, Plus(before, 0.001f));
    ASSERT_TRUE(UndoButtonClick(s));
    EXPECT_EQ(s.gear.Stroke, before);
    EXPECT_EQ(s.dyn.UndoCount, 0);
    EXPECT_FALSE(s.dyn.UndoButtonsEnabled);
    EXPECT_FALSE(UndoButtonClick(s));
    EXPECT_EQ(s.gear.Stroke, before);
}

TEST(DynVarsBars, EccentricAngleMovesInTenthsAndWraps)
{
    AppState s = Started();
    ASSERT_EQ(s.gear.EccAngleDeg, 0.0f);
    StageDynVar(s, 6, 0.0f, DimensionShortLabel(6));
    ArrowClick(s, 1, 1);
    EXPECT_NEAR(s.gear.EccAngleDeg, 0.1, 1e-6);
    ArrowClick(s, 1, -1);
    EXPECT_NEAR(s.gear.EccAngleDeg, 0.0, 1e-6);
    // Below 0 it wraps to just under 360; the slot keeps the plain sum until
    // the put-back event refreshes it from the dimension.
    DynBarEnter(s, 1);
    ASSERT_TRUE(DynBarChange(s, 1, -1));
    EXPECT_NEAR(s.gear.EccAngleDeg, 359.9, 1e-4);
    EXPECT_LT(s.gear.EccAngleDeg, 360.0f);
    EXPECT_NEAR(s.dyn.Slot[1].Value, -0.1, 1e-6);
    DynBarChange(s, 1, 0);
    EXPECT_EQ(s.dyn.Slot[1].Value, s.gear.EccAngleDeg);
    DynBarEndScroll(s, 1);
    EXPECT_NEAR(s.dyn.Undo[1].Old, 0.0, 1e-6);
    // A page click is a whole degree.
    DynBarEnter(s, 1);
    if (DynBarChange(s, 1, 10)) DynBarChange(s, 1, 0);
    EXPECT_NEAR(s.gear.EccAngleDeg, 0.9, 1e-4);
    DynBarEndScroll(s, 1);
    // Undo stores the recorded angle as it is; the slot refresh that follows
    // brings it into range because the angle sits in a slot.
    s.dyn.Undo[1].Old = -0.5f;
    UndoButtonClick(s);
    EXPECT_NEAR(s.gear.EccAngleDeg, 359.5, 1e-4);
    EXPECT_NEAR(s.dyn.Slot[1].Value, -0.5, 1e-4); // the slot keeps the plain sum
    // Without the angle in a slot nothing normalises it.
    Commit(s, 6, 10.0f, true);
    ClearDynVars(s);
    s.dyn.Undo[1].Old = -0.5f;
    UndoButtonClick(s);
    EXPECT_EQ(s.gear.EccAngleDeg, -0.5f);

    // Huge or broken values do not hang the normalisation.
    StageDynVar(s, 6, 0.0f, DimensionShortLabel(6));
    SetDimension(s.gear, 6, 1e38f);
    ArrowClick(s, 1, 1);
    EXPECT_GE(s.gear.EccAngleDeg, 0.0f);
    EXPECT_LT(s.gear.EccAngleDeg, 360.0f);
    SetDimension(s.gear, 6, INFINITY);
    ArrowClick(s, 1, 1);
    EXPECT_TRUE(std::isinf(s.gear.EccAngleDeg));
}

TEST(DynVarsBars, SideEffectsAndCodesThatChangeNothing)
{
    AppState s = Started();
    // 13 and 14 move point 9 with point 8.
    StageDynVar(s, 13, GetDimension(s.gear, 13), "Rev Head Pivot Vert");
    ArrowClick(s, 1, 1);
    EXPECT_EQ(s.gear.PointY[8], Plus(4.2f, 0.001f));
    EXPECT_EQ(s.gear.PointY[9], s.gear.PointY[8]);
    StageDynVar(s, 14, GetDimension(s.gear, 14), "Rev Head Pivot Horz");
    ArrowClick(s, 1, -1);
    EXPECT_EQ(s.gear.PointX[9], s.gear.PointX[8]);
    EXPECT_NEAR(s.gear.PointX[8], -0.001, 1e-7);
    // 109 moves the valve centre line with it.
    StageDynVar(s, 109, GetDimension(s.gear, 109), "Valve Stem CL to Cyl CL");
    s.gear.PointY[3] = 0.25f;
    ArrowClick(s, 1, 1);
    EXPECT_EQ(s.gear.Cyl(ciValveStemClToCylCl), Plus(3.5f, 0.001f));
    EXPECT_EQ(s.gear.PointY[13], Plus(s.gear.Cyl(ciValveStemClToCylCl), 0.25f));

    // 102, 21, 22: the bar changes nothing, neither dimension nor slot.
    for (int code : {102, 21, 22}) {
        StageDynVar(s, code, 7.0f, DimensionShortLabel(code));
        const float before = GetDimension(s.gear, code);
        const float py13 = s.gear.PointY[13];
        DynBarEnter(s, 1);
        if (DynBarChange(s, 1, 10)) DynBarChange(s, 1, 0);
        EXPECT_EQ(GetDimension(s.gear, code), before) << code;
        EXPECT_EQ(s.dyn.Slot[1].Value, 7.0f) << code;
        EXPECT_EQ(s.gear.PointY[13], py13) << code;
    }

    // An empty slot does nothing and records nothing.
    AppState e = Started();
    const AppState copy = e;
    const int count = e.dyn.UndoCount;
    DynBarEnter(e, 3);
    EXPECT_TRUE(DynBarChange(e, 3, 1));
    DynBarChange(e, 3, 0);
    EXPECT_FALSE(DynBarEndScroll(e, 3));
    EXPECT_EQ(e.dyn.UndoCount, count);
    EXPECT_EQ(e.gear.Stroke, copy.gear.Stroke);
    EXPECT_EQ(e.dyn.Slot[3].Value, 0.0f);
    // Slot numbers outside 1..4 are ignored.
    EXPECT_FALSE(DynBarChange(e, 0, 5));
    EXPECT_FALSE(DynBarChange(e, 7, 5));
    EXPECT_FALSE(DynBarEndScroll(e, -1));
}

TEST(DynVarsUndo, HistoryKeepsTwentyRecords)
{
    AppState s = Started();
    StageDynVar(s, 2, s.gear.Stroke, "Stroke");
    std::vector<float> values{s.gear.Stroke};
    for (int i = 0; i < 25; ++i) {
        ArrowClick(s, 1, 1);
        values.push_back(s.gear.Stroke);
        EXPECT_LE(s.dyn.UndoCount, 20);
    }
    EXPECT_EQ(s.dyn.UndoCount, 20);
    EXPECT_EQ(UndoSummaryText(s),
              "20- Stroke " + FormatFixed(values[25], 6, 3) + " to " + FormatFixed(values[24], 6, 3));
    for (int i = 0; i < 20; ++i) {
        ASSERT_TRUE(UndoButtonClick(s)) << i;
        EXPECT_EQ(s.gear.Stroke, values[24 - i]);
        EXPECT_EQ(s.dyn.Slot[1].Value, values[24 - i]);
    }
    EXPECT_EQ(s.dyn.UndoCount, 0);
    EXPECT_FALSE(s.dyn.UndoButtonsEnabled);
    // The five oldest changes are gone.
    EXPECT_FALSE(UndoButtonClick(s));
    EXPECT_EQ(s.gear.Stroke, values[5]);
}

TEST(DynVarsUndo, DialogCommitsRecordOnlyTypedChanges)
{
    AppState s = Started();
    // Leaving a field without typing selects the dimension, records nothing.
    Commit(s, 3, 11.625f, false);
    EXPECT_EQ(s.dyn.Slot[1].Code, 3);
    EXPECT_EQ(s.dyn.UndoCount, 0);
    EXPECT_FALSE(s.dyn.UndoButtonsEnabled);
    // PushUndo does nothing without EditDirty.
    PushUndo(s);
    EXPECT_EQ(s.dyn.UndoCount, 0);

    Commit(s, 3, 12.5f, true);
    EXPECT_EQ(s.dyn.UndoCount, 1);
    EXPECT_TRUE(s.dyn.UndoButtonsEnabled);
    EXPECT_EQ(s.dyn.Undo[1].Code, 3);
    EXPECT_EQ(s.dyn.Undo[1].Old, 11.625f);
    EXPECT_EQ(s.dyn.Undo[1].New, 12.5f);
    EXPECT_EQ(s.dyn.Undo[1].Name, "Main Rod Length");
    EXPECT_EQ(UndoSummaryText(s), " 1- Main Rod Length 12.500 to 11.625");

    // 13 through the commit and undo: point 9 follows both ways.
    Commit(s, 13, 5.0f, true);
    EXPECT_EQ(s.gear.PointY[9], 5.0f);
    UndoButtonClick(s);
    EXPECT_EQ(s.gear.PointY[8], 4.2f);
    EXPECT_EQ(s.gear.PointY[9], 4.2f);
    // The slot refresh picked up the restored value.
    EXPECT_EQ(s.dyn.Slot[1].Code, 13);
    EXPECT_EQ(s.dyn.Slot[1].Value, 4.2f);

    // Undoing a 102 record consumes it and restores nothing.
    s.gear.PointY[3] = 0.0f;
    Commit(s, 102, 0.75f, true);
    EXPECT_EQ(s.dyn.UndoCount, 2);
    s.gear.PointY[3] = 0.5f;
    const float py13 = s.gear.PointY[13];
    ASSERT_TRUE(UndoButtonClick(s));
    EXPECT_EQ(s.gear.PointY[3], 0.5f);
    EXPECT_EQ(s.gear.PointY[13], py13);
    EXPECT_EQ(s.dyn.UndoCount, 1);
    EXPECT_EQ(s.dyn.Undo[1].Code, 3);

    // 109 through undo re-derives PointY[13].
    Commit(s, 109, 4.0f, true);
    s.gear.PointY[3] = 0.0f;
    UndoButtonClick(s);
    EXPECT_EQ(s.gear.Cyl(ciValveStemClToCylCl), 3.5f);
    EXPECT_EQ(s.gear.PointY[13], 3.5f);

    ClearUndo(s);
    EXPECT_EQ(s.dyn.UndoCount, 0);
    EXPECT_FALSE(s.dyn.UndoButtonsEnabled);
    for (const UndoEntry& e : s.dyn.Undo) {
        EXPECT_EQ(e.Code, 0);
        EXPECT_EQ(e.Old, 0.0f);
        EXPECT_EQ(e.New, 0.0f);
        EXPECT_TRUE(e.Name.empty());
    }
}

TEST(DynVarsUndo, PopRefreshesEverySlotFromItsDimension)
{
    AppState s = Started();
    StageDynVar(s, 2, s.gear.Stroke, "Stroke");
    StageDynVar(s, 6, s.gear.EccAngleDeg, "Ecc Angle Deg");
    StageDynVar(s, 104, s.gear.Cyl(ciCylBoreLength), "Cylinder Bore Length");
    // Slots fall behind their dimensions (a file was opened, say).
    s.gear.Stroke = 4.0f;
    s.gear.Cyl(ciCylBoreLength) = 6.0f;
    s.gear.EccAngleDeg = 20.0f;
    Commit(s, 3, 12.0f, true);
    UndoButtonClick(s);
    EXPECT_EQ(s.gear.MainRodLength, 11.625f);
    EXPECT_EQ(s.dyn.Slot[1].Code, 3);
    EXPECT_EQ(s.dyn.Slot[1].Value, 11.625f);
    EXPECT_EQ(s.dyn.Slot[2].Value, 6.0f);
    EXPECT_EQ(s.dyn.Slot[3].Value, 20.0f);
    EXPECT_EQ(s.gear.EccAngleDeg, 20.0f);
    EXPECT_EQ(s.dyn.Slot[4].Value, 4.0f);
    EXPECT_EQ(s.gear.Stroke, 4.0f);
}

TEST(DynVarsUndo, UndoingTypedValuesPutsEveryDimensionBackBitForBit)
{
    // Values that single precision cannot hold exactly, each typed into every
    // grey field after a value of the same kind and undone: the refresh of
    // the slots must not move any dimension.
    for (const char* typed : {"0.47", "1.3", "9.948", "-1.292"}) {
        for (int code = 1; code <= 122; ++code) {
            if (!IsGreyField(code) || code == 6 || code == 102) continue; // 102: undo leaves it, as it always did
            AppState s = Started();
            NoteDimensionTyped(s, code);
            CommitDimensionField(s, code, "0.47");
            const std::vector<float> before = DimensionValues(s.gear);
            NoteDimensionTyped(s, code);
            CommitDimensionField(s, code, typed);
            ASSERT_TRUE(UndoButtonClick(s));
            const std::vector<float> after = DimensionValues(s.gear);
            for (size_t i = 0; i < after.size(); ++i)
                ASSERT_EQ(std::bit_cast<std::uint32_t>(after[i]), std::bit_cast<std::uint32_t>(before[i]))
                    << typed << " in code " << code << ", dimension " << i;
        }
    }
}

// Undo and redo in any order: each redo puts back what the undo before it
// took, a redo with nothing to redo changes nothing, a new record ends the
// redo list.
TEST(DynVarsRedo, RedoPutsBackWhatUndoTookInOrder)
{
    AppState s = Started();
    for (float v : {4.0f, 4.5f, 5.0f}) Commit(s, 2, v, true);
    struct Step {
        char op; // U undo, R redo, N a new record of 6.0
        bool done;
        float stroke;
        int undoCount, redoCount;
        const char* redoText;
    };
    const Step steps[] = {
        {'U', true, 4.5f, 2, 1, "   1 to redo"},
        {'U', true, 4.0f, 1, 2, "   2 to redo"},
        {'R', true, 4.5f, 2, 1, "   1 to redo"},
        {'U', true, 4.0f, 1, 2, "   2 to redo"},
        {'U', true, 3.5f, 0, 3, "   3 to redo"},
        {'U', false, 3.5f, 0, 3, "   3 to redo"},
        {'R', true, 4.0f, 1, 2, "   2 to redo"},
        {'R', true, 4.5f, 2, 1, "   1 to redo"},
        {'R', true, 5.0f, 3, 0, ""},
        {'R', false, 5.0f, 3, 0, ""},
        {'U', true, 4.5f, 2, 1, "   1 to redo"},
        {'N', true, 6.0f, 3, 0, ""},
        {'R', false, 6.0f, 3, 0, ""},
    };
    int n = 0;
    for (const Step& st : steps) {
        SCOPED_TRACE(testing::Message() << "step " << ++n << " " << st.op);
        bool done = true;
        if (st.op == 'U') done = UndoButtonClick(s);
        if (st.op == 'R') done = PopRedo(s);
        if (st.op == 'N') Commit(s, 2, 6.0f, true);
        EXPECT_EQ(done, st.done);
        EXPECT_EQ(s.gear.Stroke, st.stroke);
        EXPECT_EQ(s.dyn.Slot[1].Value, st.stroke);
        EXPECT_EQ(s.dyn.UndoCount, st.undoCount);
        EXPECT_EQ(s.dyn.RedoCount, st.redoCount);
        EXPECT_EQ(RedoAvailable(s), st.redoCount > 0);
        EXPECT_EQ(RedoCountText(s), st.redoText);
        EXPECT_EQ(s.dyn.UndoButtonsEnabled, st.undoCount > 0);
    }
    // The records are the same after their round trip: text and serials.
    EXPECT_EQ(UndoSummaryText(s), " 3- Stroke  6.000 to  4.500");
    EXPECT_EQ(s.dyn.Undo[1].Serial, 4u);
    EXPECT_EQ(s.dyn.Undo[2].Serial, 2u);
    EXPECT_EQ(s.dyn.Undo[3].Serial, 1u);
    UndoButtonClick(s);
    ClearUndo(s);
    EXPECT_EQ(s.dyn.RedoCount, 0);
    EXPECT_FALSE(PopRedo(s));
}

// A bar record of the eccentric angle: the slot keeps the plain sum (-0.1),
// the dimension the angle in range; the redo puts back the dimension's value.
// Twenty records undone and redone come back in full.
TEST(DynVarsRedo, RedoPutsBackTheValueTheUndoReplaced)
{
    AppState s = Started();
    StageDynVar(s, 6, 0.0f, DimensionShortLabel(6));
    DynBarEnter(s, 1);
    DynBarChange(s, 1, -1);
    DynBarEndScroll(s, 1);
    const float wrapped = s.gear.EccAngleDeg;
    ASSERT_NEAR(wrapped, 359.9, 1e-4);
    ASSERT_NEAR(s.dyn.Undo[1].New, -0.1, 1e-6);
    UndoButtonClick(s);
    ASSERT_TRUE(PopRedo(s));
    EXPECT_EQ(s.gear.EccAngleDeg, wrapped);

    AppState t = Started();
    StageDynVar(t, 2, t.gear.Stroke, "Stroke");
    std::vector<float> values{t.gear.Stroke};
    for (int i = 0; i < 25; ++i) {
        ArrowClick(t, 1, 1);
        values.push_back(t.gear.Stroke);
    }
    while (UndoButtonClick(t)) {}
    EXPECT_EQ(t.dyn.RedoCount, 20);
    for (int i = 0; i < 20; ++i) {
        ASSERT_TRUE(PopRedo(t));
        EXPECT_EQ(t.gear.Stroke, values[6 + i]);
    }
    EXPECT_EQ(t.dyn.UndoCount, 20);
    EXPECT_FALSE(PopRedo(t));
}
