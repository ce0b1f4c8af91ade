#include "drawing/DimensionEdit.h"
#include "model/DynVars.h"
#include "model/Model.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <string>

namespace {
AppState Started()
{
    AppState s;
    StartupModel(s);
    return s;
}

// Types `keys` into a field that shows `text`, through the dimension filter.
std::string Typed(std::string text, const std::string& keys)
{
    for (char k : keys) {
        const DimensionKey r = FilterDimensionKey(text, k);
        if (!r.keep) continue;
        if (k == kKeyBackspace) {
            if (!text.empty()) text.pop_back();
        } else {
            text += k;
        }
    }
    return text;
}
} // namespace

TEST(DimensionEdit, KeyFilters)
{
    EXPECT_EQ(Typed("", "1-2-"), "1-2");
    EXPECT_EQ(Typed("", "-1.2.3"), "-1.23");
    EXPECT_EQ(Typed("", "12a+e3\b"), "12");
    EXPECT_EQ(Typed("", "3,8,"), "3,8"); // a comma is the decimal point (the field shows ".")
    const DimensionKey enter = FilterDimensionKey("1", kKeyEnter);
    EXPECT_TRUE(enter.accepted);
    EXPECT_TRUE(enter.enter);
    EXPECT_FALSE(enter.keep);
    // A dropped second point is still a key of the field (it marks the edit).
    const DimensionKey second = FilterDimensionKey("1.5", '.');
    EXPECT_TRUE(second.accepted);
    EXPECT_FALSE(second.keep);
    EXPECT_FALSE(FilterDimensionKey("1", 'x').accepted);

    EXPECT_TRUE(FilterSmallDialogKey("1", '-', true));
    EXPECT_FALSE(FilterSmallDialogKey("-1", '-', true));
    EXPECT_FALSE(FilterSmallDialogKey("1", '-', false));
    EXPECT_FALSE(FilterSmallDialogKey("1.", '.', false));
    EXPECT_TRUE(FilterSmallDialogKey("1.", '\b', false));
    EXPECT_FALSE(FilterSmallDialogKey("1", '\r', true));
}

TEST(NumberEntry, WhatComesInReplacesTheSelection)
{
    const struct {
        const char* text;
        int selStart, selLength;
        const char* typed;
        bool allowMinus, accepted;
    } rows[] = {
        {"-0.039", 0, 6, "-", true, true},  // the whole text selected: its "-" goes
        {"-0.039", 1, 5, "-", true, false}, // the "-" stays outside the selection
        {"1.5", 1, 1, ".", true, true},     // the point itself selected
        {"0.5", 0, 3, "-2.25", true, true}, // a pasted number over the selection
        {"1.5", 3, 0, "2.5", true, false},  // ... bringing a second point
        {"12", 0, 0, "-", false, false},    // no minus where none is allowed
        {"12", 0, 0, "1 e", true, false},   // a blank, a letter
        {"1.2.3", 5, 0, "4", true, true},   // a digit is never judged by the points
        {"0.5", 2, 99, "-", true, true},    // a selection past the end ends at the end
        {"0", 0, 1, "-0,25", true, true},   // a comma is the decimal point
        {"3.5", 3, 0, ",", true, false},    // ... and a second one
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(std::string(r.text) + " <- " + r.typed);
        EXPECT_EQ(NumberEntryAccepted(FieldText(r.text, r.selStart, r.selLength), r.typed, r.allowMinus), r.accepted);
    }
}

TEST(DimensionEdit, MarkingOnlyInGreyFields)
{
    AppState s = Started();
    const DimensionKey digit = FilterDimensionKey("", '5');
    NoteDimensionKey(s, 21, digit);
    NoteDimensionKey(s, 22, digit);
    EXPECT_FALSE(s.dyn.EditDirty);
    NoteDimensionKey(s, 20, FilterDimensionKey("", 'q'));
    EXPECT_FALSE(s.dyn.EditDirty);
    NoteDimensionKey(s, 20, digit);
    EXPECT_TRUE(s.dyn.EditDirty);
    s.dyn.EditDirty = false;
    NoteDimensionKey(s, 102, digit);
    EXPECT_TRUE(s.dyn.EditDirty);
}

