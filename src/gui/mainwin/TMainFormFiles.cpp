// The window's side of the design's file: its file dialogs, the answers to
// the session's questions (message boxes), the recent designs, a design named
// on the command line, and the timer of the recovery copy.
#include "mainwin/TMainForm.h"

#include "files/RecentDesigns.h"
#include "qt/QtDesktop.h"
#include "qt/QtFileDialog.h"
#include "qt/QtQuestionBoxes.h"

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

// ------------------------------------------------------------------ the session's questions
SaveChangesAnswer TMainForm::SaveChanges(const std::string& question) { return AskSaveChanges(this, question); }
bool TMainForm::OpenHugeValues(const std::string& question) { return AskYesOrCancel(this, "HugeValuesBox", question); }
RecoverAnswer TMainForm::Recover(const std::string& name, long long at) { return AskRecover(this, name, at); }
std::string TMainForm::SaveName() { return ChooseFile(QStringLiteral("SaveDialog1")).toStdString(); }
bool TMainForm::Confirm(const std::string& question) { return AskYesOrCancel(this, "ConfirmBox", question); }
void TMainForm::FileFailed(const FileMessage& message) { ShowFileMessage(this, message); }
void TMainForm::Notice(const std::string& text) { ShowNotice(this, text); }

// ------------------------------------------------------------------ file dialogs
QFileDialog* TMainForm::NewFileDialog(const QString& dialogName)
{
    const std::optional<FileDialogSetup> setup = DesignFileDialog(dialogName);
    return setup ? ::NewFileDialog(this, *setup) : nullptr;
}

QString TMainForm::ChooseFile(const QString& dialogName)
{
    // The next dialog, of any kind, starts where this one ended.
    const std::optional<FileDialogSetup> setup = DesignFileDialog(dialogName);
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
    rest_->SetRecovery(recoveryTimer_, [this] { session_.CheckRecovery(); });
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
