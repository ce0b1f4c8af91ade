#include "analysis/ValveEvents.h"
#include "analysis/BalanceText.h"
#include "analysis/ValveEventsTable.h"

#include "DiagramTestUtil.h"
#include "drawing/PortDiagram.h"
#include "model/NumberText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

float PercentAt(Gear g, int end, float angle)
{
    g.DriverAngle = angle;
    ComputePistonAndOpenings(g);
    return end == endFront ? g.PistonPx / 6.4f : (640 - g.PistonPx) / 6.4f;
}

const ValveEvent& Ev(const NotchEvents& e, int end, int kind) { return e.event[size_t(end)][size_t(kind)]; }

// An RFC 4180 reader written apart from the writer: a state machine.
std::vector<TextRow> ParseCsv(const std::string& t)
{
    std::vector<TextRow> rows(1, TextRow(1));
    bool quoted = false;
    for (size_t i = 0; i < t.size(); ++i) {
        std::string& f = rows.back().back();
        if (quoted && t[i] == '"') {
            if (i + 1 < t.size() && t[i + 1] == '"')
                f += t[++i];
            else
                quoted = false;
        } else if (quoted || (t[i] != '"' && t[i] != ',' && t[i] != '\r')) {
            f += t[i];
        } else if (t[i] == '"') {
            quoted = true;
        } else if (t[i] == ',') {
            rows.back().emplace_back();
        } else if (t.compare(i, 2, "\r\n") == 0) {
            rows.emplace_back(1);
            ++i;
        } else {
            ADD_FAILURE() << "bare CR at " << i;
        }
    }
    EXPECT_EQ(rows.back(), TextRow(1)) << "last record not ended by CR LF";
    rows.pop_back();
    return rows;
}

} // namespace

// Every event line the port graph draws for the default design ends where the
// table puts that event, within what the graph's 4-degree sampling can miss.
TEST(ValveEvents, AgreeWithThePortGraph)
{
    AppState s = StartedState();
    const std::vector<ValveEventsRow> table = BuildValveEventsTable(s.gear);
    ASSERT_EQ(table.size(), 40u);
    for (const char mode : {'F', 'R'}) {
        s.graph.PortGraphMode = mode;
        RecordingCanvas c;
        DrawPortDiagram(c, s);
        const size_t first = mode == 'F' ? 0 : 20;
        if (mode == 'F') {
            // The annotation names the front events of row 13 ("Exp" after
            // the cut-off, "Exh" before the release, "Com" after the compression).
            for (auto [text, dx, kind] :
                 {std::tuple{"Exp", -10, veCutOff}, {"Exh", 190, veRelease}, {"Com", 25, veCompression}}) {
                const CanvasOp* op = c.FindText(text);
                ASSERT_NE(op, nullptr) << text;
                EXPECT_NEAR((op->x1 + dx - 9) / 5.4f, Ev(table[13].events, endFront, kind).percent, 0.6f) << text;
            }
        }
        for (int row = 1; row < kGraphNotches; ++row) {
            const NotchEvents& e = table[first + size_t(row < 14 ? row : row + 1)].events;
            EXPECT_FALSE(e.repeated || e.clamped);
            for (int end = 0; end < kCylinderEnds; ++end) {
                const Colour col =
                    end == endFront ? (mode == 'F' ? clTeal : clGreen) : (mode == 'F' ? clRed : clMaroon);
                std::vector<float> drawn; // the graph's percent at the line ends of this row
                for (const CanvasOp& op : LinesOfColour(c, col))
                    if (op.y2 == 343 - 16 * row) drawn.push_back((op.x2 - 9) / 5.4f);
                ASSERT_EQ(drawn.size(), 4u) << mode << row << end;
                for (int kind = 0; kind < kValveEventKinds; ++kind) {
                    const ValveEvent& v = Ev(e, end, kind);
                    const float tol = std::max(std::fabs(PercentAt(s.gear, end, v.angle - 4) - v.percent),
                                               std::fabs(PercentAt(s.gear, end, v.angle + 4) - v.percent)) +
                                      0.2f;
                    const auto near = std::min_element(drawn.begin(), drawn.end(), [&](float a, float b) {
                        return std::fabs(a - v.percent) < std::fabs(b - v.percent);
                    });
                    EXPECT_NEAR(*near, v.percent, tol) << mode << row << end << kind;
                    drawn.erase(near);
                }
            }
        }
    }
}

