// quelf --export-design OUT [FILE]: the design written again, as JSON (OUT
// ends in .json) or as a native design file (.vgw), so that a design goes
// .vgw -> .json -> .vgw byte for byte as the program saves it. Exit status:
// 0 written, 1 bad arguments, 2 the design cannot be read, 3 the file cannot
// be written (nothing is left behind).
#include "app/CommandLine.h"
#include "files/FileMessages.h"
#include "files/JsonDesign.h"
#include "files/NativeFile.h"
#include "model/AppState.h"

#include <QFile>
#include <QFileInfo>
#include <QTextStream>

namespace {

int RunExportDesignReport(const CommandLine& cl, QTextStream&, QTextStream& err)
{
    const QString out = cl.modeValue;
    const QString suffix = QFileInfo(out).suffix().toLower();
    if (suffix != QLatin1String("json") && suffix != QLatin1String("vgw"))
        return BadArguments(err, QStringLiteral("\"%1\" must end in .json or .vgw").arg(out));
    AppState s;
    if (!LoadDesignOrTell(s, cl, err)) return exit_status::kDesignUnreadable;
    const std::string path = out.toStdString();
    const DesignFileResult r = suffix == QLatin1String("json") ? ExportJsonDesign(s, path) : SaveNativeFile(s, path);
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
