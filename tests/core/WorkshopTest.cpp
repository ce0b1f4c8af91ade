// The gear for the workshop: its parts are what the main window draws, the
// parts list holds the design's own sizes, and the keep-out flags are kept
// in the design file and the JSON text (and leave a design without them as
// it was).
#include "analysis/PartsList.h"
#include "drawing/FrameDrawing.h"
#include "drawing/LineItems.h"
#include "files/DesignValues.h"
#include "files/JsonDesign.h"
#include "files/NativeFile.h"
#include "model/Changes.h"
#include "model/DesignEdit.h"
#include "model/DynVars.h"
#include "model/GearParts.h"
#include "model/Model.h"
#include "model/NumberText.h"
#include "model/PointIndex.h"
#include "platform/RecordingCanvas.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using LD = long double;

TEST(GearParts, EveryShapeIsWhereTheMainWindowDrawsIt)
{
    for (float angle : {0.0f, 37.5f, 211.0f}) {
        for (long double notch : {0.0L, 0.7L, -1.0L}) {
            SCOPED_TRACE(std::to_string(angle) + " at arm " + std::to_string(static_cast<double>(notch)));
            AppState s;
            StartupModel(s);
            s.gear.DriverAngle = angle;
            s.gear.RevArmPos = ToModelFloat(s.gear.RevArmCentre() + notch * s.gear.RevArmMax);
            TickModel(s);
            s.gear.DriverAngle = angle; // as solved, for the crank disk's arc
            RecordingCanvas c;
            DrawMechanism(c, s);
            const View& v = s.view;
            auto sx = [&v](LD x) { return WorldToScreenX(v, x); };
            auto sy = [&v](LD y) { return WorldToScreenY(v, y); };
            auto hasEllipse = [&](const PartCircle& ci) {
                for (const CanvasOp& op : c.OfKind(CanvasOp::Ellipse))
                    if (op.x1 == sx(ci.c.x - ci.r) && op.y1 == sy(ci.c.y - ci.r) && op.x2 == sx(ci.c.x + ci.r) &&
                        op.y2 == sy(ci.c.y + ci.r))
                        return true;
                return false;
            };
            // Within a pixel: the valve's cavity is drawn a third of its height in whole pixels.
            auto nearLine = [&](const WorldPt& a, const WorldPt& b) {
                for (const CanvasOp& op : c.OfKind(CanvasOp::Line))
                    for (int flip = 0; flip < 2; ++flip) {
                        const WorldPt& p = flip ? b : a;
                        const WorldPt& q = flip ? a : b;
                        if (std::abs(op.x1 - sx(p.x)) <= 1 && std::abs(op.y1 - sy(p.y)) <= 1 &&
                            std::abs(op.x2 - sx(q.x)) <= 1 && std::abs(op.y2 - sy(q.y)) <= 1)
                            return true;
                    }
                return false;
            };
            size_t shapes = 0;
            for (int k = 0; k < kGearParts; ++k) {
                const GearPart part = static_cast<GearPart>(k);
                const PartShapes p = ShapesOfPart(s.gear, part, PinSet::Own);
                for (const PartCircle& ci : p.circles)
                    EXPECT_TRUE(hasEllipse(ci)) << PartLayer(part) << " P" << ci.point;
                for (const PartSegment& sg : p.segments) {
                    EXPECT_TRUE(c.HasLine(sx(sg.a.x), sy(sg.a.y), sx(sg.b.x), sy(sg.b.y))) << PartLayer(part);
                }
                for (const PartPolyline& pl : p.polylines) {
                    const size_t n = pl.points.size();
                    for (size_t i = 0; i + 1 < n || (pl.closed && i < n); ++i)
                        EXPECT_TRUE(nearLine(pl.points[i], pl.points[(i + 1) % n])) << PartLayer(part) << " " << i;
                }
                shapes += p.circles.size() + p.segments.size();
            }
            // The cylinder section exactly as the tick built it.
            const PartShapes cyl = ShapesOfPart(s.gear, GearPart::Cylinder);
            ASSERT_EQ(cyl.polylines.size(), 2u);
            for (size_t i = 0; i < s.gear.CylOutline.size(); ++i) {
                EXPECT_EQ(sx(cyl.polylines[0].points[i].x), s.gear.CylOutline[i].x);
                EXPECT_EQ(sy(cyl.polylines[0].points[i].y), s.gear.CylOutline[i].y);
            }
            // Every circle drawn is a part's (P8 and P9 both; the reverse arm end is drawn twice).
            EXPECT_EQ(c.OfKind(CanvasOp::Ellipse).size(), 15u);
            EXPECT_EQ(shapes, 14u + 13u);
        }
    }
}

