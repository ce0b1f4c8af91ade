// Comparing with a reference design: the difference table, the grey curves
// of the diagrams and the ghost, the unit in the texts.
#include "analysis/BalanceText.h"
#include "analysis/ValveEventsTable.h"
#include "drawing/DataTableBuilder.h"
#include "drawing/DiagramCommon.h"
#include "drawing/DiagramPictures.h"
#include "drawing/FrameDrawing.h"
#include "model/DesignScale.h"
#include "model/NumberText.h"

#include "DiagramTestUtil.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using LD = long double;

AppState LongRod()
{
    AppState s = StartedState();
    s.gear.ValveRodLength = 3.9f;
    s.gear.Cyl(ciValveLengthFrontHalf) += 0.1f; // no front admission near mid gear
    RecomputeRevArmCentre(s.gear);
    return s;
}

std::vector<CanvasOp> Without(const std::vector<CanvasOp>& ops, Colour grey)
{
    std::vector<CanvasOp> out;
    for (const CanvasOp& op : ops)
        if (op.colour != grey) out.push_back(op);
    return out;
}

int Count(const std::vector<CanvasOp>& ops, Colour grey)
{
    return static_cast<int>(std::count_if(
        ops.begin(), ops.end(), [grey](const CanvasOp& op) { return op.kind == CanvasOp::Line && op.colour == grey; }));
}

} // namespace

TEST(Compare, AnAngleDifferenceLiesInTheHalfOpenHalfTurn)
{
    for (const auto& [a, b, d] : {std::tuple{359.9L, 0.1L, -0.2L},
                                  {0.1L, 359.9L, 0.2L},
                                  {180.0L, 0.0L, 180.0L},
                                  {0.0L, 180.0L, 180.0L},
                                  {10.0L, 10.0L, 0.0L},
                                  {270.0L, 45.0L, -135.0L}})
        EXPECT_NEAR(AngleDifference(a, b), d, 1e-12L) << a << " " << b;
}

// Each cell of the difference is this − reference of the numbers: it agrees
// with the two tables apart within a unit of the cell's last decimal (each
// table rounds its own numbers), and is empty exactly where either is.
TEST(Compare, DifferencesAgreeWithTwoSeparateTables)
{
    const AppState a = StartedState(), b = LongRod();
    const auto rowsA = BuildValveEventsTable(a.gear), rowsB = BuildValveEventsTable(b.gear);
    const std::vector<TextRow> ta = ValveEventsText(rowsA), tb = ValveEventsText(rowsB);
    const std::vector<TextRow> diff = ValveEventsDifferenceText(rowsA, rowsB);
    ASSERT_EQ(diff.size(), ta.size());
    EXPECT_EQ(diff[0], ta[0]);
    int empty = 0;
    for (size_t r = 1; r < diff.size(); ++r) {
        // Rows by direction and notch: the normal notch sits where this design puts it.
        size_t rb = 1;
        while (rb < tb.size() && (tb[rb][0] != ta[r][0] || tb[rb][1] != ta[r][1])) ++rb;
        ASSERT_LT(rb, tb.size());
        EXPECT_EQ(diff[r][0], ta[r][0]);
        EXPECT_EQ(diff[r][1], ta[r][1]);
        for (int c = 2; c < kValveEventsColumns - 1; ++c) {
            const std::string& x = ta[r][size_t(c)];
            const std::string& y = tb[rb][size_t(c)];
            const std::string& d = diff[r][size_t(c)];
            if (x.empty() || y.empty()) {
                EXPECT_EQ(d, "") << r << " " << c;
                ++empty;
                continue;
            }
            LD vx = 0, vy = 0, vd = 0;
            ASSERT_TRUE(ReadNumber(x, vx) && ReadNumber(y, vy) && ReadNumber(d, vd)) << d;
            LD apart = vx - vy;
            if (ValveEventsColumnKind(c) == EventsColumn::Angle && std::fabs(apart) > 180)
                apart = AngleDifference(vx, vy);
            const LD unit = std::pow(10.0L, -ValveEventsDecimals(c));
            EXPECT_LE(std::fabs(vd - apart), unit * 1.0001L) << r << " " << c << " " << d;
            EXPECT_EQ(d.size() - d.find('.') - 1, size_t(ValveEventsDecimals(c))) << d;
        }
    }
    EXPECT_GT(empty, 0);
    // The design against itself: every number 0, the same cells empty.
    const std::vector<TextRow> self = ValveEventsDifferenceText(rowsA, rowsA);
    for (size_t r = 1; r < self.size(); ++r)
        for (int c = 2; c < kValveEventsColumns - 1; ++c) {
            const std::string& d = self[r][size_t(c)];
            EXPECT_EQ(d.empty(), ta[r][size_t(c)].empty());
            EXPECT_TRUE(d.empty() || d.find_first_not_of("0.") == std::string::npos) << d;
        }
}

