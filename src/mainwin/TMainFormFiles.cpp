// Open, save and import of dimension files.
#include "mainwin/TMainForm.h"

#include "files/NativeFile.h"
#include "files/OlderFile.h"

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QScrollBar>

#include <memory>

namespace {

struct DialogSetup {
    const char* name;
    QFileDialog::AcceptMode mode;
    QFileDialog::FileMode fileMode;
    const char* title; // nullptr: the system's default title
    const char* suffix;
    const char* filter;
};

const DialogSetup kDialogs[] = {
    {"OpenDialogWin", QFileDialog::AcceptOpen, QFileDialog::ExistingFile, nullptr, "vgw",
     "Data File (*.vgw) |*.vgw|All Files (*.*)|*.*"},
    {"SaveDialog1", QFileDialog::AcceptSave, QFileDialog::AnyFile, "Save As.....", "vgw",
     "Data File (*.vgw)|*.vgw|All Files (*.*)|*.*"},
    {"OpenDialogDos", QFileDialog::AcceptOpen, QFileDialog::AnyFile, nullptr, "vgd",
     "Data File (*.vgd)|*.vgd|All Files (*.*)|*.*"},
};

// File names as the system takes them.
std::string LocalPath(const QString& path) { return QFile::encodeName(path).toStdString(); }

} // namespace

QStringList TMainForm::QtNameFilters(const QString& filter)
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

QFileDialog* TMainForm::NewFileDialog(const QString& dialogName)
{
    for (const DialogSetup& d : kDialogs) {
        if (dialogName != QLatin1String(d.name)) continue;
        auto* dlg = new QFileDialog(this);
        dlg->setObjectName(dialogName);
        dlg->setOption(QFileDialog::DontUseNativeDialog, true);
        dlg->setAcceptMode(d.mode);
        dlg->setFileMode(d.fileMode);
        if (d.title) dlg->setWindowTitle(QString::fromLatin1(d.title));
        dlg->setDefaultSuffix(QString::fromLatin1(d.suffix));
        dlg->setNameFilters(QtNameFilters(QString::fromLatin1(d.filter)));
        dlg->setSizeGripEnabled(true);
        return dlg;
    }
    return nullptr;
}

QString TMainForm::ChooseFile(const QString& dialogName)
{
    if (FileDialogHook) return FileDialogHook(dialogName);
    std::unique_ptr<QFileDialog> dlg(NewFileDialog(dialogName));
    if (!dlg || dlg->exec() != QDialog::Accepted) return {};
    const QStringList files = dlg->selectedFiles();
    return files.isEmpty() ? QString() : files.first();
}

void TMainForm::ShowFileError(const std::string& message)
{
    QMessageBox box(QMessageBox::Critical, QApplication::applicationName(), QString::fromStdString(message),
                    QMessageBox::Ok, this);
    box.setObjectName(QStringLiteral("FileErrorBox"));
    box.exec();
}

void TMainForm::SetRevArmBarAfterLoad(const DesignFileResult& r)
{
    SetRevArmBarRange();
    SBRevArm->setValue(r.revArmPosition);
}

void TMainForm::OpenDimensionsClick()
{
    const QString path = ChooseFile(QStringLiteral("OpenDialogWin"));
    if (!path.isEmpty()) {
        const DesignFileResult r = OpenNativeFile(state_, LocalPath(path));
        if (!r.ok) {
            // Nothing was loaded: the design and the Draw Lines rows stay.
            ShowFileError(r.error);
            return;
        }
        ClearDrawLinesLabels();
        HighlightDrawLinesCurrentRow();
        SetRevArmBarAfterLoad(r);
    }
    RefreshDrawLinesRows();
}

void TMainForm::SaveAsDimensionsClick()
{
    const QString path = ChooseFile(QStringLiteral("SaveDialog1"));
    if (path.isEmpty()) return;
    const DesignFileResult r = SaveNativeFile(state_, LocalPath(path));
    if (!r.ok) ShowFileError(r.error);
}

void TMainForm::OpenDosDimensionsClick()
{
    const QString path = ChooseFile(QStringLiteral("OpenDialogDos"));
    if (path.isEmpty()) return;
    const DesignFileResult r = ImportOlderFile(state_, LocalPath(path));
    if (!r.ok) {
        ShowFileError(r.error);
        return;
    }
    SetRevArmBarAfterLoad(r);
}
