// quelf --motion and --export-design, and a design as JSON wherever the
// command line takes a design.
#include "cli/CliSupport.h"

#include "analysis/MotionData.h"
#include "files/JsonDesign.h"
#include "files/NativeFile.h"
#include "model/Model.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QByteArray Bytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(missing)");
}

std::string Local(const QString& path) { return QFile::encodeName(path).toStdString(); }

// A design of its own: other dimensions, the arm's travel, lines and circles.
AppState OwnDesign()
{
    AppState s;
    StartupModel(s);
    SetDimension(s.gear, 20, 4.125f);
    SetDimension(s.gear, 6, 7.5f);
    SetDimension(s.gear, 22, 1.75f);
    s.overlay.Item[3].Kind = 1;
    s.overlay.Item[3].Colour = 255;
    s.overlay.Item[3].Reference = 0;
    s.overlay.Item[3].X2 = 2.5f;
    s.view.PresetTable[4] = -77;
    s.gear.RevArm[5] = 0.625f;
    RecomputeRevArmCentre(s.gear);
    return s;
}

} // namespace

TEST(MotionReport, WritesThePivotsOfEveryAngleAsCsvOrJson)
{
    QTemporaryDir dir;
    const QString design = dir.filePath(QStringLiteral("club gear.vgw"));
    AppState own = OwnDesign();
    own.gear.Unit = LengthUnit::Millimetre;
    ASSERT_TRUE(SaveNativeFile(own, Local(design)).ok);
    ASSERT_TRUE(ExportJsonDesign(own, Local(dir.filePath(QStringLiteral("club gear.json")))).ok);

    // Defaults: the built-in design, a degree apart, the arm at mid gear.
    AppState builtIn;
    StartupModel(builtIn);
    const QString csv = dir.filePath(QStringLiteral("m.csv"));
    CliRun r = RunQuelf({QStringLiteral("--motion"), csv});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(r.err.isEmpty() && r.out.isEmpty());
    EXPECT_EQ(Bytes(csv).toStdString(),
              MotionCsvText(SweepMotion(builtIn.gear, builtIn.gear.RevArmCentre(), kDefaultMotionStep)));
    EXPECT_EQ(Bytes(csv).count("\r\n"), 361);

    // A design as JSON, a step, and the arm where the "Rev Arm" readout would
    // show 0.5 (the arm's own position, not one counted from mid gear).
    AppState opened;
    StartupModel(opened);
    ASSERT_TRUE(OpenNativeFile(opened, Local(design)).ok);
    opened.gear.Unit = LengthUnit::Millimetre;
    const QString json = dir.filePath(QStringLiteral("m.JSON"));
    r = RunQuelf({QStringLiteral("--motion"), json, QStringLiteral("--step"), QStringLiteral("2.5"),
                  QStringLiteral("--rev-arm"), QStringLiteral("0.5"), dir.filePath(QStringLiteral("club gear.json"))});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(Bytes(json).toStdString(),
              MotionJsonText(SweepMotion(opened.gear, 0.5f, 2.5f), "club gear", LengthUnit::Millimetre));
    // Negative positions, in both forms.
    for (const QStringList& arm : {QStringList{QStringLiteral("--rev-arm"), QStringLiteral("-0.75")},
                                   QStringList{QStringLiteral("--rev-arm=-0.75")}}) {
        r = RunQuelf(QStringList{QStringLiteral("--motion"), csv} + arm + QStringList{design});
        ASSERT_EQ(r.status, 0) << r.err.toStdString();
        EXPECT_EQ(Bytes(csv).toStdString(), MotionCsvText(SweepMotion(opened.gear, -0.75f, 1)));
    }

    // A gear that cannot be assembled: written, with one warning line.
    AppState shortRod;
    StartupModel(shortRod);
    shortRod.gear.MainRodLength = 1.0f;
    const QString bad = dir.filePath(QStringLiteral("short rod.json"));
    ASSERT_TRUE(ExportJsonDesign(shortRod, Local(bad)).ok);
    r = RunQuelf({QStringLiteral("--motion"), csv, QStringLiteral("--step=10"), bad});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, QStringLiteral("quelf: warning: the gear cannot be assembled everywhere: the solver clamped at "
                                    "22 of the 36 driver angles\n"));
}

TEST(MotionReport, RefusesWhatItCannotDoWithOneScheme)
{
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("m.csv"));
    const struct {
        QStringList args;
        int status;
        const char* says;
    } cases[] = {
        {{"--motion", dir.filePath("m.txt")}, 1, "must end in .csv or .json"},
        {{"--motion", out, "--step", "0"}, 1, "--step must be a number of degrees from 0.01 to 360"},
        {{"--motion", out, "--step", "361"}, 1, "--step must be a number"},
        {{"--motion", out, "--step", "1,5"}, 1, "--step must be a number"},
        {{"--motion", out, "--rev-arm", "abc"}, 1, "--rev-arm must be a number"},
        {{"--motion", out, "--rev-arm", "5"}, 1, "--rev-arm 5 is beyond the reverse arm's travel, -1.339 to 1.261"},
        {{"--step", "2", "--valve-events"}, 1, "--step goes with --motion"},
        {{"--motion", out, dir.filePath("none.json")}, 2, "Cannot open"},
        {{"--motion", dir.filePath("no/such/m.csv")}, 3, "cannot write"},
        {{"--export-design", dir.filePath("d.txt")}, 1, "must end in .json or .vgw"},
        {{"--export-design", dir.filePath("d.json"), dir.filePath("none.vgw")}, 2, "the file does not exist"},
        {{"--export-design", dir.filePath("no/such/d.json")}, 3, "Cannot save"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        const CliRun r = RunQuelf(c.args);
        ASSERT_FALSE(r.crashed);
        EXPECT_EQ(r.status, c.status) << r.err.toStdString();
        EXPECT_TRUE(r.err.startsWith(QStringLiteral("quelf: ")) && r.err.contains(QString::fromUtf8(c.says)))
            << r.err.toStdString();
        EXPECT_EQ(r.err.contains(QStringLiteral("Usage: quelf")), c.status == 1);
    }
    EXPECT_FALSE(QFile::exists(out));
}

