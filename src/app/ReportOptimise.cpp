// quelf --optimise TARGETS DIMENSIONS [--out OUT] [FILE]: the values of up
// to eight dimensions that meet a list of targets best, found as the
// "Optimise Design…" window finds them.
//
// TARGETS: a comma list of target words (cutoff-fwd-all,cutoff-rev-all),
// each of weight 1. DIMENSIONS: a comma list of dimension identifiers, each
// optionally with its bounds, NAME=LO:HI (else its value -+ 10 %).
// Standard output: one line per dimension "NAME VALUE" (the stored float, 8
// decimals), "objective BEFORE AFTER", one line per target "TARGET rms BEFORE
// AFTER", AFTER measured on the design as "Apply" leaves it (what the window
// shows, and what --out writes; OUT's name chooses the format, .vgw, or .json
// for the design as JSON). Bounds that leave out a dimension's value, and a
// dimension that ends at a bound, are noted on standard error.
// Exit status: 0 improved; 1 bad arguments (an OUT of neither name too); 2
// the design cannot be read; 3 OUT cannot be written; 4 no feasible
// improvement.
#include "analysis/Balance.h"
#include "analysis/BalanceText.h"
#include "analysis/Optimise.h"
#include "app/CommandLine.h"
#include "drawing/DimensionEdit.h"
#include "files/DesignFile.h"
#include "model/AppState.h"
#include "model/DesignEdit.h"
#include "model/Model.h"
#include "model/NumberText.h"

#include <QTextStream>

#include <cfloat>
#include <cmath>

namespace {

QString Number(long double v, int decimals) { return QString::fromStdString(DecimalText(v, decimals)); }

bool BoundValue(const QString& text, float& v)
{
    long double d = 0;
    if (!ReadNumber(text.toStdString(), d) || std::fabs(d) > FLT_MAX) return false;
    v = ToModelFloat(d);
    return true;
}

// The dimensions argument; an empty text when it reads, else why not.
QString ReadDimensions(const QString& text, const Gear& design, std::vector<OptimiseDimension>& dims)
{
    for (const QString& item : text.split(QLatin1Char(','))) {
        const QString name = item.section(QLatin1Char('='), 0, 0);
        const int code = DimensionCodeOf(name.toStdString());
        if (code == 0) return QStringLiteral("unknown dimension \"%1\"").arg(name);
        OptimiseDimension d = DefaultOptimiseDimension(design, code);
        if (item.contains(QLatin1Char('='))) {
            const QStringList bounds = item.section(QLatin1Char('='), 1).split(QLatin1Char(':'));
            if (bounds.size() != 2 || !BoundValue(bounds[0], d.lo) || !BoundValue(bounds[1], d.hi) || !(d.lo < d.hi))
                return QStringLiteral("the bounds of %1 must be LO:HI, two numbers with LO < HI").arg(name);
        }
        dims.push_back(d);
    }
    return {};
}

int RunOptimiseReport(const CommandLine& cl, QTextStream& out, QTextStream& err)
{
    OptimiseGoals goals;
    for (const QString& word : cl.modeValue.split(QLatin1Char(','))) {
        WeightedTarget t;
        std::string why;
        if (!WeightedTargetFromText(word.toStdString(), t, why)) {
            QStringList words;
            for (int k = 0; k < kDesignTargets; ++k) {
                const auto target = static_cast<DesignTarget>(k);
                words << QString::fromStdString(DesignTargetWord(target) + (IsEngineTarget(target) ? "@RPM" : ""));
            }
            return BadArguments(err, QString::fromStdString(why) + QStringLiteral(" (%1)").arg(words.join(", ")));
        }
        goals.targets.push_back(t);
    }
    AppState s;
    // The default bounds come from the design: read it first, tell the
    // arguments' faults before its own.
    std::string loadError;
    const bool loaded = LoadDesignForReport(s, cl.file, loadError);
    const QString why = ReadDimensions(cl.arguments.value(0), s.gear, goals.dimensions);
    if (!why.isEmpty()) return BadArguments(err, why);
    const std::string invalid = CheckOptimiseGoals(goals);
    if (!invalid.empty()) return BadArguments(err, QString::fromStdString(invalid));
    if (cl.Has(QStringLiteral("out")) && !IsDesignOutName(cl.Value(QStringLiteral("out"))))
        return BadDesignOutName(err, cl.Value(QStringLiteral("out")));
    if (!loaded) {
        err << "quelf: " << QString::fromStdString(loadError) << "\n";
        return exit_status::kDesignUnreadable;
    }

    // Bounds that leave out a value are said so; the search keeps to them.
    for (const OptimiseDimension& d : goals.dimensions) {
        std::string note = BoundsLeaveOutText(DimensionName(d.code), GetDimension(s.gear, d.code), d.lo, d.hi);
        if (note.empty()) continue;
        note[0] = 't';
        err << "quelf: note: " << QString::fromStdString(note) << "\n";
    }
    // The window's search on the same design: one answer.
    const OptimiseResult r = OptimiseDesign(s.gear, goals);
    if (r.outcome == OptimiseOutcome::Infeasible) {
        err << "quelf: no feasible improvement: " << QString::fromStdString(r.error) << "\n";
        return exit_status::kNoSolution;
    }
    if (!r.Improved()) {
        err << "quelf: no feasible improvement within the bounds (objective " << Number(r.before.objective, 6) << ")\n";
        return exit_status::kNoSolution;
    }
    for (const DimensionValue& v : r.values)
        out << QString::fromStdString(DimensionName(v.code)) << ' ' << Number(v.value, 8) << '\n';
    out << "objective " << Number(r.before.objective, 6) << ' ' << Number(r.after.objective, 6) << '\n';
    for (size_t k = 0; k < goals.targets.size(); ++k)
        out << QString::fromStdString(WeightedTargetText(goals.targets[k])) << " rms "
            << Number(r.before.targets[k].Rms(), 6) << ' ' << Number(r.after.targets[k].Rms(), 6) << '\n';
    for (size_t j = 0; j < r.values.size(); ++j)
        if (r.atBound[j] != 0)
            err << "quelf: note: " << QString::fromStdString(DimensionName(r.values[j].code)) << " ends at its "
                << (r.atBound[j] < 0 ? "lower" : "upper") << " bound\n";
    // As "Apply" leaves the design: what the figures after were measured on.
    ApplyBalance(s, r.values);
    if (cl.Has(QStringLiteral("out"))) {
        const QString path = cl.Value(QStringLiteral("out"));
        const DesignFileResult saved = WriteDesignFile(s, path.toStdString());
        if (!saved.ok) return CannotWrite(err, path, saved.error);
    }
    return exit_status::kDone;
}

const ReportRegistration kOptimise{[] {
    ReportMode m;
    m.option = QStringLiteral("optimise");
    m.valueName = QStringLiteral("TARGETS");
    m.description = QStringLiteral("Find the values of DIMENSIONS (NAME or NAME=LO:HI, comma-separated, at most 8) "
                                   "that meet TARGETS (comma-separated) best.");
    m.arguments = {QStringLiteral("DIMENSIONS")};
    m.options = {{QStringLiteral("out"), QStringLiteral("OUT"),
                  QStringLiteral("Write the optimised design as Apply and a save would (.vgw or .json)."), 1}};
    m.order = 50;
    m.run = RunOptimiseReport;
    return m;
}()};

} // namespace
