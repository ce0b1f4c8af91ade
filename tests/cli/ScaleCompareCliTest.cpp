// quelf --scale-design, and --compare with --valve-events and --export.
#include "cli/CliSupport.h"

#include "analysis/ValveEventsTable.h"
#include "files/JsonDesign.h"
#include "files/NativeFile.h"
#include "model/DesignScale.h"
#include "model/Model.h"

#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cmath>

namespace {

std::string Local(const QString& p) { return QFile::encodeName(p).toStdString(); }

AppState Opened(const QString& path)
{
    AppState s;
    StartupModel(s);
    EXPECT_TRUE(OpenNativeFile(s, Local(path)).ok) << path.toStdString();
    return s;
}

} // namespace

TEST(ScaleDesignCli, ScalesSavesAndRefusesWhatCannotBeScaled)
{
    QTemporaryDir dir;
    const QString in = dir.filePath(QStringLiteral("in.vgw"));
    AppState start;
    StartupModel(start);
    ASSERT_TRUE(SaveNativeFile(start, Local(in)).ok);
    const AppState source = Opened(in);

    const struct {
        QStringList extra;
        long double factor;
        LengthUnit unit;
        RoundGrid round;
    } kScaled[] = {
        {{QStringLiteral("2")}, 2, LengthUnit::Unspecified, RoundGrid::None},
        {{QStringLiteral("0.125"), QStringLiteral("--unit"), QStringLiteral("in")},
         0.125L,
         LengthUnit::Inch,
         RoundGrid::None},
        {{QStringLiteral("25.4"), QStringLiteral("--unit=mm"), QStringLiteral("--round"), QStringLiteral("0.1mm")},
         25.4L,
         LengthUnit::Millimetre,
         RoundGrid::TenthMillimetre},
    };
    for (const auto& c : kScaled) {
        SCOPED_TRACE(c.extra.join(QLatin1Char(' ')).toStdString());
        const QString out = dir.filePath(QStringLiteral("out.vgw"));
        QStringList args{QStringLiteral("--scale-design")};
        args << c.extra.first() << out << c.extra.mid(1) << in;
        const CliRun r = RunQuelf(args);
        ASSERT_FALSE(r.crashed);
        EXPECT_EQ(r.status, 0) << r.err.toStdString();
        EXPECT_TRUE(r.out.isEmpty() && r.err.isEmpty()) << r.err.toStdString();
        // The file holds the design as the window would scale it.
        AppState expected = source;
        ASSERT_TRUE(ApplyScale(expected, {c.factor, c.unit, c.round}));
        const AppState scaled = Opened(out);
        EXPECT_EQ(scaled.gear.Unit, c.unit);
        for (int code = 1; code <= 122; ++code) {
            if (IsFrameCode(code) || IsCylinderCode(code)) {
                EXPECT_EQ(GetDimension(scaled.gear, code), GetDimension(expected.gear, code)) << code;
            }
        }
        EXPECT_EQ(scaled.view.ViewScale, expected.view.ViewScale);
        QFile::remove(out);
    }

    const struct {
        QStringList args;
        int status;
        const char* says;
    } kRefused[] = {
        {{QStringLiteral("0"), dir.filePath(QStringLiteral("a.vgw")), in}, 1, "FACTOR must be a number greater than 0"},
        {{QStringLiteral("-2"), dir.filePath(QStringLiteral("a.vgw")), in}, 1, "(not \"-2\")"},
        {{QStringLiteral("abc"), dir.filePath(QStringLiteral("a.vgw")), in}, 1, "(not \"abc\")"},
        {{QStringLiteral("2"), dir.filePath(QStringLiteral("a.txt")), in}, 1, "must end in .json or .vgw"},
        {{QStringLiteral("2"), dir.filePath(QStringLiteral("a.vgw")), QStringLiteral("--unit"), QStringLiteral("ft"),
          in},
         1,
         "--unit must be in, mm or units"},
        {{QStringLiteral("2"), dir.filePath(QStringLiteral("a.vgw")), QStringLiteral("--round"), QStringLiteral("1mm")},
         1,
         "--round must be 1/64in or 0.1mm"},
        {{QStringLiteral("2"), dir.filePath(QStringLiteral("a.vgw")), dir.filePath(QStringLiteral("none.vgw"))},
         2,
         "none.vgw"},
        {{QStringLiteral("1e9"), dir.filePath(QStringLiteral("a.vgw")), in}, 4, "values no gear can have"},
        {{QStringLiteral("2"), dir.filePath(QStringLiteral("no/such/a.vgw")), in}, 3, "Cannot save"},
    };
    for (const auto& c : kRefused) {
        SCOPED_TRACE(c.args.join(QLatin1Char(' ')).toStdString());
        const CliRun r = RunQuelf(QStringList{QStringLiteral("--scale-design")} + c.args);
        ASSERT_FALSE(r.crashed);
        EXPECT_EQ(r.status, c.status);
        EXPECT_TRUE(r.err.contains(QLatin1String(c.says))) << r.err.toStdString();
        EXPECT_FALSE(QFileInfo::exists(dir.filePath(QStringLiteral("a.vgw"))));
    }
}

