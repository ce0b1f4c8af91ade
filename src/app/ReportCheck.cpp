// quelf --check [--speed RPM] [FILE]: the design check of a design as CSV on
// standard output, "Rule,Direction,Value,Limit,Result" and one row per rule
// and direction, with the default limits; the engine rules (a design with
// engine data) at the top speed, or at --speed.
// Exit status: 0 every rule passes; 2 the design cannot be read; 4 a rule
// fails (its words named on standard error).
#include "analysis/DesignCheck.h"
#include "app/CommandLine.h"
#include "files/TextTable.h"
#include "model/AppState.h"
#include "model/DesignEdit.h"
#include "model/NumberText.h"

#include <QTextStream>

#include <cfloat>

namespace {

int RunCheckReport(const CommandLine& cl, QTextStream& out, QTextStream& err)
{
    long double rpm = 0;
    if (cl.Has(QStringLiteral("speed")) &&
        (!ReadNumber(cl.Value(QStringLiteral("speed")).toStdString(), rpm) || !(rpm > 0) || rpm > FLT_MAX))
        return BadArguments(err, QStringLiteral("--speed must be a number of rpm above 0"));
    AppState s;
    if (!LoadDesignOrTell(s, cl, err)) return exit_status::kDesignUnreadable;
    const DesignCheckResult r = CheckDesign(s.gear, DefaultCheckLimits(), static_cast<double>(rpm));
    out << QString::fromStdString(CsvText(CheckCsvRows(r)));
    if (r.Passed()) return exit_status::kDone;
    QStringList failed;
    for (const CheckLine& l : r.lines)
        if (!l.pass) failed << QString::fromStdString(CheckRuleWord(l.rule) + " " + CheckDirectionWord(l.direction));
    err << "quelf: the design fails " << failed.join(QStringLiteral(", ")) << "\n";
    return exit_status::kNoSolution;
}

const ReportRegistration kCheck{[] {
    ReportMode m;
    m.option = QStringLiteral("check");
    m.description = QStringLiteral("Check the design against the rules of good practice; CSV, exit status 4 when a "
                                   "rule fails.");
    m.options = {{QStringLiteral("speed"), QStringLiteral("RPM"),
                  QStringLiteral("The top speed of the engine rules (rpm; default: a piston speed of 1000 ft/min)."),
                  1}};
    m.order = 40;
    m.run = RunCheckReport;
    return m;
}()};

} // namespace
