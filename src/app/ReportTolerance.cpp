// quelf --tolerance TOL [--samples N] [--seed S] [--angle-tolerance DEG]
// [--pin-clearance PLAY] [FILE]: every length of the design varied at random
// within +-TOL (the eccentric angle within +-DEG, the rods' pins with a play of
// PLAY), the spread of every figure of the valve events table, as the
// "Tolerance Study…" window studies it (analysis/ToleranceStudy.h).
//
// Standard output: CSV, "Direction,Notch,Event,Nominal,Min,Max,Mean,StdDev",
// one row per row of the table and figure. The same seed gives the same
// output, byte for byte. Samples left out (clamped, an event lost) are told on
// standard error.
// Exit status: 0 done; 1 bad arguments; 2 the design cannot be read; 4 every
// sample clamped or lost an event.
#include "analysis/ToleranceStudy.h"
#include "app/CommandLine.h"
#include "files/TextTable.h"
#include "model/AppState.h"
#include "model/DesignEdit.h"
#include "model/NumberText.h"

#include <QTextStream>

#include <cfloat>
#include <cmath>

namespace {

// A tolerance or play: a number of 0 or more within the range of a float.
bool ReadTolerance(const QString& text, float& v)
{
    long double d = 0;
    if (!ReadNumber(text.toStdString(), d) || !(d >= 0) || d > FLT_MAX) return false;
    v = ToModelFloat(d);
    return true;
}

// The settings the arguments ask for; an empty text when they read, else why not.
QString ReadSettings(const CommandLine& cl, ToleranceSettings& settings)
{
    float lengths = 0, angle = 0, play = 0;
    if (!ReadTolerance(cl.modeValue, lengths)) return QStringLiteral("TOL must be a number of 0 or more");
    if (cl.Has(QStringLiteral("angle-tolerance")) && !ReadTolerance(cl.Value(QStringLiteral("angle-tolerance")), angle))
        return QStringLiteral("--angle-tolerance must be a number of 0 or more (degrees)");
    if (cl.Has(QStringLiteral("pin-clearance")) && !ReadTolerance(cl.Value(QStringLiteral("pin-clearance")), play))
        return QStringLiteral("--pin-clearance must be a number of 0 or more");
    settings = UniformTolerances(lengths, angle);
    settings.pinClearance = play;
    std::uint64_t n = 0;
    if (cl.Has(QStringLiteral("samples"))) {
        if (!ReadWholeNumber(cl.Value(QStringLiteral("samples")).toStdString(), n) || n < 1 ||
            n > static_cast<std::uint64_t>(kMaxSamples))
            return QStringLiteral("--samples must be a whole number from 1 to %1").arg(kMaxSamples);
        settings.samples = static_cast<int>(n);
    }
    if (cl.Has(QStringLiteral("seed")) &&
        !ReadWholeNumber(cl.Value(QStringLiteral("seed")).toStdString(), settings.seed))
        return QStringLiteral("--seed must be a whole number from 0 to 18446744073709551615");
    return {};
}

int RunToleranceReport(const CommandLine& cl, QTextStream& out, QTextStream& err)
{
    ToleranceSettings settings;
    const QString why = ReadSettings(cl, settings);
    if (!why.isEmpty()) return BadArguments(err, why);
    AppState s;
    if (!LoadDesignOrTell(s, cl, err)) return exit_status::kDesignUnreadable;
    const Gear& design = s.gear;
    const ToleranceResult r = RunToleranceStudy(design, settings);
    if (r.outcome == ToleranceOutcome::Invalid) return BadArguments(err, QString::fromStdString(r.error));
    out << QString::fromStdString(CsvText(ToleranceCsvRows(design, r)));
    if (r.outcome == ToleranceOutcome::NoValidSample) {
        err << "quelf: no spread: " << QString::fromStdString(ToleranceSummary(r)) << "\n";
        return exit_status::kNoSolution;
    }
    // The design itself clamping is said as every report says it; the
    // samples are judged against it (a sample clamps where it does not).
    const QString warning = AssemblyWarning(s);
    if (!warning.isEmpty()) err << warning << "\n";
    if (r.valid < r.samples) err << "quelf: note: " << QString::fromStdString(ToleranceSummary(r)) << "\n";
    return exit_status::kDone;
}

const ReportRegistration kTolerance{[] {
    ReportMode m;
    m.option = QStringLiteral("tolerance");
    m.valueName = QStringLiteral("TOL");
    m.description = QStringLiteral("Vary every length within +-TOL at random and print the spread of every event "
                                   "over the notches as CSV.");
    m.options = {
        {QStringLiteral("samples"), QStringLiteral("N"), QStringLiteral("Samples to draw (500)."), 1},
        {QStringLiteral("seed"), QStringLiteral("S"), QStringLiteral("Seed of the random numbers (1)."), 1},
        {QStringLiteral("angle-tolerance"), QStringLiteral("DEG"),
         QStringLiteral("Tolerance of the eccentric angle in degrees (0)."), 1},
        {QStringLiteral("pin-clearance"), QStringLiteral("PLAY"),
         QStringLiteral("Play of each rod between two pins, both ways (0)."), 1},
    };
    m.order = 70;
    m.run = RunToleranceReport;
    return m;
}()};

} // namespace
