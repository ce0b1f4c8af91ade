// quelf --sensitivity [--notch N|normal] [--direction fwd|rev] [FILE] and
// quelf --tolerance TOL [--samples N] [--seed S] [...] [FILE], run as a script
// runs them.
#include "cli/CliSupport.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QStringList Args(const char* mode, std::initializer_list<const char*> rest)
{
    QStringList a{QString::fromLatin1(mode)};
    for (const char* r : rest) a << QString::fromLatin1(r);
    return a;
}

} // namespace

TEST(SensitivityReport, PrintsOneRowPerDimensionUnderTheTablesColumnNames)
{
    const CliRun r = RunQuelf({QStringLiteral("--sensitivity")});
    ASSERT_FALSE(r.crashed);
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    const QStringList lines = r.out.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 45);
    EXPECT_EQ(lines[0],
              QStringLiteral("Dimension,Value,Lead front (units),Lead rear (units),Front admission (% stroke),"
                             "Front cut-off (% stroke),Front release (% stroke),Front compression (% stroke),"
                             "Rear admission (% stroke),Rear cut-off (% stroke),Rear release (% stroke),Rear "
                             "compression (% stroke),Max opening front (units),Max opening rear (units),"
                             "Valve travel (units),Notes"));
    // The valve rod moves the valve, and with it both leads, one for one.
    EXPECT_TRUE(lines[20].startsWith(QStringLiteral("ValveRodLength,3.75,-1.0000,1.0000,"))) << lines[20].toStdString();

    QTemporaryDir dir;
    const CliRun other = RunQuelf(Args("--sensitivity", {"--notch", "6", "--direction", "rev"})
                                  << SavedDesign(dir, "rod.vgw", 20, 3.7f));
    EXPECT_EQ(other.status, 0) << other.err.toStdString();
    EXPECT_NE(other.out, r.out);
    EXPECT_EQ(other.out.count(QStringLiteral("\r\n")), 45);

    const std::pair<QStringList, int> statuses[] = {
        {Args("--sensitivity", {"--notch", "19"}), 1},
        {Args("--sensitivity", {"--notch", "-1"}), 1},
        {Args("--sensitivity", {"--notch", "x"}), 1},
        {Args("--sensitivity", {"--direction", "up"}), 1},
        {Args("--sensitivity", {"--samples", "3"}), 1},
        {Args("--sensitivity", {}) << dir.filePath(QStringLiteral("none.vgw")), 2},
        {Args("--sensitivity", {"--notch", "18", "--direction", "rev"}) << SavedDesign(dir, "long arm.vgw", 22, 3.0f),
         4},
    };
    for (const auto& [args, status] : statuses) {
        const CliRun bad = RunQuelf(args);
        EXPECT_EQ(bad.status, status) << args.join(' ').toStdString();
        EXPECT_TRUE(bad.err.startsWith(QStringLiteral("quelf: "))) << bad.err.toStdString();
        if (status != 0) {
            EXPECT_TRUE(bad.out.isEmpty()) << args.join(' ').toStdString();
        }
    }
}

TEST(ToleranceReport, SameSeedSameBytesNoToleranceNoSpreadAndEveryStatus)
{
    const QStringList args =
        Args("--tolerance", {"0.002", "--samples", "6", "--seed", "3", "--pin-clearance", "0.001"});
    const CliRun a = RunQuelf(args), b = RunQuelf(args);
    ASSERT_FALSE(a.crashed);
    ASSERT_EQ(a.status, 0) << a.err.toStdString();
    EXPECT_EQ(a.out, b.out);
    EXPECT_NE(RunQuelf(Args("--tolerance", {"0.002", "--samples", "6", "--seed", "4"})).out, a.out);
    const QStringList lines = a.out.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 1 + 40 * 13);
    EXPECT_EQ(lines[0], QStringLiteral("Direction,Notch,Event,Nominal,Min,Max,Mean,StdDev"));
    EXPECT_TRUE(lines[1].startsWith(QStringLiteral("Forward,0,Lead front (units),0.024254,")))
        << lines[1].toStdString();

    const CliRun zero = RunQuelf(Args("--tolerance", {"0", "--samples", "2"}));
    ASSERT_EQ(zero.status, 0) << zero.err.toStdString();
    for (const QString& line : zero.out.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts).mid(1)) {
        const QStringList c = line.split(QLatin1Char(','));
        ASSERT_EQ(c.size(), 8) << line.toStdString();
        EXPECT_TRUE(c[4] == c[3] && c[5] == c[3] && c[6] == c[3]) << line.toStdString();
        EXPECT_TRUE(c[7].isEmpty() || c[7].toDouble() == 0) << line.toStdString(); // empty: no such event
    }

    // A design that clamps as it is: the study is made against it, with the
    // warning every report gives.
    QTemporaryDir dir;
    const CliRun tiny =
        RunQuelf(Args("--tolerance", {"0.002", "--samples", "4"}) << SavedDesign(dir, "tiny stroke.vgw", 2, 1e-6f));
    EXPECT_EQ(tiny.status, 0) << tiny.err.toStdString();
    EXPECT_TRUE(tiny.err.startsWith(QStringLiteral("quelf: warning: the gear cannot be assembled everywhere")))
        << tiny.err.toStdString();
    EXPECT_TRUE(a.err.isEmpty()) << a.err.toStdString();

    const CliRun huge = RunQuelf(Args("--tolerance", {"3", "--samples", "2"}));
    EXPECT_EQ(huge.status, 4);
    EXPECT_TRUE(huge.err.startsWith(QStringLiteral("quelf: no spread: 2 samples: 0 used, "))) << huge.err.toStdString();
    const std::pair<QStringList, int> statuses[] = {
        {Args("--tolerance", {"-0.1"}), 1},
        {Args("--tolerance", {"x"}), 1},
        {Args("--tolerance", {"0.001", "--samples", "0"}), 1},
        {Args("--tolerance", {"0.001", "--samples", "100001"}), 1},
        {Args("--tolerance", {"0.001", "--seed", "-2"}), 1},
        {Args("--tolerance", {"0.001", "--pin-clearance", "-1"}), 1},
        {Args("--tolerance", {"0.001", "--angle-tolerance", "nan"}), 1},
        {Args("--tolerance", {"0.001", "--notch", "3"}), 1},
        {Args("--tolerance", {"0.001"}) << dir.filePath(QStringLiteral("none.vgw")), 2},
    };
    for (const auto& [bad, status] : statuses) {
        const CliRun r = RunQuelf(bad);
        EXPECT_EQ(r.status, status) << bad.join(' ').toStdString();
        EXPECT_TRUE(r.err.startsWith(QStringLiteral("quelf: "))) << r.err.toStdString();
    }
}
