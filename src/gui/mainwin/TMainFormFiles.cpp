// The window's side of the design's file: its file dialogs, the answers to
// the session's questions (message boxes), the recent designs, a design named
// on the command line, and the timer of the recovery copy.
#include "mainwin/TMainForm.h"

#include "files/RecentDesigns.h"
#include "qt/QtDesktop.h"
#include "qt/QtFileDialog.h"

#include <QAction>
#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <memory>
#include <optional>

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

// The setup of "OpenDialogWin", "SaveDialog1", "OpenDialogDos" or "ExportJsonDialog".
std::optional<FileDialogSetup> DialogNamed(const QString& dialogName)
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

QString Q(const std::string& s) { return QString::fromStdString(s); }

} // namespace

QMessageBox* NewRecoverBox(QWidget* parent, const QString& name, const QString& when)
{
    auto* box = new QMessageBox(QMessageBox::Question, QStringLiteral("Recover Unsaved Design"),
                                QStringLiteral("Recover the unsaved design \"%1\" from %2?").arg(name, when),
                                QMessageBox::NoButton, parent);
    box->setObjectName(QStringLiteral("RecoverBox"));
    QPushButton* recover = box->addButton(QStringLiteral("&Recover"), QMessageBox::AcceptRole);
    QPushButton* discard = box->addButton(QStringLiteral("&Discard"), QMessageBox::DestructiveRole);
    recover->setObjectName(QStringLiteral("Recover"));
    discard->setObjectName(QStringLiteral("Discard"));
    box->setDefaultButton(recover);
    return box;
}

// ------------------------------------------------------------------ the session's questions
SaveChangesAnswer TMainForm::SaveChanges(const std::string& question)
{
    QMessageBox box(QMessageBox::Question, QApplication::applicationName(), Q(question),
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, this);
    box.setObjectName(QStringLiteral("SaveChangesBox"));
    box.setDefaultButton(QMessageBox::Save);
    box.setEscapeButton(QMessageBox::Cancel);
    const int pressed = box.exec();
    return pressed == QMessageBox::Save      ? SaveChangesAnswer::Save
           : pressed == QMessageBox::Discard ? SaveChangesAnswer::Discard
                                             : SaveChangesAnswer::Cancel;
}

bool TMainForm::OpenHugeValues(const std::string& question)
{
    QMessageBox ask(QMessageBox::Warning, QApplication::applicationName(), Q(question),
                    QMessageBox::Yes | QMessageBox::Cancel, this);
    ask.setObjectName(QStringLiteral("HugeValuesBox"));
    ask.setDefaultButton(QMessageBox::Cancel);
    return ask.exec() == QMessageBox::Yes;
}

RecoverAnswer TMainForm::Recover(const std::string& name, long long writtenAt)
{
    const QString when = QDateTime::fromSecsSinceEpoch(writtenAt).toString(QStringLiteral("yyyy-MM-dd hh:mm"));
    std::unique_ptr<QMessageBox> box(NewRecoverBox(this, Q(name), when));
    box->exec();
    const QAbstractButton* b = box->clickedButton();
    return !b                                            ? RecoverAnswer::Later
           : b->objectName() == QLatin1String("Recover") ? RecoverAnswer::Recover
           : b->objectName() == QLatin1String("Discard") ? RecoverAnswer::Discard
                                                         : RecoverAnswer::Later;
}

std::string TMainForm::SaveName() { return ChooseFile(QStringLiteral("SaveDialog1")).toStdString(); }

bool TMainForm::Confirm(const std::string& question)
{
    QMessageBox ask(QMessageBox::Warning, QApplication::applicationName(), Q(question),
                    QMessageBox::Yes | QMessageBox::Cancel, this);
    ask.setObjectName(QStringLiteral("ConfirmBox"));
    ask.setDefaultButton(QMessageBox::Cancel);
    return ask.exec() == QMessageBox::Yes;
}