TEST(ExportDesignReport, VgwToJsonToVgwIsByteForByteWhatASaveWrites)
{
    QTemporaryDir dir;
    AppState own = OwnDesign();
    own.gear.RevArmPos = 0.4f; // saved off mid gear: the open finds mid gear anew
    const QString own1 = dir.filePath(QStringLiteral("own.vgw"));
    ASSERT_TRUE(SaveNativeFile(own, Local(own1)).ok);
    for (const QString& design :
         {QString(), own1, QStringLiteral(QUELF_SOURCE_DIR "/tests/fuzz/corpus/native/lines-and-circles.vgw"),
          QStringLiteral(QUELF_SOURCE_DIR "/tests/fuzz/corpus/native/short-18.vgw"),
          QStringLiteral(QUELF_SOURCE_DIR "/tests/fuzz/corpus/older/default.vgd")}) {
        SCOPED_TRACE(design.toStdString());
        const QString json = dir.filePath(QStringLiteral("d.json"));
        const QString direct = dir.filePath(QStringLiteral("direct.vgw"));
        const QString back = dir.filePath(QStringLiteral("back.vgw"));
        QStringList from;
        if (!design.isEmpty()) from << design;
        ASSERT_EQ(RunQuelf(QStringList{QStringLiteral("--export-design"), json} + from).status, 0);
        ASSERT_EQ(RunQuelf(QStringList{QStringLiteral("--export-design"), direct} + from).status, 0);
        const CliRun r = RunQuelf({QStringLiteral("--export-design"), back, json});
        ASSERT_EQ(r.status, 0) << r.err.toStdString();
        EXPECT_EQ(Bytes(back), Bytes(direct));
        EXPECT_EQ(Bytes(direct).size(), 1420);
        // The JSON is what the program writes of the design it opened.
        AppState opened;
        StartupModel(opened);
        if (!design.isEmpty()) {
            ASSERT_TRUE(LoadJsonDesignText(opened, Bytes(json).toStdString()).ok);
        }
        EXPECT_EQ(Bytes(json).toStdString(), DesignJsonText(opened));
    }
}

TEST(ExportDesignReport, EveryReportTakesADesignAsJson)
{
    QTemporaryDir dir;
    AppState own = OwnDesign();
    const QString vgw = dir.filePath(QStringLiteral("design.vgw"));
    const QString json = dir.filePath(QStringLiteral("design.json"));
    ASSERT_TRUE(SaveNativeFile(own, Local(vgw)).ok);
    ASSERT_EQ(RunQuelf({QStringLiteral("--export-design"), json, vgw}).status, 0);
    const QList<QStringList> reports = {
        {QStringLiteral("--valve-events")},
        {QStringLiteral("--balance"), QStringLiteral("lead"), QStringLiteral("ValveRodLength")},
        {QStringLiteral("--export"), QStringLiteral("port-graph"), dir.filePath(QStringLiteral("p.svg"))},
        {QStringLiteral("--motion"), dir.filePath(QStringLiteral("m.csv"))},
    };
    for (const QStringList& report : reports) {
        SCOPED_TRACE(report.join(' ').toStdString());
        const CliRun fromVgw = RunQuelf(report + QStringList{vgw});
        const QByteArray fileFromVgw = report.size() > 1 ? Bytes(report.last()) : QByteArray();
        const CliRun fromJson = RunQuelf(report + QStringList{json});
        EXPECT_EQ(fromJson.status, 0) << fromJson.err.toStdString();
        EXPECT_EQ(fromJson.status, fromVgw.status);
        EXPECT_EQ(fromJson.out, fromVgw.out);
        EXPECT_EQ(fromJson.err, fromVgw.err);
        if (report.size() > 1 && report.last().contains(QLatin1Char('.'))) {
            EXPECT_EQ(Bytes(report.last()), fileFromVgw);
        }
    }
    // The example of docs/DESIGN-JSON.md is what the program writes of it.
    const QString example = QStringLiteral(QUELF_SOURCE_DIR "/docs/example-design.json");
    const QString again = dir.filePath(QStringLiteral("example.json"));
    ASSERT_EQ(RunQuelf({QStringLiteral("--export-design"), again, example}).status, 0);
    EXPECT_EQ(Bytes(again), Bytes(example));

    // A JSON that is no design: status 2, the file and the key named.
    QFile f(dir.filePath(QStringLiteral("bad.json")));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(Bytes(json).replace("\"Stroke\"", "\"Strok\""));
    f.close();
    const CliRun r = RunQuelf({QStringLiteral("--valve-events"), f.fileName()});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, QStringLiteral("quelf: Cannot open \"%1\": it is not a design (the key \"dimensions.Stroke\" is "
                                    "missing).\n")
                         .arg(f.fileName()));
    EXPECT_TRUE(r.out.isEmpty());
}
