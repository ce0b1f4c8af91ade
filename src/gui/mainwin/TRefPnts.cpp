#include "mainwin/TRefPnts.h"

#include "drawing/PivotSelection.h"
#include "model/NumberText.h"
#include "qt/QtEditHooks.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

TRefPnts::TRefPnts(AppState& state, QWidget* parent) : QDialog(parent), state_(state)
{
    setObjectName(QStringLiteral("RefPnts"));
    setWindowTitle(QStringLiteral("Reference Points"));
    setFixedSize(250, 150);
    QLineEdit** edits[4] = {&Edit1, &Edit2, &Edit3, &Edit4};
    static const char* const kLabels[4] = {"RefPt V1", "RefPt H1", "RefPt V2", "RefPt H2"};
    for (int i = 0; i < 4; ++i) {
        const int y = 12 + 28 * i;
        auto* l = new QLabel(QString::fromLatin1(kLabels[i]), this);
        l->setObjectName(QStringLiteral("Label%1").arg(i + 1));
        l->setGeometry(12, y + 2, 60, 18);
        auto* e = new QLineEdit(this);
        e->setObjectName(QStringLiteral("Edit%1").arg(i + 1));
        e->setGeometry(76, y, 70, 22);
        e->setAlignment(Qt::AlignRight);
        InstallKeyPress(e, [this, e](QChar& key) {
            if (key == QChar(13)) { // Enter presses the default button, OK
                key = QChar();
                QMetaObject::invokeMethod(OK, &QPushButton::click, Qt::QueuedConnection);
                return;
            }
            NumericKeyFilter(key, e, true);
        });
        InstallNumberRule(e, true);
        *edits[i] = e;
    }
    auto button = [this](QPushButton*& b, const char* name, int y, void (TRefPnts::*slot)()) {
        b = new QPushButton(QString::fromLatin1(name), this);
        b->setObjectName(QString::fromLatin1(name));
        b->setGeometry(164, y, 75, 25);
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, slot);
    };
    button(OK, "OK", 12, &TRefPnts::OKClick);
    OK->setDefault(true); // Return is OK
    button(Cancel, "Cancel", 44, &TRefPnts::CancelClick);
    button(Zero, "Zero", 76, &TRefPnts::ZeroClick);
}

void TRefPnts::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    FormActivate();
}

void TRefPnts::FormActivate()
{
    const Gear& g = state_.gear;
    Edit1->setText(QString::fromStdString(FormatFixed(g.PointY[kRefPoint1], 5, 3)));
    Edit2->setText(QString::fromStdString(FormatFixed(g.PointX[kRefPoint1], 5, 3)));
    Edit3->setText(QString::fromStdString(FormatFixed(g.PointY[kRefPoint2], 5, 3)));
    Edit4->setText(QString::fromStdString(FormatFixed(g.PointX[kRefPoint2], 5, 3)));
    Cancel->setFocus();
}

void TRefPnts::RunSwitchFrom(bool from)
{
    state_.display.RefPointsOn = from;
    if (RunSwitch)
        RunSwitch();
    else
        RefPointsSwitch(state_);
}

void TRefPnts::EnableZeroButton(int ref, bool on)
{
    if (EnableZero) EnableZero(ref, on);
}

void TRefPnts::OKClick()
{
    Gear& g = state_.gear;
    auto read = [](QLineEdit* e) { return static_cast<float>(ParseNumber(e->text().toStdString())); };
    g.PointY[kRefPoint1] = read(Edit1);
    g.PointX[kRefPoint1] = read(Edit2);
    g.PointY[kRefPoint2] = read(Edit3);
    g.PointX[kRefPoint2] = read(Edit4);
    if (g.PointY[kRefPoint1] != 0 || g.PointX[kRefPoint1] != 0) EnableZeroButton(1, true);
    if (g.PointY[kRefPoint2] != 0 || g.PointX[kRefPoint2] != 0) EnableZeroButton(2, true);
    RunSwitchFrom(false);
    accept();
}

void TRefPnts::CancelClick()
{
    RunSwitchFrom(true);
    reject();
}

void TRefPnts::ZeroClick()
{
    ZeroRefPoint(state_, 1);
    ZeroRefPoint(state_, 2);
    EnableZeroButton(1, false);
    EnableZeroButton(2, false);
    CancelClick();
}
