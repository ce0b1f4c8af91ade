// quelf --valve-events [FILE], run as a batch study runs it.
#include "cli/CliSupport.h"

#include "analysis/ValveEventsTable.h"
#include "files/NativeFile.h"
#include "model/Model.h"
#include "model/NumberText.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <tuple>

namespace {

QString Expected(const AppState& s) { return QString::fromStdString(CsvText(ValveEventsTextOf(s.gear))); }

} // namespace

TEST(ValveEventsReport, BuiltInSavedImportedMissingAndShortDesigns)
{
    AppState builtIn, design, loaded;
    StartupModel(builtIn);
    const CliRun def = RunQuelf({QStringLiteral("--valve-events")});
    ASSERT_FALSE(def.crashed);
    EXPECT_EQ(def.status, 0);
    EXPECT_TRUE(def.err.isEmpty()) << def.err.toStdString();
    EXPECT_EQ(def.out, Expected(builtIn));
    EXPECT_EQ(def.out.count(QStringLiteral("\r\n")), 41);

    // A saved design with a longer valve rod gives its own table, as opened.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("long rod.vgw"));
    StartupModel(design);
    design.gear.ValveRodLength = 4.25f;
    ASSERT_TRUE(SaveNativeFile(design, QFile::encodeName(path).toStdString()).ok);
    StartupModel(loaded);
    ASSERT_TRUE(OpenNativeFile(loaded, QFile::encodeName(path).toStdString()).ok);
    const CliRun saved = RunQuelf({QStringLiteral("--valve-events"), path});
    EXPECT_EQ(saved.status, 0);
    EXPECT_EQ(saved.out, Expected(loaded));
    EXPECT_NE(saved.out, def.out);

    const CliRun older = RunQuelf(
        {QStringLiteral("--valve-events"), QStringLiteral(QUELF_SOURCE_DIR "/tests/fuzz/corpus/older/default.vgd")});
    EXPECT_EQ(older.status, 0);
    EXPECT_EQ(older.out.count(QStringLiteral("\r\n")), 41);

    // A missing or short file: a one-line message naming it, nothing printed.
    const QString shortFile = dir.filePath(QStringLiteral("short.vgw"));
    QFile f(shortFile);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(100, '\0')); // five records of the 18 a design needs
    f.close();
    for (const auto& [file, message] :
         {std::pair{dir.filePath(QStringLiteral("missing.vgw")), "the file does not exist."},
          std::pair{shortFile, "it is too short to be a design (100 bytes)."}}) {
        const CliRun r = RunQuelf({QStringLiteral("--valve-events"), file});
        ASSERT_FALSE(r.crashed);
        EXPECT_NE(r.status, 0);
        EXPECT_TRUE(r.out.isEmpty());
        EXPECT_EQ(r.err.count(QLatin1Char('\n')), 1) << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(file) && r.err.contains(QLatin1String(message))) << r.err.toStdString();
    }
}

// A design saved with the reverse arm far from mid gear: the command line
// measures the mid gear its open computes, as the window does; the reverse arm
// column is the window's notch positions.
TEST(ValveEventsReport, MeasuresTheMidGearTheOpenComputed)
{
    QTemporaryDir dir;
    for (const float arm : {1.2f, -1.2f, 0.67f}) {
        AppState saved, opened;
        StartupModel(saved);
        saved.gear.ValveRodLength = 3.9f;
        saved.gear.RevArmPos = arm;
        const QString path = dir.filePath(QStringLiteral("arm.vgw"));
        ASSERT_TRUE(SaveNativeFile(saved, QFile::encodeName(path).toStdString()).ok);
        StartupModel(opened);
        ASSERT_TRUE(OpenNativeFile(opened, QFile::encodeName(path).toStdString()).ok);
        const CliRun r = RunQuelf({QStringLiteral("--valve-events"), path});
        ASSERT_EQ(r.status, 0) << arm;
        EXPECT_EQ(r.out, Expected(opened)) << arm;
        const QStringList lines = r.out.split(QStringLiteral("\r\n"));
        const Gear& g = opened.gear;
        for (const auto& [line, notch, way] : {std::tuple{1, 0, Running::Forward}, std::tuple{20, 18, Running::Forward},
                                               std::tuple{22, 1, Running::Reverse}})
            EXPECT_EQ(lines[line].section(QLatin1Char(','), 2, 2).toStdString(),
                      DecimalText(NotchPosition(g, notch, way), 4))
                << arm << " line " << line;
    }
}
