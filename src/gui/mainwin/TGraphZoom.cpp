#include "mainwin/TGraphZoom.h"

#include "model/NumberText.h"
#include "qt/QtEditHooks.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

TGraphZoom::TGraphZoom(AppState& state, QWidget* parent) : QDialog(parent), state_(state)
{
    setObjectName(QStringLiteral("GraphZoom"));
    setWindowTitle(QStringLiteral("Set Zoom of Dimensional Graphic Position"));
    setFixedSize(370, 110);
    auto label = [this](const char* name, const char* text, int x, int y) {
        auto* l = new QLabel(QString::fromUtf8(text), this);
        l->setObjectName(QString::fromLatin1(name));
        l->move(x, y);
        l->adjustSize();
    };
    label("Label1", "Enter", 12, 44);
    label("Label2", "Min = 0.5", 12, 10);
    label("Label3", "Max = 2000.0", 110, 10);
    label("Label4", "Approximate Factor = Locomotive Gauge in Units Used", 12, 80);
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setGeometry(50, 40, 70, 22);
    OK = new QPushButton(QStringLiteral("OK"), this);
    OK->setObjectName(QStringLiteral("OK"));
    OK->setGeometry(140, 38, 75, 25);
    OK->setDefault(true);
    Cancel = new QPushButton(QStringLiteral("Cancel"), this);
    Cancel->setObjectName(QStringLiteral("Cancel"));
    Cancel->setGeometry(225, 38, 75, 25);
    for (QPushButton* b : {OK, Cancel}) b->setAutoDefault(false); // Return is OK wherever the focus is
    connect(OK, &QPushButton::clicked, this, &TGraphZoom::OKClick);
    connect(Cancel, &QPushButton::clicked, this, &TGraphZoom::CancelClick);
    InstallKeyPress(Edit1, [this](QChar& key) { Edit1KeyPress(key); });
    InstallNumberRule(Edit1, false);
}

void TGraphZoom::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    FormActivate();
}

void TGraphZoom::FormActivate()
{
    Edit1->setText(QString::fromStdString(FormatFixed(state_.view.GraphicZoom, 4, 2)));
    Edit1->setFocus();
    Edit1->selectAll();
}

void TGraphZoom::Edit1KeyPress(QChar& key)
{
    if (key == QChar(13)) { // Enter presses the default button, OK
        key = QChar();
        QMetaObject::invokeMethod(OK, &QPushButton::click, Qt::QueuedConnection);
        return;
    }
    NumericKeyFilter(key, Edit1, false);
}

void TGraphZoom::OKClick()
{
    long double z = ParseNumber(Edit1->text().toStdString());
    if (!(z >= 0.5L)) z = 0.5L; // also catches a non-number
    if (z > 2000) z = 2000;
    state_.view.GraphicZoom = static_cast<float>(z);
    accept();
}

void TGraphZoom::CancelClick() { reject(); }