// The texts that say "units" say the design's unit; the captions of the
// original windows stay.
TEST(Compare, LengthsInTheTextsSayTheUnit)
{
    for (const auto& [unit, word] :
         {std::pair{LengthUnit::Unspecified, "units"}, {LengthUnit::Inch, "in"}, {LengthUnit::Millimetre, "mm"}}) {
        AppState s = StartedState();
        s.gear.Unit = unit;
        const std::string u = std::string(" (") + word + ")";
        const TextRow h = ValveEventsTextOf(s.gear)[0];
        EXPECT_EQ(h[2], "Reverse arm" + u);
        EXPECT_EQ(h[23], "Valve travel" + u);
        EXPECT_EQ(h[5], "Front admission (% stroke)");
        BalanceResult r;
        r.before.resize(1);
        r.before[0].target = BalanceTarget::Lead;
        r.before[0].differences = 1;
        EXPECT_EQ(BalanceDifferenceRows({BalanceGoal{}}, r, unit)[0][0], "Lead difference" + u);
        EXPECT_EQ(BalanceRows(s.gear, {BalanceGoal{}}, r)[1][0], "Lead front" + u);
        EXPECT_EQ(DataTableCells(s)[0][1], "No.1 vert" + u);
    }
}

// With a reference set, a diagram draws the same as without it and, beneath,
// the reference's curves in grey; against itself the grey curves lie on this
// design's own. The steam diagram draws no reference.
TEST(Compare, DiagramsDrawTheReferenceInGreyBeneath)
{
    for (const DiagramKind k :
         {DiagramKind::PortForward, DiagramKind::PortBoth, DiagramKind::Oval, DiagramKind::Sine, DiagramKind::Steam}) {
        for (const bool itself : {false, true}) {
            AppState plain = StartedState(), compared = StartedState();
            compared.compare.Reference = itself ? compared.gear : LongRod().gear;
            RecordingCanvas a, b;
            DrawDiagramAsOpened(a, plain, k);
            DrawDiagramAsOpened(b, compared, k);
            EXPECT_TRUE(SameOps(Without(b.Ops(), kReferenceGrey), a.Ops())) << int(k);
            EXPECT_EQ(Count(b.Ops(), kReferenceGrey) > 0, k != DiagramKind::Steam) << int(k);
            EXPECT_EQ(compared.gear.PointX, plain.gear.PointX); // the design is not swept
            if (!itself) continue;
            for (const CanvasOp& op : b.Ops()) {
                if (op.colour == kReferenceGrey) {
                    EXPECT_TRUE(a.HasLine(op.x1, op.y1, op.x2, op.y2)) << int(k) << " " << op.x1 << "," << op.y1;
                }
            }
        }
    }
}

// The ghost: the frame as before with the reference's mechanism in grey
// beneath; against itself, on this design's lines.
TEST(Compare, TheMainWindowsGhost)
{
    for (const bool itself : {false, true}) {
        AppState plain = StartedState();
        plain.gear.DriverAngle = 50;
        TickModel(plain);
        AppState ghost = plain;
        ghost.compare.Reference = itself ? plain.gear : LongRod().gear;
        ghost.compare.GhostOn = true;
        RecordingCanvas a, b;
        RecordingSound sound;
        FixedRandom random;
        FrameServices services{sound, random};
        FrameEffects fx;
        ComposeFrame(a, plain, services, fx);
        ComposeFrame(b, ghost, services, fx);
        EXPECT_TRUE(SameOps(Without(b.Ops(), kGhostGrey), a.Ops()));
        EXPECT_GT(Count(b.Ops(), kGhostGrey), 10);
        if (!itself) continue;
        for (const CanvasOp& op : b.Ops()) {
            if (op.colour == kGhostGrey && op.kind == CanvasOp::Line) {
                EXPECT_TRUE(a.HasLine(op.x1, op.y1, op.x2, op.y2)) << op.x1 << "," << op.y1;
            }
        }
    }
}
