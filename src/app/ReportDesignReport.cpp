// quelf --report OUT.pdf [--page A4|Letter] [FILE]: the design report as a
// PDF: the dimensions, the valve events table of both directions and the
// pictures, under a title block on every page. The paper is the locale's
// (Letter for the US measurement system, else A4) unless --page says. Exit
// status: 0 written, 1 bad arguments, 2 the design cannot be read, 3 the file
// cannot be written (nothing is left behind). A design that cannot be
// assembled at some notches gets one warning line on standard error.
#include "app/CommandLine.h"

#include "drawing/DesignReport.h"
#include "qt/QtReport.h"
#include "qt/QtServices.h"

#include <QPageSize>
#include <QTextStream>

namespace {

int RunDesignReport(const CommandLine& cl, QTextStream&, QTextStream& err)
{
    const QString out = cl.modeValue;
    if (!out.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive))
        return BadArguments(err, QStringLiteral("\"%1\" must end in .pdf").arg(out));
    QPageSize page = ReportPageSize(QLocale::system());
    if (cl.Has(QStringLiteral("page"))) {
        const QString p = cl.Value(QStringLiteral("page"));
        if (p.compare(QLatin1String("A4"), Qt::CaseInsensitive) == 0) {
            page = QPageSize(QPageSize::A4);
        } else if (p.compare(QLatin1String("Letter"), Qt::CaseInsensitive) == 0) {
            page = QPageSize(QPageSize::Letter);
        } else {
            return BadArguments(err, QStringLiteral("--page must be A4 or Letter"));
        }
    }

    AppState s;
    if (!LoadDesignOrTell(s, cl, err)) return exit_status::kDesignUnreadable;
    const QString warning = AssemblyWarning(s);
    QtClock clock;
    std::string error;
    if (!WriteReportPdf(DesignReportOf(s, clock), page, out, error)) return CannotWrite(err, out, error);
    if (!warning.isEmpty()) err << warning << "\n";
    return exit_status::kDone;
}

const ReportRegistration kDesignReport{[] {
    ReportMode m;
    m.option = QStringLiteral("report");
    m.valueName = QStringLiteral("OUT");
    m.description = QStringLiteral("Write the design report (dimensions, valve events, pictures) to OUT (.pdf).");
    m.options = {{QStringLiteral("page"), QStringLiteral("SIZE"),
                  QStringLiteral("Paper of the report: A4 or Letter (default: the locale's).")}};
    m.pictures = true;
    m.order = 40;
    m.run = RunDesignReport;
    return m;
}()};

} // namespace
