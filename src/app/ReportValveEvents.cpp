// quelf --valve-events [--compare REF] [FILE]: the valve events table of a
// design as CSV on standard output; with --compare, the same table with each
// numeric cell FILE − REF (ValveEventsDifferenceText; a reference in other
// units is converted into FILE's). A design that cannot be assembled at some
// notches gets the table with its "solver clamped" notes and one warning line
// on standard error; the exit status stays 0.
#include "analysis/ValveEventsTable.h"
#include "app/CommandLine.h"
#include "files/TextTable.h"
#include "model/AppState.h"
#include "model/DesignScale.h"

#include <QTextStream>

namespace {

int RunValveEventsReport(const CommandLine& cl, QTextStream& out, QTextStream& err)
{
    AppState s;
    if (!LoadDesignOrTell(s, cl, err) || !LoadReferenceOrTell(s, cl, err)) return exit_status::kDesignUnreadable;
    if (const std::optional<Gear> ref = ComparedReference(s))
        out << QString::fromStdString(
            CsvText(ValveEventsDifferenceText(ValveEventsRowsOf(s.gear), ValveEventsRowsOf(*ref), s.gear.Unit)));
    else
        out << QString::fromStdString(CsvText(ValveEventsTextOf(s.gear)));
    const QString warning = AssemblyWarning(s);
    if (!warning.isEmpty()) err << warning << "\n";
    return exit_status::kDone;
}

const ReportRegistration kValveEvents{[] {
    ReportMode m;
    m.option = QStringLiteral("valve-events");
    m.description = QStringLiteral("Print the valve events table of the design as CSV.");
    m.options = {
        {QStringLiteral("compare"), QStringLiteral("REF"),
         QStringLiteral("Compare with the reference design REF: the table as this - REF, the pictures with REF "
                        "in grey.")}};
    m.order = 10;
    m.run = RunValveEventsReport;
    return m;
}()};

} // namespace
