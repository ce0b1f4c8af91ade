// The pivot data table.
#include "drawing/DataTableBuilder.h"
#include "model/Model.h"
#include "model/NumberText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

AppState Started()
{
    AppState s;
    StartupModel(s);
    return s;
}

// The six column pairs of a data line: (vert, horz) texts.
std::vector<std::pair<std::string, std::string>> Columns(const std::string& line)
{
    std::vector<std::pair<std::string, std::string>> out;
    size_t pos = 7;
    for (int k = 1; k <= 6; ++k) {
        const size_t w = k == 1 ? 7 : 9;
        EXPECT_EQ(line.substr(pos, 3), "   ");
        const std::string v = line.substr(pos + 3, w);
        EXPECT_EQ(line.substr(pos + 3 + w, 2), "  ");
        const std::string h = line.substr(pos + 5 + w, 7);
        out.emplace_back(v, h);
        pos += 12 + w;
    }
    EXPECT_EQ(pos, line.size());
    return out;
}

} // namespace

TEST(DataTable, StepTenListsThirtySevenAnglesUnderTheHeader)
{
    AppState s = Started();
    s.display.DataSetName = "Test.vgw";
    s.anim.SelectedStep = 10;
    s.gear.DriverAngle = 123.5f;
    s.anim.ActiveStep = 10;
    s.pivots.PivotOfSlot[1] = 2;
    s.pivots.PivotOfSlot[2] = 3;
    s.pivots.PivotOfSlot[6] = 16;
    const auto lines = BuildDataTable(s, "08/12/2026", "12:00");
    ASSERT_EQ(lines.size(), 4u + 37u);
    EXPECT_EQ(lines[0], "Pivot Data   Test.vgw     08/12/2026   12:00");
    EXPECT_EQ(lines[1], "       Reverse Arm " + FormatFixed10(s.gear.RevArmPos, 7, 3) + "      Step Angle  10.000");
    EXPECT_EQ(lines[2], "  Driver         No.1                   No.2                   No.3                  No.4"
                        "                   No.5                  No.6");
    EXPECT_EQ(lines[3], "  Angle     Vert   Horz         Vert   Horz          Vert   Horz         Vert   Horz"
                        "          Vert   Horz         Vert   Horz");
    for (int i = 0; i <= 36; ++i) {
        const std::string& line = lines[4 + static_cast<size_t>(i)];
        EXPECT_EQ(line.substr(0, 7), FormatFixed(10.0 * i, 7, 2));
        EXPECT_EQ(line.size(), 7u + 19u + 5u * 21u);
    }
    EXPECT_EQ(lines[4].substr(0, 7), "   0.00");
    EXPECT_EQ(lines.back().substr(0, 7), " 360.00");

    // Each line is the solve at its angle; a slot never assigned is point 0.
    AppState t = Started();
    t.gear.DriverAngle = 70;
    SolveLinkage(t.gear);
    const auto cols = Columns(lines[4 + 7]);
    EXPECT_EQ(cols[0].first, FormatFixed10(t.gear.PointY[2], 7, 3));
    EXPECT_EQ(cols[0].second, FormatFixed10(t.gear.PointX[2], 7, 3));
    EXPECT_EQ(cols[1].second, FormatFixed10(t.gear.PointX[3], 7, 3));
    EXPECT_EQ(cols[5].first, FormatFixed10(t.gear.PointY[16], 9, 3));
    EXPECT_EQ(cols[2].first, "    0.000");
    EXPECT_EQ(cols[2].second, "  0.000");

    // The angle and the running state are as before.
    EXPECT_EQ(s.gear.DriverAngle, 123.5f);
    EXPECT_EQ(s.anim.ActiveStep, 10.0f);
}

