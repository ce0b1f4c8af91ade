// quelf --performance [--speed RPM | --speeds LO:HI:STEP] [--notch N|normal|all]
//       [--direction fwd|rev|both] [--ideal [--n N]] [--chest-pressure P] [--back-pressure P]
//       [--superheat T] [--clearance PCT] [--port-length L] [--wheel D] [--cylinders N] [FILE]
// quelf --indicator OUT [--speed RPM] [--notch N] [--direction D] [--ideal] [FILE]
//
// The steam performance model (analysis/SteamEngine.h) of the design with its
// engine data (the defaults where it has none; the options change them for
// this run, in the design's units). --performance prints CSV: a header, a line
// of units, a row for each direction, notch and speed (defaults: forward, the
// normal notch, 120 rpm). --indicator writes the loops of one point: CSV
// (driver angle, volume and absolute pressure of each end), or the picture the
// indicator window draws (.png, .svg, .pdf); with --ideal the CSV holds the
// ideal diagram and the picture draws it dotted behind the loops.
// Exit status: 0 done; 1 bad arguments (an engine value the options make
// impossible among them); 2 the design cannot be read; 3 the output cannot be
// written; 4 a point cannot be run (the gear cannot be assembled there, or
// the design's engine data cannot run), the rows it has left empty. A design
// of no stated unit is taken as inches, and standard error says so, as it
// warns of a point whose revolutions did not settle.
#include "analysis/PerformanceText.h"
#include "analysis/SteamEngine.h"
#include "app/CommandLine.h"
#include "drawing/IndicatorDiagram.h"
#include "files/TextTable.h"
#include "model/AppState.h"
#include "model/EngineData.h"
#include "model/NumberText.h"
#include "platform/DisplayList.h"
#include "platform/RecordFile.h"
#include "qt/QtCanvas.h"
#include "qt/QtPicture.h"

#include <QTextStream>

#include <cmath>

