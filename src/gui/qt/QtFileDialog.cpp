#include "qt/QtFileDialog.h"

#include "qt/QtDesktop.h"

#include <QFileInfo>

#include <memory>

namespace {

void KeepFolderOf(const QString& path)
{
    if (!path.isEmpty()) RememberFileDialogFolder(QFileInfo(path).absolutePath());
}

} // namespace

QFileDialog* NewFileDialog(QWidget* parent, const FileDialogSetup& setup)
{
    auto* dlg = new QFileDialog(parent);
    dlg->setObjectName(setup.name);
    dlg->setOption(QFileDialog::DontUseNativeDialog, true);
    dlg->setAcceptMode(setup.mode);
    dlg->setFileMode(setup.fileMode);
    if (!setup.title.isEmpty()) dlg->setWindowTitle(setup.title);
    dlg->setDefaultSuffix(setup.suffix);
    dlg->setNameFilters(setup.filters);
    if (!setup.filter.isEmpty()) dlg->selectNameFilter(setup.filter);
    dlg->setSizeGripEnabled(true);
    dlg->setDirectory(FileDialogFolder());
    if (!setup.file.isEmpty()) dlg->selectFile(setup.file);
    return dlg;
}

QString RunFileDialog(QFileDialog& dialog, QString* chosenFilter)
{
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    const QString path = dialog.selectedFiles().first();
    if (chosenFilter) *chosenFilter = dialog.selectedNameFilter();
    KeepFolderOf(path);
    return path;
}

QString ChooseFile(QWidget* parent, const FileDialogSetup& setup, const FileDialogHookFn& hook)
{
    if (hook) {
        const QString path = hook(setup.name);
        KeepFolderOf(path);
        return path;
    }
    std::unique_ptr<QFileDialog> dlg(NewFileDialog(parent, setup));
    return RunFileDialog(*dlg);
}

QStringList QtNameFilters(const QString& filter)
{
    QStringList out;
    const QStringList parts = filter.split(QLatin1Char('|'));
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString text = parts[i].trimmed();
        const QString patterns = parts[i + 1].trimmed();
        // "*.*" means every file; Qt's pattern for that is "*".
        QStringList qtPatterns;
        for (const QString& p : patterns.split(QLatin1Char(';'), Qt::SkipEmptyParts))
            qtPatterns << (p.trimmed() == QLatin1String("*.*") ? QStringLiteral("*") : p.trimmed());
        const QString shown = QLatin1Char('(') + patterns + QLatin1Char(')');
        if (text.endsWith(shown)) text.chop(shown.size());
        out << text.trimmed() + QStringLiteral(" (") + qtPatterns.join(QLatin1Char(' ')) + QLatin1Char(')');
    }
    return out;
}

namespace {

const struct {
    const char* name;
    QFileDialog::AcceptMode mode;
    QFileDialog::FileMode fileMode;
    const char* title; // nullptr: the system's default title
    const char* suffix;
    const char* filter;
} kDialogs[] = {
    {"OpenDialogWin", QFileDialog::AcceptOpen, QFileDialog::ExistingFile, nullptr, "vgw",
     "Design Files (*.vgw;*.json)|*.vgw;*.json|Data File (*.vgw) |*.vgw|Design as JSON (*.json)|*.json|All Files "
     "(*.*)|*.*"},
    {"SaveDialog1", QFileDialog::AcceptSave, QFileDialog::AnyFile, "Save As", "vgw",
     "Data File (*.vgw)|*.vgw|All Files (*.*)|*.*"},
    {"OpenDialogDos", QFileDialog::AcceptOpen, QFileDialog::AnyFile, nullptr, "vgd",
     "Data File (*.vgd)|*.vgd|All Files (*.*)|*.*"},
    {"ExportJsonDialog", QFileDialog::AcceptSave, QFileDialog::AnyFile, "Export Design as JSON", "json",
     "Design as JSON (*.json)|*.json|All Files (*.*)|*.*"},
};

} // namespace

std::optional<FileDialogSetup> DesignFileDialog(const QString& dialogName)
{
    for (const auto& d : kDialogs) {
        if (dialogName != QLatin1String(d.name)) continue;
        FileDialogSetup setup;
        setup.name = dialogName;
        setup.mode = d.mode;
        setup.fileMode = d.fileMode;
        if (d.title) setup.title = QString::fromLatin1(d.title);
        setup.suffix = QString::fromLatin1(d.suffix);
        setup.filters = QtNameFilters(QString::fromLatin1(d.filter));
        return setup;
    }
    return std::nullopt;
}
