// quelf --parts OUT.csv [FILE]: the parts to make (analysis/PartsList) as CSV:
// each link with its pin centres and distances, the eccentric throw, the
// valve's laps, the port widths and the fixed pivots from the driver centre,
// in the design's unit (inches also to the nearest 1/64).
// Exit status: 0 written, 1 bad arguments, 2 the design cannot be read, 3 the
// file cannot be written.
#include "analysis/PartsList.h"
#include "app/CommandLine.h"
#include "files/TextTable.h"
#include "platform/RecordFile.h"

#include <QFileInfo>
#include <QTextStream>

namespace {

int RunPartsReport(const CommandLine& cl, QTextStream&, QTextStream& err)
{
    const QString out = cl.modeValue;
    if (QFileInfo(out).suffix().toLower() != QLatin1String("csv"))
        return BadArguments(err, QStringLiteral("\"%1\" must end in .csv").arg(out));
    AppState s;
    if (!LoadDesignOrTell(s, cl, err)) return exit_status::kDesignUnreadable;
    std::string error;
    if (!SaveTextFile(out.toStdString(), CsvText(PartsListCells(BuildPartsList(s.gear), s.gear.Unit)), error))
        return CannotWrite(err, out, error);
    const QString warning = AssemblyWarning(s);
    if (!warning.isEmpty()) err << warning << "\n";
    return exit_status::kDone;
}

const ReportRegistration kParts{[] {
    ReportMode m;
    m.option = QStringLiteral("parts");
    m.valueName = QStringLiteral("OUT");
    m.description = QStringLiteral("Write the parts to make (links and their pins, eccentric, valve laps, ports, "
                                   "fixed pivots) to OUT.csv.");
    m.order = 44;
    m.run = RunPartsReport;
    return m;
}()};

} // namespace