TEST(ValveEvents, LeadsAndSymmetries)
{
    const Gear g0 = StartedState().gear;
    const NotchEvents fwd = MeasureNotch(g0, g0.RevArmCentre(), Running::Forward);
    const NotchEvents rev = MeasureNotch(g0, g0.RevArmCentre(), Running::Reverse);
    EXPECT_NEAR(fwd.leadFront, 0.024f, 0.0005f);
    EXPECT_EQ(MidGearLeads(g0).leadFront, fwd.leadFront);
    EXPECT_EQ(MidGearLeads(g0).leadRear, fwd.leadRear);
    // Turning the other way, a port opens where it closed and closes where it opened.
    for (int end = 0; end < kCylinderEnds; ++end)
        for (int kind = 0; kind < kValveEventKinds; ++kind) {
            EXPECT_NEAR(Ev(fwd, end, kind).angle, Ev(rev, end, kind ^ 1).angle, 1e-3f);
            EXPECT_NEAR(Ev(fwd, end, kind).percent, Ev(rev, end, kind ^ 1).percent, 1e-3f);
        }

    // Equal ends, a valve centred on its travel and an all but harmonic motion
    // (a very long main rod, a small eccentric with laps to match): each rear
    // event is the front one half a turn later, at the same percent of its stroke.
    Gear g = g0;
    g.MainRodLength = 1e4f;
    g.EccCircleDiam *= 0.01f;
    const float h = g.Cyl(ciExhaustPortWidth) / 2;
    for (auto [len, cav, bridge, port] :
         {std::array{ciValveLengthFrontHalf, ciValveExhCavityFrontHalf, ciBridgeWidthFront, ciSteamPortWidthFront},
          std::array{ciValveLengthRearHalf, ciValveExhCavityRearHalf, ciBridgeWidthRear, ciSteamPortWidthRear}}) {
        g.Cyl(len) = h + g.Cyl(bridge) + g.Cyl(port) + 0.00185f;
        g.Cyl(cav) = h + g.Cyl(bridge) - 0.00025f;
    }
    RecomputeRevArmCentre(g);
    Gear t = g;
    t.RevArmPos = g.RevArmCentre();
    float lo = 1e9f, hi = -1e9f;
    for (t.DriverAngle = 0; t.DriverAngle < 360; t.DriverAngle += 0.1f) {
        SolveLinkage(t);
        lo = std::min(lo, t.PointX[4]);
        hi = std::max(hi, t.PointX[4]);
    }
    g.Cyl(ciValveCtrToJoint) = g.Cyl(ciCylCtrToDriverCtr) - (lo + hi) / 2;
    const NotchEvents m = MeasureNotch(g, g.RevArmCentre(), Running::Forward);
    EXPECT_NEAR(m.leadFront, m.leadRear, 2e-5f);
    for (int kind = 0; kind < kValveEventKinds; ++kind) {
        ASSERT_TRUE(Ev(m, endFront, kind).occurs && Ev(m, endRear, kind).occurs);
        EXPECT_NEAR(Ev(m, endFront, kind).percent, Ev(m, endRear, kind).percent, 0.2f) << kind;
        EXPECT_NEAR(std::fmod(Ev(m, endFront, kind).angle + 180, 360.0f), Ev(m, endRear, kind).angle, 0.3f) << kind;
    }
}

TEST(ValveEvents, MissingAndRepeatedEventsAndClamps)
{
    const Gear g0 = StartedState().gear;
    // A front steam lap wider than the half travel at mid gear: the front port
    // never takes steam there, and its lead is blind.
    Gear lapped = g0;
    lapped.Cyl(ciValveLengthFrontHalf) += 0.1f;
    const NotchEvents e = MeasureNotch(lapped, lapped.RevArmCentre(), Running::Forward);
    EXPECT_FALSE(Ev(e, endFront, veAdmission).occurs || Ev(e, endFront, veCutOff).occurs);
    const TextRow cells = ValveEventsCells({0, e});
    ASSERT_EQ(cells.size(), size_t(kValveEventsColumns));
    for (size_t c = 0; c < cells.size(); ++c) EXPECT_EQ(cells[c].empty(), (c >= 5 && c <= 8) || c == 24) << c;
    EXPECT_EQ(cells[3], DecimalText(e.leadFront, 4));
    EXPECT_EQ(cells[3][0], '-');

    // A valve travel with a double hump: the rear steam port opens twice a
    // turn; the first opening from angle 0 in the direction of running counts.
    Gear humped = g0;
    humped.EccCircleDiam = 3.44f;
    humped.RockerUpperHorz = 1.29f;
    humped.EccStrapHorz = 0.365f;
    humped.EccRodLength = 8.6f;
    humped.Cyl(ciValveLengthRearHalf) = 2.4635f;
    RecomputeRevArmCentre(humped);
    const NotchEvents hf = MeasureNotch(humped, humped.RevArmCentre(), Running::Forward);
    const NotchEvents hr = MeasureNotch(humped, humped.RevArmCentre(), Running::Reverse);
    ASSERT_TRUE(hf.repeated && hr.repeated && !hf.clamped);
    EXPECT_GT(Ev(hf, endRear, veAdmission).angle, 0);
    EXPECT_LT(Ev(hf, endRear, veAdmission).angle, 22);
    EXPECT_GT(Ev(hr, endRear, veAdmission).angle, 335);
    EXPECT_EQ(ValveEventsCells({0, hf})[24], kNoteRepeated);

    // A reverse head of no length makes the solver clamp; the row says so.
    Gear broken = g0;
    broken.RevHeadArmLower = 0;
    const TextRow b = ValveEventsCells({kNormalNotch, MeasureNotch(broken, 0, Running::Reverse)});
    EXPECT_EQ(b[0] + b[1], std::string("Reverse") + kNormalNotchText);
    EXPECT_NE(b[24].find(kNoteClamped), std::string::npos);
}

