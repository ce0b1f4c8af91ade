#include "platform/QtTableExport.h"

#include "platform/RecordFile.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>

namespace {

QString ChooseCsvFile(QWidget* parent, const FileDialogHookFn& hook)
{
    FileDialogSetup setup;
    setup.name = QString::fromLatin1(kSaveCsvDialogName);
    setup.mode = QFileDialog::AcceptSave;
    setup.fileMode = QFileDialog::AnyFile;
    setup.title = QStringLiteral("Save CSV");
    setup.suffix = QStringLiteral("csv");
    setup.filters = QStringList{QStringLiteral("CSV File (*.csv)"), QStringLiteral("All Files (*)")};
    return ChooseFile(parent, setup, hook);
}

} // namespace

bool SaveCsvWithDialog(QWidget* parent, const FileDialogHookFn& hook, const std::string& csv, FileSystem& files)
{
    const QString path = ChooseCsvFile(parent, hook);
    if (path.isEmpty()) return false;
    std::string error;
    if (SaveTextFile(path.toStdString(), csv, error, files)) return true;
    QMessageBox box(QMessageBox::Critical, QApplication::applicationName(), QString::fromStdString(error),
                    QMessageBox::Ok, parent);
    box.setObjectName(QStringLiteral("FileErrorBox"));
    box.exec();
    return false;
}

void CopyTableToClipboard(const std::string& tabSeparated)
{
    QGuiApplication::clipboard()->setText(QString::fromStdString(tabSeparated));
}
