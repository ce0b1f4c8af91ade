#include "aids/QtInstructionFile.h"

#include "qt/QtDesktop.h"

#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QStringDecoder>

bool ReadTextFile(const QString& name, QString& text, QString& error)
{
    QFile f(name);
    if (!f.open(QIODevice::ReadOnly)) {
        error = f.errorString();
        return false;
    }
    const QByteArray bytes = f.readAll();
    if (f.error() != QFileDevice::NoError) {
        error = f.errorString();
        return false;
    }
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString decoded = utf8.decode(bytes);
    text = utf8.hasError() ? QString::fromLatin1(bytes) : decoded;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return true;
}

bool LoadInstructionFile(QPlainTextEdit* memo, QLabel* label, QWidget* owner)
{
    const QString name = memo->property(kFileNameProperty).toString();
    QString text, error;
    if (ReadTextFile(DataFilePath(name), text, error)) {
        memo->setPlainText(text);
        if (label) label->setText(name);
        return true;
    }
    auto* box =
        new QMessageBox(QMessageBox::Critical, QStringLiteral("Error"),
                        QStringLiteral("Error Loading ") + name + QStringLiteral(": ") + error, QMessageBox::Ok, owner);
    box->setObjectName(QString::fromLatin1(kLoadErrorBoxName));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::ApplicationModal);
    box->show();
    return false;
}
