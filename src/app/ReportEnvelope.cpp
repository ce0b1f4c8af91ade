// quelf --envelope OUT.csv|OUT.dxf [--notches LIST] [FILE]: the space the gear
// sweeps (analysis/SweptEnvelope) over one revolution at every notch of both
// directions, or at the notches of LIST: the extremes of every pivot as CSV,
// or the outlines of the moving parts as a DXF drawing on the parts' layers.
// quelf --keep-out [--least X] [--notches LIST] [FILE]: the least distance of
// each moving part from each keep-out line or circle, as CSV on standard
// output; a part closer than X (1/32 in, or 1 mm) fails.
// Exit status: 0 written (every part clears), 1 bad arguments, 2 the design
// cannot be read, 3 the file cannot be written, 4 a part does not clear a
// keep-out shape (--keep-out).
#include "analysis/SweptEnvelope.h"
#include "app/CommandLine.h"
#include "drawing/GearDxf.h"
#include "files/DxfFile.h"
#include "files/TextTable.h"
#include "model/DesignEdit.h"
#include "model/NumberText.h"
#include "platform/RecordFile.h"

#include <QFileInfo>
#include <QTextStream>

#include <cstdint>

namespace {

const ReportOption kNotchesOption{QStringLiteral("notches"), QStringLiteral("LIST"),
                                  QStringLiteral("Notches to sweep, counted from mid gear, negative in reverse "
                                                 "(e.g. 0,6,-6,18; default: every notch, -18 to 18).")};

// --notches LIST into the settings; false for a list that is not one.
bool ReadNotches(const CommandLine& cl, EnvelopeSettings& settings)
{
    if (!cl.Has(QStringLiteral("notches"))) return true;
    settings.notch.fill(false);
    bool any = false;
    for (const QString& item : cl.Value(QStringLiteral("notches")).split(QLatin1Char(','))) {
        std::string t = item.trimmed().toStdString();
        const bool negative = !t.empty() && t.front() == '-';
        if (negative) t.erase(0, 1);
        std::uint64_t n = 0;
        if (!ReadWholeNumber(t, n) || n > static_cast<std::uint64_t>(kEnvelopeNotchMax)) return false;
        const int notch = negative ? -static_cast<int>(n) : static_cast<int>(n);
        settings.notch[static_cast<size_t>(notch + kEnvelopeNotchMax)] = true;
        any = true;
    }
    return any;
}

int BadNotches(QTextStream& err)
{
    return BadArguments(err, QStringLiteral("--notches must be a comma list of notches from -18 to 18"));
}

// The sweep of the design as it opens, with a warning where the solver clamped.
SweptEnvelope Sweep(const AppState& s, const EnvelopeSettings& settings, QTextStream& err)
{
    const SweptEnvelope e = SweepEnvelope(s.gear, s.overlay, settings);
    if (e.clampedSamples > 0)
        err << QStringLiteral("quelf: warning: the gear cannot be assembled everywhere: the solver clamped at %1 of "
                              "the %2 positions swept")
                   .arg(e.clampedSamples)
                   .arg(e.solves)
            << "\n";
    return e;
}

int RunEnvelopeReport(const CommandLine& cl, QTextStream&, QTextStream& err)
{
    const QString out = cl.modeValue;
    const QString suffix = QFileInfo(out).suffix().toLower();
    if (suffix != QLatin1String("csv") && suffix != QLatin1String("dxf"))
        return BadArguments(err, QStringLiteral("\"%1\" must end in .csv or .dxf").arg(out));
    EnvelopeSettings settings;
    if (!ReadNotches(cl, settings)) return BadNotches(err);
    AppState s;
    if (!LoadDesignOrTell(s, cl, err)) return exit_status::kDesignUnreadable;
    const SweptEnvelope e = Sweep(s, settings, err);
    std::string error;
    const bool ok = suffix == QLatin1String("dxf")
                        ? SaveDxfFile(out.toStdString(), EnvelopeDxfDrawing(e, s.gear.Unit), error)
                        : SaveTextFile(out.toStdString(), CsvText(EnvelopeCsvRows(e)), error);
    if (!ok) return CannotWrite(err, out, error);
    return exit_status::kDone;
}

int RunClearanceReport(const CommandLine& cl, QTextStream& out, QTextStream& err)
{
    EnvelopeSettings settings;
    if (!ReadNotches(cl, settings)) return BadNotches(err);
    long double least = -1;
    if (cl.Has(QStringLiteral("least")) &&
        (!ReadNumber(cl.Value(QStringLiteral("least")).toStdString(), least) || least < 0))
        return BadArguments(err, QStringLiteral("--least must be a distance of 0 or more"));
    AppState s;
    if (!LoadDesignOrTell(s, cl, err)) return exit_status::kDesignUnreadable;
    const float limit = least >= 0 ? ToModelFloat(least) : DefaultLeastClearance(s.gear.Unit);
    const SweptEnvelope e = Sweep(s, settings, err);
    std::vector<std::vector<std::string>> rows = {ClearanceHeader(s.gear.Unit)};
    for (auto& r : ClearanceRows(e, s.overlay, limit)) rows.push_back(std::move(r));
    out << QString::fromStdString(CsvText(rows));
    int failing = 0;
    for (const PartClearance& c : e.clearance) failing += c.measured && c.distance < limit;
    if (failing == 0) return exit_status::kDone;
    err << QStringLiteral("quelf: %1 of the parts' clearances are less than %2 %3")
               .arg(failing)
               .arg(QString::fromStdString(ShortestText(limit)), QString::fromLatin1(LengthUnitText(s.gear.Unit)))
        << "\n";
    return exit_status::kNoSolution;
}

const ReportRegistration kEnvelope{[] {
    ReportMode m;
    m.option = QStringLiteral("envelope");
    m.valueName = QStringLiteral("OUT");
    m.description = QStringLiteral("Sweep every moving part over a revolution at every notch: the pivots' extremes "
                                   "to OUT.csv, or the parts' outlines to OUT.dxf.");
    m.options = {kNotchesOption};
    m.order = 42;
    m.run = RunEnvelopeReport;
    return m;
}()};

const ReportRegistration kKeepOut{[] {
    ReportMode m;
    m.option = QStringLiteral("keep-out");
    m.description = QStringLiteral("The least distance of each moving part from each keep-out line or circle, as CSV; "
                                   "exit status 4 when a part comes closer than the least clearance.");
    m.options = {kNotchesOption,
                 {QStringLiteral("least"), QStringLiteral("X"),
                  QStringLiteral("Least clearance in the design's unit (default 1/32 in, or 1 mm).")}};
    m.order = 43;
    m.run = RunClearanceReport;
    return m;
}()};

} // namespace
