// quelf --export-animation: one revolution as a looping GIF from the real
// program with no display, read back with giflib: frames, size, loop, delays,
// frames that differ, the first frame the picture `--export main` writes;
// mistakes give one line and no file.
#include "cli/CliSupport.h"
#include "support/GifFrames.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

TEST(AnimationCli, OneRevolutionLoopingAtOneAndTwiceTheSize)
{
    QTemporaryDir dir;
    const QString png = dir.filePath(QStringLiteral("main.png"));
    ASSERT_EQ(RunQuelf({"--export", "main", png}).status, 0);
    const QImage picture = QImage(png).convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(picture.size(), QSize(632, 380));

    struct Case {
        QStringList options;
        int frames, scale, delay;
    };
    for (const Case& c : {Case{{}, 72, 1, 4}, Case{{"--frames", "12", "--scale", "2"}, 12, 2, 25},
                          Case{{"--frames=3", "--scale=1"}, 3, 1, 100}}) {
        SCOPED_TRACE(c.options.join(' ').toStdString());
        const QString gif = dir.filePath(QStringLiteral("a.gif"));
        const CliRun r = RunQuelf(QStringList{"--export-animation", gif} + c.options);
        ASSERT_FALSE(r.crashed);
        ASSERT_EQ(r.status, 0) << r.err.toStdString();
        EXPECT_TRUE(r.err.isEmpty()) << r.err.toStdString();
        const GifFrames read = ReadGifFile(QFile::encodeName(gif).toStdString());
        ASSERT_TRUE(read.ok);
        EXPECT_EQ(read.width, 632 * c.scale);
        EXPECT_EQ(read.height, 380 * c.scale);
        EXPECT_TRUE(read.loopExtension);
        EXPECT_EQ(read.loopCount, 0);
        ASSERT_EQ(static_cast<int>(read.frames.size()), c.frames);
        for (int k = 0; k < c.frames; ++k) {
            EXPECT_EQ(read.delays[k], c.delay) << k;
            if (k > 0) {
                EXPECT_NE(read.frames[k], read.frames[k - 1]) << k;
            }
        }
        if (c.scale != 1) continue;
        // The first frame is the exported picture; the picture's 258 colours
        // are 2 more than a frame holds: its two rarest pixels take the
        // nearest colour kept.
        int differ = 0;
        for (int y = 0; y < 380; ++y)
            for (int x = 0; x < 632; ++x) {
                const QRgb want = picture.pixel(x, y);
                const std::uint32_t got = read.frames[0][static_cast<std::size_t>(y) * 632 + x];
                if ((want & 0xFFFFFF) == got) continue;
                ++differ;
                EXPECT_LE(std::abs(qRed(want) - int(got >> 16)) + std::abs(qGreen(want) - int(got >> 8 & 255)) +
                              std::abs(qBlue(want) - int(got & 255)),
                          6)
                    << x << "," << y;
            }
        EXPECT_LE(differ, 2);
    }
}

TEST(AnimationCli, MistakesAndUnwritablePlacesGiveOneLineAndNoFile)
{
    QTemporaryDir dir;
    struct Case {
        QStringList args;
        int status;
        const char* says;
    };
    const QString gif = dir.filePath("a.gif");
    for (const Case& c :
         {Case{{"--export-animation", dir.filePath("a.png")}, 1, "must end in .gif"},
          Case{{"--export-animation", gif, "--frames", "1"}, 1, "--frames must be a whole number from 2 to 3600"},
          Case{{"--export-animation", gif, "--frames", "3601"}, 1, "--frames must be a whole number from 2 to 3600"},
          Case{{"--export-animation", gif, "--frames", "+12"}, 1, "--frames must be a whole number"},
          Case{{"--export-animation", gif, "--frames", "twelve"}, 1, "--frames must be a whole number"},
          Case{{"--export-animation", gif, "--scale", "4"}, 1, "--scale of an animation must be 1 or 2"},
          Case{{"--report", dir.filePath("r.pdf"), "--frames", "12"}, 1, "--frames goes with --export-animation"},
          Case{{"--export-animation", gif, dir.filePath("missing.vgw")}, 2, "missing.vgw"},
          Case{{"--export-animation", dir.filePath("no/such/folder/a.gif")}, 3, "File not found"}}) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        const CliRun r = RunQuelf(c.args);
        ASSERT_FALSE(r.crashed);
        EXPECT_EQ(r.status, c.status);
        EXPECT_TRUE(r.err.startsWith(QStringLiteral("quelf: ") + QString::fromLatin1(c.says)) ||
                    r.err.contains(QString::fromLatin1(c.says)))
            << r.err.toStdString();
        if (c.status != 1) {
            EXPECT_EQ(r.err.count('\n'), 1) << r.err.toStdString();
        }
    }
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());

    // --scale goes with both modes; the help says what it means for each.
    const CliRun help = RunQuelf({"--help"});
    EXPECT_TRUE(help.out.simplified().contains(QStringLiteral(
        "Scale of a PNG picture: 1, 2 or 4. Scale of the animation: 1 or 2. (with --export or --export-animation)")))
        << help.out.toStdString();
    EXPECT_TRUE(help.out.contains(QStringLiteral("--export-animation <OUT>")));
    EXPECT_TRUE(help.out.contains(QStringLiteral("--report <OUT>")));
}
