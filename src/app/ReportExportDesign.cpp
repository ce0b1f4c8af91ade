// quelf --export-design OUT [FILE]: the design written again, as JSON (OUT
// ends in .json) or as a native design file (.vgw), so that a design goes
// .vgw -> .json -> .vgw byte for byte as the program saves it. Exit status:
// 0 written, 1 bad arguments, 2 the design cannot be read, 3 the file cannot
// be written (nothing is left behind).
#include "app/CommandLine.h"
#include "files/DesignFile.h"
#include "files/FileMessages.h"
#include "model/AppState.h"

#include <QTextStream>

namespace {

int RunExportDesignReport(const CommandLine& cl, QTextStream&, QTextStream& err)
{
    const QString out = cl.modeValue;
    if (!IsDesignOutName(out)) return BadDesignOutName(err, out);
    AppState s;
    if (!LoadDesignOrTell(s, cl, err)) return exit_status::kDesignUnreadable;
    const DesignFileResult r = WriteDesignFile(s, out.toStdString());
    if (!r.ok) {
        err << "quelf: " << QString::fromStdString(SaveFailureMessage(out.toStdString(), r).OneLine()) << "\n";
        return exit_status::kOutputUnwritable;
    }
    return exit_status::kDone;
}

const ReportRegistration kExportDesign{[] {
    ReportMode m;
    m.option = QStringLiteral("export-design");
    m.valueName = QStringLiteral("OUT");
    m.description = QStringLiteral("Write the design to OUT: as JSON (.json) or as a design file (.vgw).");
    m.order = 50;
    m.run = RunExportDesignReport;
    return m;
}()};

} // namespace
