// quelf --check [FILE] and quelf --optimise TARGETS DIMENSIONS [--out OUT.vgw]
// [FILE], run as a script runs them.
#include "cli/CliSupport.h"

#include "analysis/Balance.h"
#include "analysis/Optimise.h"
#include "files/NativeFile.h"
#include "model/DesignEdit.h"
#include "model/Model.h"
#include "model/NumberText.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(CheckReport, PrintsEveryRuleAsCsvAndFailsWithStatus4)
{
    const CliRun r = RunQuelf({QStringLiteral("--check")});
    ASSERT_FALSE(r.crashed);
    EXPECT_EQ(r.status, 4);
    EXPECT_EQ(r.out, QStringLiteral("Rule,Direction,Value,Limit,Result\r\n"
                                    "assembles,forward,0,0,PASS\r\n"
                                    "assembles,reverse,0,0,PASS\r\n"
                                    "equal-leads,both,0.30,0.50,PASS\r\n"
                                    "equal-cutoff-fwd,forward,6.17,2.00,FAIL\r\n"
                                    "equal-cutoff-rev,reverse,5.16,2.00,FAIL\r\n"
                                    "full-gear-cutoff,forward,86.18,75.00,PASS\r\n"
                                    "full-gear-cutoff,reverse,88.53,75.00,PASS\r\n"
                                    "port-opening,forward,11.30,25.00,FAIL\r\n"
                                    "release,forward,72.43,70.00,PASS\r\n"
                                    "compression,forward,37.60,40.00,PASS\r\n"));
    EXPECT_EQ(r.err, QStringLiteral("quelf: the design fails equal-cutoff-fwd forward, equal-cutoff-rev reverse, "
                                    "port-opening forward\n"));
    QTemporaryDir dir;
    const CliRun broken = RunQuelf({QStringLiteral("--check"), SavedDesign(dir, "long arm.vgw", 22, 3.0f)});
    EXPECT_EQ(broken.status, 4);
    EXPECT_TRUE(broken.out.contains(QStringLiteral("\r\nassembles,reverse,8,0,FAIL\r\n"))) << broken.out.toStdString();
    EXPECT_EQ(RunQuelf({QStringLiteral("--check"), dir.filePath(QStringLiteral("none.vgw"))}).status, 2);
}

// The values, the objective and the rms of each target, as the window finds
// them; the design written with --out is the design as "Apply" leaves it, and
// its objective is the one printed after.
TEST(OptimiseReport, PrintsTheResultAndWritesTheDesignItMeasured)
{
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("optimised.vgw"));
    const QString targets = QStringLiteral("cutoff-fwd-all,cutoff-rev-all");
    const QString dims = QStringLiteral("ValveRodLength=3.5:4.0,EccRodLength");
    const CliRun r = RunQuelf({QStringLiteral("--optimise"), targets, dims, QStringLiteral("--out"), out});
    ASSERT_FALSE(r.crashed);
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    const QStringList lines = r.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 5) << r.out.toStdString();
    const QRegularExpression value(QStringLiteral("^(ValveRodLength|EccRodLength) (-?\\d+\\.\\d{8})$"));
    EXPECT_TRUE(value.match(lines[0]).hasMatch() && lines[0].startsWith(QStringLiteral("ValveRodLength ")));
    EXPECT_TRUE(value.match(lines[1]).hasMatch() && lines[1].startsWith(QStringLiteral("EccRodLength ")));
    const float rod = lines[0].section(QLatin1Char(' '), 1).toFloat();
    EXPECT_GE(rod, 3.5f);
    EXPECT_LE(rod, 4.0f);
    const QStringList objective = lines[2].split(QLatin1Char(' '));
    ASSERT_EQ(objective.size(), 3);
    EXPECT_EQ(objective[0], QStringLiteral("objective"));
    EXPECT_LT(objective[2].toDouble(), objective[1].toDouble());
    EXPECT_TRUE(lines[3].startsWith(QStringLiteral("cutoff-fwd-all rms ")));
    EXPECT_TRUE(lines[4].startsWith(QStringLiteral("cutoff-rev-all rms ")));

    // The values printed, applied as "Apply" applies them: the file written,
    // byte for byte, and the objective printed after.
    AppState s;
    StartupModel(s);
    ApplyBalance(s, {{20, lines[0].section(QLatin1Char(' '), 1).toFloat()},
                     {10, lines[1].section(QLatin1Char(' '), 1).toFloat()}});
    const QString applied = dir.filePath(QStringLiteral("applied.vgw"));
    ASSERT_TRUE(SaveNativeFile(s, QFile::encodeName(applied).toStdString()).ok);
    QFile a(applied), b(out);
    ASSERT_TRUE(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
    EXPECT_EQ(a.readAll(), b.readAll());
    OptimiseGoals goals;
    goals.targets = {{DesignTarget::CutOffForwardAll, 1}, {DesignTarget::CutOffReverseAll, 1}};
    EXPECT_EQ(QString::fromStdString(DecimalText(MeasureDesign(s.gear, goals).objective, 6)), objective[2]);
}