void TMainForm::FileFailed(const FileMessage& message)
{
    QMessageBox box(QMessageBox::Critical, QApplication::applicationName(), Q(message.text), QMessageBox::Ok, this);
    box.setObjectName(QStringLiteral("FileErrorBox"));
    box.setInformativeText(Q(message.detail));
    box.exec();
}

void TMainForm::Notice(const std::string& text)
{
    // Not modal: told while the gear and the user go on.
    auto* box =
        new QMessageBox(QMessageBox::Information, QApplication::applicationName(), Q(text), QMessageBox::Ok, this);
    box->setObjectName(QStringLiteral("NoticeBox"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::NonModal);
    box->show();
}

// ------------------------------------------------------------------ file dialogs
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

void TMainForm::OpenClick(const char* dialogName)
{
    if (!session_.SaveChangesIfWanted()) return;
    const QString path = ChooseFile(QString::fromLatin1(dialogName));
    const bool older = qstrcmp(dialogName, "OpenDialogDos") == 0;
    if (path.isEmpty()) {
        if (!older) FollowLines(false);
        return;
    }
    older ? session_.Import(path.toStdString()) : session_.Open(path.toStdString());
}

bool TMainForm::OpenDesignFile(const QString& path) { return session_.Open(path.toStdString()); }

void TMainForm::OpenDesignWhenShown(const QString& path)
{
    // Queued: the window is up before any question or message about the file.
    QMetaObject::invokeMethod(
        this,
        [this, path] {
            if (session_.OfferingRecovery())
                openAfterRecovery_ = path; // after the question about a recovered design
            else
                OpenDesignFile(path);
        },
        Qt::QueuedConnection);
}

void TMainForm::ExportDesignJsonClick()
{
    const QString path = ChooseFile(QStringLiteral("ExportJsonDialog"));
    if (!path.isEmpty()) session_.ExportJson(path.toStdString());
}

// ------------------------------------------------------------------ recent designs
void TMainForm::RememberDesign()
{
    const QFileInfo info(QString::fromStdString(session_.LastFile()));
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
    const QString path = RecentDesign[static_cast<std::size_t>(k)]->data().toString();
    if (path.isEmpty()) return;
    if (QFileInfo::exists(path)) {
        if (session_.SaveChangesIfWanted()) OpenDesignFile(path);
        return;
    }
    // Told as an open of the file tells it; the design stays.
    OpenDesignFile(path);
    StoreRecentDesigns(QtList(WithoutRecentDesign(StdList(LoadRecentDesigns(kRecentDesignsMax)), path.toStdString())));
    RefreshRecentDesigns();
}

// ------------------------------------------------------------------ recovery
bool TMainForm::EnableRecovery(const QString& folder)
{
    const bool used = session_.EnableRecovery(folder.toStdString(), QCoreApplication::applicationPid(),
                                              QDateTime::currentMSecsSinceEpoch());
    // Checked even when it cannot be kept: the user is told once, at the
    // first change.
    recoveryTimer_ = new QTimer(this);
    recoveryTimer_->setObjectName(QStringLiteral("RecoveryTimer"));
    recoveryTimer_->setInterval(DesignSession::kRecoveryCheckMs);
    connect(recoveryTimer_, &QTimer::timeout, this, [this] { session_.CheckRecovery(); });
    recoveryTimer_->start();
    // A design named on the command line waits for the question.
    QMetaObject::invokeMethod(
        this,
        [this] {
            session_.OfferRecovery();
            if (openAfterRecovery_.isEmpty()) return;
            const QString path = openAfterRecovery_;
            openAfterRecovery_.clear();
            // A recovered design is a changed one: asked about before it goes.
            QMetaObject::invokeMethod(
                this,
                [this, path] {
                    if (session_.SaveChangesIfWanted()) OpenDesignFile(path);
                },
                Qt::QueuedConnection);
        },
        Qt::QueuedConnection);
    return used;
}
