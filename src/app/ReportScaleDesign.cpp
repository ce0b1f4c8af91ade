// quelf --scale-design FACTOR OUT [--round GRID] [--unit UNIT] [FILE]: the
// design with every length times FACTOR, the view following, saved as OUT
// (.vgw, or .json for the design as JSON), as "EditDimen > Scale Design…"
// scales it. --unit states the unit of the scaled design (in, mm or units;
// without it the design keeps its own), --round rounds every dimension after
// the scaling to the length the grid names (1/64in or 0.1mm) in that unit.
// Nothing is printed. Exit status: 0 saved; 1 bad arguments (a FACTOR that is
// no number greater than 0, an OUT of neither name); 2 the design cannot be
// read; 3 OUT cannot be written (nothing is left behind); 4 the scaled design
// would hold values no design file can (beyond ±1e6).
#include "app/CommandLine.h"
#include "drawing/ScaleDesignValues.h"
#include "files/DesignFile.h"
#include "files/FileMessages.h"
#include "model/DesignScale.h"
#include "model/NumberText.h"

#include <QTextStream>

namespace {

bool UnitOfWord(const QString& w, LengthUnit& u)
{
    if (w == QLatin1String("in"))
        u = LengthUnit::Inch;
    else if (w == QLatin1String("mm"))
        u = LengthUnit::Millimetre;
    else if (w == QLatin1String("units"))
        u = LengthUnit::Unspecified;
    else
        return false;
    return true;
}

bool GridOfWord(QString w, RoundGrid& g)
{
    w.remove(QLatin1Char(' '));
    if (w == QLatin1String("1/64in"))
        g = RoundGrid::SixtyFourthInch;
    else if (w == QLatin1String("0.1mm"))
        g = RoundGrid::TenthMillimetre;
    else
        return false;
    return true;
}

int RunScaleDesignReport(const CommandLine& cl, QTextStream&, QTextStream& err)
{
    ScaleRequest r;
    if (!ReadNumber(cl.modeValue.toStdString(), r.factor) || !IsScaleFactor(r.factor))
        return BadArguments(err, QStringLiteral("FACTOR must be a number greater than 0, e.g. 0.125 or 25.4 (not "
                                                "\"%1\")")
                                     .arg(cl.modeValue));
    const QString out = cl.arguments.value(0);
    if (!IsDesignOutName(out)) return BadDesignOutName(err, out);
    const bool unitGiven = cl.Has(QStringLiteral("unit"));
    if (unitGiven && !UnitOfWord(cl.Value(QStringLiteral("unit")), r.unit))
        return BadArguments(err, QStringLiteral("--unit must be in, mm or units"));
    if (cl.Has(QStringLiteral("round")) && !GridOfWord(cl.Value(QStringLiteral("round")), r.round))
        return BadArguments(err, QStringLiteral("--round must be 1/64in or 0.1mm"));

    AppState s;
    if (!LoadDesignOrTell(s, cl, err)) return exit_status::kDesignUnreadable;
    if (!unitGiven) r.unit = s.gear.Unit;
    if (const std::string why = ScaledDesignProblem(s, r); !why.empty()) {
        err << "quelf: " << QString::fromStdString(why) << "\n";
        return exit_status::kNoSolution;
    }
    ApplyScale(s, r);
    const DesignFileResult saved = WriteDesignFile(s, out.toStdString());
    if (!saved.ok) {
        err << "quelf: " << QString::fromStdString(SaveFailureMessage(out.toStdString(), saved).OneLine()) << "\n";
        return exit_status::kOutputUnwritable;
    }
    return exit_status::kDone;
}

const ReportRegistration kScaleDesign{[] {
    ReportMode m;
    m.option = QStringLiteral("scale-design");
    m.valueName = QStringLiteral("FACTOR");
    m.description = QStringLiteral("Multiply every length of the design by FACTOR and save it as OUT (.vgw or .json).");
    m.arguments = {QStringLiteral("OUT")};
    m.options = {{QStringLiteral("round"), QStringLiteral("GRID"),
                  QStringLiteral("After scaling, round every dimension to 1/64in or 0.1mm.")},
                 {QStringLiteral("unit"), QStringLiteral("UNIT"),
                  QStringLiteral("The unit of the scaled design: in, mm or units.")}};
    m.order = 40;
    m.run = RunScaleDesignReport;
    return m;
}()};

} // namespace