TEST(PartsList, EveryLinkAndSizeIsTheDesignsOwn)
{
    AppState s;
    StartupModel(s);
    SetDimension(s.gear, 10, 9.875f); // another eccentric rod
    SetDimension(s.gear, 6, 31.0f);   // and eccentric angle
    const Gear& g = s.gear;
    const std::vector<PartsListRow> rows = BuildPartsList(g);
    auto value = [&rows](const std::string& part, const std::string& item) {
        for (const PartsListRow& r : rows)
            if (r.part == part && r.item == item) return r.value;
        ADD_FAILURE() << part << ": " << item;
        return std::numeric_limits<LD>::quiet_NaN();
    };
    const LD h = static_cast<LD>(g.Cyl(ciExhaustPortWidth)) / 2;
    const struct {
        const char* part;
        const char* item;
        LD want;
    } cases[] = {
        {"Crank", "axle (P1) to crank pin (P2)", static_cast<LD>(g.Stroke) / 2},
        {"Main rod", "crank pin (P2) to crosshead pin (P3)", g.MainRodLength},
        {"Eccentric strap", "eccentric centre (P5) to guide (P7)", static_cast<LD>(g.EccStrapLower) + g.EccStrapUpper},
        {"Eccentric strap", "arm root (P6), along", g.EccStrapLower},
        {"Eccentric strap", "arm root (P6), across", 0},
        {"Eccentric strap", "eccentric rod pin (P14), along", g.EccStrapLower},
        {"Eccentric strap", "eccentric rod pin (P14), across", -static_cast<LD>(g.EccStrapHorz)},
        {"Eccentric strap", "arm root (P6) to eccentric rod pin (P14)", g.EccStrapHorz},
        {"Reverse head", "pivot (P9) to upper end (P10)", g.RevHeadUpper},
        {"Reverse head", "pivot (P9) to arm end (P18)", g.RevHeadArmLower},
        {"Reverse head", "arm end (P18), along", -static_cast<LD>(g.RevHeadArmLower)},
        {"Eccentric rod", "back pin (P14) to front pin (P16)", g.EccRodLength},
        {"Rocker", "pivot (P15) to lower pin (P17)", g.RockerLower},
        {"Rocker", "upper pin (P16), along", g.RockerUpperVert},
        {"Rocker", "upper pin (P16), across", g.RockerUpperHorz},
        {"Rocker", "pivot (P15) to upper pin (P16)", std::hypot<LD>(g.RockerUpperVert, g.RockerUpperHorz)},
        {"Valve rod", "back pin (P17) to front pin (P4)", g.ValveRodLength},
        {"Eccentric", "throw: axle (P1) to eccentric centre (P5)", static_cast<LD>(g.EccCircleDiam) / 2},
        {"Valve", "steam lap, front",
         g.Cyl(ciValveLengthFrontHalf) - h - g.Cyl(ciBridgeWidthFront) - g.Cyl(ciSteamPortWidthFront)},
        {"Valve", "exhaust lap, rear", g.Cyl(ciValveExhCavityRearHalf) - h - g.Cyl(ciBridgeWidthRear)},
        {"Ports", "steam port, rear", g.Cyl(ciSteamPortWidthRear)},
        {"Fixed, from the driver centre", "reverse head pivot (P8), y", GetDimension(g, 13)},
        {"Fixed, from the driver centre", "rocker pivot (P15), x", GetDimension(g, 19)},
        {"Fixed, from the driver centre", "valve stem centre line, y", g.Cyl(ciValveStemClToCylCl)},
    };
    for (const auto& c : cases) EXPECT_NEAR(value(c.part, c.item), c.want, 2e-6L) << c.part << ": " << c.item;

    const struct {
        LD v;
        const char* text;
    } fractions[] = {{0, "0"},          {14, "14"},     {0.625L, "5/8"},   {2.359375L, "2 23/64"},
                     {-1.5L, "-1 1/2"}, {0.0078L, "0"}, {0.0079L, "1/64"}, {9.99999L, "10"}};
    for (const auto& f : fractions) EXPECT_EQ(NearestSixtyFourth(f.v), f.text) << static_cast<double>(f.v);
    EXPECT_EQ(NearestSixtyFourth(std::numeric_limits<LD>::quiet_NaN()), "");
    // The sixty-fourths go with inches only.
    EXPECT_EQ(PartsListCells(rows, LengthUnit::Inch).front().back(), "Nearest 1/64 in");
    EXPECT_EQ(PartsListCells(rows, LengthUnit::Millimetre).front(),
              (std::vector<std::string>{"Part", "Item", "Value (mm)"}));
    EXPECT_EQ(PartsListCells(rows, LengthUnit::Inch)[1],
              (std::vector<std::string>{"Crank", "axle (P1) to crank pin (P2)", "1.7500", "1 3/4"}));
}

