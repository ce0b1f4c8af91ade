// quelf --export WHAT OUT [--scale N] [--compare REF] [FILE]: one picture of
// the design as a PNG, SVG or PDF file, drawn as the program's windows draw it
// (with --compare, the reference's curves in grey beneath, and the main
// picture with the reference's ghost).
// quelf --export main OUT.dxf [--angle DEG] [--rev-arm POS] [FILE]: the gear as
// a DXF drawing at full size (drawing/GearDxf), at driver angle DEG (0) with
// the reverse arm at POS as the "Rev Arm" readout shows it (mid gear). Exit status:
// 0 written, 1 bad arguments, 2 the design cannot be read, 3 the file cannot
// be written (nothing is left behind), 4 the engine cannot run (the indicator
// diagram and the performance map; the indicator diagram also when its point
// cannot be run). A design that cannot be assembled at some notches gets one
// warning line on standard error, as a map with points that could not be run.
#include "app/CommandLine.h"

#include "analysis/EngineStudy.h"
#include "analysis/PerformanceText.h"
#include "drawing/DiagramPictures.h"
#include "drawing/EnginePictures.h"
#include "drawing/GearDxf.h"
#include "drawing/MainPicture.h"
#include "files/DxfFile.h"
#include "model/NumberText.h"
#include "platform/DisplayList.h"
#include "qt/QtCanvas.h"
#include "qt/QtPicture.h"

#include <QFileInfo>
#include <QTextStream>

#include <algorithm>
#include <array>