TEST(ValveEvents, TableOrderNumbersAndCsvRoundTrip)
{
    const Gear g = StartedState().gear;
    const std::vector<ValveEventsRow> rows = BuildValveEventsTable(g);
    // Notches 0..18 outwards, the normal notch (1 of a maximum of 1.3) after 13.
    for (size_t i = 0; i < rows.size(); ++i) {
        const int k = int(i % 20);
        EXPECT_EQ(rows[i].notch, k < 14 ? k : (k == 14 ? kNormalNotch : k - 1));
        EXPECT_EQ(rows[i].events.running, i < 20 ? Running::Forward : Running::Reverse);
    }
    EXPECT_FLOAT_EQ(rows[34].events.revArmPos, g.RevArmCentre() - g.RevArmNormal);
    EXPECT_FLOAT_EQ(rows[19].events.revArmPos, g.RevArmCentre() + g.RevArmMax);

    EXPECT_EQ(DecimalText(0.125f, 2) + DecimalText(-0.00001f, 4) + DecimalText(-12.5, 2), "0.120.0000-12.50");
    EXPECT_EQ(DecimalText(NAN, 2) + DecimalText(INFINITY, 4), "");
    const std::vector<TextRow> tricky = {{"a,b", "say \"hi\"", "", "two\nlines"}, {"1.50", "x\r\ny", "\"", ","}};
    EXPECT_EQ(ParseCsv(CsvText(tricky)), tricky);
    EXPECT_EQ(TabSeparatedText({{"a\tb", "c"}, {"d", ""}}), "\"a\tb\"\tc\nd\t\n");

    const std::vector<TextRow> text = ValveEventsText(rows);
    ASSERT_EQ(ParseCsv(CsvText(text)), text);
    EXPECT_EQ(text[0][0] + text[0][5] + text[0][24], "DirectionFront admission (% stroke)Notes");
    for (size_t r = 1; r < text.size(); ++r)
        for (size_t c = 2; c < 24; ++c) {
            const std::string& f = text[r][c];
            EXPECT_EQ(f.size() - f.find('.') - 1, (c <= 4 || c >= 21) ? 4u : 2u) << r << "," << c << " " << f;
        }
}

// An event angle is written within 0 <= a < 360 after its rounding, in the
// table (grid, CSV, copy) and in the balance rows alike.
TEST(ValveEvents, AnglesStayBelowAWholeTurnAfterRounding)
{
    const std::pair<float, const char*> cases[] = {
        {359.997f, "0.00"}, {359.995f, "359.99"}, {359.994f, "359.99"}, {0.0f, "0.00"},
        {0.004f, "0.00"},   {0.005f, "0.00"},     {180.125f, "180.12"}, {360.0f, "0.00"},
        {-0.004f, "0.00"},  {-0.01f, "359.99"},   {719.999f, "0.00"},   {27.795f, "27.80"},
    };
    for (const auto& [angle, text] : cases) {
        EXPECT_EQ(EventAngleText(angle), text) << angle;
        ValveEventsRow row;
        row.events.event[endFront][veAdmission] = {true, angle, 99.99f};
        row.events.event[endRear][veCutOff] = {true, angle, 50.0f};
        const TextRow cells = ValveEventsCells(row);
        EXPECT_EQ(cells[6], text);  // Front admission (deg)
        EXPECT_EQ(cells[16], text); // Rear cut-off (deg)
        BalanceResult r;
        r.outcome = BalanceOutcome::NoSolution;
        TargetEvents& before = r.before.emplace_back();
        before.target = BalanceTarget::CutOffForward;
        before.differences = 1;
        before.notch[0].event[endFront][veCutOff] = {true, angle, 25.0f};
        const std::vector<TextRow> rows = BalanceRows(Gear{}, {{BalanceTarget::CutOffForward, 10, 9, 11}}, r);
        ASSERT_EQ(rows[2][0], "Forward front cut-off (deg)");
        EXPECT_EQ(rows[2][1], text);
    }
}
