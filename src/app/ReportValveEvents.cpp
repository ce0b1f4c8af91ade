// quelf --valve-events [FILE]: the valve events table of a design as CSV on
// standard output. A design that cannot be assembled at some notches gets the
// table with its "solver clamped" notes and one warning line on standard
// error; the exit status stays 0.
#include "analysis/ValveEventsTable.h"
#include "app/CommandLine.h"
#include "files/TextTable.h"
#include "model/AppState.h"

#include <QTextStream>

namespace {

int RunValveEventsReport(const CommandLine& cl, QTextStream& out, QTextStream& err)
{
    AppState s;
    if (!LoadDesignOrTell(s, cl, err)) return exit_status::kDesignUnreadable;
    out << QString::fromStdString(CsvText(ValveEventsTextOf(s.gear)));
    const QString warning = AssemblyWarning(s);
    if (!warning.isEmpty()) err << warning << "\n";
    return exit_status::kDone;
}

const ReportRegistration kValveEvents{[] {
    ReportMode m;
    m.option = QStringLiteral("valve-events");
    m.description = QStringLiteral("Print the valve events table of the design as CSV.");
    m.order = 10;
    m.run = RunValveEventsReport;
    return m;
}()};

} // namespace