TEST(OptimiseReport, ExitStatusesOfBadInputAndNoImprovement)
{
    QTemporaryDir dir;
    const QString blocked = dir.filePath(QStringLiteral("no such folder/out.vgw"));
    struct Case {
        QStringList args;
        int status;
        const char* err; // the start of standard error
    };
    const std::vector<Case> cases = {
        {{QStringLiteral("cutoff-fwd"), QStringLiteral("ValveRodLength=4:3.5")},
         1,
         "quelf: the bounds of ValveRodLength must be LO:HI"},
        {{QStringLiteral("cutoff-fwd"), QStringLiteral("ValveRodLength=3.5")}, 1, "quelf: the bounds of"},
        {{QStringLiteral("cutoff-sideways"), QStringLiteral("ValveRodLength")}, 1, "quelf: unknown target"},
        {{QStringLiteral("cutoff-fwd"), QStringLiteral("ValveRodLenth")}, 1, "quelf: unknown dimension"},
        {{QStringLiteral("cutoff-fwd"), QStringLiteral("Stroke,Stroke")}, 1, "quelf: Choose each dimension once."},
        {{QStringLiteral("cutoff-fwd"),
          QStringLiteral("Stroke,MainRodLength,EccentricDiam,EccCircleDiam,EccAngleDeg,EccStrapUpper,"
                         "EccStrapLower,EccStrapHorz,EccRodLength")},
         1,
         "quelf: Choose at most 8 dimensions."},
        {{QStringLiteral("cutoff-fwd"), QStringLiteral("CylBoreDia")}, 4, "quelf: no feasible improvement"},
        {{QStringLiteral("cutoff-fwd-all"), QStringLiteral("ValveRodLength"), SavedDesign(dir, "arm.vgw", 22, 3.0f)},
         4,
         "quelf: no feasible improvement: The gear cannot be assembled"},
        {{QStringLiteral("cutoff-fwd"), QStringLiteral("ValveRodLength"), dir.filePath(QStringLiteral("none.vgw"))},
         2,
         "quelf: "},
        {{QStringLiteral("lead"), QStringLiteral("ValveRodLength"), QStringLiteral("--out"), blocked},
         3,
         "quelf: cannot write"},
    };
    for (const Case& c : cases) {
        const CliRun r = RunQuelf(QStringList{QStringLiteral("--optimise")} + c.args);
        ASSERT_FALSE(r.crashed);
        EXPECT_EQ(r.status, c.status) << c.args.join(' ').toStdString() << ": " << r.err.toStdString();
        EXPECT_TRUE(r.err.startsWith(QString::fromLatin1(c.err))) << r.err.toStdString();
        if (c.status != 0 && c.status != 3) {
            EXPECT_TRUE(r.out.isEmpty()) << r.out.toStdString();
        }
    }
    EXPECT_FALSE(QFile::exists(blocked));
}

// The engine's words on the command line, on the built-in design at full
// size with engine data: the check's engine rules, the engine targets of the
// optimiser with their speed, and the sensitivity's power and steam rate.
TEST(EngineDesignCli, TheEngineRulesTargetsAndFiguresByName)
{
    QTemporaryDir dir;
    const QString full = dir.filePath(QStringLiteral("full.json"));
    ASSERT_EQ(RunQuelf({QStringLiteral("--scale-design"), QStringLiteral("7"), full, QStringLiteral("--unit"),
                        QStringLiteral("in")})
                  .status,
              0);
    QFile f(full);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    QByteArray json = f.readAll();
    f.close();
    json.replace(json.indexOf('{'), 1, "{\"engine\": {},");
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(json);
    f.close();
    const struct {
        QStringList args;
        int status;
        const char* out; // a pattern of standard output
        const char* err; // a text standard error contains
    } rows[] = {
        {{QStringLiteral("--check"), full},
         4,
         "\r\ncompression-peak,forward,\\d+\\.\\d\\d,100\\.00,(PASS|FAIL)\r\ncutoff-pressure,forward,\\d+\\.\\d\\d,"
         "50\\.00,"
         "(PASS|FAIL)\r\nmep-balance,forward,\\d+\\.\\d\\d,5\\.00,(PASS|FAIL)\r\n$",
         "quelf: the design fails"},
        {{QStringLiteral("--check"), QStringLiteral("--speed"), QStringLiteral("0"), full}, 1, "^$", "--speed"},
        {{QStringLiteral("--optimise"), QStringLiteral("power@120"), QStringLiteral("ValveRodLength"), full},
         0,
         "\npower@120 rms 100\\.000000 (9\\d)\\.\\d{6}\n$",
         ""},
        // Twenty rows (notches 0..18 and the normal notch): the objective is 20 x rms^2.
        {{QStringLiteral("--optimise"), QStringLiteral("mep-balance-rev-all@120"), QStringLiteral("RockerLower"), full},
         0,
         "^RockerLower \\d+\\.\\d{8}\nobjective 208\\.733225 \\d+\\.\\d{6}\nmep-balance-rev-all@120 rms 3\\.230582 "
         "[0-2]\\.\\d{6}\n$",
         ""},
        {{QStringLiteral("--optimise"), QStringLiteral("power"), QStringLiteral("ValveRodLength"), full},
         1,
         "^$",
         "the target \"power\" needs a speed: power@RPM"},
        {{QStringLiteral("--sensitivity"), QStringLiteral("--speed"), QStringLiteral("120"), full},
         0,
         ",Power \\(hp\\),Steam rate \\(lb/\\(hp h\\)\\),Notes\r\n",
         ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.args.join(QLatin1Char(' ')).toStdString());
        const CliRun r = RunQuelf(row.args);
        ASSERT_FALSE(r.crashed);
        EXPECT_EQ(r.status, row.status) << r.err.toStdString();
        EXPECT_TRUE(QRegularExpression(QString::fromUtf8(row.out)).match(r.out).hasMatch()) << r.out.toStdString();
        EXPECT_TRUE(r.err.contains(QString::fromUtf8(row.err))) << r.err.toStdString();
    }
}