// Every mode that writes a design writes the format OUT's name says and
// refuses any other name (status 1) before it works; --round rounds to the
// length the grid names in the unit of the scaled design.
TEST(DesignOutCli, TheNameChoosesTheFormatAndAnyOtherIsRefused)
{
    QTemporaryDir dir;
    const QString in = dir.filePath(QStringLiteral("in.vgw")), exp = QStringLiteral("--export-design");
    AppState start;
    StartupModel(start);
    start.gear.Unit = LengthUnit::Inch;
    ASSERT_TRUE(SaveNativeFile(start, Local(in)).ok);
    const QString scale = QStringLiteral("--scale-design"), opt = QStringLiteral("--optimise");
    const QString rounded = QStringLiteral("25.4 @ --unit mm --round 1/64in");
    for (const auto& [args, name] : {std::pair{QStringList{exp, "@"}, "d.txt"},
                                     {QStringList{scale, "2", "@"}, "s.json"},
                                     {QStringList{scale} + rounded.split(' '), "r.vgw"},
                                     {QStringList{opt, "lead", "ValveRodLength", "--out", "@"}, "o.json"},
                                     {QStringList{opt, "lead", "ValveRodLength", "--out", "@"}, "o.vgw.bak"}}) {
        const QString out = dir.filePath(QString::fromLatin1(name));
        const CliRun r = RunQuelf(QStringList(args).replaceInStrings(QRegularExpression("^@$"), out) << in);
        SCOPED_TRACE(name);
        const bool json = out.endsWith(QLatin1String(".json")), known = json || out.endsWith(QLatin1String(".vgw"));
        ASSERT_EQ(r.status, known ? 0 : 1) << r.err.toStdString();
        if (!known) {
            EXPECT_TRUE(r.err.startsWith(QStringLiteral("quelf: \"%1\" must end in .json or .vgw\n").arg(out)));
            EXPECT_FALSE(QFileInfo::exists(out));
            continue;
        }
        AppState s;
        StartupModel(s);
        EXPECT_TRUE((json ? OpenJsonDesign(s, Local(out)) : OpenNativeFile(s, Local(out))).ok);
        for (int code : {2, 10, 20, 110, 122}) // on the grid of 1/64 in, 0.396875 mm
            EXPECT_TRUE(name != std::string("r.vgw") ||
                        std::fabs(std::remainder(GetDimension(s.gear, code), 0.396875L)) < 1e-4L);
    }
}

TEST(CompareCli, TheTableOfDifferencesAndThePicturesWithTheReference)
{
    QTemporaryDir dir;
    AppState ref;
    StartupModel(ref);
    ref.gear.ValveRodLength = 3.9f;
    const QString refPath = dir.filePath(QStringLiteral("ref.vgw"));
    ASSERT_TRUE(SaveNativeFile(ref, Local(refPath)).ok);
    AppState design;
    StartupModel(design);
    const AppState reference = Opened(refPath);

    const CliRun r = RunQuelf({QStringLiteral("--valve-events"), QStringLiteral("--compare"), refPath});
    ASSERT_FALSE(r.crashed);
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.out.toStdString(),
              CsvText(ValveEventsDifferenceText(ValveEventsRowsOf(design.gear), ValveEventsRowsOf(reference.gear))));

    // The pictures: the diagram with the reference differs, and only by grey.
    for (const char* what : {"oval", "port-graph", "main"}) {
        SCOPED_TRACE(what);
        const QString plain = dir.filePath(QStringLiteral("plain.png")),
                      compared = dir.filePath(QStringLiteral("c.png"));
        ASSERT_EQ(RunQuelf({QStringLiteral("--export"), QString::fromLatin1(what), plain}).status, 0);
        const CliRun e = RunQuelf(
            {QStringLiteral("--export"), QString::fromLatin1(what), compared, QStringLiteral("--compare=") + refPath});
        EXPECT_EQ(e.status, 0) << e.err.toStdString();
        const QImage a(plain), b(compared);
        ASSERT_EQ(a.size(), b.size());
        int grey = 0;
        for (int y = 0; y < a.height(); ++y)
            for (int x = 0; x < a.width(); ++x)
                if (a.pixel(x, y) != b.pixel(x, y)) {
                    const QColor c(b.pixel(x, y));
                    grey += c.red() == c.green() && c.green() == c.blue() && c.red() > 100 && c.red() < 200;
                }
        EXPECT_GT(grey, 50);
    }

    // A reference that is missing or no design: status 2, the file named.
    QFile bad(dir.filePath(QStringLiteral("bad.vgw")));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write(QByteArray(40, 'x'));
    bad.close();
    for (const QString& file : {dir.filePath(QStringLiteral("none.vgw")), dir.filePath(QStringLiteral("bad.vgw"))})
        for (const QStringList& args :
             {QStringList{QStringLiteral("--valve-events"), QStringLiteral("--compare"), file},
              QStringList{QStringLiteral("--export"), QStringLiteral("sine"), dir.filePath(QStringLiteral("s.png")),
                          QStringLiteral("--compare"), file}}) {
            const CliRun f = RunQuelf(args);
            EXPECT_EQ(f.status, 2);
            EXPECT_TRUE(f.out.isEmpty());
            EXPECT_TRUE(f.err.startsWith(QStringLiteral("quelf: the reference: Cannot open")) &&
                        f.err.contains(QFileInfo(file).fileName()) && f.err.count(QLatin1Char('\n')) == 1)
                << f.err.toStdString();
        }
    const CliRun wrong = RunQuelf({QStringLiteral("--balance"), QStringLiteral("lead"), QStringLiteral("Stroke"),
                                   QStringLiteral("--compare"), refPath});
    EXPECT_EQ(wrong.status, 1);
    EXPECT_TRUE(wrong.err.contains(QStringLiteral("--compare goes with --valve-events or --export")))
        << wrong.err.toStdString();
}