TEST(DimensionEdit, AngleAndValueConversion)
{
    EXPECT_FLOAT_EQ(NormaliseAngle(370), 10);
    EXPECT_FLOAT_EQ(NormaliseAngle(-30), 330);
    EXPECT_FLOAT_EQ(NormaliseAngle(360), 0);
    EXPECT_FLOAT_EQ(NormaliseAngle(-720), 0);
    // Just below a whole turn would round up to 360 as a float.
    const float tiny = NormaliseAngle(-1e-7L);
    EXPECT_GE(tiny, 0.0f);
    EXPECT_LT(tiny, 360.0f);
    EXPECT_LT(NormaliseAngle(1e300L), 360.0f);
    EXPECT_FLOAT_EQ(FieldValue(""), 0);
    EXPECT_FLOAT_EQ(FieldValue("-"), 0);
    EXPECT_FLOAT_EQ(FieldValue("."), 0);
    EXPECT_FLOAT_EQ(FieldValue("-.5"), -0.5f);
    EXPECT_FLOAT_EQ(FieldValue("2-3"), 2);
    // Forty digits stay a finite float.
    const float big = FieldValue(std::string(40, '9'));
    EXPECT_TRUE(std::isfinite(big));
    EXPECT_EQ(big, FLT_MAX);
    EXPECT_EQ(FieldValue("-" + std::string(40, '9')), -FLT_MAX);
}

TEST(DimensionEdit, CommitRecordsUndoOnlyWhenTyped)
{
    AppState s = Started();
    CommitDimensionField(s, 10, "9.948");
    EXPECT_EQ(s.dyn.Slot[1].Code, 10);
    EXPECT_EQ(s.dyn.UndoCount, 0);
    s.dyn.EditDirty = true;
    CommitDimensionField(s, 10, "10.5");
    EXPECT_FALSE(s.dyn.EditDirty);
    EXPECT_EQ(s.dyn.UndoCount, 1);
    EXPECT_EQ(s.dyn.Undo[1].Code, 10);
    EXPECT_FLOAT_EQ(s.dyn.Undo[1].Old, 9.948f);
    EXPECT_FLOAT_EQ(s.dyn.Undo[1].New, 10.5f);
    EXPECT_EQ(s.dyn.Undo[1].Name, "Ecc Rod Length");
    // The cylinder height field: its own slot name, stored as PointY[3].
    s.dyn.EditDirty = true;
    CommitDimensionField(s, 102, "1");
    EXPECT_FLOAT_EQ(s.gear.PointY[3], 1);
    EXPECT_FLOAT_EQ(s.gear.PointY[13], 4.5f);
    EXPECT_EQ(s.dyn.Slot[1].Name, "Cyl CL above Driver ctr");
    EXPECT_EQ(s.dyn.Slot[2].Code, 10);
    // Undoing it restores nothing but consumes the record.
    PopUndo(s);
    EXPECT_FLOAT_EQ(s.gear.PointY[3], 1);
    EXPECT_EQ(s.dyn.UndoCount, 1);
}

TEST(DimensionEdit, ReverseArmTravelClampsPositions)
{
    AppState s = Started();
    Gear& g = s.gear;
    g.RevArm[0] = 0.5f; // centre
    g.RevArm[4] = 3;
    g.RevArm[5] = -3;
    g.RevArm[6] = 0;
    // Normal above max: the positions in use are brought within +-1.3.
    CommitDimensionField(s, 21, "4");
    EXPECT_FLOAT_EQ(g.RevArmNormal, 1.3f);
    EXPECT_FLOAT_EQ(g.RevArm[4], 1.8f);
    EXPECT_FLOAT_EQ(g.RevArm[5], -0.8f);
    EXPECT_FLOAT_EQ(g.RevArm[6], 0.0f);
    // Max below normal: every entry, the empty ones too.
    CommitDimensionField(s, 21, "0.2");
    CommitDimensionField(s, 22, "0.1");
    EXPECT_FLOAT_EQ(g.RevArmMax, 0.2f);
    for (int i = 1; i <= 9; ++i) {
        EXPECT_GE(g.RevArm[i], 0.3f - 1e-6f) << i;
        EXPECT_LE(g.RevArm[i], 0.7f + 1e-6f) << i;
    }
    EXPECT_FLOAT_EQ(g.RevArm[6], 0.3f);
    EXPECT_EQ(RevArmBarLimit(g), 200);
    EXPECT_EQ(s.dyn.UndoCount, 0);
    EXPECT_EQ(s.dyn.Slot[1].Code, 0);
}

