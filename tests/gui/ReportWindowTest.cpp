// "Design Report…" and "Export Animation…" of the main window through the
// real save dialogs: the report's title block with the window's clock, the
// animation's frames as the window's picture at each angle, a stopped
// animation leaves nothing; the live design is never turned.
#include "drawing/MainPicture.h"
#include "qt/QtPicture.h"

#include <QAction>
#include <QComboBox>
#include <QFileDialog>
#include <QMenu>
#include <QProcess>
#include <QProgressDialog>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "gui/GuiTestSupport.h"
#include "support/GifFrames.h"

namespace {

struct ReportWindow : MainWindowTest {
    QTemporaryDir dir;

    // Chooses the command, answers its save dialog with `target` (after
    // picking `filter` when given) and returns the name the dialog proposed.
    QString RunCommand(QAction* command, const char* dialogName, const QString& target, const char* filter = nullptr,
                       std::function<bool()> afterDialog = {})
    {
        QString proposed;
        bool answered = false;
        DriveModal([&, filter] {
            if (answered) return afterDialog ? afterDialog() : true;
            auto* d = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (!d) return false;
            EXPECT_EQ(d->objectName(), dialogName);
            proposed = QFileInfo(d->selectedFiles().value(0)).fileName();
            if (filter) d->selectNameFilter(QString::fromLatin1(filter));
            d->selectFile(target);
            answered = true;
            QMetaObject::invokeMethod(d, "accept", Qt::QueuedConnection);
            return !afterDialog;
        });
        command->trigger();
        return proposed;
    }

    // The gear stopped at `angle`, the frame drawn.
    void StopAt(float angle)
    {
        if (form->Session().Running()) QTest::mouseClick(Named<QPushButton>(*form, "Run"), Qt::LeftButton);
        Named<QTimer>(*form, "Timer1")->stop();
        state.gear.DriverAngle = angle;
        form->Tick();
    }
};

QImage ImageOf(const std::vector<std::uint32_t>& pixels, int w, int h)
{
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) img.setPixel(x, y, 0xFF000000u | pixels[static_cast<std::size_t>(y) * w + x]);
    return img;
}

} // namespace

TEST_F(ReportWindow, BothCommandsFollowThePictureCommandsInTheFileMenu)
{
    const QList<QAction*> items = Named<QMenu>(*form, "File1")->actions();
    const int print = items.indexOf(Named<QAction>(*form, "PrintPicture"));
    ASSERT_GE(print, 0);
    EXPECT_EQ(items.value(print + 1), Named<QAction>(*form, "DesignReport"));
    EXPECT_EQ(items.value(print + 2), Named<QAction>(*form, "ExportAnimation"));
    EXPECT_EQ(Named<QAction>(*form, "DesignReport")->objectName(), "DesignReport");
    EXPECT_EQ(Named<QAction>(*form, "DesignReport")->text(), QStringLiteral("Design &Report…"));
    EXPECT_EQ(Named<QAction>(*form, "ExportAnimation")->objectName(), "ExportAnimation");
    EXPECT_EQ(Named<QAction>(*form, "ExportAnimation")->text(), QStringLiteral("Export A&nimation…"));
    EXPECT_EQ(Named<QAction>(*form, "ExportAnimation")->shortcut(), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_E));
}

TEST_F(ReportWindow, TheReportOfTheDesignAsItIsWithTheWindowsClock)
{
    StopAt(40);
    state.display.DataSetName = "Shop 9";
    state.gear.RevArmPos = 0.3f;
    const QString target = dir.filePath(QStringLiteral("shop"));
    EXPECT_EQ(RunCommand(Named<QAction>(*form, "DesignReport"), "DesignReportDialog", target),
              QStringLiteral("Shop 9-report.pdf"));
    const QString pdf = target + QStringLiteral(".pdf");
    ASSERT_TRUE(QFileInfo::exists(pdf));
    QProcess p;
    p.start(QStandardPaths::findExecutable(QStringLiteral("pdftotext")), {QStringLiteral("-layout"), pdf, "-"});
    ASSERT_TRUE(p.waitForFinished(60000));
    const QString text = QString::fromUtf8(p.readAllStandardOutput()).simplified();
    EXPECT_TRUE(text.contains(QStringLiteral("Data set: Shop 9 Date: 08/12/2026 Version: 2.6 Lengths in: units")))
        << text.left(400).toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Page 8 of 8")));
    EXPECT_EQ(state.gear.DriverAngle, 40);
    EXPECT_EQ(state.gear.RevArmPos, 0.3f);
    QApplication::processEvents();
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(ReportWindow, EveryFrameIsTheWindowsPictureAtItsAngleAtOneAndTwiceTheSize)
{
    // Without the readouts' smoothed texts the picture has few colours: the
    // frames are exact.
    state.display.ScreenDataOn = false;
    state.anim.Direction = RunDirection::Rev;
    StopAt(100);
    const AppState before = state;
    const DisplayList shown = form->ShownPicture();
    const int w = shown.Width(), h = shown.Height();
    for (int scale : {1, 2}) {
        SCOPED_TRACE(scale);
        const QString target = dir.filePath(QStringLiteral("turn%1.gif").arg(scale));
        EXPECT_EQ(RunCommand(Named<QAction>(*form, "ExportAnimation"), "ExportAnimationDialog", target,
                             scale == 2 ? "GIF Animation, 2x (*.gif)" : "GIF Animation (*.gif)"),
                  QStringLiteral("Nominal-animation.gif"));
        const GifFrames read = ReadGifFile(QFile::encodeName(target).toStdString());
        ASSERT_TRUE(read.ok);
        EXPECT_EQ(read.width, w * scale);
        EXPECT_EQ(read.height, h * scale);
        EXPECT_TRUE(read.loopExtension);
        ASSERT_EQ(read.frames.size(), static_cast<std::size_t>(kAnimationFrames));
        if (scale == 2) continue;
        // The first frame is the picture the window shows.
        EXPECT_TRUE(ImageOf(read.frames[0], w, h) == DisplayListImage(shown, 1));
        for (int k = 0; k < kAnimationFrames; ++k) {
            AppState copy = before;
            const DisplayList expected =
                MainPictureAt(copy, RevolutionAngle(100, k, kAnimationFrames, RunDirection::Rev), w, h);
            EXPECT_TRUE(ImageOf(read.frames[static_cast<std::size_t>(k)], w, h) == DisplayListImage(expected, 1)) << k;
        }
    }
    EXPECT_EQ(state.gear.DriverAngle, before.gear.DriverAngle);
    EXPECT_EQ(state.gear.SolvedDriverAngle, 100);
}

TEST_F(ReportWindow, StoppingTheAnimationLeavesNoFile)
{
    StopAt(0);
    bool waited = false, stopped = false;
    const QString target = dir.filePath(QStringLiteral("stopped.gif"));
    RunCommand(Named<QAction>(*form, "ExportAnimation"), "ExportAnimationDialog", target, "GIF Animation, 2x (*.gif)",
               [&] {
                   // Between frames: the wait cursor, the progress; "Stop".
                   auto* progress = form->findChild<QProgressDialog*>(QStringLiteral("AnimationProgress"));
                   if (!progress || progress->value() < 1) return false;
                   waited = QApplication::overrideCursor() && QApplication::overrideCursor()->shape() == Qt::WaitCursor;
                   progress->cancel();
                   stopped = true;
                   return true;
               });
    EXPECT_TRUE(stopped);
    EXPECT_TRUE(waited);
    EXPECT_FALSE(QFileInfo::exists(target));
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}
