#include "drawing/RevArmPositions.h"
#include "drawing/DiagramCommon.h"
#include "model/Model.h"
#include "model/NumberText.h"
#include "platform/RecordingCanvas.h"

#include <gtest/gtest.h>

namespace {

struct RevArmFixture : ::testing::Test {
    void SetUp() override { StartupModel(s); }
    float Centre() const { return s.gear.RevArmCentre(); }
    AppState s;
    RecordingCanvas c;
    RevArmLayout lay;
};

} // namespace

TEST_F(RevArmFixture, DefaultDesignHasThreePositionsCentreReverseForward)
{
    LayoutRevArmDialog(c, s, lay);
    EXPECT_EQ(s.graph.GraphPosCount, 3);
    for (int box = 1; box <= 4; ++box) EXPECT_TRUE(lay.visible[box]) << box;
    for (int box = 5; box <= 9; ++box) EXPECT_FALSE(lay.visible[box]) << box;
    EXPECT_TRUE(lay.visible[10]);
    EXPECT_EQ(lay.text[4], "0.000");
    EXPECT_EQ(lay.text[2], RevArmText(Centre() - s.gear.RevArmNormal));
    EXPECT_EQ(lay.text[10], "1.500");

    EXPECT_EQ(PositionSideTag(s.gear, s.gear.RevArm[1]), "Cen");
    EXPECT_EQ(PositionSideTag(s.gear, s.gear.RevArm[2]), "Rev");
    EXPECT_EQ(PositionSideTag(s.gear, s.gear.RevArm[3]), "Fwd");

    // Header row at the fixed y 4, labels of the visible boxes only.
    const CanvasOp* min = c.FindText("Min " + RevArmText(static_cast<long double>(Centre()) - s.gear.RevArmMax));
    ASSERT_NE(min, nullptr);
    EXPECT_EQ(min->x1, 10);
    EXPECT_EQ(min->y1, 4);
    ASSERT_NE(c.FindText("Cent " + RevArmText(Centre())), nullptr);
    EXPECT_EQ(c.FindText("Cent " + RevArmText(Centre()))->x1, 140);
    ASSERT_NE(c.FindText("Rev Arm Position  4"), nullptr);
    EXPECT_EQ(c.FindText("Rev Arm Position  4")->x1, 13); // on the line of box 4, left of it
    EXPECT_EQ(c.FindText("Rev Arm Position  4")->y1, 98);
    EXPECT_EQ(c.FindText("Rev Arm Position  5"), nullptr);
    ASSERT_NE(c.FindText("Max of 9 Positions"), nullptr);
    ASSERT_NE(c.FindText("Vertical Scale"), nullptr);
}

TEST_F(RevArmFixture, LegendRowsCarryNumberSideTagAndValue)
{
    s.view.FontScaleX = 1.27f;
    s.view.FontScaleY = 1.22f;
    DrawPositionLegendTop(c, s);
    for (int n = 1; n <= 3; ++n) DrawPositionLegendRow(c, s, n);
    ASSERT_NE(c.FindText("Reverse Arm Positions"), nullptr);
    EXPECT_EQ(c.FindText("Reverse Arm Positions")->x1, 635);
    ASSERT_NE(c.FindText("Center"), nullptr);
    EXPECT_EQ(c.FindText("Center")->y1, 13);
    const CanvasOp* rev = c.FindText("Rev");
    ASSERT_NE(rev, nullptr);
    EXPECT_EQ(rev->x1, 677);     // 533 * 1.27
    EXPECT_EQ(rev->y1, 29 + 12); // round(2 * 1.22 * 12) + 12
    const CanvasOp* two = c.FindText("    2");
    ASSERT_NE(two, nullptr);
    EXPECT_EQ(two->x1, 692);
    EXPECT_NE(c.FindText(FormatFixed(s.gear.RevArm[3], 6, 3)), nullptr);
}

