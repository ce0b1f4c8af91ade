#include "aids/TQelSpInst.h"

#include "aids/QtInstructionFile.h"

#include <QLabel>
#include <QPlainTextEdit>

TQelSpInst::TQelSpInst(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("QelSpInst"));
    setWindowTitle(QStringLiteral("Quelf Special Instructions"));
    setFixedSize(427, 273);
    Label1 = new QLabel(QStringLiteral("Label1"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(8, 8, 300, 20);
    Memo1 = new QPlainTextEdit(QStringLiteral("Memo1"), this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    // As wide as the window, so that the whole scroll bar shows.
    Memo1->setGeometry(0, 0, 427, 273);
    Memo1->setReadOnly(true);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setProperty(kFileNameProperty, QStringLiteral("QelSpIns.doc"));
    Memo1->raise();
    FormCreate();
}

void TQelSpInst::FormCreate() { LoadInstructionFile(Memo1, Label1, this); }
