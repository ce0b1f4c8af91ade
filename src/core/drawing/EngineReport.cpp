// The design report's page of the engine (DesignReport.h, EngineSection).
#include "analysis/EngineStudy.h"
#include "drawing/DesignReport.h"
#include "drawing/EngineDataFields.h"
#include "drawing/EnginePictures.h"
#include "model/EngineData.h"

std::vector<int> EngineReportNotches() { return {18, kNormalNotch, 6}; }

ReportSection EngineSection(const AppState& s)
{
    const EngineDesigns d = EngineDesignsOf(s);
    const Gear& g = d.design;
    ReportSection sec;
    sec.title = "Engine";
    std::string intro = "The engine the gear drives, as the steam performance model figures it from the design's "
                        "engine data: the indicator diagrams of three notches forward at " +
                        std::to_string(static_cast<int>(kDefaultIndicatorRpm)) +
                        " rpm of the driving wheels, with the ideal diagram dotted behind, and the performance map.";
    if (EngineUnitAssumed(g.Unit)) intro += " The design states no unit: its lengths are taken as inches.";
    if (const std::string problem = EngineProblemText(g); !problem.empty()) intro += " " + problem;
    sec.blocks.push_back(TextBlock(intro));

    ReportTable t;
    t.header = {"Engine value", "Value", "Unit"};
    t.rightAligned = {false, true, false};
    for (int k = 0; k < kEngineValueCount; ++k)
        t.rows.push_back({EngineValueLabel(k), EngineFieldText(g, k), EngineFieldUnit(k, g.Unit)});
    sec.blocks.push_back(TableBlock("Engine data", std::move(t)));

    const RoadUnit road = DefaultRoadUnit(g.Unit);
    for (const int notch : EngineReportNotches()) {
        IndicatorRequest r;
        r.notch = notch;
        const IndicatorPoint p = RunIndicatorPoint(g, r);
        DisplayList list(kIndicatorPaneWidth, kIndicatorPaneHeight);
        DisplayListCanvas c(list);
        DrawIndicatorPane(c, p, {}, road);
        const std::string caption = (notch == kNormalNotch ? "Normal notch" : "Notch " + std::to_string(notch)) +
                                    " forward, " + std::to_string(static_cast<int>(kDefaultIndicatorRpm)) + " rpm";
        sec.blocks.push_back(PictureBlock("Indicator diagram: " + caption, std::move(list)));
    }

    const EngineMaps maps = RunEngineMaps(g, std::nullopt, EngineMapRequest{});
    DisplayList map(kMapPictureWidth, kMapPictureHeight);
    DisplayListCanvas c(map);
    DrawPerformanceMap(c, kMapPictureWidth, kMapPictureHeight, maps);
    sec.blocks.push_back(PictureBlock("Performance map: " + std::to_string(maps.request.speeds) + " speeds up to " +
                                          std::to_string(static_cast<int>(maps.request.topRpm)) +
                                          " rpm, every third notch, forward solid and reverse dotted",
                                      std::move(map)));
    return sec;
}
