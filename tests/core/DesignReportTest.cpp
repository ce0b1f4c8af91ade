// The design report as a document: its title block, the 44 dimensions as the
// dialogs show them, the pictures as the command line draws them; the design
// is not changed. (Every cell of the valve events table: DesignReportCliTest.)
#include "drawing/DesignReport.h"
#include "drawing/DiagramPictures.h"
#include "drawing/EnginePictures.h"
#include "drawing/MainPicture.h"
#include "model/DesignEdit.h"
#include "model/EngineData.h"
#include "model/Model.h"
#include "model/NumberText.h"
#include "model/ProgramVersion.h"

#include <gtest/gtest.h>

namespace {
AppState Started()
{
    AppState s;
    StartupModel(s);
    return s;
}
} // namespace

TEST(DesignReport, TitleBlockAndDimensionsAsTheDialogsShowThem)
{
    AppState s = Started();
    s.display.DataSetName = "Bench 4";
    s.gear.Unit = LengthUnit::Millimetre;
    SetDimension(s.gear, 2, 3.14159f);
    FixedClock clock;
    const ReportDocument doc = DesignReportOf(s, clock);
    const std::vector<std::pair<std::string, std::string>> fields = {
        {"Data set", "Bench 4"}, {"Date", "08/12/2026"}, {"Version", kProgramVersion}, {"Lengths in", "mm"}};
    EXPECT_EQ(doc.fields, fields);
    std::vector<std::string> titles;
    for (const ReportSection& sec : doc.sections) titles.push_back(sec.title);
    EXPECT_EQ(titles,
              (std::vector<std::string>{"Dimensions", "Design check", "Valve events", "Parts to make", "Pictures"}));
    EXPECT_EQ(DesignReportFileStem(s), "Bench 4-report");

    const ReportSection dims = DimensionsSection(s);
    ASSERT_EQ(dims.blocks.size(), 3u);
    EXPECT_NE(dims.blocks[0].text.find("lengths in mm"), std::string::npos);
    const ReportTable& frame = dims.blocks[1].table;
    const ReportTable& cylinder = dims.blocks[2].table;
    ASSERT_EQ(frame.rows.size() + cylinder.rows.size(), 44u);
    EXPECT_EQ(frame.header, (std::vector<std::string>{"Code", "Dimension", "Identifier", "Value"}));
    struct Row {
        std::size_t at;
        bool cyl;
        std::vector<std::string> cells;
    };
    for (const Row& r : {Row{0, false, {"1", "Crank Disk Dia", "CrankDiskDia", "8.625"}},
                         Row{1, false, {"2", "Stroke", "Stroke", "3.142"}},
                         Row{15, false, {"16", "Rocker Upper Vert", "RockerUpperVert", "-1.292"}},
                         Row{21, false, {"22", "Rev Arm to Cent Max", "RevArmMax", "1.300"}},
                         Row{0, true, {"101", "Cyl ctr to Driver ctr", "CylCtrToDriverCtr", "21.000"}},
                         Row{1, true, {"102", "** NOT USED **", "CylClAboveDriver", "0.000"}}})
        EXPECT_EQ((r.cyl ? cylinder : frame).rows.at(r.at), r.cells);
    // Every row: the code's label, identifier and field text.
    for (const ReportTable* t : {&frame, &cylinder})
        for (const auto& row : t->rows) {
            const int code = std::stoi(row[0]);
            EXPECT_EQ(row[2], DimensionName(code));
            std::string field = FormatFixed(GetDimension(s.gear, code), 5, 3);
            field.erase(0, field.find_first_not_of(' '));
            EXPECT_EQ(row[3], field);
        }
}

