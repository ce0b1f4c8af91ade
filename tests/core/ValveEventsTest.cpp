#include "analysis/ValveEvents.h"
#include "analysis/ValveEventsTable.h"

#include "DiagramTestUtil.h"
#include "files/TextTable.h"
#include "graphs/PortDiagram.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

float PercentAt(int end, float angle)
{
    AppState s = StartedState();
    s.gear.DriverAngle = angle;
    ComputePistonAndOpenings(s.gear);
    return end == endFront ? s.gear.PistonPx / 6.4f : (640 - s.gear.PistonPx) / 6.4f;
}

const ValveEvent& Event(const NotchEvents& e, int end, int kind)
{
    return e.event[static_cast<size_t>(end)][static_cast<size_t>(kind)];
}

// A plain RFC 4180 reader, written apart from the writer: a state machine
// over the characters.
std::vector<TextRow> ParseCsv(const std::string& text)
{
    std::vector<TextRow> rows;
    TextRow row;
    std::string field;
    bool quoted = false, wasQuoted = false;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
                field += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == '"') {
            EXPECT_TRUE(field.empty() && !wasQuoted) << "quote inside a bare field";
            quoted = wasQuoted = true;
        } else if (c == ',') {
            row.push_back(field);
            field.clear();
            wasQuoted = false;
        } else if (c == '\r') {
            EXPECT_TRUE(i + 1 < text.size() && text[i + 1] == '\n') << "CR without LF";
        } else if (c == '\n') {
            EXPECT_TRUE(i > 0 && text[i - 1] == '\r') << "LF without CR";
            row.push_back(field);
            rows.push_back(row);
            row.clear();
            field.clear();
            wasQuoted = false;
        } else {
            field += c;
        }
    }
    EXPECT_TRUE(field.empty() && row.empty()) << "last record not ended";
    return rows;
}

} // namespace

// Every event line the port graph draws for the default design ends where the
// table puts that event, within the error of the graph's 4-degree sampling.
TEST(ValveEvents, AgreeWithThePortGraph)
{
    AppState s = StartedState();
    const std::vector<ValveEventsRow> table = BuildValveEventsTable(s.gear);
    ASSERT_EQ(table.size(), 40u);
    for (const char mode : {'F', 'R'}) {
        const Running running = mode == 'F' ? Running::Forward : Running::Reverse;
        s.graph.PortGraphMode = mode;
        RecordingCanvas c;
        DrawPortDiagram(c, s);
        if (mode == 'F') {
            // The forward graph's annotation names the front events of row 13:
            // "Exp" after the cut-off, "Exh" before the release, "Com" after
            // the compression.
            const NotchEvents& e13 = table[13].events;
            ASSERT_EQ(table[13].notch, 13);
            const auto at = [&](const char* text, int dx, int kind) {
                const CanvasOp* op = c.FindText(text);
                ASSERT_NE(op, nullptr) << text;
                EXPECT_NEAR((op->x1 + dx - 9) / 5.4f, Event(e13, endFront, kind).percent, 0.6f) << text;
            };
            at("Exp", -10, veCutOff);
            at("Exh", 190, veRelease);
            at("Com", 25, veCompression);
        }
        for (int row = 1; row < kGraphNotches; ++row) {
            const auto it = std::find_if(table.begin(), table.end(), [&](const ValveEventsRow& r) {
                return r.notch == row && r.events.running == running;
            });
            ASSERT_NE(it, table.end());
            const NotchEvents& e = it->events;
            EXPECT_FALSE(e.repeated || e.clamped);
            for (int end = 0; end < kCylinderEnds; ++end) {
                const Colour colour =
                    end == endFront ? (mode == 'F' ? clTeal : clGreen) : (mode == 'F' ? clRed : clMaroon);
                // The graph's percent at each line end of this row.
                std::vector<float> drawn;
                for (const CanvasOp& op : LinesOfColour(c, colour))
                    if (op.y2 == 343 - 16 * row) drawn.push_back((op.x2 - 9) / 5.4f);
                ASSERT_EQ(drawn.size(), 4u) << mode << " row " << row << " end " << end;
                for (int kind = 0; kind < kValveEventKinds; ++kind) {
                    const ValveEvent& v = Event(e, end, kind);
                    ASSERT_TRUE(v.occurs);
                    // What 4 degrees either side move the piston, and a pixel.
                    const float tol = std::max(std::fabs(PercentAt(end, v.angle - 4) - v.percent),
                                               std::fabs(PercentAt(end, v.angle + 4) - v.percent)) +
                                      0.2f;
                    const auto near = std::min_element(drawn.begin(), drawn.end(), [&](float a, float b) {
                        return std::fabs(a - v.percent) < std::fabs(b - v.percent);
                    });
                    EXPECT_NEAR(*near, v.percent, tol) << mode << " row " << row << " end " << end << " kind " << kind;
                    drawn.erase(near);
                }
            }
        }
    }
}

