// Open, save and import of dimension files; the recent designs and a design
// named on the command line; the question about unsaved changes.
#include "mainwin/TMainForm.h"

#include "files/DesignFile.h"
#include "files/DesignValues.h"
#include "files/FileMessages.h"
#include "files/JsonDesign.h"
#include "files/NativeFile.h"
#include "files/OlderFile.h"
#include "files/RecentDesigns.h"
#include "qt/QtDesktop.h"
#include "qt/QtFileDialog.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QScrollBar>

#include <memory>
#include <optional>

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
     "Design Files (*.vgw;*.json)|*.vgw;*.json|Data File (*.vgw) |*.vgw|Design as JSON (*.json)|*.json|All Files "
     "(*.*)|*.*"},
    {"SaveDialog1", QFileDialog::AcceptSave, QFileDialog::AnyFile, "Save As.....", "vgw",
     "Data File (*.vgw)|*.vgw|All Files (*.*)|*.*"},
    {"OpenDialogDos", QFileDialog::AcceptOpen, QFileDialog::AnyFile, nullptr, "vgd",
     "Data File (*.vgd)|*.vgd|All Files (*.*)|*.*"},
    {"ExportJsonDialog", QFileDialog::AcceptSave, QFileDialog::AnyFile, "Export Design as JSON", "json",
     "Design as JSON (*.json)|*.json|All Files (*.*)|*.*"},
};

// File names as the files take them: UTF-8.
std::string LocalPath(const QString& path) { return path.toStdString(); }

// A file as the messages name it.
std::string ShownName(const QString& path) { return QFileInfo(path).fileName().toStdString(); }

// A .vgd file is an older design, imported.
bool IsOlderDesign(const QString& path)
{
    return QFileInfo(path).suffix().compare(QLatin1String("vgd"), Qt::CaseInsensitive) == 0;
}

std::vector<std::string> StdList(const QStringList& list)
{
    std::vector<std::string> out;
    for (const QString& s : list) out.push_back(s.toStdString());
    return out;
}

QStringList QtList(const std::vector<std::string>& list)
{
    QStringList out;
    for (const std::string& s : list) out << QString::fromStdString(s);
    return out;
}

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

namespace {

// The setup of "OpenDialogWin", "SaveDialog1" or "OpenDialogDos".
std::optional<FileDialogSetup> DialogNamed(const QString& dialogName)
{
    for (const DialogSetup& d : kDialogs) {
        if (dialogName != QLatin1String(d.name)) continue;
        FileDialogSetup setup;
        setup.name = dialogName;
        setup.mode = d.mode;
        setup.fileMode = d.fileMode;
        if (d.title) setup.title = QString::fromLatin1(d.title);
        setup.suffix = QString::fromLatin1(d.suffix);
        setup.filters = TMainForm::QtNameFilters(QString::fromLatin1(d.filter));
        return setup;
    }
    return std::nullopt;
}

} // namespace

QFileDialog* TMainForm::NewFileDialog(const QString& dialogName)
{
    const std::optional<FileDialogSetup> setup = DialogNamed(dialogName);
    return setup ? ::NewFileDialog(this, *setup) : nullptr;
}

QString TMainForm::ChooseFile(const QString& dialogName)
{
    // The next dialog, of any kind, starts where this one ended.
    const std::optional<FileDialogSetup> setup = DialogNamed(dialogName);
    return setup ? ::ChooseFile(this, *setup, FileDialogHook) : QString();
}

void TMainForm::ShowFileError(const FileMessage& message)
{
    QMessageBox box(QMessageBox::Critical, QApplication::applicationName(), QString::fromStdString(message.text),
                    QMessageBox::Ok, this);
    box.setObjectName(QStringLiteral("FileErrorBox"));
    box.setInformativeText(QString::fromStdString(message.detail));
    box.exec();
}

void TMainForm::SetRevArmBarAfterLoad(const DesignFileResult& r)
{
    SetRevArmBarRange();
    SBRevArm->setValue(r.revArmPosition);
}

