#include "drawing/DesignReport.h"

#include "analysis/PartsList.h"
#include "analysis/SweptEnvelope.h"

#include "analysis/DesignCheck.h"
#include "analysis/ValveEventsTable.h"
#include "drawing/DiagramPictures.h"
#include "drawing/DimensionEdit.h"
#include "drawing/MainPicture.h"
#include "model/DesignEdit.h"
#include "model/Model.h"
#include "model/ProgramVersion.h"

#include <array>

namespace {

// Runs of blanks (which line the dialogs' labels up) as one blank, none at
// either end.
std::string Collapsed(const std::string& text)
{
    std::string out;
    for (char ch : text) {
        if (ch == ' ' && (out.empty() || out.back() == ' ')) continue;
        out += ch;
    }
    while (!out.empty() && out.back() == ' ') out.pop_back();
    return out;
}

ReportTable DimensionTable(const Gear& g, int first, int last)
{
    ReportTable t;
    t.header = {"Code", "Dimension", "Identifier", "Value"};
    t.rightAligned = {true, false, false, true};
    for (int code = first; code <= last; ++code)
        t.rows.push_back({std::to_string(code), Collapsed(DimensionShortLabel(code)), DimensionName(code),
                          Collapsed(DimensionFieldText(g, code))});
    return t;
}

// The columns `columns` of a table of text cells whose first row is the header.
ReportTable Columns(const std::vector<TextRow>& cells, const std::vector<int>& columns)
{
    ReportTable t;
    for (std::size_t r = 0; r < cells.size(); ++r) {
        std::vector<std::string> row;
        for (int c : columns) row.push_back(cells[r].at(static_cast<std::size_t>(c)));
        if (r == 0)
            t.header = std::move(row);
        else
            t.rows.push_back(std::move(row));
    }
    // Numbers right, the direction and the notes left.
    for (int c : columns) t.rightAligned.push_back(c != 0 && c != kValveEventsColumns - 1);
    return t;
}

} // namespace

ReportSection DimensionsSection(const AppState& s)
{
    ReportSection sec;
    sec.title = "Dimensions";
    sec.blocks.push_back(TextBlock(std::string("The 44 dimensions of the design as the dimension dialogs show them; "
                                               "lengths in ") +
                                   LengthUnitText(s.gear.Unit) + ", the eccentric angle in degrees."));
    sec.blocks.push_back(TableBlock("Frame dimensions", DimensionTable(s.gear, 1, 22)));
    sec.blocks.push_back(TableBlock("Cylinder dimensions", DimensionTable(s.gear, 101, 122)));
    return sec;
}

ReportSection ValveEventsSection(const AppState& s)
{
    const std::vector<TextRow> cells = ValveEventsTextOf(s.gear);
    ReportSection sec;
    sec.title = "Valve events";
    sec.blocks.push_back(TextBlock(
        "The valve events of every notch of the port graph, running forward and in reverse: one turn of the driver "
        "from angle 0, measured a degree at a time and refined. An empty cell is an event that does not happen."));
    // Direction, notch and reverse arm; leads; largest openings, travel and notes.
    std::vector<int> leads = {0, 1, 2, 3, 4};
    for (int c = kValveEventsColumns - 4; c < kValveEventsColumns; ++c) leads.push_back(c);
    std::vector<int> front = {0, 1}, rear = {0, 1};
    const int perEnd = 2 * kValveEventKinds;
    for (int c = 0; c < perEnd; ++c) {
        front.push_back(5 + c);
        rear.push_back(5 + perEnd + c);
    }
    sec.blocks.push_back(TableBlock("Leads, largest openings and valve travel", Columns(cells, leads)));
    sec.blocks.push_back(TableBlock("Events of the front end", Columns(cells, front)));
    sec.blocks.push_back(TableBlock("Events of the rear end", Columns(cells, rear)));
    return sec;
}

