// quelf --valve-events [FILE], run as a batch study runs it.
#include "cli/CliSupport.h"

#include "analysis/ValveEventsTable.h"
#include "files/NativeFile.h"
#include "model/Model.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

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