TEST(KeepOut, FlagsAreKeptInRecord71AndInJsonAndNothingElseChanges)
{
    AppState s;
    StartupModel(s);
    s.overlay.Item[3] = {1, 2, 3, 4, 0, 0, 0, 0, 0, 0, 0, 0, 0, false};
    const std::vector<NativeRecord> plain = BuildNativeRecords(s);
    const std::string plainJson = DesignJsonText(s);
    EXPECT_EQ(plain[70][1], 0.0f) << "a design without keep-out shapes holds 0, as every file before";
    EXPECT_EQ(plainJson.find("KeepOut"), std::string::npos);
    const auto snapshot = DesignSnapshot(s);

    s.overlay.Item[3].KeepOut = true;
    s.overlay.Item[20].KeepOut = true;
    EXPECT_NE(DesignSnapshot(s), snapshot) << "a flag is a change to save";
    std::vector<NativeRecord> flagged = BuildNativeRecords(s);
    EXPECT_EQ(flagged[70][1], static_cast<float>((1u << 2) | (1u << 19)));
    flagged[70][1] = 0;
    EXPECT_EQ(flagged, plain) << "only field 2 of record 71";
    EXPECT_EQ(KeepOutItems(s.overlay), std::vector<int>{3}) << "item 20 is not drawn";

    // Back from the records, and through JSON.
    AppState back;
    StartupModel(back);
    StoreNativeRecords(back, BuildNativeRecords(s));
    EXPECT_EQ(KeepOutMask(back.overlay), KeepOutMask(s.overlay));
    AppState fromJson;
    StartupModel(fromJson);
    ASSERT_TRUE(LoadJsonDesignText(fromJson, DesignJsonText(s)).ok);
    EXPECT_EQ(KeepOutMask(fromJson.overlay), KeepOutMask(s.overlay));
    EXPECT_EQ(BuildNativeRecords(fromJson), BuildNativeRecords(s));
    std::string wrong = DesignJsonText(s);
    wrong.replace(wrong.find("\"KeepOut\": true"), 15, "\"KeepOut\": 1");
    const DesignFileResult refused = LoadJsonDesignText(fromJson, wrong);
    EXPECT_FALSE(refused.ok);
    EXPECT_EQ(refused.reason,
              "it is not a design (\"linesAndCircles.items[3].KeepOut\" must be true or false, not a number)");

    // What field 2 may hold: a whole number of 20 bits, anything else reads as none.
    const struct {
        float field;
        std::uint32_t mask;
    } fields[] = {{0, 0},
                  {5, 5},
                  {1048575, 1048575},
                  {1048576, 0},
                  {2.5f, 0},
                  {-1, 0},
                  {std::numeric_limits<float>::quiet_NaN(), 0},
                  {std::numeric_limits<float>::infinity(), 0}};
    for (const auto& f : fields) EXPECT_EQ(KeepOutMaskOfField(f.field), f.mask) << f.field;
    // A short file (no lines and circles) leaves the flags as they were.
    std::vector<NativeRecord> shortFile(plain.begin(), plain.begin() + 18);
    StoreNativeRecords(back, shortFile);
    EXPECT_EQ(KeepOutMask(back.overlay), KeepOutMask(s.overlay));
}

// The keep-out flag is an undo record of its own: the flag alone, told on the
// undo line. Marked while a change of its line is begun (the dialog closed for
// a pivot pick), the change's record leaves the flag to it; an item that is
// neither a line nor a circle beeps and records nothing.
TEST(KeepOut, TheFlagIsAnUndoRecordOfItsOwn)
{
    AppState s;
    StartupModel(s);
    s.gear.PointX[kRefPoint1] = 1;
    s.gear.PointX[kRefPoint2] = 2;
    s.overlay.Item[2] = {0, 1, 4, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    const std::vector<float> drawn = LineItemValues(s.overlay.Item[2]);
    LineDialogModel lines(s);
    lines.SelectRow(7);
    EXPECT_TRUE(lines.ToggleKeepOut().beep);
    EXPECT_EQ(s.dyn.UndoCount, 0);

    lines.SelectRow(2);
    lines.ChooseType(0);
    lines.ChooseColour(1);
    lines.ChooseReference(1); // closes for the pivot pick
    lines.Activate();         // back, the change of item 2 begun
    EXPECT_FALSE(lines.ToggleKeepOut().beep);
    EXPECT_EQ(UndoSummaryText(s), " 1- Line 2 keep-out on");
    lines.DrawClose();
    EXPECT_EQ(UndoSummaryText(s), " 2- Line 2"); // the second record
    EXPECT_EQ(s.dyn.UndoCount, 2);
    ASSERT_TRUE(UndoButtonClick(s));
    EXPECT_TRUE(s.overlay.Item[2].KeepOut) << "the change's undo leaves the flag";
    ASSERT_TRUE(UndoButtonClick(s));
    EXPECT_EQ(LineItemValues(s.overlay.Item[2]), drawn);
    ASSERT_TRUE(PopRedo(s));
    EXPECT_TRUE(s.overlay.Item[2].KeepOut);
    EXPECT_EQ(UndoSummaryText(s), " 1- Line 2 keep-out on");
}
