// quelf --performance and quelf --indicator, run as a script runs them: the
// rows and units of a design with and without engine data, the options that
// change the engine for a run, the files of one loop, the exit statuses.
#include "cli/CliSupport.h"

#include "model/DesignScale.h"
#include "model/EngineData.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QStringList Args(std::initializer_list<const char*> all)
{
    QStringList a;
    for (const char* r : all) a << QString::fromLatin1(r);
    return a;
}

// The built-in design at full size in millimetres, with engine data of its own.
QString EngineDesign(const QTemporaryDir& dir)
{
    AppState s;
    StartupModel(s);
    ScaleGearLengths(s.gear, 7 * 25.4L);
    s.gear.Unit = LengthUnit::Millimetre;
    RecomputeRevArmCentre(s.gear);
    s.gear.HasEngine = true;
    s.gear.Engine = DefaultEngineData(s.gear);
    s.gear.Engine.ChestPressure = 12;
    const QString path = dir.filePath(QStringLiteral("engine.vgw"));
    EXPECT_TRUE(SaveNativeFile(s, QFile::encodeName(path).toStdString()).ok);
    return path;
}

QStringList Lines(const QString& text) { return text.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts); }

} // namespace

TEST(PerformanceReport, PrintsARowForEachDirectionNotchAndSpeedInTheDesignsUnits)
{
    const CliRun r = RunQuelf(Args({"--performance"}));
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    const QStringList lines = Lines(r.out);
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines[0], QStringLiteral("Direction,Notch,RPM,PistonSpeed,CutOff,MEP,MEPFront,MEPRear,Power,"
                                       "TractiveEffort,SteamPerHour,SteamRate,CutOffPressureRatio,ReleasePressure,"
                                       "CompressionPeak"));
    EXPECT_EQ(lines[1], QStringLiteral(",,rpm,ft/min,% stroke,psi,psi,psi,hp,lb,lb/h,lb/(hp h),,psi abs,psi abs"));
    EXPECT_TRUE(lines[2].startsWith(QStringLiteral("fwd,normal,120.00,70.00,"))) << lines[2].toStdString();
    EXPECT_EQ(r.err, QStringLiteral("quelf: the design states no unit: its lengths are taken as inches\n"));

    QTemporaryDir dir;
    const QString design = EngineDesign(dir);
    const CliRun map =
        RunQuelf(Args({"--performance", "--speeds", "60:180:60", "--notch", "all", "--direction", "both"}) << design);
    ASSERT_EQ(map.status, 0) << map.err.toStdString();
    EXPECT_TRUE(map.err.isEmpty());
    const QStringList rows = Lines(map.out);
    ASSERT_EQ(rows.size(), 2 + 2 * 20 * 3);
    EXPECT_EQ(rows[1], QStringLiteral(",,rpm,m/s,% stroke,bar,bar,bar,kW,kg,kg/h,kg/(kW h),,bar abs,bar abs"));
    EXPECT_TRUE(rows[2].startsWith(QStringLiteral("fwd,0,60.00,")));
    EXPECT_TRUE(rows.last().startsWith(QStringLiteral("rev,18,180.00,")));
    EXPECT_EQ(rows.filter(QStringLiteral(",normal,")).size(), 6);

    // The design's own chest pressure (12 bar), then an option's (14 bar):
    // more pressure in the chest, more in the cylinder.
    const auto mep = [&](const QStringList& extra) {
        const CliRun run = RunQuelf(Args({"--performance", "--speed", "60"}) << extra << design);
        EXPECT_EQ(run.status, 0) << run.err.toStdString();
        return Lines(run.out).value(2).section(QLatin1Char(','), 5, 5).toDouble();
    };
    const double own = mep({}), more = mep(Args({"--chest-pressure", "14"}));
    EXPECT_GT(own, 9);
    EXPECT_LT(own, 12);
    EXPECT_GT(more, own + 1.5);
    EXPECT_LT(mep(Args({"--clearance", "20", "--port-length", "100"})), own);
}

