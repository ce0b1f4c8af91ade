#include "dialogs/TSettingDialog.h"

#include "dialogs/DialogCommon.h"
#include "qt/QtEditHooks.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

TSettingDialog::TSettingDialog(AppState& state, DesignSession* designSession, QWidget* parent, int width, int height,
                               int rowY, int editWidth)
    : QDialog(parent), s(state), session(designSession)
{
    setModal(true);
    setFont(DialogFont());
    setFixedSize(width, height);
    MakeLabel("Enter", QStringLiteral("Enter"), 4, rowY + 4, 30);
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setGeometry(34, rowY + 1, editWidth, 21);
    Edit1->setContextMenuPolicy(Qt::NoContextMenu);
    Edit1->setAcceptDrops(false);
    InstallEntryRule(Edit1, [this](const FieldText& field, const std::string& text) {
        return NumberEntryAccepted(field, text, minusAllowed);
    });
    Edit1->installEventFilter(this);
    const int bw = (width - 34 - editWidth - 12) / 2;
    OK = new QPushButton(QStringLiteral("OK"), this);
    OK->setObjectName(QStringLiteral("OK"));
    OK->setGeometry(34 + editWidth + 4, rowY, bw, 23);
    Cancel = new QPushButton(QStringLiteral("Cancel"), this);
    Cancel->setObjectName(QStringLiteral("Cancel"));
    Cancel->setGeometry(34 + editWidth + 8 + bw, rowY, bw, 23);
    // Return is OK wherever the focus is (a button with the focus would
    // otherwise take Return for itself: Cancel, where the focus starts).
    OK->setDefault(true);
    for (QPushButton* b : {OK, Cancel}) b->setAutoDefault(false);
    connect(OK, &QPushButton::clicked, this, [this] {
        OKClick();
        accept();
    });
    connect(Cancel, &QPushButton::clicked, this, &QDialog::reject);
}

QLabel* TSettingDialog::MakeLabel(const char* name, const QString& text, int x, int y, int w)
{
    auto* l = new QLabel(text, this);
    l->setObjectName(QString::fromLatin1(name));
    l->setGeometry(x, y, w, 15);
    return l;
}

bool TSettingDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Edit1 && event->type() == QEvent::KeyPress) {
        auto* ke = static_cast<QKeyEvent*>(event);
        char key = 0;
        if (!KeyPressChar(ke, key)) return false;
        // A default button takes Enter before the edit's key filter sees it.
        if (key == '\r') return false; // the default button, OK, takes Enter
        if (key == 0x1B) return false; // Escape: the dialog's, see keyPressEvent
        Edit1KeyPress(key);
        return key == 0;
    }
    return QDialog::eventFilter(watched, event);
}

void TSettingDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    FormActivate();
}

void TSettingDialog::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && !escapePressesCancel) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
