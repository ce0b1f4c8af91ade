// quelf --report: the design report as a PDF from the real program with no
// display: the locale's paper or the one asked for, the title block on every
// page, every dimension and every cell of the valve events table as text
// (with "." on a decimal-comma desktop); mistakes give one line and no file.
#include "cli/CliSupport.h"
#include "support/DecimalComma.h"

#include <QDate>
#include <QDir>
#include <QLocale>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// Output of a poppler-utils program on a file.
QString Poppler(const QString& program, const QStringList& args)
{
    const QString exe = QStandardPaths::findExecutable(program);
    EXPECT_FALSE(exe.isEmpty()) << program.toStdString() << " is missing: tools/install-deps.sh installs poppler-utils";
    QProcess p;
    p.start(exe, args);
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

// The lines of the PDF's text laid out as on the page, blanks simplified.
QStringList PdfLines(const QString& pdf)
{
    QStringList lines;
    for (const QString& l : Poppler(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")})
                                .split(QLatin1Char('\n')))
        lines << l.simplified();
    return lines;
}

QString PageSize(const QString& pdf)
{
    const QRegularExpressionMatch m =
        QRegularExpression(QStringLiteral("Page size:\\s+(.*)")).match(Poppler(QStringLiteral("pdfinfo"), {pdf}));
    return m.captured(1).trimmed();
}

} // namespace

TEST(DesignReportCli, ThePaperOfTheLocaleOrTheOneAsked)
{
    const std::string folder = DecimalCommaLocale::Folder();
    ASSERT_FALSE(folder.empty()) << "localedef could not make the German locale";
    const QStringList german{QStringLiteral("LOCPATH=") + QString::fromStdString(folder),
                             QStringLiteral("LC_ALL=de_DE.UTF-8"), QStringLiteral("LANG=de_DE.UTF-8")};
    const QStringList us{QStringLiteral("LC_ALL=en_US.UTF-8"), QStringLiteral("LANG=en_US.UTF-8")};
    const QString a4 = QStringLiteral("595 x 842 pts (A4)"), letter = QStringLiteral("612 x 792 pts (letter)");
    struct Case {
        QStringList env;
        QStringList page;
        QString size;
    };
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("r.pdf"));
    for (const Case& c : {Case{german, {}, a4}, Case{us, {}, letter}, Case{us, {"--page", "A4"}, a4},
                          Case{german, {"--page=Letter"}, letter}, Case{german, {"--page", "letter"}, letter}}) {
        SCOPED_TRACE((c.env.join(' ') + ' ' + c.page.join(' ')).toStdString());
        const CliRun r = RunQuelf(QStringList{"--report", out} + c.page, QString(), c.env);
        ASSERT_FALSE(r.crashed);
        EXPECT_EQ(r.status, 0) << r.err.toStdString();
        EXPECT_TRUE(r.err.isEmpty()) << r.err.toStdString();
        EXPECT_EQ(PageSize(out), c.size);
    }
}

