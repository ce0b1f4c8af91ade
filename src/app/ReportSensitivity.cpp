// quelf --sensitivity [--notch N|normal] [--direction fwd|rev] [FILE]: for one
// row of the valve events table (the normal notch forward unless told), the
// change of each figure of the row per unit change of each of the 44
// dimensions, as the "Sensitivity…" window measures it (analysis/Sensitivity.h).
//
// Standard output: CSV, "Dimension" (the identifier), "Value", the figures'
// columns as the events table names them ("Lead front (units)", "Front
// cut-off (% stroke)", …) holding the derivatives, "Notes" (a dimension whose
// trials clamp, an event lost in a trial).
// Exit status: 0 done; 1 bad arguments; 2 the design cannot be read; 4 the gear
// cannot be assembled at that row.
#include "analysis/DesignCheck.h"
#include "analysis/Sensitivity.h"
#include "app/CommandLine.h"
#include "files/TextTable.h"
#include "model/AppState.h"
#include "model/DesignEdit.h"
#include "model/NumberText.h"

#include <QTextStream>

#include <cfloat>

namespace {

// The row the options ask for; an empty text when they read, else why not.
QString ReadRow(const CommandLine& cl, EventsRow& row)
{
    if (cl.Has(QStringLiteral("notch"))) {
        const QString n = cl.Value(QStringLiteral("notch"));
        std::uint64_t v = 0;
        if (n == QLatin1String("normal")) {
            row.notch = kNormalNotch;
        } else if (ReadWholeNumber(n.toStdString(), v) && v < static_cast<std::uint64_t>(kGraphNotches)) {
            row.notch = static_cast<int>(v);
        } else {
            return QStringLiteral("--notch must be a notch from 0 to %1 or \"normal\"").arg(kGraphNotches - 1);
        }
    }
    if (cl.Has(QStringLiteral("direction"))) {
        const QString d = cl.Value(QStringLiteral("direction"));
        if (d != QLatin1String("fwd") && d != QLatin1String("rev"))
            return QStringLiteral("--direction must be fwd or rev");
        row.running = d == QLatin1String("fwd") ? Running::Forward : Running::Reverse;
    }
    return {};
}

int RunSensitivityReport(const CommandLine& cl, QTextStream& out, QTextStream& err)
{
    EventsRow row;
    const QString why = ReadRow(cl, row);
    if (!why.isEmpty()) return BadArguments(err, why);
    AppState s;
    if (!LoadDesignOrTell(s, cl, err)) return exit_status::kDesignUnreadable;
    const Gear& design = s.gear;
    long double rpm = 0;
    if (cl.Has(QStringLiteral("speed")) &&
        (!ReadNumber(cl.Value(QStringLiteral("speed")).toStdString(), rpm) || !(rpm > 0) || rpm > FLT_MAX))
        return BadArguments(err, QStringLiteral("--speed must be a number of rpm above 0"));
    const SensitivityResult r =
        MeasureSensitivity(design, row, nullptr, ThreadPool::Shared(), static_cast<double>(rpm));
    if (r.nominalClamped) {
        err << "quelf: the gear cannot be assembled at the "
            << QString::fromStdString(NotchRowText(row.running, row.notch)) << "\n";
        return exit_status::kNoSolution;
    }
    out << QString::fromStdString(CsvText(SensitivityCsvRows(design, r)));
    return exit_status::kDone;
}

const ReportRegistration kSensitivity{[] {
    ReportMode m;
    m.option = QStringLiteral("sensitivity");
    m.description = QStringLiteral("Print, for one row of the valve events table, the change of each event per unit "
                                   "change of each dimension as CSV.");
    m.options = {{QStringLiteral("notch"), QStringLiteral("N|normal"),
                  QStringLiteral("The notch of the row, 0 to 18 or normal (the default)."), 1},
                 {QStringLiteral("direction"), QStringLiteral("fwd|rev"),
                  QStringLiteral("The direction of the row (fwd, the default, or rev)."), 1},
                 {QStringLiteral("speed"), QStringLiteral("RPM"),
                  QStringLiteral("Add the change of power and steam rate at this speed (rpm)."), 1}};
    m.order = 60;
    m.run = RunSensitivityReport;
    return m;
}()};

} // namespace