namespace {

enum class Engine { None, Indicator, Map };

struct ExportPicture {
    const char* what;
    const char* name; // in the document title
    bool main;
    DiagramKind kind;
    Engine engine = Engine::None;
};

// The indicator window's panes as it draws them on opening (the default
// point, the default map); a status other than kDone with its reason told.
int EnginePicture(AppState& s, Engine engine, DisplayList& list, QTextStream& err)
{
    const EngineDesigns d = EngineDesignsOf(s);
    const auto cannotRun = [&err](const std::string& why) {
        err << "quelf: the design's engine cannot run: " << QString::fromStdString(why) << "\n";
        return exit_status::kNoSolution;
    };
    if (engine == Engine::Indicator) {
        const IndicatorPoint p = RunIndicatorPoint(d.design, IndicatorRequest{});
        if (!p.engine.problem.empty()) return cannotRun(p.engine.problem);
        if (!p.real.ok) {
            err << "quelf: " << QString::fromStdString(p.real.problem) << " ("
                << QString::fromStdString(IndicatorCaption(p.real)) << ")\n";
            return exit_status::kNoSolution;
        }
        list.Reset(kIndicatorPaneWidth, kIndicatorPaneHeight);
        QtListCanvas c(list);
        DrawIndicatorPane(c, p, {}, DefaultRoadUnit(d.design.Unit));
        return exit_status::kDone;
    }
    const EngineMaps maps = RunEngineMaps(d.design, d.reference, EngineMapRequest{});
    if (!maps.design.problem.empty()) return cannotRun(maps.design.problem);
    list.Reset(kMapPictureWidth, kMapPictureHeight);
    QtListCanvas c(list);
    DrawPerformanceMap(c, kMapPictureWidth, kMapPictureHeight, maps, d.referenceName);
    size_t failed = 0;
    for (const PointResult& p : maps.design.points) failed += p.ok ? 0 : 1;
    if (failed > 0)
        err << "quelf: warning: " << failed << " of the map's " << maps.design.points.size()
            << " points could not be run (the gear cannot be assembled there)\n";
    return exit_status::kDone;
}

const std::array<ExportPicture, 9> kPictures{{
    {"main", "gear", true, DiagramKind::PortForward},
    {"port-graph", "port-graph", false, DiagramKind::PortForward},
    {"port-graph-reverse", "port-graph-reverse", false, DiagramKind::PortReverse},
    {"port-graph-both", "port-graph-both", false, DiagramKind::PortBoth},
    {"steam", "steam-diagram", false, DiagramKind::Steam},
    {"oval", "oval-diagram", false, DiagramKind::Oval},
    {"sine", "sine-diagram", false, DiagramKind::Sine},
    {"indicator", "indicator", false, DiagramKind::Steam, Engine::Indicator},
    {"performance-map", "performance-map", false, DiagramKind::Steam, Engine::Map},
}};

// The gear at full size as DXF.
int RunDxfExport(const CommandLine& cl, const QString& out, QTextStream& err)
{
    long double angle = 0;
    if (cl.Has(QStringLiteral("angle")) &&
        (!ReadNumber(cl.Value(QStringLiteral("angle")).toStdString(), angle) || angle < 0 || angle >= 360))
        return BadArguments(err, QStringLiteral("--angle must be a driver angle from 0 to below 360 degrees"));
    long double revArm = 0;
    const bool givenArm = cl.Has(QStringLiteral("rev-arm"));
    if (givenArm && !ReadNumber(cl.Value(QStringLiteral("rev-arm")).toStdString(), revArm))
        return BadArguments(err, QStringLiteral("--rev-arm must be a number: a reverse arm position as the "
                                                "\"Rev Arm\" readout shows it"));
    AppState s;
    if (!LoadDesignOrTell(s, cl, err)) return exit_status::kDesignUnreadable;
    const Gear& g = s.gear;
    float position = g.RevArmPos; // mid gear, as the design opens
    if (givenArm && !RevArmWithinTravel(g, revArm, cl, err, position)) return exit_status::kBadArguments;
    const QString warning = AssemblyWarning(s);
    std::string error;
    if (!SaveDxfFile(out.toStdString(), GearDxfDrawing(s, ToModelFloat(angle), position), error))
        return CannotWrite(err, out, error);
    if (!warning.isEmpty()) err << warning << "\n";
    return exit_status::kDone;
}

int RunExportReport(const CommandLine& cl, QTextStream&, QTextStream& err)
{
    const QString what = cl.modeValue;
    const QString out = cl.arguments.value(0);
    const ExportPicture* picture = nullptr;
    QStringList names;
    for (const ExportPicture& p : kPictures) {
        names << QString::fromLatin1(p.what);
        if (what == QLatin1String(p.what)) picture = &p;
    }
    if (!picture) {
        err << "quelf: unknown picture \"" << what << "\"; choose one of " << names.join(QStringLiteral(", ")) << "\n";
        return exit_status::kBadArguments;
    }
    const bool dxf = IsDxfPath(out.toStdString());
    if (dxf && !picture->main) {
        err << "quelf: only the gear (main) is drawn as DXF; \"" << out << "\" must end in .png, .svg or .pdf\n";
        return exit_status::kBadArguments;
    }
    for (const char* o : {"angle", "rev-arm"}) {
        if (cl.Has(QLatin1String(o)) && !dxf) {
            err << "quelf: --" << o << " goes with a .dxf drawing of the gear\n";
            return exit_status::kBadArguments;
        }
    }
    if (dxf && cl.Has(QStringLiteral("scale"))) {
        err << "quelf: --scale goes with a .png picture\n";
        return exit_status::kBadArguments;
    }
    if (dxf && cl.Has(QStringLiteral("compare"))) {
        err << "quelf: --compare does not go with a .dxf drawing\n";
        return exit_status::kBadArguments;
    }
    if (dxf) return RunDxfExport(cl, out, err);
    const PictureFormat format = PictureFormatOf(out.toStdString());
    if (format == PictureFormat::None) {
        err << "quelf: \"" << out << "\" must end in .png, .svg or .pdf\n";
        return exit_status::kBadArguments;
    }
    int scale = 1;
    if (cl.Has(QStringLiteral("scale"))) {
        const QString n = cl.Value(QStringLiteral("scale"));
        if (n != QLatin1String("1") && n != QLatin1String("2") && n != QLatin1String("4")) {
            err << "quelf: --scale must be 1, 2 or 4\n";
            return exit_status::kBadArguments;
        }
        if (format != PictureFormat::Png) {
            err << "quelf: --scale goes with a .png picture\n";
            return exit_status::kBadArguments;
        }
        scale = n.toInt();
    }

    AppState s;
    if (!LoadDesignOrTell(s, cl, err) || !LoadReferenceOrTell(s, cl, err)) return exit_status::kDesignUnreadable;
    s.compare.GhostOn = s.compare.Reference.has_value();
    const QString warning = AssemblyWarning(s);
    std::string error;
    DisplayList list;
    if (picture->engine != Engine::None) {
        if (const int status = EnginePicture(s, picture->engine, list, err); status != exit_status::kDone)
            return status;
    } else {
        list = picture->main ? MainExportPicture(s) : DiagramPictureOf(s, picture->kind);
    }
    const QString title = QString::fromStdString(PictureFileStem(s.display.DataSetName, picture->name));
    if (!WriteDisplayList(list, out, format, scale, title, error)) return CannotWrite(err, out, error);
    if (!warning.isEmpty()) err << warning << "\n";
    return exit_status::kDone;
}

const ReportRegistration kExport{[] {
    ReportMode m;
    m.option = QStringLiteral("export");
    m.valueName = QStringLiteral("WHAT");
    m.description = QStringLiteral("Draw picture WHAT (main, port-graph, port-graph-reverse, port-graph-both, steam, "
                                   "oval, sine, indicator, performance-map) and write it to OUT (.png, .svg or "
                                   ".pdf).");
    m.arguments = {QStringLiteral("OUT")};
    m.options = {
        {QStringLiteral("scale"), QStringLiteral("N"), QStringLiteral("Scale of a PNG picture: 1, 2 or 4.")},
        {QStringLiteral("compare"), QStringLiteral("REF"),
         QStringLiteral("Compare with the reference design REF: the table as this - REF, the pictures with REF "
                        "in grey.")},
        {QStringLiteral("angle"), QStringLiteral("DEG"),
         QStringLiteral("Driver angle of the gear drawn at full size as OUT.dxf (--export main OUT.dxf), 0 to "
                        "below 360 degrees (default 0).")},
        {QStringLiteral("rev-arm"), QStringLiteral("POS"),
         QStringLiteral("Reverse arm position as the \"Rev Arm\" readout shows it (default: mid gear).")}};
    m.pictures = true;
    m.order = 20;
    m.run = RunExportReport;
    return m;
}()};

} // namespace