// Leads at mid gear, the forward and reverse turns at the same notch, and a
// design whose two ends mirror each other.
TEST(ValveEvents, LeadsAndSymmetries)
{
    const AppState s = StartedState();
    const NotchEvents leads = MidGearLeads(s.gear);
    EXPECT_NEAR(leads.leadFront, 0.024f, 0.0005f);
    const NotchEvents fwd = MeasureNotch(s.gear, s.gear.RevArmCentre(), Running::Forward);
    const NotchEvents rev = MeasureNotch(s.gear, s.gear.RevArmCentre(), Running::Reverse);
    EXPECT_EQ(leads.leadFront, fwd.leadFront);
    EXPECT_EQ(leads.leadRear, fwd.leadRear);
    EXPECT_NEAR(fwd.valveTravel, 0.42f, 0.01f);
    // Turning the other way, a port opens where it closed and closes where it
    // opened.
    for (int end = 0; end < kCylinderEnds; ++end)
        for (auto [a, b] : {std::pair{veAdmission, veCutOff},
                            {veCutOff, veAdmission},
                            {veRelease, veCompression},
                            {veCompression, veRelease}}) {
            EXPECT_NEAR(Event(fwd, end, a).angle, Event(rev, end, b).angle, 1e-3f) << end << " " << a;
            EXPECT_NEAR(Event(fwd, end, a).percent, Event(rev, end, b).percent, 1e-3f) << end << " " << a;
        }

    // Equal ends, a valve centred on its travel, an all but harmonic motion
    // (a very long main rod, a small eccentric with laps to match): each rear
    // event is the front one half a turn later, at the same percent of its
    // own stroke.
    Gear g = s.gear;
    const float k = 0.01f;
    g.MainRodLength = 1e4f;
    g.EccCircleDiam *= k;
    const float h = g.Cyl(ciExhaustPortWidth) / 2;
    for (auto [len, cav, bridge, port] :
         {std::array{ciValveLengthFrontHalf, ciValveExhCavityFrontHalf, ciBridgeWidthFront, ciSteamPortWidthFront},
          std::array{ciValveLengthRearHalf, ciValveExhCavityRearHalf, ciBridgeWidthRear, ciSteamPortWidthRear}}) {
        g.Cyl(len) = h + g.Cyl(bridge) + g.Cyl(port) + 0.185f * k;
        g.Cyl(cav) = h + g.Cyl(bridge) - 0.025f * k;
    }
    RecomputeRevArmCentre(g);
    Gear t = g;
    t.RevArmPos = g.RevArmCentre();
    float lo = 1e9f, hi = -1e9f;
    for (int a = 0; a < 3600; ++a) {
        t.DriverAngle = static_cast<float>(a) / 10;
        SolveLinkage(t);
        lo = std::min(lo, t.PointX[4]);
        hi = std::max(hi, t.PointX[4]);
    }
    g.Cyl(ciValveCtrToJoint) = g.Cyl(ciCylCtrToDriverCtr) - (lo + hi) / 2;
    const NotchEvents m = MeasureNotch(g, g.RevArmCentre(), Running::Forward);
    EXPECT_NEAR(m.leadFront, m.leadRear, 2e-5f);
    for (int kind = 0; kind < kValveEventKinds; ++kind) {
        const ValveEvent& f = Event(m, endFront, kind);
        const ValveEvent& r = Event(m, endRear, kind);
        ASSERT_TRUE(f.occurs && r.occurs) << kind;
        EXPECT_NEAR(f.percent, r.percent, 0.2f) << kind;
        EXPECT_NEAR(std::fmod(f.angle + 180, 360.0f), r.angle, 0.3f) << kind;
    }
}

