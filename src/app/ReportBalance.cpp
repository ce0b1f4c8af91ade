// quelf --balance TARGET DIMENSION [--range LO HI] [FILE]: the value of one
// dimension that balances the valve events, found as the "Balance Events…"
// window finds it.
//
// Standard output: "DIMENSION VALUE" (the value as the design stores it, 8
// decimals), then one line per difference: "label: before X after Y".
// Exit status: 0 found; 1 bad arguments; 2 no solution in the range (said on
// standard error with the differences at both ends); 3 the design cannot be
// read.
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

inline constexpr int kNoSolution = 2;
inline constexpr int kDesignUnreadable = 3;

int BadArguments(QTextStream& err, const QString& why)
{
    err << "quelf: " << why << "\n" << UsageText();
    return 1;
}

// A range end as typed: a finite number within the range of a float.
bool RangeValue(const QString& text, float& v)
{
    long double d = 0;
    if (!ReadNumber(text.toStdString(), d) || std::fabs(d) > FLT_MAX) return false;
    v = ToModelFloat(d);
    return true;
}

} // namespace

int RunBalanceReport(const CommandLine& cl, QTextStream& out, QTextStream& err)
{
    BalanceGoal goal;
    const QString word = cl.args.value(0), name = cl.args.value(1);
    if (!TargetFromWord(word.toStdString(), goal.target))
        return BadArguments(
            err, QStringLiteral("unknown target \"%1\" (lead, cutoff-fwd, cutoff-rev, cutoff-both)").arg(word));
    goal.code = DimensionCodeOf(name.toStdString());
    if (goal.code == 0) return BadArguments(err, QStringLiteral("unknown dimension \"%1\"").arg(name));
    if (cl.hasRange && (!RangeValue(cl.rangeLo, goal.lo) || !RangeValue(cl.rangeHi, goal.hi) || !(goal.lo < goal.hi)))
        return BadArguments(err, QStringLiteral("--range needs two numbers LO HI with LO < HI"));

    AppState s;
    std::string error;
    if (!LoadDesignForReport(s, cl.file, error)) {
        err << "quelf: " << QString::fromStdString(error) << "\n";
        return kDesignUnreadable;
    }
    if (!cl.hasRange) DefaultBalanceRange(s.gear, goal.code, goal.lo, goal.hi);

    const std::vector<BalanceGoal> goals{goal};
    const BalanceResult r = BalanceEvents(s.gear, goals);
    if (r.outcome != BalanceOutcome::Found) {
        err << "no solution in range\n" << QString::fromStdString(BalanceSummary(goals, r)) << "\n";
        return kNoSolution;
    }
    out << QString::fromStdString(DimensionName(goal.code)) << ' '
        << QString::fromStdString(DecimalText(r.values[0].value, 8)) << '\n';
    for (const TextRow& row : BalanceDifferenceRows(goals, r))
        out << QString::fromStdString(row[0]) << ": before " << QString::fromStdString(row[1]) << " after "
            << QString::fromStdString(row[2]) << '\n';
    if (r.clampsMet) err << "note: the gear could not be assembled at some values tried; they were skipped.\n";
    return 0;
}