TEST(DesignReport, PicturesAreTheCommandLinesOnCopiesOfTheDesign)
{
    AppState s = Started();
    s.gear.RevArmPos = 0.4f;
    s.gear.DriverAngle = 77;
    const AppState before = s;
    const ReportSection sec = PicturesSection(s);
    ASSERT_EQ(sec.blocks.size(), 5u);
    AppState copy = before;
    EXPECT_TRUE(sec.blocks[0].picture.SameAs(MainExportPicture(copy)));
    const DiagramKind kinds[] = {DiagramKind::PortBoth, DiagramKind::Steam, DiagramKind::Oval, DiagramKind::Sine};
    for (int i = 0; i < 4; ++i) {
        AppState c = before;
        EXPECT_TRUE(sec.blocks[static_cast<std::size_t>(i) + 1].picture.SameAs(DiagramPictureOf(c, kinds[i]))) << i;
        EXPECT_EQ(sec.blocks[static_cast<std::size_t>(i) + 1].kind, ReportBlock::Kind::Picture);
    }
    EXPECT_EQ(s.gear.RevArmPos, 0.4f);
    EXPECT_EQ(s.gear.DriverAngle, 77);
    EXPECT_EQ(s.graph.GraphPosCount, before.graph.GraphPosCount);
}

// A design with engine data gets the engine's page last: its values as the
// Engine Data window shows them, the indicator panes of three notches and the
// map as the indicator window draws them; the pages before it are the ones a
// design without engine data gets (but for the check's engine rules), and that
// design gets no more.
TEST(DesignReport, TheEnginePageOnlyForADesignWithEngineData)
{
    AppState s = Started();
    FixedClock clock;
    const ReportDocument without = DesignReportOf(s, clock);
    ASSERT_EQ(without.sections.size(), 5u); // with the parts to make
    SetDesignEngineValue(s.gear, evChestPressure, 180);
    const ReportDocument with = DesignReportOf(s, clock);
    ASSERT_EQ(with.sections.size(), 6u);
    for (size_t k = 0; k < 5; ++k) {
        // The check judges the engine too when there are engine data.
        if (with.sections[k].title == "Design check") continue;
        ASSERT_EQ(with.sections[k].blocks.size(), without.sections[k].blocks.size());
        for (size_t b = 0; b < with.sections[k].blocks.size(); ++b) {
            EXPECT_EQ(with.sections[k].blocks[b].table.rows, without.sections[k].blocks[b].table.rows);
            EXPECT_TRUE(with.sections[k].blocks[b].picture.SameAs(without.sections[k].blocks[b].picture));
        }
    }

    const ReportSection& e = with.sections[5];
    EXPECT_EQ(e.title, "Engine");
    ASSERT_EQ(e.blocks.size(), 2u + 3u + 1u);
    EXPECT_NE(e.blocks[0].text.find("The design states no unit: its lengths are taken as inches."), std::string::npos);
    const ReportTable& t = e.blocks[1].table;
    ASSERT_EQ(t.rows.size(), static_cast<size_t>(kEngineValueCount));
    EXPECT_EQ(t.rows[evChestPressure], (std::vector<std::string>{"Steam-chest pressure", "180", "psi gauge"}));
    EXPECT_EQ(t.rows[evCylinders], (std::vector<std::string>{"Number of cylinders", "2", ""}));

    const Gear& g = s.gear;
    const std::vector<int> notches = EngineReportNotches();
    for (size_t k = 0; k < notches.size(); ++k) {
        IndicatorRequest r;
        r.notch = notches[k];
        const IndicatorPoint p = RunIndicatorPoint(g, r);
        ASSERT_TRUE(p.real.ok) << p.problem;
        DisplayList pane(kIndicatorPaneWidth, kIndicatorPaneHeight);
        DisplayListCanvas c(pane);
        DrawIndicatorPane(c, p, {}, RoadUnit::Mph);
        EXPECT_TRUE(e.blocks[2 + k].picture.SameAs(pane)) << notches[k];
    }
    DisplayList map(kMapPictureWidth, kMapPictureHeight);
    DisplayListCanvas c(map);
    DrawPerformanceMap(c, kMapPictureWidth, kMapPictureHeight, RunEngineMaps(g, std::nullopt, {}));
    EXPECT_TRUE(e.blocks[5].picture.SameAs(map));
}
