#include "aids/TInst.h"

#include "aids/QtInstructionFile.h"
#include "qt/QtFonts.h"

#include <QLabel>
#include <QPlainTextEdit>

TInst::TInst(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Inst"));
    setWindowTitle(QStringLiteral("Instructions"));
    setFixedSize(427, 273);
    Label1 = new QLabel(QStringLiteral("Label1"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setFont(LayoutFont(QStringLiteral("Arial"), 16, true));
    QPalette lp = Label1->palette();
    lp.setColor(QPalette::WindowText, QColor(0, 0, 255));
    Label1->setPalette(lp);
    Label1->setGeometry(8, 8, 300, 20);
    Memo1 = new QPlainTextEdit(QStringLiteral("Memo1"), this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setGeometry(0, 0, 427, 273);
    Memo1->setReadOnly(true);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setProperty(kFileNameProperty, QStringLiteral("instruct.doc"));
    Memo1->raise(); // the label lies behind the memo
    FormCreate();
}

void TInst::FormCreate() { LoadInstructionFile(Memo1, Label1, this); }