TEST(PerformanceReport, WritesTheLoopOfOnePointAsTextOrPicture)
{
    QTemporaryDir dir;
    const QString design = EngineDesign(dir);
    const auto run = [&](const char* out, const QStringList& extra = {}) {
        return RunQuelf(Args({"--indicator"}) << dir.filePath(QString::fromLatin1(out)) << extra << design);
    };
    ASSERT_EQ(run("real.csv").status, 0);
    ASSERT_EQ(run("ideal.csv", Args({"--ideal", "--notch", "9", "--direction", "rev"})).status, 0);
    QFile real(dir.filePath(QStringLiteral("real.csv"))), ideal(dir.filePath(QStringLiteral("ideal.csv")));
    ASSERT_TRUE(real.open(QIODevice::ReadOnly) && ideal.open(QIODevice::ReadOnly));
    const QStringList a = Lines(QString::fromUtf8(real.readAll())), b = Lines(QString::fromUtf8(ideal.readAll()));
    EXPECT_EQ(a[0], QStringLiteral("DriverAngle,VolumeFront,PressureFront,VolumeRear,PressureRear"));
    EXPECT_GE(a.size(), 1 + 360);
    EXPECT_LE(a.size(), 1 + 368); // every degree and the events between
    EXPECT_TRUE(a[1].startsWith(QStringLiteral("0.000,"))) << a[1].toStdString();
    EXPECT_NE(a, b);
    for (const char* picture : {"loop.png", "loop.svg", "loop.pdf"}) {
        const CliRun p = run(picture, Args({"--ideal"}));
        EXPECT_EQ(p.status, 0) << p.err.toStdString();
        EXPECT_GT(QFileInfo(dir.filePath(QString::fromLatin1(picture))).size(), 1000) << picture;
    }
}

TEST(PerformanceReport, TellsWhatItCannotDoWithItsExitStatus)
{
    QTemporaryDir dir;
    const QString design = EngineDesign(dir);
    const QString unwritable = dir.filePath(QStringLiteral("no/such/folder/loop.png"));
    const std::pair<QStringList, int> cases[] = {
        {Args({"--performance", "--speed", "0"}), 1},
        {Args({"--performance", "--speed", "60", "--speeds", "60:120:60"}), 1},
        {Args({"--performance", "--speeds", "120:60:10"}), 1},
        {Args({"--performance", "--notch", "19"}), 1},
        {Args({"--performance", "--direction", "up"}), 1},
        {Args({"--performance", "--n", "1.3"}), 1},
        {Args({"--performance", "--cylinders", "0"}), 1},
        {Args({"--performance", "--chest-pressure", "2,5"}), 1},
        {Args({"--performance", "--chest-pressure", "1"}), 1}, // below the back pressure
        {Args({"--indicator", "loop.txt"}), 1},
        {Args({"--indicator", "loop.csv", "--notch", "all"}), 1},
        {Args({"--indicator", "loop.csv", "--chest-pressure", "100"}), 1},
        {Args({"--performance"}) << dir.filePath(QStringLiteral("none.vgw")), 2},
        {Args({"--indicator"}) << unwritable << design, 3},
        {Args({"--performance", "--notch", "18", "--direction", "rev"}) << SavedDesign(dir, "long arm.vgw", 22, 3.0f),
         4},
    };
    for (const auto& [args, status] : cases) {
        const CliRun bad = RunQuelf(args, dir.path());
        EXPECT_EQ(bad.status, status) << args.join(' ').toStdString();
        EXPECT_TRUE(bad.err.contains(QStringLiteral("quelf: "))) << bad.err.toStdString();
    }
    // A point that cannot be run leaves its row empty.
    const CliRun clamped = RunQuelf(Args({"--performance", "--notch", "18", "--direction", "rev"})
                                    << dir.filePath(QStringLiteral("long arm.vgw")));
    EXPECT_EQ(Lines(clamped.out).value(2), QStringLiteral("rev,18,120.00,,,,,,,,,,,,"));
    EXPECT_TRUE(clamped.err.contains(QStringLiteral("cannot be assembled"))) << clamped.err.toStdString();
}
