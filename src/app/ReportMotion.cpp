// quelf --motion OUT [--step DEG] [--rev-arm POS] [FILE]: the motion of every
// pivot of the point table 0 to 18, the piston position and the valve centre
// over one revolution, written to OUT as CSV (.csv) or JSON (.json). The
// reverse arm stands at POS as the "Rev Arm" readout shows it (the arm's own
// position, not one counted from mid gear); without --rev-arm at mid gear, as
// the design opens. Exit status: 0 written, 1 bad arguments (a step outside
// 0.01 to 360, a position beyond the arm's travel), 2 the design cannot be
// read, 3 the file cannot be written. Angles where the solver clamped get one
// warning line on standard error.
#include "analysis/MotionData.h"
#include "app/CommandLine.h"
#include "model/AppState.h"
#include "model/NumberText.h"
#include "platform/RecordFile.h"

#include <QFile>
#include <QFileInfo>
#include <QTextStream>

#include <algorithm>
#include <cmath>

namespace {

int RunMotionReport(const CommandLine& cl, QTextStream&, QTextStream& err)
{
    const QString out = cl.modeValue;
    const QString suffix = QFileInfo(out).suffix().toLower();
    if (suffix != QLatin1String("csv") && suffix != QLatin1String("json"))
        return BadArguments(err, QStringLiteral("\"%1\" must end in .csv or .json").arg(out));
    long double step = kDefaultMotionStep;
    if (cl.Has(QStringLiteral("step")) &&
        (!ReadNumber(cl.Value(QStringLiteral("step")).toStdString(), step) || !IsMotionStep(step)))
        return BadArguments(err, QStringLiteral("--step must be a number of degrees from 0.01 to 360"));
    long double revArm = 0;
    const bool givenArm = cl.Has(QStringLiteral("rev-arm"));
    if (givenArm && !ReadNumber(cl.Value(QStringLiteral("rev-arm")).toStdString(), revArm))
        return BadArguments(err, QStringLiteral("--rev-arm must be a number: a reverse arm position as the "
                                                "\"Rev Arm\" readout shows it"));

    AppState s;
    if (!LoadDesignOrTell(s, cl, err)) return exit_status::kDesignUnreadable;
    Gear& g = s.gear;
    float position = g.RevArmPos; // mid gear, as the design opens
    if (givenArm && !RevArmWithinTravel(g, revArm, cl, err, position)) return exit_status::kBadArguments;

    const MotionTable t = SweepMotion(g, position, ToModelFloat(step));
    const std::string text =
        suffix == QLatin1String("json") ? MotionJsonText(t, s.display.DataSetName, g.Unit) : MotionCsvText(t);
    std::string error;
    if (!SaveTextFile(out.toStdString(), text, error)) return CannotWrite(err, out, error);
    if (t.clampedRows > 0) {
        err << QStringLiteral("quelf: warning: the gear cannot be assembled everywhere: the solver clamped at %1 "
                              "of the %2 driver angles")
                   .arg(t.clampedRows)
                   .arg(t.rows.size())
            << "\n";
    }
    return exit_status::kDone;
}

const ReportRegistration kMotion{[] {
    ReportMode m;
    m.option = QStringLiteral("motion");
    m.valueName = QStringLiteral("OUT");
    m.description = QStringLiteral("Write the motion of pivots 0 to 18, the piston and the valve over one revolution "
                                   "to OUT (.csv or .json).");
    m.options = {{QStringLiteral("step"), QStringLiteral("DEG"),
                  QStringLiteral("Driver angle step of the motion, 0.01 to 360 degrees (default 1).")},
                 {QStringLiteral("rev-arm"), QStringLiteral("POS"),
                  QStringLiteral("Reverse arm position as the \"Rev Arm\" readout shows it (default: mid gear).")}};
    m.order = 40;
    m.run = RunMotionReport;
    return m;
}()};

} // namespace