DesignFileResult TMainForm::LoadDesignFile(const QString& path, bool older)
{
    const bool json = !older && IsJsonDesignPath(LocalPath(path));
    auto load = [&](HugeValues huge) {
        if (json) return OpenJsonDesign(state_, LocalPath(path), huge, files_);
        return older ? ImportOlderFile(state_, LocalPath(path), huge, files_)
                     : OpenNativeFile(state_, LocalPath(path), huge, files_);
    };
    DesignFileResult r = load(HugeValues::Refuse);
    if (!r.ok && r.values.verdict == ValueVerdict::Huge) {
        QMessageBox ask(QMessageBox::Warning, QApplication::applicationName(),
                        QString::fromStdString(HugeValuesQuestion(ShownName(path), r.values)),
                        QMessageBox::Yes | QMessageBox::Cancel, this);
        ask.setObjectName(QStringLiteral("HugeValuesBox"));
        ask.setDefaultButton(QMessageBox::Cancel);
        if (ask.exec() != QMessageBox::Yes) return r;
        r = load(HugeValues::Accept);
    }
    if (!r.ok) {
        // Nothing was loaded: the design and the Draw Lines rows stay.
        ShowFileError(OpenFailureMessage(ShownName(path), r));
        return r;
    }
    MarkDesignSaved();
    return r;
}

void TMainForm::FinishLoad(const QString& path, bool older, const DesignFileResult& r)
{
    // An older design has no file to be saved back to: Save asks for a name.
    currentFile_ = older ? QString() : path;
    if (!older) {
        ClearDrawLinesLabels();
        HighlightDrawLinesCurrentRow();
    }
    SetRevArmBarAfterLoad(r);
    RememberDesign(path);
}

void TMainForm::OpenDimensionsClick()
{
    if (!SaveChangesIfWanted()) return;
    const QString path = ChooseFile(QStringLiteral("OpenDialogWin"));
    if (!path.isEmpty()) {
        const DesignFileResult r = LoadDesignFile(path, false);
        if (!r.ok) return;
        FinishLoad(path, false, r);
    }
    RefreshDrawLinesRows();
}

bool TMainForm::OpenDesignFile(const QString& path)
{
    const bool older = IsOlderDesign(path);
    const DesignFileResult r = LoadDesignFile(path, older);
    if (!r.ok) return false;
    FinishLoad(path, older, r);
    if (!older) RefreshDrawLinesRows();
    return true;
}

void TMainForm::OpenDesignWhenShown(const QString& path)
{
    // Queued: the window is up before any question or message about the file.
    QMetaObject::invokeMethod(
        this,
        [this, path] {
            if (offeringRecovery_)
                openAfterRecovery_ = path; // after the question about a recovered design
            else
                OpenDesignFile(path);
        },
        Qt::QueuedConnection);
}

// ------------------------------------------------------------------ recent designs
void TMainForm::RememberDesign(const QString& path)
{
    const QFileInfo info(path);
    StoreRecentDesigns(
        QtList(WithRecentDesign(StdList(LoadRecentDesigns(kRecentDesignsMax)), info.absoluteFilePath().toStdString())));
    RememberFileDialogFolder(info.absolutePath());
    RefreshRecentDesigns();
}

void TMainForm::RefreshRecentDesigns()
{
    const QStringList list = LoadRecentDesigns(kRecentDesignsMax);
    for (int k = 1; k <= kRecentDesignsMax; ++k) {
        QAction* a = RecentDesign[static_cast<std::size_t>(k)];
        const bool used = k <= list.size();
        a->setVisible(used);
        if (!used) continue;
        const QString& path = list[k - 1];
        a->setData(path);
        a->setText(QString::fromStdString(RecentDesignCaption(k, path.toStdString())));
        a->setToolTip(QDir::toNativeSeparators(QFileInfo(path).absolutePath()));
    }
    RecentSeparator->setVisible(!list.isEmpty());
}