TEST_F(RevArmFixture, ZeroInBoxTwoLeavesOnePositionAndHidesTheRest)
{
    s.gear.RevArm[5] = 0.5f; // beyond the gap: dropped by the layout
    StoreRevArmEdit(s, 2, "0");
    LayoutRevArmDialog(c, s, lay);
    EXPECT_EQ(s.graph.GraphPosCount, 1);
    for (int k = 3; k <= 9; ++k) EXPECT_EQ(s.gear.RevArm[k], 0.0f) << k;
    EXPECT_TRUE(lay.visible[2]);
    for (int box = 3; box <= 9; ++box) EXPECT_FALSE(lay.visible[box]) << box;
}

TEST_F(RevArmFixture, NinePositionsCountNine)
{
    for (int k = 1; k <= 9; ++k) s.gear.RevArm[k] = Centre() + 0.1f * k;
    LayoutRevArmDialog(c, s, lay);
    EXPECT_EQ(s.graph.GraphPosCount, 9);
    for (int box = 1; box <= 9; ++box) EXPECT_TRUE(lay.visible[box]);
}

TEST_F(RevArmFixture, EnteredValuesAreClampedAndZeroHandled)
{
    const long double hi = static_cast<long double>(Centre()) + s.gear.RevArmMax;
    const long double lo = static_cast<long double>(Centre()) - s.gear.RevArmMax;
    StoreRevArmEdit(s, 4, FormatFixed(hi + 5, 0, 3));
    EXPECT_EQ(s.gear.RevArm[4], static_cast<float>(hi));
    StoreRevArmEdit(s, 5, FormatFixed(lo - 5, 0, 3));
    EXPECT_EQ(s.gear.RevArm[5], static_cast<float>(lo));
    StoreRevArmEdit(s, 6, "");
    EXPECT_EQ(s.gear.RevArm[6], 0.0f);
    StoreRevArmEdit(s, 1, "0");
    EXPECT_EQ(s.gear.RevArm[1], ClampToArmRange(s.gear, 0.001L));
    EXPECT_NE(s.gear.RevArm[1], 0.0f);
    // A malformed entry reads what it can.
    StoreRevArmEdit(s, 3, "1-2");
    EXPECT_EQ(s.gear.RevArm[3], ClampToArmRange(s.gear, 1));
}

TEST_F(RevArmFixture, VerticalScaleNeverBelowOneTenth)
{
    StoreRevArmEdit(s, 10, "0.05");
    EXPECT_FLOAT_EQ(s.graph.GraphVerticalScale, 0.1f);
    StoreRevArmEdit(s, 10, "-3");
    EXPECT_FLOAT_EQ(s.graph.GraphVerticalScale, 0.1f);
    StoreRevArmEdit(s, 10, "4");
    EXPECT_FLOAT_EQ(s.graph.GraphVerticalScale, 4.0f);
}

TEST(RevArmKeyFilter, DigitsOneMinusOnePointAndBackspace)
{
    for (char k : std::string("0123456789-.,\b")) EXPECT_TRUE(RevArmKeyAccepted("", k)) << k;
    for (char k : std::string("aZ +e")) EXPECT_FALSE(RevArmKeyAccepted("", k)) << k;
    EXPECT_FALSE(RevArmKeyAccepted("1.5", '.'));
    EXPECT_FALSE(RevArmKeyAccepted("1.5", ',')); // a comma is a second decimal point
    EXPECT_FALSE(RevArmKeyAccepted("-1", '-'));
    EXPECT_TRUE(RevArmKeyAccepted("15", '-')); // anywhere, once
    EXPECT_TRUE(RevArmKeyAccepted("1.5", '\b'));
}

// ---------------------------------------------------------------- closing panel
TEST_F(RevArmFixture, ClosingPanelRedBannerWithNoDimensionSelected)
{
    std::string undoText;
    s.dyn.DynVarsOn = true;
    DiagramPanelState st = DrawClosingPanel(c, s, undoText);
    EXPECT_TRUE(st.barsVisible);
    for (bool e : st.barEnabled) EXPECT_FALSE(e);
    auto stars = c.TextsContaining("*******************************");
    ASSERT_EQ(stars.size(), 2u);
    EXPECT_EQ(stars[0].y1, 2);
    EXPECT_EQ(stars[1].y1, 26);
    const CanvasOp* msg = c.FindText("* First Select Dimensions *");
    ASSERT_NE(msg, nullptr);
    EXPECT_EQ(msg->colour, clRed);
    EXPECT_EQ(msg->x1, 235);
    EXPECT_EQ(msg->y1, 12);
    EXPECT_EQ(c.FontColour(), clBlack);
    EXPECT_FALSE(st.undoVisible);
}