ReportSection DesignCheckSection(const AppState& s)
{
    const DesignCheckResult r = CheckDesignWithClearance(s, DefaultCheckLimits(s.gear.Unit));
    ReportSection sec;
    sec.title = "Design check";
    sec.blocks.push_back(TextBlock(std::string("The rules of good practice with their default limits, judged on the "
                                               "valve events table: ") +
                                   (r.Passed() ? "the design passes every rule." : "the design fails some rules.")));
    ReportTable t;
    t.header = {"Rule", "Direction", "Value", "Limit", "Unit", "Result", "Worst at"};
    t.rightAligned = {false, false, true, true, false, false, false};
    for (const CheckLine& l : r.lines)
        t.rows.push_back({CheckRuleCaption(l.rule), CheckDirectionWord(l.direction), CheckValueText(l),
                          CheckLimitText(l), CheckRuleUnit(l.rule), l.pass ? "PASS" : "FAIL", l.where});
    sec.blocks.push_back(TableBlock("Rules", std::move(t)));
    return sec;
}

ReportSection PartsSection(const AppState& s)
{
    ReportSection sec;
    sec.title = "Parts to make";
    const bool inches = s.gear.Unit == LengthUnit::Inch;
    sec.blocks.push_back(TextBlock(
        std::string("Measured on the gear at driver angle 0, reverse arm at mid gear. A link of more than two pins "
                    "gives the place of each further pin from its first pin, along the line to its second pin and "
                    "across it (to the left, looking along). Fixed pivots from the driver centre, x towards the "
                    "cylinder, y up. Lengths in ") +
        LengthUnitText(s.gear.Unit) + (inches ? ", also to the nearest 1/64 in." : ".")));
    std::vector<std::vector<std::string>> cells = PartsListCells(BuildPartsList(s.gear), s.gear.Unit);
    ReportTable t;
    t.header = cells.front();
    t.rightAligned = {false, false, true, true};
    t.rightAligned.resize(t.header.size());
    t.rows.assign(cells.begin() + 1, cells.end());
    sec.blocks.push_back(TableBlock("Parts", std::move(t)));
    return sec;
}

ReportSection PicturesSection(const AppState& s)
{
    ReportSection sec;
    sec.title = "Pictures";
    {
        AppState copy = s;
        sec.blocks.push_back(
            PictureBlock("The gear at driver angle 0, reverse arm at mid gear", MainExportPicture(copy)));
    }
    struct Diagram {
        const char* caption;
        DiagramKind kind;
    };
    static const std::array<Diagram, 4> kDiagrams{{{"Port graph, forward and reverse", DiagramKind::PortBoth},
                                                   {"Steam diagram", DiagramKind::Steam},
                                                   {"Oval diagram", DiagramKind::Oval},
                                                   {"Sine diagram", DiagramKind::Sine}}};
    for (const Diagram& d : kDiagrams) {
        AppState copy = s;
        sec.blocks.push_back(PictureBlock(d.caption, DiagramPictureOf(copy, d.kind)));
    }
    return sec;
}

const std::vector<ReportSectionFunction>& DesignReportSections()
{
    static const std::vector<ReportSectionFunction> sections = {DimensionsSection, DesignCheckSection,
                                                                ValveEventsSection, PartsSection, PicturesSection};
    return sections;
}

std::vector<std::pair<std::string, std::string>> DesignReportFields(const AppState& s, ClockSource& clock)
{
    return {{"Data set", s.display.DataSetName},
            {"Date", clock.ShortDate()},
            {"Version", kProgramVersion},
            {"Lengths in", LengthUnitText(s.gear.Unit)}};
}

ReportDocument DesignReportOf(const AppState& s, ClockSource& clock)
{
    ReportDocument doc;
    doc.title = "QUELF Outside Admission: design report";
    doc.fields = DesignReportFields(s, clock);
    for (ReportSectionFunction section : DesignReportSections()) doc.sections.push_back(section(s));
    if (s.gear.HasEngine) doc.sections.push_back(EngineSection(s));
    return doc;
}

std::string DesignReportFileStem(const AppState& s) { return PictureFileStem(s.display.DataSetName, "report"); }