void TMainForm::RecentDesignClick(int k)
{
    if (k < 1 || k > kRecentDesignsMax) return;
    const QString path = RecentDesign[static_cast<std::size_t>(k)]->data().toString();
    if (path.isEmpty()) return;
    if (QFileInfo::exists(path)) {
        if (SaveChangesIfWanted()) OpenDesignFile(path);
        return;
    }
    // Told as an open of the file tells it; the design stays.
    LoadDesignFile(path, IsOlderDesign(path));
    StoreRecentDesigns(QtList(WithoutRecentDesign(StdList(LoadRecentDesigns(kRecentDesignsMax)), path.toStdString())));
    RefreshRecentDesigns();
}

bool TMainForm::SaveDesignTo(const QString& path)
{
    const DesignFileResult r = SaveDesignFile(state_, LocalPath(path), files_);
    if (!r.ok) {
        ShowFileError(SaveFailureMessage(ShownName(path), r));
        return false;
    }
    currentFile_ = path;
    MarkDesignSaved();
    RememberDesign(path);
    return true;
}

bool TMainForm::SaveDesignAs()
{
    const QString path = ChooseFile(QStringLiteral("SaveDialog1"));
    // A name given with ".json" gets the design as JSON, so that it opens again.
    return !path.isEmpty() && SaveDesignTo(path);
}

bool TMainForm::SaveDesign()
{
    // A design opened from a JSON file goes back to it as JSON.
    if (currentFile_.isEmpty()) return SaveDesignAs();
    return SaveDesignTo(currentFile_);
}

void TMainForm::SaveDimensionsClick() { SaveDesign(); }

void TMainForm::SaveAsDimensionsClick() { SaveDesignAs(); }

void TMainForm::ExportDesignJsonClick()
{
    const QString path = ChooseFile(QStringLiteral("ExportJsonDialog"));
    if (path.isEmpty()) return;
    const DesignFileResult r = WriteDesignFile(state_, LocalPath(path), files_);
    if (!r.ok) ShowFileError(SaveFailureMessage(ShownName(path), r));
}

void TMainForm::OpenDosDimensionsClick()
{
    if (!SaveChangesIfWanted()) return;
    const QString path = ChooseFile(QStringLiteral("OpenDialogDos"));
    if (path.isEmpty()) return;
    const DesignFileResult r = LoadDesignFile(path, true);
    if (r.ok) FinishLoad(path, true, r);
}

// ------------------------------------------------------------------ unsaved changes
bool TMainForm::DesignChanged() const { return DesignSnapshot(state_) != savedDesign_; }

void TMainForm::MarkDesignSaved()
{
    savedDesign_ = DesignSnapshot(state_);
    DropRecovery();
}

bool TMainForm::SaveChangesIfWanted()
{
    // A second request while the question is up (a second click on the
    // window's close button) waits for the first.
    if (askingToSave_) return false;
    if (!DesignChanged()) return true;
    const QString question =
        QStringLiteral("Save changes to \"%1\"?").arg(QString::fromStdString(state_.display.DataSetName));
    SaveChangesAnswer answer = SaveChangesAnswer::Cancel;
    askingToSave_ = true;
    if (SaveChangesHook) {
        answer = SaveChangesHook(question);
    } else {
        QMessageBox box(QMessageBox::Question, QApplication::applicationName(), question,
                        QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, this);
        box.setObjectName(QStringLiteral("SaveChangesBox"));
        box.setDefaultButton(QMessageBox::Save);
        box.setEscapeButton(QMessageBox::Cancel);
        const int pressed = box.exec();
        if (pressed == QMessageBox::Save) answer = SaveChangesAnswer::Save;
        if (pressed == QMessageBox::Discard) answer = SaveChangesAnswer::Discard;
    }
    if (answer == SaveChangesAnswer::Discard) DropRecovery();
    const bool goOn = answer == SaveChangesAnswer::Discard || (answer == SaveChangesAnswer::Save && SaveDesign());
    askingToSave_ = false;
    return goOn;
}
