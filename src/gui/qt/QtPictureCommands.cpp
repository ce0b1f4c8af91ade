#include "qt/QtPictureCommands.h"

#include "files/DxfFile.h"
#include "qt/QtDesktop.h"
#include "qt/QtFileDialog.h"
#include "qt/QtPicture.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>

#include <memory>

namespace {

struct FormatFilter {
    const char* filter;
    PictureFormat format;
    int scale;
};

const FormatFilter kFilters[] = {
    {"PNG Image (*.png)", PictureFormat::Png, 1},     {"PNG Image, 2x (*.png)", PictureFormat::Png, 2},
    {"PNG Image, 4x (*.png)", PictureFormat::Png, 4}, {"SVG Drawing (*.svg)", PictureFormat::Svg, 1},
    {"PDF Document (*.pdf)", PictureFormat::Pdf, 1},
};

const FormatFilter& FilterNamed(const QString& name)
{
    for (const FormatFilter& f : kFilters)
        if (name == QLatin1String(f.filter)) return f;
    return kFilters[0];
}

// The file type the last export of this session chose: the next one offers
// it first. (The folder is the one of every file dialog: QtFileDialog.)
QString gLastFilter = QString::fromLatin1(kFilters[0].filter);

} // namespace

std::function<bool(QPrinter&)> PictureCommands::PrintDialogHook;

PictureCommands::PictureCommands(QWidget* window, PictureSource source)
    : QObject(window), window_(window), source_(std::move(source))
{
    export_ = new QAction(QStringLiteral("&Export Picture…"), this);
    export_->setObjectName(QStringLiteral("ExportPicture"));
    export_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
    copy_ = new QAction(QStringLiteral("&Copy Picture"), this);
    copy_->setObjectName(QStringLiteral("CopyPicture"));
    // A text field that has the focus keeps Ctrl+C for its own copy.
    copy_->setShortcut(QKeySequence::Copy);
    print_ = new QAction(QStringLiteral("&Print…"), this);
    print_->setObjectName(QStringLiteral("PrintPicture"));
    print_->setShortcut(QKeySequence::Print);
    connect(export_, &QAction::triggered, this, &PictureCommands::ExportPicture);
    connect(copy_, &QAction::triggered, this, &PictureCommands::CopyPicture);
    connect(print_, &QAction::triggered, this, &PictureCommands::PrintPicture);
}

void PictureCommands::AddTo(QMenu* menu)
{
    menu->addAction(export_);
    menu->addAction(copy_);
    menu->addAction(print_);
}

QFileDialog* PictureCommands::NewExportDialog(const std::string& proposedBase)
{
    FileDialogSetup setup;
    setup.name = QStringLiteral("ExportDialog");
    setup.title = QStringLiteral("Export Picture");
    setup.mode = QFileDialog::AcceptSave;
    setup.fileMode = QFileDialog::AnyFile;
    for (const FormatFilter& f : kFilters) setup.filters << QString::fromLatin1(f.filter);
    if (source_.drawing) setup.filters << DxfFilter();
    setup.filter = gLastFilter;
    QFileDialog* dlg = NewFileDialog(window_, setup);
    // The dialog changes the extension of the name with the filter; the
    // default extension follows too.
    auto suffixFor = [dlg](const QString& filter) {
        dlg->setDefaultSuffix(filter == DxfFilter()
                                  ? QStringLiteral("dxf")
                                  : QString::fromLatin1(PictureExtension(FilterNamed(filter).format)));
    };
    suffixFor(dlg->selectedNameFilter());
    connect(dlg, &QFileDialog::filterSelected, dlg, suffixFor);
    dlg->selectFile(QString::fromStdString(proposedBase) + QLatin1Char('.') + dlg->defaultSuffix());
    dlg->setSizeGripEnabled(true);
    return dlg;
}

