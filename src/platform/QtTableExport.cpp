#include "platform/QtTableExport.h"

#include "platform/RecordFile.h"

#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QMessageBox>

#include <memory>

namespace {

QString ChooseCsvFile(QWidget* parent, const FileDialogHookFn& hook)
{
    const QString name = QString::fromLatin1(kSaveCsvDialogName);
    if (hook) return hook(name);
    auto dlg = std::make_unique<QFileDialog>(parent);
    dlg->setObjectName(name);
    dlg->setOption(QFileDialog::DontUseNativeDialog, true);
    dlg->setAcceptMode(QFileDialog::AcceptSave);
    dlg->setFileMode(QFileDialog::AnyFile);
    dlg->setWindowTitle(QStringLiteral("Save CSV"));
    dlg->setDefaultSuffix(QStringLiteral("csv"));
    dlg->setNameFilters({QStringLiteral("CSV File (*.csv)"), QStringLiteral("All Files (*)")});
    dlg->setSizeGripEnabled(true);
    if (dlg->exec() != QDialog::Accepted) return {};
    const QStringList files = dlg->selectedFiles();
    return files.isEmpty() ? QString() : files.first();
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