TEST(DataTable, SamePivotInEverySlotGivesEqualColumnsAndANewArmPositionANewTable)
{
    AppState s = Started();
    for (int k = 1; k <= 6; ++k) s.pivots.PivotOfSlot[k] = 17;
    s.anim.SelectedStep = 45;
    const auto first = BuildDataTable(s, "d", "t");
    ASSERT_EQ(first.size(), 4u + 9u);
    for (size_t i = 4; i < first.size(); ++i) {
        const auto cols = Columns(first[i]);
        for (int k = 1; k < 6; ++k) {
            EXPECT_EQ(cols[static_cast<size_t>(k)].second, cols[0].second);
            EXPECT_EQ(cols[static_cast<size_t>(k)].first, "  " + cols[0].first);
        }
    }
    s.gear.RevArmPos = s.gear.RevArmCentre() + 1;
    const auto second = BuildDataTable(s, "d", "t");
    EXPECT_NE(second[1], first[1]);
    EXPECT_NE(second[5], first[5]);
    EXPECT_EQ(s.gear.RevArmPos, s.gear.RevArmCentre() + 1);
}

TEST(DataTable, SmallStepsListEveryAngleUpTo360)
{
    EXPECT_EQ(DataTableLineCount(10), 37);
    EXPECT_EQ(DataTableLineCount(45), 9);
    EXPECT_EQ(DataTableLineCount(0.3f), 1201);
    EXPECT_EQ(DataTableLineCount(0.1f), 3601);
    EXPECT_EQ(DataTableLineCount(0.07f), 5143);
    EXPECT_EQ(DataTableLineCount(0.01f), 36001);
    // Steps the controls cannot give stay bounded.
    EXPECT_EQ(DataTableLineCount(0.0001f), 36001);
    EXPECT_EQ(DataTableLineCount(0), 1);
    EXPECT_EQ(DataTableLineCount(-5), 1);
    EXPECT_EQ(DataTableLineCount(std::numeric_limits<float>::quiet_NaN()), 1);

    AppState s = Started();
    s.anim.SelectedStep = 0.01f;
    s.gear.DriverAngle = 271.25f;
    s.anim.ActiveStep = 0.01f;
    s.pivots.PivotOfSlot[1] = 1e30f; // a foreign value reads as point 0
    const auto lines = BuildDataTable(s, "d", "t");
    ASSERT_EQ(lines.size(), 4u + 36001u);
    EXPECT_EQ(lines[4 + 1].substr(0, 7), "   0.01");
    EXPECT_EQ(lines[4 + 12345].substr(0, 7), " 123.45");
    EXPECT_EQ(lines[4 + 35999].substr(0, 7), " 359.99");
    EXPECT_EQ(lines.back().substr(0, 7), " 360.00");
    EXPECT_EQ(Columns(lines[100])[0].first, "  0.000");
    EXPECT_EQ(s.gear.DriverAngle, 271.25f);
    EXPECT_EQ(s.anim.ActiveStep, 0.01f);

    const std::string text = JoinLines(lines);
    EXPECT_EQ(static_cast<size_t>(std::count(text.begin(), text.end(), '\n')), lines.size() - 1);
    EXPECT_EQ(text.substr(0, lines[0].size() + 1), lines[0] + "\n");
}

TEST(DataTable, NumberTextsMatchTheGeneralFormatter)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    const float cases[] = {0.0f,    -0.0f,     0.0625f,   -0.0625f,   0.0005f,     -0.0004f,    0.125f, 2.5f,
                           1.0005f, -13.3755f, 999.9995f, 12345.678f, -1234567.0f, 99999999.0f, 1e9f,   -3e12f,
                           nan,     inf,       -inf,      1e38f,      360.0f,      359.99f,     0.01f};
    for (float v : cases) {
        for (int w : {7, 9}) {
            EXPECT_EQ(TableNumber(v, w, 3), FormatFixed10(v, w, 3)) << v;
            EXPECT_EQ(TableNumber(v, w, 2), FormatFixed10(v, w, 2)) << v;
        }
    }
    // A sweep over many ordinary values, ties included.
    for (int i = -200000; i <= 200000; i += 7) {
        const float v = static_cast<float>(i) / 1024.0f;
        ASSERT_EQ(TableNumber(v, 7, 3), FormatFixed10(v, 7, 3)) << v;
        const float u = static_cast<float>(i) * 0.00731f;
        ASSERT_EQ(TableNumber(u, 7, 2), FormatFixed10(u, 7, 2)) << u;
    }
}