QFileDialog* PictureCommands::NewSaveDialog(const QString& objectName, const QString& title, const QStringList& filters,
                                            const std::string& proposedName)
{
    FileDialogSetup setup;
    setup.name = objectName;
    setup.mode = QFileDialog::AcceptSave;
    setup.fileMode = QFileDialog::AnyFile;
    setup.title = title;
    setup.filters = filters;
    setup.suffix = QFileInfo(QString::fromStdString(proposedName)).suffix();
    setup.file = QString::fromStdString(proposedName);
    QFileDialog* dlg = NewFileDialog(window_, setup);
    dlg->setSizeGripEnabled(true);
    return dlg;
}

void PictureCommands::RememberExportFolder(const QString& path)
{
    RememberFileDialogFolder(QFileInfo(path).absolutePath());
}

PictureFormat PictureCommands::ChosenFormat(QString& path, const QString& nameFilter, int& scale)
{
    const FormatFilter& f = FilterNamed(nameFilter);
    PictureFormat format = PictureFormatOf(path.toStdString());
    if (format == PictureFormat::None) {
        format = f.format;
        path += QLatin1Char('.') + QString::fromLatin1(PictureExtension(format));
    }
    scale = format == f.format ? f.scale : 1;
    return format;
}

QString PictureCommands::DxfFilter() { return QStringLiteral("DXF Drawing, full size (*.dxf)"); }

void PictureCommands::ExportPicture()
{
    // The picture of this moment: the animation may go on under the dialog.
    const DisplayList picture = source_.picture();
    const DxfDrawing drawing = source_.drawing ? source_.drawing() : DxfDrawing{};
    std::unique_ptr<QFileDialog> dlg(NewExportDialog(PictureFileStem(source_.dataSet(), source_.name())));
    QString filter;
    QString path = RunFileDialog(*dlg, &filter);
    if (path.isEmpty()) return;
    gLastFilter = filter;
    std::string error;
    FileSystem& files = source_.files ? source_.files() : SystemFileSystem();
    // A drawing at full size: asked for by its name or by its file type.
    const bool named = PictureFormatOf(path.toStdString()) != PictureFormat::None;
    if (source_.drawing && (IsDxfPath(path.toStdString()) || (!named && filter == DxfFilter()))) {
        if (!IsDxfPath(path.toStdString())) path += QStringLiteral(".dxf");
        if (!SaveDxfFile(path.toStdString(), drawing, error, files)) ShowError(error);
        return;
    }
    int scale = 1;
    const PictureFormat format = ChosenFormat(path, filter, scale);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool ok = WriteDisplayList(picture, path, format, scale, QFileInfo(path).completeBaseName(), error, files);
    QApplication::restoreOverrideCursor();
    if (!ok) ShowError(error);
}

void PictureCommands::CopyPicture()
{
    QApplication::clipboard()->setMimeData(DisplayListMimeData(
        source_.picture(), QString::fromStdString(PictureFileStem(source_.dataSet(), source_.name()))));
}

bool PictureCommands::ChoosePrinter(QPrinter& printer, QWidget* parent)
{
    if (PrintDialogHook) return PrintDialogHook(printer);
    QPrintDialog dlg(&printer, parent);
    dlg.setObjectName(QStringLiteral("PrintDialog"));
    return dlg.exec() == QDialog::Accepted;
}

void PictureCommands::PrintPicture()
{
    const DisplayList picture = source_.picture();
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(QString::fromStdString(PictureFileStem(source_.dataSet(), source_.name())));
    printer.setPageOrientation(picture.Width() > picture.Height() ? QPageLayout::Landscape : QPageLayout::Portrait);
    if (!ChoosePrinter(printer, window_)) return;
    if (!PrintDisplayList(printer, picture)) ShowError("The picture could not be printed");
}

void PictureCommands::ShowError(const std::string& message) { ShowWriteError(window_, message); }

void PictureCommands::ShowWriteError(QWidget* parent, const std::string& message)
{
    QMessageBox box(QMessageBox::Critical, QApplication::applicationName(), QString::fromStdString(message),
                    QMessageBox::Ok, parent);
    box.setObjectName(QStringLiteral("FileErrorBox"));
    box.exec();
}
