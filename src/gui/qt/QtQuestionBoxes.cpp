#include "qt/QtQuestionBoxes.h"

#include <QApplication>
#include <QDateTime>
#include <QMessageBox>
#include <QPushButton>

#include <memory>

namespace {

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

RecoverAnswer AskRecover(QWidget* parent, const std::string& name, long long writtenAt)
{
    const QString when = QDateTime::fromSecsSinceEpoch(writtenAt).toString(QStringLiteral("yyyy-MM-dd hh:mm"));
    const std::unique_ptr<QMessageBox> box(NewRecoverBox(parent, Q(name), when));
    box->exec();
    // Closed without an answer: asked again at the next start.
    const QAbstractButton* b = box->clickedButton();
    const QString answer = b ? b->objectName() : QString();
    return answer == QLatin1String("Recover")   ? RecoverAnswer::Recover
           : answer == QLatin1String("Discard") ? RecoverAnswer::Discard
                                                : RecoverAnswer::Later;
}

SaveChangesAnswer AskSaveChanges(QWidget* parent, const std::string& question)
{
    QMessageBox box(QMessageBox::Question, QApplication::applicationName(), Q(question),
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, parent);
    box.setObjectName(QStringLiteral("SaveChangesBox"));
    box.setDefaultButton(QMessageBox::Save);
    box.setEscapeButton(QMessageBox::Cancel);
    const int pressed = box.exec();
    return pressed == QMessageBox::Save      ? SaveChangesAnswer::Save
           : pressed == QMessageBox::Discard ? SaveChangesAnswer::Discard
                                             : SaveChangesAnswer::Cancel;
}

QMessageBox* NewYesOrCancelBox(QWidget* parent, const char* name, const std::string& question)
{
    auto* ask = new QMessageBox(QMessageBox::Warning, QApplication::applicationName(), Q(question),
                                QMessageBox::Yes | QMessageBox::Cancel, parent);
    ask->setObjectName(QString::fromLatin1(name));
    ask->setDefaultButton(QMessageBox::Cancel);
    return ask;
}

bool AskYesOrCancel(QWidget* parent, const char* name, const std::string& question)
{
    const std::unique_ptr<QMessageBox> ask(NewYesOrCancelBox(parent, name, question));
    return ask->exec() == QMessageBox::Yes;
}

void ShowFileMessage(QWidget* parent, const FileMessage& message)
{
    QMessageBox box(QMessageBox::Critical, QApplication::applicationName(), Q(message.text), QMessageBox::Ok, parent);
    box.setObjectName(QStringLiteral("FileErrorBox"));
    box.setInformativeText(Q(message.detail));
    box.exec();
}

QMessageBox* NewNoticeBox(QWidget* parent, const std::string& text)
{
    auto* box =
        new QMessageBox(QMessageBox::Information, QApplication::applicationName(), Q(text), QMessageBox::Ok, parent);
    box->setObjectName(QStringLiteral("NoticeBox"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::NonModal);
    return box;
}

void ShowNotice(QWidget* parent, const std::string& text) { NewNoticeBox(parent, text)->show(); }