// Events that do not happen, events that happen twice, a solver clamp, and
// the table's cells for them.
TEST(ValveEvents, MissingAndRepeatedEventsAndClamps)
{
    const AppState s = StartedState();
    // A front steam lap wider than the half travel at mid gear: the front
    // steam port never opens there, and its lead is blind.
    Gear lapped = s.gear;
    lapped.Cyl(ciValveLengthFrontHalf) += 0.1f;
    const NotchEvents e = MeasureNotch(lapped, lapped.RevArmCentre(), Running::Forward);
    EXPECT_FALSE(Event(e, endFront, veAdmission).occurs);
    EXPECT_FALSE(Event(e, endFront, veCutOff).occurs);
    EXPECT_TRUE(Event(e, endFront, veRelease).occurs);
    EXPECT_LT(e.leadFront, 0);
    const TextRow cells = ValveEventsCells({0, e});
    ASSERT_EQ(cells.size(), static_cast<size_t>(kValveEventsColumns));
    EXPECT_EQ(ValveEventsHeader().size(), cells.size());
    for (int c = 5; c <= 8; ++c) EXPECT_EQ(cells[static_cast<size_t>(c)], "") << c;
    EXPECT_FALSE(cells[9].empty());
    EXPECT_EQ(cells[3], DecimalText(e.leadFront, 4));
    EXPECT_EQ(cells[3][0], '-');
    EXPECT_EQ(cells[24], "");

    // A valve whose travel has a double hump: the rear steam port opens and
    // closes twice a turn. The first opening counted from angle 0 in the
    // direction of running is the one reported.
    Gear humped = s.gear;
    humped.EccCircleDiam = 3.44f;
    humped.RockerUpperHorz = 1.29f;
    humped.EccStrapHorz = 0.365f;
    humped.EccRodLength = 8.6f;
    humped.Cyl(ciValveLengthRearHalf) = 2.4635f;
    RecomputeRevArmCentre(humped);
    const NotchEvents hf = MeasureNotch(humped, humped.RevArmCentre(), Running::Forward);
    const NotchEvents hr = MeasureNotch(humped, humped.RevArmCentre(), Running::Reverse);
    ASSERT_TRUE(hf.repeated && hr.repeated);
    EXPECT_FALSE(hf.clamped);
    EXPECT_GT(Event(hf, endRear, veAdmission).angle, 0);
    EXPECT_LT(Event(hf, endRear, veAdmission).angle, 22);
    EXPECT_GT(Event(hr, endRear, veAdmission).angle, 335);
    EXPECT_EQ(ValveEventsCells({0, hf})[24], kNoteRepeated);

    // A reverse head of no length makes the solver clamp on every solve; the
    // measurement still completes and says so.
    Gear broken = s.gear;
    broken.RevHeadArmLower = 0;
    const NotchEvents b = MeasureNotch(broken, broken.RevArmCentre(), Running::Reverse);
    EXPECT_TRUE(b.clamped);
    EXPECT_EQ(ValveEventsCells({kNormalNotch, b})[1], kNormalNotchText);
    EXPECT_NE(ValveEventsCells({0, b})[24].find(kNoteClamped), std::string::npos);
}

// The table's layout and its text forms.
TEST(ValveEvents, TableRowsAndCsvRoundTrip)
{
    const AppState s = StartedState();
    const std::vector<ValveEventsRow> rows = BuildValveEventsTable(s.gear);
    // Notches 0..18 outwards with the normal notch after the last one no
    // farther out (13 of 18 for a normal of 1 and a maximum of 1.3).
    for (int d = 0; d < 2; ++d) {
        const Running running = d == 0 ? Running::Forward : Running::Reverse;
        for (int i = 0; i < 20; ++i) {
            const ValveEventsRow& r = rows[static_cast<size_t>(20 * d + i)];
            EXPECT_EQ(r.events.running, running);
            const int notch = i < 14 ? i : (i == 14 ? kNormalNotch : i - 1);
            EXPECT_EQ(r.notch, notch);
            EXPECT_EQ(r.events.revArmPos, notch == kNormalNotch ? NormalNotchPosition(s.gear, running)
                                                                : NotchPosition(s.gear, notch, running));
        }
    }
    EXPECT_FLOAT_EQ(rows[14].events.revArmPos, s.gear.RevArmCentre() + s.gear.RevArmNormal);

    // Numbers: fixed decimals, "." always, no negative zero, nothing for a
    // value that is not a number.
    EXPECT_EQ(DecimalText(0.125f, 2), "0.12"); // ties to even, as printf
    EXPECT_EQ(DecimalText(-0.00001f, 4), "0.0000");
    EXPECT_EQ(DecimalText(-12.5, 2), "-12.50");
    EXPECT_EQ(DecimalText(NAN, 2), "");
    EXPECT_EQ(DecimalText(INFINITY, 4), "");

    // Text with separators, quotes and line breaks survives a CSV reader.
    const std::vector<TextRow> tricky = {{"a,b", "say \"hi\"", "", "two\nlines"}, {"1.50", "x\r\ny", "\"", ","}};
    EXPECT_EQ(ParseCsv(CsvText(tricky)), tricky);
    EXPECT_EQ(TabSeparatedText({{"a\tb", "c"}, {"d", ""}}), "\"a\tb\"\tc\nd\t\n");

    const std::vector<TextRow> text = ValveEventsText(rows);
    const std::string csv = CsvText(text);
    const std::vector<TextRow> back = ParseCsv(csv);
    ASSERT_EQ(back, text);
    ASSERT_EQ(back.size(), 41u);
    EXPECT_EQ(back[0][0], "Direction");
    EXPECT_EQ(back[0][24], "Notes");
    for (size_t r = 1; r < back.size(); ++r) {
        ASSERT_EQ(back[r].size(), static_cast<size_t>(kValveEventsColumns));
        for (size_t c = 2; c < 24; ++c) {
            const std::string& f = back[r][c];
            const size_t dot = f.find('.');
            ASSERT_NE(dot, std::string::npos) << r << "," << c << " " << f;
            EXPECT_EQ(f.size() - dot - 1, (c <= 4 || c >= 21) ? 4u : 2u) << r << "," << c << " " << f;
        }
    }
}