TEST(DesignReportCli, TitleBlockOnEveryPageDimensionsAndEveryCellOfTheValveEvents)
{
    const std::string folder = DecimalCommaLocale::Folder();
    ASSERT_FALSE(folder.empty()) << "localedef could not make the German locale";
    const QStringList german{QStringLiteral("LOCPATH=") + QString::fromStdString(folder),
                             QStringLiteral("LC_ALL=de_DE.UTF-8"), QStringLiteral("LANG=de_DE.UTF-8")};
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("Nominal-report.pdf"));
    const QDate before = QDate::currentDate();
    const CliRun r = RunQuelf({"--report", out}, QString(), german);
    const QDate after = QDate::currentDate();
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    const QStringList lines = PdfLines(out);
    const QString info = Poppler(QStringLiteral("pdfinfo"), {out});
    EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("Title:\\s+Nominal-report\\n")))) << info.toStdString();
    const int pages = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(info).captured(1).toInt();
    EXPECT_EQ(pages, 9); // the parts to make on a page of their own
    // The design check as --check judges it: each rule with its verdict.
    const CliRun check = RunQuelf({"--check"});
    const QStringList checkRows = check.out.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts).mid(1);
    ASSERT_FALSE(checkRows.isEmpty());
    int verdicts = 0;
    for (const QString& l : lines)
        if (l.contains(QLatin1String(" PASS")) || l.contains(QLatin1String(" FAIL"))) ++verdicts;
    EXPECT_EQ(verdicts, checkRows.size());
    // The parts to make, as --parts lists them: a row of its page.
    EXPECT_TRUE(lines.filter(QStringLiteral("axle (P1) to crank pin (P2)")).size() == 1)
        << lines.join('\n').toStdString();

    // The title block: the date in the desktop's short form, today's.
    const QLocale de(QStringLiteral("de_DE"));
    QStringList dates{de.toString(before, QLocale::ShortFormat), de.toString(after, QLocale::ShortFormat)};
    int blocks = 0;
    for (const QString& l : lines)
        if (l.startsWith(QLatin1String("Data set: Nominal Date: "))) {
            ++blocks;
            EXPECT_TRUE(l == "Data set: Nominal Date: " + dates[0] + " Version: 2.6 Lengths in: units" ||
                        l == "Data set: Nominal Date: " + dates[1] + " Version: 2.6 Lengths in: units")
                << l.toStdString();
        }
    EXPECT_EQ(blocks, pages);
    for (int n = 1; n <= pages; ++n)
        EXPECT_TRUE(
            lines.contains(QStringLiteral("QUELF Outside Admission: design report Page %1 of %2").arg(n).arg(pages)))
            << n;

    // Dimensions with three decimals and ".", whatever the desktop writes.
    for (const char* row :
         {"1 Crank Disk Dia CrankDiskDia 8.625", "16 Rocker Upper Vert RockerUpperVert -1.292",
          "101 Cyl ctr to Driver ctr CylCtrToDriverCtr 21.000", "122 Valve Stem ValveCtrToJoint 7.125"})
        EXPECT_TRUE(lines.contains(QString::fromLatin1(row))) << row;
    int dimensionRows = 0;
    for (const QString& l : lines)
        if (l.contains(QRegularExpression(QStringLiteral("^1?\\d?\\d [^ ].* [A-Z][A-Za-z]+ -?\\d+\\.\\d{3}$"))))
            ++dimensionRows;
    EXPECT_EQ(dimensionRows, 44);

    // Every row of the table the command line prints, in its three parts.
    const CliRun csv = RunQuelf({"--valve-events"});
    ASSERT_EQ(csv.status, 0);
    const QStringList rows = csv.out.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    ASSERT_EQ(rows.size(), 41);
    const QList<QList<int>> parts = {
        {0, 1, 2, 3, 4, 21, 22, 23, 24}, {0, 1, 5, 6, 7, 8, 9, 10, 11, 12}, {0, 1, 13, 14, 15, 16, 17, 18, 19, 20}};
    for (int i = 1; i < rows.size(); ++i) {
        const QStringList cells = rows[i].split(QLatin1Char(','));
        ASSERT_EQ(cells.size(), 25);
        for (const QList<int>& part : parts) {
            QStringList expected;
            for (int c : part)
                if (!cells[c].isEmpty()) expected << cells[c];
            EXPECT_TRUE(lines.contains(expected.join(QLatin1Char(' ')))) << expected.join(' ').toStdString();
        }
    }
}

TEST(DesignReportCli, MistakesAndUnwritablePlacesGiveOneLineAndNoFile)
{
    QTemporaryDir dir;
    struct Case {
        QStringList args;
        int status;
        const char* says;
        int lines; // with the usage after a mistake in the arguments
    };
    const QString pdf = dir.filePath("r.pdf");
    for (const Case& c :
         {Case{{"--report", dir.filePath("r.txt")}, 1, "must end in .pdf", 0},
          Case{{"--report", pdf, "--page", "A5"}, 1, "--page must be A4 or Letter", 0},
          Case{{"--export", "main", dir.filePath("x.png"), "--page", "A4"}, 1, "--page goes with --report", 0},
          Case{{"--report", pdf, dir.filePath("missing.vgw")}, 2, "missing.vgw", 1},
          Case{{"--report", dir.filePath("no/such/folder/r.pdf")}, 3, "File not found", 1}}) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        const CliRun r = RunQuelf(c.args);
        ASSERT_FALSE(r.crashed);
        EXPECT_EQ(r.status, c.status);
        EXPECT_TRUE(r.err.contains(QString::fromLatin1(c.says))) << r.err.toStdString();
        EXPECT_TRUE(r.err.startsWith(QStringLiteral("quelf: ")));
        if (c.lines > 0) {
            EXPECT_EQ(r.err.count('\n'), c.lines) << r.err.toStdString();
        } else {
            EXPECT_TRUE(r.err.contains(QStringLiteral("Usage: quelf")));
        }
    }
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
}
