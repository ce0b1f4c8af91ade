// quelf --balance TARGET DIMENSION [--range LO HI] [FILE], run as a script runs it.
#include "cli/CliSupport.h"

#include "analysis/Balance.h"
#include "files/NativeFile.h"
#include "model/Model.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(BalanceReport, PrintsTheStoredValueOrSaysThereIsNoSolution)
{
    // The built-in design: the value on the first line squares the leads.
    AppState s;
    StartupModel(s);
    const CliRun lead =
        RunQuelf({QStringLiteral("--balance"), QStringLiteral("lead"), QStringLiteral("ValveRodLength")});
    ASSERT_FALSE(lead.crashed);
    EXPECT_EQ(lead.status, 0) << lead.err.toStdString();
    const QStringList lines = lead.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2) << lead.out.toStdString();
    const QStringList first = lines[0].split(QLatin1Char(' '));
    ASSERT_EQ(first.size(), 2);
    EXPECT_EQ(first[0], QStringLiteral("ValveRodLength"));
    EXPECT_EQ(first[1].section(QLatin1Char('.'), 1).size(), 8);
    const float v = first[1].toFloat();
    EXPECT_TRUE(MeasureTarget(TrialDesign(s.gear, {{20, v}}), BalanceTarget::Lead).Met());
    EXPECT_TRUE(lines[1].startsWith(QStringLiteral("Lead difference (units): before -0.00128 after ")))
        << lines[1].toStdString();

    // A saved design, with a range: the same value as the search in process.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("long rod.vgw"));
    s.gear.ValveRodLength = 3.9f;
    ASSERT_TRUE(SaveNativeFile(s, QFile::encodeName(path).toStdString()).ok);
    AppState loaded;
    StartupModel(loaded);
    ASSERT_TRUE(OpenNativeFile(loaded, QFile::encodeName(path).toStdString()).ok);
    const BalanceResult expected = BalanceEvents(loaded.gear, {{BalanceTarget::CutOffBoth, 10, 9.5f, 10.5f}});
    ASSERT_EQ(expected.outcome, BalanceOutcome::Found);
    const CliRun both =
        RunQuelf({QStringLiteral("--balance"), QStringLiteral("cutoff-both"), QStringLiteral("EccRodLength"),
                  QStringLiteral("--range"), QStringLiteral("9.5"), QStringLiteral("10.5"), path});
    EXPECT_EQ(both.status, 0) << both.err.toStdString();
    EXPECT_TRUE(
        both.out.startsWith(QStringLiteral("EccRodLength %1\n").arg(double(expected.values[0].value), 0, 'f', 8)))
        << both.out.toStdString();
    EXPECT_EQ(both.out.count(QStringLiteral("cut-off difference (% stroke): before ")), 2);

    // A root beside values where the gear cannot be built.
    const CliRun wide =
        RunQuelf({QStringLiteral("--balance"), QStringLiteral("cutoff-fwd"), QStringLiteral("EccRodLength"),
                  QStringLiteral("--range"), QStringLiteral("8.9"), QStringLiteral("13.1")});
    EXPECT_EQ(wide.status, 0) << wide.err.toStdString();
    EXPECT_TRUE(wide.out.startsWith(QStringLiteral("EccRodLength 9.9487"))) << wide.out.toStdString();

    // No root in the range; a dimension that does not change the target; a
    // least at an end of the range.
    for (const QStringList& args :
         {QStringList{QStringLiteral("--balance"), QStringLiteral("lead"), QStringLiteral("ValveRodLength"),
                      QStringLiteral("--range"), QStringLiteral("4.5"), QStringLiteral("5")},
          QStringList{QStringLiteral("--balance"), QStringLiteral("cutoff-fwd"), QStringLiteral("cylboredia")},
          QStringList{QStringLiteral("--balance"), QStringLiteral("cutoff-both"), QStringLiteral("RockerPivotVert")}}) {
        const CliRun r = RunQuelf(args);
        EXPECT_EQ(r.status, 4) << args.join(' ').toStdString();
        EXPECT_TRUE(r.out.isEmpty());
        EXPECT_TRUE(r.err.startsWith(QStringLiteral("no solution in range\n"))) << r.err.toStdString();
    }

    // Bad arguments: exit 1 with usage; an unreadable design: 2.
    for (const QStringList& args :
         {QStringList{QStringLiteral("--balance"), QStringLiteral("leads"), QStringLiteral("ValveRodLength")},
          QStringList{QStringLiteral("--balance"), QStringLiteral("lead"), QStringLiteral("ValveRod")},
          QStringList{QStringLiteral("--balance"), QStringLiteral("lead"), QStringLiteral("ValveRodLength"),
                      QStringLiteral("--range"), QStringLiteral("4"), QStringLiteral("3")},
          QStringList{QStringLiteral("--balance"), QStringLiteral("lead"), QStringLiteral("ValveRodLength"),
                      QStringLiteral("--range"), QStringLiteral("3"), QStringLiteral("x")}}) {
        const CliRun r = RunQuelf(args);
        EXPECT_EQ(r.status, 1) << args.join(' ').toStdString();
        EXPECT_TRUE(r.err.contains(QStringLiteral("Usage: quelf"))) << r.err.toStdString();
    }
    const CliRun missing = RunQuelf({QStringLiteral("--balance"), QStringLiteral("lead"),
                                     QStringLiteral("ValveRodLength"), dir.filePath(QStringLiteral("none.vgw"))});
    EXPECT_EQ(missing.status, 2);
}