TEST_F(RevArmFixture, ClosingPanelListsSlotsAndEnablesTheirBars)
{
    std::string undoText;
    s.dyn.DynVarsOn = true;
    s.dyn.Slot[1] = {2, 6.0f, "Stroke"};
    s.dyn.Slot[2] = {3, 13.5f, "Main Rod"};
    DiagramPanelState st = DrawClosingPanel(c, s, undoText);
    EXPECT_TRUE(st.barEnabled[0]);
    EXPECT_TRUE(st.barEnabled[1]);
    EXPECT_FALSE(st.barEnabled[2]);
    EXPECT_FALSE(st.barEnabled[3]);
    ASSERT_NE(c.FindText("Main Rod"), nullptr);
    EXPECT_EQ(c.FindText("Main Rod")->y1, 14);
    ASSERT_NE(c.FindText("13.500"), nullptr);
    EXPECT_EQ(c.FindText("13.500")->x1, 363);
    EXPECT_EQ(c.TextsContaining("Select").size(), 0u);

    // Dynamic variables off: the bars are hidden and nothing is painted.
    RecordingCanvas c2;
    s.dyn.DynVarsOn = false;
    st = DrawClosingPanel(c2, s, undoText);
    EXPECT_FALSE(st.barsVisible);
    EXPECT_TRUE(c2.Ops().empty());
}

TEST_F(RevArmFixture, UndoLineShowsTheTopEntry)
{
    std::string undoText = "old text";
    s.dyn.UndoOn = true;
    s.dyn.UndoCount = 3;
    s.dyn.Undo[1] = {.Code = 2, .Old = 6.0f, .New = 6.001f, .Name = "Stroke"};
    DiagramPanelState st = DrawClosingPanel(c, s, undoText);
    EXPECT_TRUE(st.undoVisible);
    // Without the dynamic variables the text of the previous draw is shown.
    ASSERT_NE(c.FindText("old text"), nullptr);
    EXPECT_EQ(c.FindText("old text")->x1, 150);
    EXPECT_EQ(c.FindText("old text")->y1, 55);
    EXPECT_EQ(undoText.rfind(" 3- Stroke  6.001 to  6.000.", 0), 0u) << undoText;

    RecordingCanvas c2;
    s.dyn.DynVarsOn = true;
    s.dyn.UndoCount = 4;
    DrawClosingPanel(c2, s, undoText);
    auto lines = c2.TextsContaining("- Stroke");
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].text.rfind(" 4- Stroke", 0), 0u);
}

// The count of records to redo follows the undo line's full stop while the
// line still ends left of the legend of positions (x 500; here 7 pixels a
// character), else the line stays as it was.
TEST_F(RevArmFixture, UndoLineTellsTheRecordsToRedoWhereTheyFit)
{
    s.dyn.UndoOn = true;
    s.dyn.DynVarsOn = true;
    s.dyn.UndoCount = 3;
    const struct {
        const char* name;
        int redo;
        std::string line;
    } cases[] = {
        {"Stroke", 0, " 3- Stroke  6.001 to  6.000."},
        {"Stroke", 2, " 3- Stroke  6.001 to  6.000.   2 to redo"},
        {"Rev Head(Arm) Lower", 2, " 3- Rev Head(Arm) Lower  6.001 to  6.000."}, // 50 characters: past 500
    };
    for (const auto& cs : cases) {
        RecordingCanvas rc;
        std::string undoText;
        s.dyn.Undo[1] = {.Code = 2, .Old = 6.0f, .New = 6.001f, .Name = cs.name};
        s.dyn.RedoCount = cs.redo;
        DrawClosingPanel(rc, s, undoText);
        EXPECT_EQ(undoText, cs.line + std::string(12, ' '));
        ASSERT_NE(rc.FindText(undoText), nullptr) << cs.line;
    }
}
