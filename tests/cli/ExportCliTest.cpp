// quelf --export: every picture in every format from the real program, with
// no display; mistakes and unwritable places give one line and no file.
#include "cli/CliSupport.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

TEST(ExportCli, EveryPictureAtItsWindowsSizeAndTwiceThat)
{
    QTemporaryDir dir;
    // A design file, and the vector formats.
    const QString design = QStringLiteral(QUELF_SOURCE_DIR) + "/tests/fuzz/corpus/native/lines-and-circles.vgw";
    for (const char* name : {"p.svg", "p.pdf"}) {
        const CliRun r = RunQuelf({"--export", "port-graph-both", dir.filePath(name), design});
        EXPECT_EQ(r.status, 0) << r.err.toStdString();
    }
    QFile svg(dir.filePath("p.svg")), pdf(dir.filePath("p.pdf"));
    ASSERT_TRUE(svg.open(QIODevice::ReadOnly) && pdf.open(QIODevice::ReadOnly));
    EXPECT_TRUE(svg.readAll().contains(">Percent Piston Travel</text>"));
    EXPECT_TRUE(pdf.read(4) == "%PDF");

    struct Case {
        const char* what;
        QSize size;
        bool red = true; // the map draws its notches in colours of their own
    };
    for (const Case& c :
         {Case{"main", {632, 380}}, Case{"port-graph", {632, 414}}, Case{"port-graph-reverse", {632, 414}},
          Case{"port-graph-both", {632, 414}}, Case{"steam", {632, 414}}, Case{"oval", {632, 426}},
          Case{"sine", {632, 414}}, Case{"indicator", {632 + 280, 414}}, Case{"performance-map", {960, 340}, false}}) {
        SCOPED_TRACE(c.what);
        const QString out = dir.filePath(QString::fromLatin1(c.what) + ".png");
        const CliRun r = RunQuelf({"--export", c.what, out, "--scale", "2"});
        ASSERT_FALSE(r.crashed);
        EXPECT_EQ(r.status, 0) << r.err.toStdString();
        EXPECT_TRUE(r.err.isEmpty()) << r.err.toStdString();
        const QImage img(out);
        EXPECT_EQ(img.size(), c.size * 2);
        // Something is drawn in red: the main rod, a port curve, a steam loop.
        bool red = false;
        for (int y = 0; y < img.height() && !red; ++y)
            for (int x = 0; x < img.width() && !red; ++x) red = img.pixel(x, y) == qRgb(255, 0, 0);
        EXPECT_EQ(red, c.red);
    }
}

TEST(ExportCli, MistakesAndUnwritablePlacesGiveOneLineAndNoFile)
{
    QTemporaryDir dir;
    struct Case {
        QStringList args;
        int status;
        const char* says;
    };
    const QString png = dir.filePath("x.png");
    // A design whose engine cannot run (its own engine data), beside.
    QTemporaryDir designs;
    const QString badEngine = designs.filePath("bad-engine.json");
    ASSERT_EQ(RunQuelf({"--export-design", badEngine}).status, 0);
    QFile json(badEngine);
    ASSERT_TRUE(json.open(QIODevice::ReadOnly));
    QByteArray text = json.readAll();
    json.close();
    text.replace(text.indexOf('{'), 1, "{\"engine\": {\"DischargeCoefficient\": 0},");
    ASSERT_TRUE(json.open(QIODevice::WriteOnly | QIODevice::Truncate) && json.write(text) == text.size());
    json.close();
    for (const Case& c :
         {Case{{"--export", "gearbox", png}, 1, "unknown picture"},
          Case{{"--export", "main", dir.filePath("x.jpg")}, 1, "must end in .png, .svg or .pdf"},
          Case{{"--export", "main", png, "--scale", "3"}, 1, "--scale must be 1, 2 or 4"},
          Case{{"--export", "main", dir.filePath("x.svg"), "--scale", "2"}, 1, "--scale goes with a .png"},
          Case{{"--export", "main", png, dir.filePath("missing.vgw")}, 2, "missing.vgw"},
          Case{{"--export", "oval", dir.filePath("no/such/folder/x.pdf")}, 3, "File not found"},
          Case{{"--export", "indicator", png, badEngine}, 4, "the discharge coefficient must be above 0"},
          Case{{"--export", "performance-map", png, badEngine}, 4, "the discharge coefficient must be above 0"}}) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        const CliRun r = RunQuelf(c.args);
        ASSERT_FALSE(r.crashed);
        EXPECT_EQ(r.status, c.status);
        EXPECT_TRUE(r.err.contains(QString::fromLatin1(c.says))) << r.err.toStdString();
        EXPECT_EQ(r.err.count('\n'), 1) << r.err.toStdString();
    }
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
}
