#include "qt/QtDesignExports.h"

#include "drawing/DesignReport.h"
#include "drawing/MainPicture.h"
#include "qt/QtAnimation.h"
#include "qt/QtPictureCommands.h"
#include "qt/QtReport.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QProgressDialog>

#include <algorithm>
#include <memory>

namespace {

const char* const kGifFilter = "GIF Animation (*.gif)";
const char* const kGifFilter2x = "GIF Animation, 2x (*.gif)";

// The chosen path with the extension it must have.
QString WithSuffix(QString path, const QString& suffix)
{
    if (QFileInfo(path).suffix().compare(suffix, Qt::CaseInsensitive) != 0) path += QLatin1Char('.') + suffix;
    return path;
}

} // namespace

void SaveDesignReport(QWidget* parent, PictureCommands& pictures, const AppState& design, ClockSource& clock)
{
    std::unique_ptr<QFileDialog> dlg(
        pictures.NewSaveDialog(QStringLiteral("DesignReportDialog"), QStringLiteral("Design Report"),
                               {QStringLiteral("PDF Document (*.pdf)")}, DesignReportFileStem(design) + ".pdf"));
    if (dlg->exec() != QDialog::Accepted || dlg->selectedFiles().isEmpty()) return;
    const QString path = WithSuffix(dlg->selectedFiles().first(), QStringLiteral("pdf"));
    PictureCommands::RememberExportFolder(path);
    std::string error;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool ok = WriteReportPdf(DesignReportOf(design, clock), ReportPageSize(QLocale::system()), path, error);
    QApplication::restoreOverrideCursor();
    if (!ok) PictureCommands::ShowWriteError(parent, error);
}

void SaveMainAnimation(QWidget* parent, PictureCommands& pictures, const AppState& design, int width, int height)
{
    // The picture as the window shows it now (its size, view, settings),
    // turned once from the angle it shows, in the sense the gear runs.
    std::unique_ptr<QFileDialog> dlg(
        pictures.NewSaveDialog(QStringLiteral("ExportAnimationDialog"), QStringLiteral("Export Animation"),
                               {QString::fromLatin1(kGifFilter), QString::fromLatin1(kGifFilter2x)},
                               PictureFileStem(design.display.DataSetName, "animation") + ".gif"));
    if (dlg->exec() != QDialog::Accepted || dlg->selectedFiles().isEmpty()) return;
    const QString path = WithSuffix(dlg->selectedFiles().first(), QStringLiteral("gif"));
    PictureCommands::RememberExportFolder(path);

    MainAnimation animation(design, kAnimationFrames, design.gear.SolvedDriverAngle, width, height);
    QProgressDialog progress(QStringLiteral("Drawing the animation…"), QStringLiteral("Stop"), 0, animation.Count(),
                             parent);
    progress.setObjectName(QStringLiteral("AnimationProgress"));
    progress.setWindowTitle(QStringLiteral("Export Animation"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(400);
    progress.setValue(0);
    AnimationFrames frames;
    frames.count = animation.Count();
    frames.draw = [&animation](int k) { return animation.Frame(k); };
    frames.scale = dlg->selectedNameFilter() == QLatin1String(kGifFilter2x) ? 2 : 1;
    frames.delay = AnimationFrameDelay(frames.count);
    frames.progress = [&progress](int done) {
        progress.setValue(done);
        // The progress shows itself only once the drawing looks long; until
        // then the timers (the gear underneath) go on, user input waits.
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        return !progress.wasCanceled();
    };
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const AnimationResult r = WriteAnimation(frames, path);
    QApplication::restoreOverrideCursor();
    progress.reset();
    if (!r.ok && !r.stopped) PictureCommands::ShowWriteError(parent, r.error);
}