namespace {

// The questions both modes share: which rows and speeds.
struct Asked {
    std::vector<Running> directions{Running::Forward};
    std::vector<int> notches{kNormalNotch};
    std::vector<double> rpms{120};
    bool allNotches = false;
};

bool Number(const CommandLine& cl, const char* option, long double& v)
{
    return ReadNumber(cl.Value(QLatin1String(option)).toStdString(), v) && std::isfinite(v);
}

// The speeds, notches and directions; an empty text when they read, else why not.
QString ReadAsked(const CommandLine& cl, bool many, Asked& a)
{
    if (cl.Has(QStringLiteral("speed")) && cl.Has(QStringLiteral("speeds")))
        return QStringLiteral("give --speed or --speeds, not both");
    if (cl.Has(QStringLiteral("speed"))) {
        long double v = 0;
        if (!Number(cl, "speed", v) || !(v > 0)) return QStringLiteral("--speed must be a speed above 0 (rpm)");
        a.rpms = {static_cast<double>(v)};
    }
    if (cl.Has(QStringLiteral("speeds"))) {
        const QStringList parts = cl.Value(QStringLiteral("speeds")).split(QLatin1Char(':'));
        long double lo = 0, hi = 0, step = 0;
        const bool read = parts.size() == 3 && ReadNumber(parts[0].toStdString(), lo) &&
                          ReadNumber(parts[1].toStdString(), hi) && ReadNumber(parts[2].toStdString(), step);
        if (!read || !(lo > 0) || !(hi >= lo) || !(step > 0) || (hi - lo) / step > 10000)
            return QStringLiteral("--speeds must be LO:HI:STEP, speeds in rpm with 0 < LO <= HI and STEP > 0 "
                                  "(at most 10000 steps)");
        a.rpms.clear();
        for (long double v = lo; v <= hi * (1 + 1e-12L); v = lo + step * static_cast<long double>(a.rpms.size()))
            a.rpms.push_back(static_cast<double>(v));
    }
    if (cl.Has(QStringLiteral("notch"))) {
        const QString n = cl.Value(QStringLiteral("notch"));
        std::uint64_t v = 0;
        if (n == QLatin1String("normal")) {
            a.notches = {kNormalNotch};
        } else if (many && n == QLatin1String("all")) {
            a.allNotches = true;
        } else if (ReadWholeNumber(n.toStdString(), v) && v < static_cast<std::uint64_t>(kGraphNotches)) {
            a.notches = {static_cast<int>(v)};
        } else {
            return QStringLiteral("--notch must be a notch from 0 to %1, \"normal\"%2")
                .arg(kGraphNotches - 1)
                .arg(many ? QStringLiteral(" or \"all\"") : QString());
        }
    }
    if (cl.Has(QStringLiteral("direction"))) {
        const QString d = cl.Value(QStringLiteral("direction"));
        if (d == QLatin1String("fwd"))
            a.directions = {Running::Forward};
        else if (d == QLatin1String("rev"))
            a.directions = {Running::Reverse};
        else if (many && d == QLatin1String("both"))
            a.directions = {Running::Forward, Running::Reverse};
        else
            return many ? QStringLiteral("--direction must be fwd, rev or both")
                        : QStringLiteral("--direction must be fwd or rev");
    }
    return {};
}

// Every notch in the order of the events table: 0 to 18 from mid gear
// outwards, the normal notch after the notches no farther out.
std::vector<int> AllNotches(const Gear& g)
{
    std::vector<int> out;
    bool placed = false;
    const long double normal = std::fabs(static_cast<long double>(g.RevArmNormal));
    for (int i = 0; i < kGraphNotches; ++i) {
        if (!placed && i * std::fabs(static_cast<long double>(g.RevArmMax)) / (kGraphNotches - 1) > normal) {
            out.push_back(kNormalNotch);
            placed = true;
        }
        out.push_back(i);
    }
    if (!placed) out.push_back(kNormalNotch);
    return out;
}

// The engine data with the options' changes; an empty text when they read.
QString ApplyEngineOptions(const CommandLine& cl, EngineData& e, bool& changed)
{
    changed = false;
    const struct {
        const char* option;
        std::vector<int> values;
        bool whole;
    } kOptions[] = {{"chest-pressure", {evChestPressure}, false},
                    {"back-pressure", {evBackPressure}, false},
                    {"superheat", {evSuperheat}, false},
                    {"clearance", {evClearanceFront, evClearanceRear}, false},
                    {"port-length", {evSteamPortLength, evExhaustPortLength}, false},
                    {"wheel", {evWheelDiameter}, false},
                    {"cylinders", {evCylinders}, true}};
    for (const auto& o : kOptions) {
        if (!cl.Has(QLatin1String(o.option))) continue;
        long double v = 0;
        if (o.whole) {
            std::uint64_t n = 0;
            if (!ReadWholeNumber(cl.Value(QLatin1String(o.option)).toStdString(), n) || n < 1 || n > 64)
                return QStringLiteral("--%1 must be a whole number from 1 to 64").arg(QLatin1String(o.option));
            v = static_cast<long double>(n);
        } else if (!Number(cl, o.option, v)) {
            return QStringLiteral("--%1 must be a number").arg(QLatin1String(o.option));
        }
        for (int index : o.values) SetEngineValue(e, index, ToModelFloat(v));
        changed = true;
    }
    return {};
}

// The design, its engine and what was asked, or the exit status why not.
struct Run {
    AppState s;
    EngineSetup engine;
    Asked asked;
    PointOptions options;
};

int Prepare(const CommandLine& cl, bool many, QTextStream& err, Run& run)
{
    QString why = ReadAsked(cl, many, run.asked);
    if (why.isEmpty() && cl.Has(QStringLiteral("n"))) {
        long double n = 0;
        if (!cl.Has(QStringLiteral("ideal")))
            why = QStringLiteral("--n goes with --ideal");
        else if (!Number(cl, "n", n) || !(n > 0))
            why = QStringLiteral("--n must be an exponent above 0");
        run.options.n = static_cast<double>(n);
    }
    run.options.ideal = cl.Has(QStringLiteral("ideal"));
    EngineData changedData;
    bool changed = false;
    if (why.isEmpty()) why = ApplyEngineOptions(cl, changedData, changed); // read before the design, checked after
    if (!why.isEmpty()) return BadArguments(err, why);
    if (!LoadDesignOrTell(run.s, cl, err)) return exit_status::kDesignUnreadable;
    const Gear& g = run.s.gear;
    EngineData data = EngineDataOf(g);
    const EngineSetup own = MakeEngineSetup(g, data);
    if (!own.problem.empty()) {
        err << "quelf: the design's engine cannot run: " << QString::fromStdString(own.problem) << "\n";
        return exit_status::kNoSolution;
    }
    ApplyEngineOptions(cl, data, changed);
    run.engine = MakeEngineSetup(g, data);
    if (!run.engine.problem.empty())
        return BadArguments(
            err, QStringLiteral("the engine cannot run: %1").arg(QString::fromStdString(run.engine.problem)));
    if (run.asked.allNotches) run.asked.notches = AllNotches(g);
    if (run.engine.unitAssumed) err << "quelf: the design states no unit: its lengths are taken as inches\n";
    return exit_status::kDone;
}

// The first point that could not be run, told; its status. A point whose
// revolutions did not settle is a warning.
int TellFailures(const std::vector<PointResult>& points, QTextStream& err)
{
    for (const PointResult& p : points) {
        if (p.ok && !p.converged) {
            err << "quelf: warning: the cycle did not settle within " << p.revolutions << " revolutions ("
                << DirectionName(p.running) << ", notch " << QString::fromStdString(NotchName(p.notch)) << ", "
                << QString::fromStdString(DecimalText(p.rpm, 2)) << " rpm)\n";
            continue;
        }
        if (p.ok) continue;
        err << "quelf: " << QString::fromStdString(p.problem) << " (" << DirectionName(p.running) << ", notch "
            << QString::fromStdString(NotchName(p.notch)) << ", " << QString::fromStdString(DecimalText(p.rpm, 2))
            << " rpm)\n";
        return exit_status::kNoSolution;
    }
    return exit_status::kDone;
}

int RunPerformanceReport(const CommandLine& cl, QTextStream& out, QTextStream& err)
{
    Run run;
    if (const int status = Prepare(cl, true, err, run); status != exit_status::kDone) return status;
    MapRequest request;
    request.directions = run.asked.directions;
    request.notches = run.asked.notches;
    request.rpms = run.asked.rpms;
    request.options = run.options;
    const std::vector<PointResult> points = RunPerformanceMap(run.s.gear, run.engine, request);
    out << QString::fromStdString(CsvText(PerformanceCsvRows(points, run.engine.unit)));
    return TellFailures(points, err);
}

int RunIndicatorReport(const CommandLine& cl, QTextStream&, QTextStream& err)
{
    const QString path = cl.arguments.value(0);
    const bool csv = path.endsWith(QLatin1String(".csv"), Qt::CaseInsensitive);
    const PictureFormat format = PictureFormatOf(path.toStdString());
    if (!csv && format == PictureFormat::None)
        return BadArguments(err, QStringLiteral("\"%1\" must end in .csv, .png, .svg or .pdf").arg(path));
    Run run;
    if (const int status = Prepare(cl, false, err, run); status != exit_status::kDone) return status;
    const EngineTurn turn = SolveEngineTurn(run.s.gear, run.asked.notches[0], run.asked.directions[0]);
    PointOptions real = run.options;
    real.ideal = false;
    const PointResult point = RunEnginePoint(turn, run.engine, run.asked.rpms[0], real);
    PointResult ideal;
    if (run.options.ideal) ideal = RunEnginePoint(turn, run.engine, run.asked.rpms[0], run.options);
    std::string error;
    if (csv) {
        const PointResult& written = run.options.ideal ? ideal : point;
        if (const int status = TellFailures({written}, err); status != exit_status::kDone) return status;
        if (!SaveTextFile(path.toStdString(), CsvText(IndicatorCsvRows(turn, written, run.engine.unit)), error))
            return CannotWrite(err, path, error);
        return exit_status::kDone;
    }
    if (const int status = TellFailures(run.options.ideal ? std::vector{point, ideal} : std::vector{point}, err);
        status != exit_status::kDone)
        return status;
    DisplayList list(kIndicatorWidth, kIndicatorHeight);
    QtListCanvas canvas(list);
    DrawIndicatorDiagram(canvas, kIndicatorWidth, kIndicatorHeight, run.engine, point, ideal);
    const QString title = QString::fromStdString(PictureFileStem(run.s.display.DataSetName, "indicator"));
    if (!WriteDisplayList(list, path, format, 1, title, error)) return CannotWrite(err, path, error);
    return exit_status::kDone;
}

QList<ReportOption> PointOptionsOf(bool many)
{
    QList<ReportOption> o;
    o << ReportOption{QStringLiteral("speed"), QStringLiteral("RPM"),
                      QStringLiteral("The speed of the driving wheels in revolutions a minute (120 unless told).")};
    if (many)
        o << ReportOption{QStringLiteral("speeds"), QStringLiteral("LO:HI:STEP"),
                          QStringLiteral("Speeds from LO to HI by STEP, rpm.")};
    o << ReportOption{QStringLiteral("notch"), many ? QStringLiteral("N|normal|all") : QStringLiteral("N|normal"),
                      many ? QStringLiteral("The notch, 0 to 18, normal (the default) or all.")
                           : QStringLiteral("The notch, 0 to 18 or normal (the default).")};
    o << ReportOption{QStringLiteral("direction"), many ? QStringLiteral("fwd|rev|both") : QStringLiteral("fwd|rev"),
                      many ? QStringLiteral("The direction: fwd (the default), rev or both.")
                           : QStringLiteral("The direction: fwd (the default) or rev.")};
    o << ReportOption{QStringLiteral("ideal"), QString(),
                      QStringLiteral("The ideal diagram: ports without resistance, p V^n = const."), 0};
    return o;
}

const ReportRegistration kPerformance{[] {
    ReportMode m;
    m.option = QStringLiteral("performance");
    m.description = QStringLiteral("Print the steam performance of the design (mean effective pressure, power, "
                                   "tractive effort, steam) as CSV.");
    m.options = PointOptionsOf(true);
    const auto value = [](const char* name, const char* valueName, const char* what) {
        return ReportOption{QLatin1String(name), QLatin1String(valueName), QLatin1String(what)};
    };
    m.options << value("n", "N", "The exponent of the ideal diagram's expansion and compression (1).")
              << value("chest-pressure", "P", "Steam-chest pressure, gauge, in psi (bar for a design in mm).")
              << value("back-pressure", "P", "Exhaust back pressure, gauge, in psi (bar).")
              << value("superheat", "T", "Degrees of superheat of the chest steam, °F (°C); 0 saturated.")
              << value("clearance", "PCT", "Clearance of each end, % of the swept volume.")
              << value("port-length", "L", "Steam and exhaust port length across the cylinder.")
              << value("wheel", "D", "Driving wheel diameter.") << value("cylinders", "N", "Number of cylinders.");
    m.order = 90;
    m.run = RunPerformanceReport;
    return m;
}()};

const ReportRegistration kIndicator{[] {
    ReportMode m;
    m.option = QStringLiteral("indicator");
    m.description = QStringLiteral("Write the indicator diagram of one point to OUT: its loops as CSV (.csv), or "
                                   "the picture (.png, .svg or .pdf).");
    m.arguments = {QStringLiteral("OUT")};
    m.options = PointOptionsOf(false);
    m.pictures = true;
    m.order = 91;
    m.run = RunIndicatorReport;
    return m;
}()};

} // namespace
