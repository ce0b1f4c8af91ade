// quelf --balance TARGET DIMENSION [--range LO HI] [FILE]: the value of one
// dimension that balances the valve events, found as the "Balance Events…"
// window finds it.
//
// Standard output: "DIMENSION VALUE" (the value as the design stores it, 8
// decimals), then one line per difference: "label: before X after Y".
// Exit status: 0 found; 1 bad arguments; 2 the design cannot be read; 4 no
// solution in the range (said on standard error with the differences at both
// ends).
#include "analysis/Balance.h"
#include "analysis/BalanceText.h"
#include "app/CommandLine.h"
#include "model/AppState.h"
#include "model/Model.h"
#include "model/NumberText.h"

#include <QTextStream>

#include <cfloat>
#include <cmath>

namespace {

// A range end as typed: a finite number within the range of a float.
bool RangeValue(const QString& text, float& v)
{
    long double d = 0;
    if (!ReadNumber(text.toStdString(), d) || std::fabs(d) > FLT_MAX) return false;
    v = ToModelFloat(d);
    return true;
}

int RunBalanceReport(const CommandLine& cl, QTextStream& out, QTextStream& err)
{
    BalanceGoal goal;
    const QString word = cl.modeValue, name = cl.arguments.value(0);
    if (!TargetFromWord(word.toStdString(), goal.target))
        return BadArguments(
            err, QStringLiteral("unknown target \"%1\" (lead, cutoff-fwd, cutoff-rev, cutoff-both)").arg(word));
    goal.code = DimensionCodeOf(name.toStdString());
    if (goal.code == 0) return BadArguments(err, QStringLiteral("unknown dimension \"%1\"").arg(name));
    const bool hasRange = cl.Has(QStringLiteral("range"));
    const QStringList range = cl.Values(QStringLiteral("range"));
    if (hasRange &&
        (!RangeValue(range.value(0), goal.lo) || !RangeValue(range.value(1), goal.hi) || !(goal.lo < goal.hi)))
        return BadArguments(err, QStringLiteral("--range needs two numbers LO HI with LO < HI"));

    AppState s;
    if (!LoadDesignOrTell(s, cl, err)) return exit_status::kDesignUnreadable;
    if (!hasRange) DefaultBalanceRange(s.gear, goal.code, goal.lo, goal.hi);

    const std::vector<BalanceGoal> goals{goal};
    const BalanceResult r = BalanceEvents(s.gear, goals);
    if (r.outcome != BalanceOutcome::Found) {
        err << "no solution in range\n" << QString::fromStdString(BalanceSummary(goals, r, s.gear.Unit)) << "\n";
        return exit_status::kNoSolution;
    }
    out << QString::fromStdString(DimensionName(goal.code)) << ' '
        << QString::fromStdString(DecimalText(r.values[0].value, 8)) << '\n';
    for (const TextRow& row : BalanceDifferenceRows(goals, r, s.gear.Unit))
        out << QString::fromStdString(row[0]) << ": before " << QString::fromStdString(row[1]) << " after "
            << QString::fromStdString(row[2]) << '\n';
    if (r.clampsMet) err << "note: the gear could not be assembled at some values tried; they were skipped.\n";
    return exit_status::kDone;
}

const ReportRegistration kBalance{[] {
    ReportMode m;
    m.option = QStringLiteral("balance");
    m.valueName = QStringLiteral("TARGET");
    m.description = QStringLiteral("Find the value of DIMENSION that balances TARGET (lead, cutoff-fwd, cutoff-rev, "
                                   "cutoff-both).");
    m.arguments = {QStringLiteral("DIMENSION")};
    m.options = {
        {QStringLiteral("range"), QStringLiteral("LO HI"), QStringLiteral("Search range of the dimension."), 2}};
    m.order = 30;
    m.run = RunBalanceReport;
    return m;
}()};

} // namespace
