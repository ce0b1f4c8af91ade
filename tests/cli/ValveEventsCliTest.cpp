// quelf --valve-events [FILE], run as a batch study would run it.
#include "cli/CliSupport.h"

#include "analysis/ValveEventsTable.h"
#include "files/NativeFile.h"
#include "files/TextTable.h"
#include "model/Model.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QString Expected(const AppState& s) { return QString::fromStdString(CsvText(ValveEventsTextOf(s.gear))); }

} // namespace

TEST(ValveEventsReport, PrintsTheTableOfTheBuiltInOrTheGivenDesign)
{
    AppState builtIn;
    StartupModel(builtIn);
    const CliRun def = RunQuelf({QStringLiteral("--valve-events")});
    ASSERT_FALSE(def.crashed);
    EXPECT_EQ(def.status, 0);
    EXPECT_TRUE(def.err.isEmpty()) << def.err.toStdString();
    EXPECT_EQ(def.out, Expected(builtIn));
    EXPECT_EQ(def.out.count(QStringLiteral("\r\n")), 41);
    EXPECT_TRUE(def.out.startsWith(QStringLiteral("Direction,Notch,Reverse arm (units),")));

    // A saved design with a longer valve rod: its own table, as the open
    // menu would load it.
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("long rod.vgw"));
    AppState design;
    StartupModel(design);
    design.gear.ValveRodLength = 4.25f;
    ASSERT_TRUE(SaveNativeFile(design, QFile::encodeName(path).toStdString()).ok);
    AppState loaded;
    StartupModel(loaded);
    ASSERT_TRUE(OpenNativeFile(loaded, QFile::encodeName(path).toStdString()).ok);
    const CliRun saved = RunQuelf({QStringLiteral("--valve-events"), path});
    EXPECT_EQ(saved.status, 0);
    EXPECT_EQ(saved.out, Expected(loaded));
    EXPECT_NE(saved.out, def.out);

    // An older file is imported.
    const CliRun older = RunQuelf(
        {QStringLiteral("--valve-events"), QStringLiteral(QUELF_SOURCE_DIR "/tests/fuzz/corpus/older/default.vgd")});
    EXPECT_EQ(older.status, 0);
    EXPECT_EQ(older.out.count(QStringLiteral("\r\n")), 41);
}

TEST(ValveEventsReport, MissingOrShortFileFailsWithOneLine)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString shortFile = dir.filePath(QStringLiteral("short.vgw"));
    QFile f(shortFile);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(100, '\0')); // five records of the 18 a design needs
    f.close();
    const QString missing = dir.filePath(QStringLiteral("missing.vgw"));
    for (const auto& [file, message] : {std::pair{missing, QStringLiteral("File not found")},
                                        std::pair{shortFile, QStringLiteral("Read beyond end of file")}}) {
        const CliRun r = RunQuelf({QStringLiteral("--valve-events"), file});
        ASSERT_FALSE(r.crashed);
        EXPECT_NE(r.status, 0);
        EXPECT_TRUE(r.out.isEmpty());
        EXPECT_EQ(r.err.count(QLatin1Char('\n')), 1) << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(file) && r.err.contains(message)) << r.err.toStdString();
    }
}