TEST(DimensionEdit, SmallDialogValues)
{
    AppState s = Started();
    Gear& g = s.gear;
    g.RevArm[0] = 0.25f;
    g.RevArmMax = 1.5f;
    EXPECT_FLOAT_EQ(RevPosFromText(g, "9"), 1.75f);
    EXPECT_FLOAT_EQ(RevPosFromText(g, "-9"), -1.25f);
    EXPECT_FLOAT_EQ(RevPosFromText(g, ""), 0.0f);
    EXPECT_EQ(RevArmBarPosition(g, 1.75f), 1500);
    EXPECT_EQ(RevArmBarPosition(g, 0.3004f), 50);
    EXPECT_EQ(RevPosLabel("Min = ", -1.25L), "Min = -1.250");
    // The number is cut to ten characters, the label to sixteen.
    EXPECT_EQ(RevPosLabel("Max = ", 123456789.0L), "Max = 123456789.");
    EXPECT_FLOAT_EQ(DriverAngleFromText(""), 0);
    EXPECT_FLOAT_EQ(DriverAngleFromText("400"), 360);
    EXPECT_FLOAT_EQ(DriverAngleFromText("359.99"), 359.99f);
    EXPECT_FLOAT_EQ(DriverAngleFromText("."), 0);
    EXPECT_FLOAT_EQ(StepAngleFromText("0"), 0.01f);
    EXPECT_FLOAT_EQ(StepAngleFromText("90"), 45);
    EXPECT_FLOAT_EQ(StepAngleFromText("2.5"), 2.5f);
}

TEST(DimensionEdit, ResetsTouchOnlyTheirOwnSet)
{
    AppState s = Started();
    Gear& g = s.gear;
    g.Stroke = 4;
    g.CylDims[ciPistonWidth] = 2;
    g.CylDims[ciCylSpare] = 9;
    s.dyn.EditDirty = true;
    CommitDimensionField(s, 3, "12");
    ResetCylinderDialogModel(s, false);
    EXPECT_FLOAT_EQ(g.CylDims[ciPistonWidth], 1);
    EXPECT_FLOAT_EQ(g.CylDims[ciCylSpare], 0);
    EXPECT_FLOAT_EQ(g.Stroke, 4);
    EXPECT_EQ(s.dyn.Slot[1].Code, 0);
    EXPECT_FLOAT_EQ(s.dyn.BarIncrement, 0);
    EXPECT_EQ(s.dyn.UndoCount, 1);
    ResetFrameDialogModel(s, true);
    EXPECT_FLOAT_EQ(g.Stroke, 3.5f);
    EXPECT_FLOAT_EQ(g.MainRodLength, 11.625f);
    EXPECT_EQ(s.dyn.UndoCount, 0);
}

// A search window's field read whole, a comma as the decimal point; anything
// else said in a sentence. Bounds that leave out the value, said so.
TEST(DimensionEdit, SearchFieldsAreReadWholeOrSaidToBeNoNumber)
{
    for (const auto& [text, value] :
         {std::pair{"3,6", 3.6f}, {" 1e9 ", 1e9f}, {"3,6x", NAN}, {"1,234.5", NAN}, {"", NAN}, {"1e39", NAN}}) {
        float v = -1;
        std::string why;
        EXPECT_EQ(ReadFieldNumber("The lower bound of Stroke", text, v, why), !std::isnan(value)) << text;
        EXPECT_EQ(why, std::isnan(value)
                           ? "The lower bound of Stroke must be a number, not \"" + std::string(text) + "\"."
                           : "");
        EXPECT_EQ(std::isnan(value) ? -1 : value, v) << text;
    }
    EXPECT_EQ(BoundsLeaveOutText("Valve Rod Length", 3.75f, 3.6f, 3.7f),
              "The bounds of Valve Rod Length, 3.6 to 3.7, leave out its value 3.75.");
    EXPECT_EQ(BoundsLeaveOutText("Valve Rod Length", 3.75f, 3.75f, 4.0f), "");
}
