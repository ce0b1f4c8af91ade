// Crash recovery: the changed design kept in this program's recovery file,
// and the question about what programs that no longer run left behind.
#include "mainwin/TMainForm.h"

#include "files/DesignValues.h"
#include "files/FileMessages.h"
#include "files/NativeFile.h"
#include "files/Recovery.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>

#include <cstdio>

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

bool TMainForm::EnableRecovery(const QString& folder)
{
    auto store = std::make_unique<RecoveryStore>();
    if (!store->Start(folder.toStdString(), QCoreApplication::applicationPid(), QDateTime::currentMSecsSinceEpoch(),
                      files_))
        return false;
    recovery_ = std::move(store);
    recoveryTimer_ = new QTimer(this);
    recoveryTimer_->setObjectName(QStringLiteral("RecoveryTimer"));
    recoveryTimer_->setInterval(kRecoveryCheckMs);
    connect(recoveryTimer_, &QTimer::timeout, this, &TMainForm::CheckRecovery);
    recoveryTimer_->start();
    // A design named on the command line waits for the question.
    offeringRecovery_ = true;
    QMetaObject::invokeMethod(
        this, [this] { OfferRecovery(); }, Qt::QueuedConnection);
    return true;
}

QString TMainForm::RecoveryFile() const
{
    return recovery_ ? QString::fromStdString(recovery_->DesignPath()) : QString();
}

void TMainForm::DropRecovery()
{
    if (recovery_) recovery_->Remove();
    recoveryWritten_.clear();
    recoveryInfoWritten_.clear();
}

void TMainForm::CheckRecovery()
{
    if (!recovery_) return;
    if (!DesignChanged()) {
        if (recovery_->Written()) DropRecovery();
        return;
    }
    const RecoveryInfo info{state_.display.DataSetName, currentFile_.toStdString()};
    const std::string infoText = RecoveryInfoText(info);
    std::vector<std::uint32_t> design = DesignSnapshot(state_);
    if (recovery_->Written() && design == recoveryWritten_ && infoText == recoveryInfoWritten_) return;
    std::string error;
    if (!recovery_->Write(state_, info, error)) {
        // Told once on the terminal; tried again at the next check.
        if (!recoveryWritten_.empty() || recoveryInfoWritten_ != "failed")
            std::fprintf(stderr, "quelf: cannot write the recovery file %s: %s\n", recovery_->DesignPath().c_str(),
                         error.c_str());
        recoveryWritten_.clear();
        recoveryInfoWritten_ = "failed";
        return;
    }
    recoveryWritten_ = std::move(design);
    recoveryInfoWritten_ = infoText;
}

int TMainForm::OfferRecovery()
{
    offeringRecovery_ = true;
    int asked = 0;
    std::vector<RecoveryLeftover> leftovers;
    if (recovery_) leftovers = recovery_->ClaimLeftovers();
    for (RecoveryLeftover& left : leftovers) {
        const QString name = QString::fromStdString(left.info.name);
        const QString when = QDateTime::fromSecsSinceEpoch(left.writtenAt).toString(QStringLiteral("yyyy-MM-dd hh:mm"));
        std::unique_ptr<QMessageBox> box(NewRecoverBox(this, name, when));
        auto* recover = box->findChild<QPushButton*>(QStringLiteral("Recover"));
        auto* discard = box->findChild<QPushButton*>(QStringLiteral("Discard"));
        ++asked;
        box->exec();
        if (box->clickedButton() == discard) {
            DiscardLeftover(left);
            continue;
        }
        // Closed without an answer, or a changed design kept: asked again
        // at the next start.
        if (box->clickedButton() != recover || !SaveChangesIfWanted()) continue;
        const DesignFileResult r = OpenNativeFile(state_, left.DesignPath(), HugeValues::Accept, files_);
        if (r.ok) {
            ClearDrawLinesLabels();
            HighlightDrawLinesCurrentRow();
            SetRevArmBarAfterLoad(r);
            RefreshDrawLinesRows();
            state_.display.DataSetName = left.info.name;
            currentFile_ = QString::fromStdString(left.info.file);
            savedDesign_.clear(); // changed, until it is saved
            CheckRecovery();      // kept in this program's own file before the old one goes
        } else {
            ShowFileError(OpenFailureMessage(left.info.name, r));
        }
        DiscardLeftover(left);
    }
    offeringRecovery_ = false;
    if (!openAfterRecovery_.isEmpty()) {
        const QString path = openAfterRecovery_;
        openAfterRecovery_.clear();
        // A recovered design is a changed one: asked about before it goes.
        QMetaObject::invokeMethod(
            this,
            [this, path] {
                if (SaveChangesIfWanted()) OpenDesignFile(path);
            },
            Qt::QueuedConnection);
    }
    return asked;
}
